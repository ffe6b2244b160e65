#pragma once
// The base of every page and of the function chooser: a borderless child window drawn from the
// page's normal sheet, with its controls created from a table (see PageTable.h). The page cuts
// each button's looks from its three sheets, gives tooltips their language keys (so ReapplyTexts
// re-sets them), posts 2053 with a control's hint number while the pointer is over it, drops
// Enter, Escape and Space aimed at itself or its controls, and routes the notifications of its
// sliders and lists (2048, 1125, 1136) to their callbacks.

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "ui/controls/PageTable.h"
#include "ui/controls/win/BitmapEdit.h"
#include "ui/controls/win/ColorBtn.h"
#include "ui/controls/win/GDIBitmapBtn.h"
#include "ui/controls/win/SkinImage.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CPngHSliderBar;
class CListBoxEx;

struct PageArgs {
    int id = 0;
    Rect rect{};                       // in the parent's client coordinates
    DWORD style = WS_CHILD | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    std::filesystem::path skinDir{};   // InstallDir\skins: Slider.png and the list pictures
    HWND hintTarget = nullptr;         // receives 2053; the root owner window when null
};

class CPage : public CWindow {
public:
    CPage();
    ~CPage() override;

    bool CreatePage(HWND parent, const PageArgs& args);
    // The three sheets, full paths; missing files leave the page and its looks black.
    bool LoadSheets(const std::filesystem::path& normal, const std::filesystem::path& over,
                    const std::filesystem::path& down);
    // Sheets given by the caller (owned by it, outliving the page) instead of loaded ones.
    void UseSheets(HBITMAP normal, HBITMAP over, HBITMAP down);
    // normal, over, down and normal again as the disabled look.
    SkinSheets Sheets() const;
    HBITMAP NormalSheet() const { return sheets_[0]; }

    // Creates one control per row, in the layout of UiChinese; call after the sheets are loaded.
    void CreateControls(std::span<const ControlRow> table);
    // After a change of UiChinese: every control to its rectangle of the new layout, looks re-cut.
    void Relayout();

    // The control of a row; a window-less stand-in (all calls harmless) for a wrong id or kind.
    CGDIBitmapBtn& Button(int id);  // Button, Check and Radio rows
    CColorBtn& Colour(int id);
    CBitmapEdit& Edit(int id);
    CPngHSliderBar& Slider(int id);
    CListBoxEx& List(int id);
    HWND Item(int id) const;

    void OnClick(int id, std::function<void()> fn) { Button(id).onClick = std::move(fn); }
    void SetHint(int id, int hint);
    // Enter, Escape and Space are dropped unless this is switched off (pages with a rename editor
    // that must see them).
    void SetKeyFilter(bool on) { keyFilter_ = on; }
    const std::filesystem::path& SkinDir() const { return args_.skinDir; }
    void SetHintTarget(HWND target) { args_.hintTarget = target; }

protected:
    // Painted over the normal sheet, in the off-screen picture, before it reaches the window.
    virtual void PaintOver(HDC /*dc*/) {}
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslate(MSG& msg) override;
    // Posts 2053 for each hinted control under the page point p.
    void PostHints(Point p);

private:
    struct Entry;
    Entry* Find(int id);
    const Entry* Find(int id) const;
    void CreateOne(Entry& e);
    void Paint(HDC dc);

    PageArgs args_;
    SkinImage loaded_[3];
    HBITMAP sheets_[3] = {nullptr, nullptr, nullptr};
    std::vector<std::unique_ptr<Entry>> entries_;
    bool keyFilter_ = true;
};

} // namespace n640::win
