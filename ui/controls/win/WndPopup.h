#pragma once
// CWndPopup: a layered, topmost tool window without caption whose picture is composed off screen
// (a nine-sliced PNG background, an item layer keyed on magenta, icons on top) and shown with
// per-pixel alpha. It closes itself when it loses activation and tells its owner with its
// notification message (0, 0). CMenuEx lays out and paints items on it; CMenuExA fills it with
// the twelve languages.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/controls/PopupMenuModel.h"
#include "ui/controls/win/SkinImage.h"
#include "ui/controls/win/Window.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}

namespace n640::win {

class CWndPopup : public CWindow {
public:
    CWndPopup();
    ~CWndPopup() override;
    // Opens the popup with its top-left corner at a screen point; backgroundPng 0 for none.
    bool CreatePopup(HWND owner, POINT topLeft, UINT notifyMessage, int backgroundPng);
    void Close();

protected:
    // In slot order: the item layer, what goes over it, the one-time fill, and the mouse tests
    // (true when the picture must be redrawn).
    virtual void DrawContent(HDC /*dc*/) {}
    virtual void DrawOverlay(Gdiplus::Graphics& /*g*/) {}
    virtual void Fill() {}
    virtual bool HoverTest(int /*x*/, int /*y*/) { return false; }
    virtual bool PressTest(int /*x*/, int /*y*/) { return false; }
    virtual bool ReleaseTest(int /*x*/, int /*y*/) { return false; }
    // Size of the window once filled.
    virtual SIZE PopupSize() const { return {100, 100}; }

    void Redraw();
    HWND Owner() const { return owner_; }
    UINT NotifyMessage() const { return notify_; }
    HFONT Font() const { return font_.Get(); }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND owner_ = nullptr;
    POINT at_{};
    UINT notify_ = 0;
    std::unique_ptr<Gdiplus::Bitmap> background_;
    bool tracking_ = false;
    bool buttonDown_ = false;
    bool closing_ = false;
    CFontHandle font_;
};

class CMenuEx : public CWndPopup {
public:
    CMenuEx();
    ~CMenuEx() override;
    // Appends an item whose icon is a PNG resource (0 for none).
    void AddItem(uint32_t command, const std::u16string& text, int iconPng);
    void AddSeparator();
    const CPopupMenuModel& Model() const { return model_; }

protected:
    void DrawContent(HDC dc) override;
    void DrawOverlay(Gdiplus::Graphics& g) override;
    bool HoverTest(int x, int y) override;
    bool ReleaseTest(int x, int y) override;
    SIZE PopupSize() const override { return {model_.Width(), model_.Height()}; }

private:
    CPopupMenuModel model_;
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> icons_;  // by item
};

// The language menu: the twelve languages with their icons, in LanguageIndex order.
class CMenuExA : public CMenuEx {
public:
    CMenuExA();
    ~CMenuExA() override;

protected:
    void Fill() override;
};

} // namespace n640::win
