#pragma once
// The owner-drawn list box of the skinned pages: entries in the page's colours and font, an
// optional picture by the kind in the entry's data word, 1125 on a selection change, and renaming
// an entry in place (1136 when committed). At most one rename editor exists in the program.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "ui/controls/IrrShape.h"
#include "ui/controls/win/SkinScrollBar.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

struct ListBoxArgs {
    int id = 0;
    Rect rect{};                      // in the parent's client coordinates
    DWORD style = WS_VISIBLE | WS_VSCROLL;
    std::filesystem::path skinDir{};  // InstallDir: the pictures are in its skins folder
    bool rename = false;              // a double click opens the rename editor
    bool skinScroll = true;           // skinned bars (bitmap 166) in place of the list's own
    std::function<void(int index)> onSelChange{};  // on the 1125 its parent receives
    std::function<void(int index)> onRenamed{};    // on the 1136 its parent receives
};

class CListBoxEx : public CReflectTarget {
public:
    CListBoxEx();
    ~CListBoxEx() override;
    bool Create(HWND parent, const ListBoxArgs& args);
    HWND Hwnd() const { return hwnd_; }
    // The window at the list's place on its page: the scroll frame when wrapped, else the list.
    HWND OuterHwnd() const;
    int Id() const { return id_; }
    // Wraps the list so that skin bars drawn from strip replace its own (once).
    void SkinScroll(HBITMAP strip);
    CSkinScrollWnd* ScrollFrame() const { return scroll_.get(); }

    void SetBackground(COLORREF colour, COLORREF selectedColour);
    void SetTextColours(COLORREF colour, COLORREF selectedColour);
    void SetItemHeight(int height);
    void SetRename(bool on) { renameOn_ = on; }
    void SetNotifyTarget(HWND target, bool use) { if (use) notifyTarget_ = target; }
    void SetSkinDir(const std::filesystem::path& dir) { skinDir_ = dir; }

    // Append; closes an open rename editor without saving it; pictures on for a kind, off for 0;
    // selects the new entry and, with rename, opens the editor on it. Returns its index.
    int AddItem(uint32_t kind, const std::u16string& text, uint32_t value, bool rename = false);
    void InsertItem(int index, uint32_t kind, const std::u16string& text, uint32_t value);
    void ReplaceItem(int index, uint32_t kind, const std::u16string& text, uint32_t value);
    void DeleteItem(int index);
    void ResetContent();
    int GetCurSel() const;
    void SetCurSel(int index);
    int GetCount() const;
    uint32_t GetItemData(int index) const;
    std::u16string GetText(int index) const;
    bool IconsOn() const { return iconsOn_; }

    // The rename editor on an entry; commits with 1136, or cancels.
    void OpenEditor(int index);
    void CommitEditor();
    void CancelEditor();
    bool Editing() const { return editor_ != nullptr; }
    HWND Editor() const { return editor_; }

    std::function<void(int index)> onSelChange;
    std::function<void(int index)> onRenamed;
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& dis);
    void CloseEditor();
    void Notify(UINT message, int index);
    static LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    HWND notifyTarget_ = nullptr;
    HWND editor_ = nullptr;
    WNDPROC editorProc_ = nullptr;
    int editIndex_ = -1;
    bool closing_ = false;
    int id_ = 0;
    CFontHandle font_;
    CBrushHandle background_;
    COLORREF selectedBackground_;
    COLORREF textColour_;
    COLORREF selectedTextColour_;
    int itemHeight_ = 20;
    int iconWidth_ = 16, iconHeight_ = 16;
    bool iconsOn_ = true;
    bool renameOn_ = false;
    std::filesystem::path skinDir_;
    std::unique_ptr<CSkinScrollWnd> scroll_;
    int bars_ = kSkinVertical;
    struct Pictures;
    std::unique_ptr<Pictures> pictures_;
};

} // namespace n640::win
