#pragma once
// The owner-drawn tray menu: every item 75 x 22 with an icon column and centred text.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace n640::win {

class CXPMenu {
public:
    CXPMenu();
    ~CXPMenu();
    CXPMenu(const CXPMenu&) = delete;
    CXPMenu& operator=(const CXPMenu&) = delete;

    void AppendItem(UINT command, const std::u16string& text, WORD normalIcon, WORD selectedIcon);
    // Shows the menu at a screen point; the chosen command reaches owner as WM_COMMAND.
    void Track(HWND owner, POINT at, UINT flags);
    HMENU Handle() const { return menu_; }

    // Answers for the owner's WM_MEASUREITEM and WM_DRAWITEM; false when the item is not ours.
    static bool OnMeasureItem(MEASUREITEMSTRUCT* mis);
    static bool OnDrawItem(const DRAWITEMSTRUCT* dis);

    struct Item;

private:
    HMENU menu_;
    std::vector<std::unique_ptr<Item>> items_;
};

} // namespace n640::win
