#pragma once
// The interface of MenuEx.dll as its callers see it: the item record, the three entry points and
// the message a chosen item posts. Shared by the library and the program that loads it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace n640 {

constexpr size_t kMenuExTextUnits = 40;  // UTF-16 units, the terminating 0 included

struct MenuExItem {
    uint32_t state;  // 255 for every item the program passes
    uint32_t id;
    char16_t text[kMenuExTextUnits];
};
static_assert(sizeof(MenuExItem) == 88);
static_assert(offsetof(MenuExItem, state) == 0);
static_assert(offsetof(MenuExItem, id) == 4);
static_assert(offsetof(MenuExItem, text) == 8);

constexpr uint32_t kMenuExItemState = 255;
constexpr uint32_t kMenuExChosen = 1281;  // posted to the owner, lParam = the item's id
constexpr size_t kMenuExPictureCount = 8;

// An item record: state 255, the id and at most 39 units of text, always terminated.
inline MenuExItem MakeMenuExItem(uint32_t id, std::u16string_view text) {
    MenuExItem item{kMenuExItemState, id, {}};
    const size_t n = text.size() < kMenuExTextUnits - 1 ? text.size() : kMenuExTextUnits - 1;
    for (size_t i = 0; i < n; ++i) item.text[i] = text[i];
    return item;
}

// Layout of the library's popup: a 1-pixel frame, then count items of itemHeight each.
struct MenuExLayout {
    int width = 0;
    int itemHeight = 0;
    int count = 0;
    int Height() const { return 2 + itemHeight * count; }
    // The index of the item at a point of the popup, -1 for none.
    int ItemAt(int x, int y) const {
        if (x < 1 || x >= width - 1 || y < 1 || itemHeight <= 0) return -1;
        const int index = (y - 1) / itemHeight;
        return index < count ? index : -1;
    }
};

} // namespace n640

// The entry points, resolved by name ("CreateMenuEx", "DestroyMenuEx", "DllPreTranslateMessage").
// CreateMenuEx: owner window, item height, the screen point, background, text and highlight
// colours (0x00BBGGRR), the eight picture paths, the items and their count; non-zero when a menu
// opened.
#ifdef _WIN32
#include <windows.h>
extern "C" {
typedef int(__cdecl* CreateMenuExFn)(HWND owner, int itemHeight, const POINT* at, COLORREF background,
                                     COLORREF text, COLORREF highlight, const wchar_t* normalLeft,
                                     const wchar_t* overLeft, const wchar_t* downLeft, const wchar_t* disabledLeft,
                                     const wchar_t* normalSub, const wchar_t* overSub, const wchar_t* downSub,
                                     const wchar_t* disabledSub, const n640::MenuExItem* items, int count);
typedef void(__cdecl* DestroyMenuExFn)();
typedef BOOL(__cdecl* DllPreTranslateMessageFn)(MSG* msg);
}
#endif
