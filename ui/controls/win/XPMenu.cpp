#include "ui/controls/win/XPMenu.h"

#include "ui/controls/win/Window.h"

namespace n640::win {

struct CXPMenu::Item {
    uint32_t tag = kTag;
    WORD normalIcon = 0;
    WORD selectedIcon = 0;
    std::u16string text;
    static constexpr uint32_t kTag = 0x58504D4E;  // marks our item data
};

CXPMenu::CXPMenu() : menu_(CreatePopupMenu()) {}

CXPMenu::~CXPMenu() {
    if (menu_) DestroyMenu(menu_);
}

void CXPMenu::AppendItem(UINT command, const std::u16string& text, WORD normalIcon, WORD selectedIcon) {
    auto item = std::make_unique<Item>();
    item->normalIcon = normalIcon;
    item->selectedIcon = selectedIcon;
    item->text = text;
    AppendMenuW(menu_, MF_OWNERDRAW, command, reinterpret_cast<LPCWSTR>(item.get()));
    items_.push_back(std::move(item));
}

void CXPMenu::Track(HWND owner, POINT at, UINT flags) {
    SetForegroundWindow(owner);
    TrackPopupMenu(menu_, flags, at.x, at.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

bool CXPMenu::OnMeasureItem(MEASUREITEMSTRUCT* mis) {
    if (mis->CtlType != ODT_MENU) return false;
    const auto* item = reinterpret_cast<const Item*>(mis->itemData);
    if (!item || item->tag != Item::kTag) return false;
    mis->itemWidth = 75;
    mis->itemHeight = 22;
    return true;
}

bool CXPMenu::OnDrawItem(const DRAWITEMSTRUCT* dis) {
    if (dis->CtlType != ODT_MENU) return false;
    const auto* item = reinterpret_cast<const Item*>(dis->itemData);
    if (!item || item->tag != Item::kTag) return false;
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    if (selected) {
        CBrushHandle frame(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(dc, &r, frame.Get());
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        CBrushHandle fill(CreateSolidBrush(RGB(177, 184, 207)));
        FillRect(dc, &inner, fill.Get());
    } else {
        CBrushHandle fill(CreateSolidBrush(RGB(219, 216, 209)));
        RECT column{r.left, r.top, r.left + 25, r.bottom};
        FillRect(dc, &column, fill.Get());
        RECT rest{r.left + 25, r.top, r.right, r.bottom};
        FillRect(dc, &rest, fill.Get());
    }
    const WORD iconId = selected ? item->selectedIcon : item->normalIcon;
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                               16, 16, 0));
    if (icon) {
        DrawIconEx(dc, r.left + 4, r.top + (r.bottom - r.top - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    CFontHandle font(SkinFont(14, 500, L"Arial"));
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? RGB(0, 60, 145) : RGB(0, 0, 0));
    RECT text{r.left + 33, r.top, r.right, r.bottom};
    DrawTextW(dc, W(item->text), -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
    return true;
}

} // namespace n640::win
