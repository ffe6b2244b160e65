// MenuEx.dll: a skinned popup menu opened at a screen point. Choosing an item posts 1281 with the
// item's id to the owner window and closes the menu; a click elsewhere, Escape or DestroyMenuEx
// close it without a choice. One menu at a time; the caller's message loop drives it.

#include <windows.h>

#include <string>
#include <vector>

#include "menuex/MenuExApi.h"

namespace {

constexpr wchar_t kClassName[] = L"N640MenuEx";
constexpr int kMinWidth = 140;
constexpr int kTextLeft = 14;
constexpr int kTextRight = 14;

HINSTANCE g_module = nullptr;

struct Menu {
    HWND window = nullptr;
    HWND owner = nullptr;
    COLORREF background = 0;
    COLORREF text = 0;
    COLORREF highlight = 0;
    HBITMAP pictures[n640::kMenuExPictureCount] = {};
    struct Item {
        uint32_t id;
        std::wstring text;
    };
    std::vector<Item> items;
    n640::MenuExLayout layout;
    HFONT font = nullptr;
    int hover = -1;
    int pressed = -1;
    bool closing = false;
};

Menu* g_menu = nullptr;  // the open menu

HBITMAP LoadPicture(const wchar_t* path) {
    if (!path || !*path) return nullptr;
    return static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void FreeMenu(Menu* m) {
    for (HBITMAP& b : m->pictures) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
    if (m->font) DeleteObject(m->font);
    delete m;
}

void CloseMenu() {
    Menu* m = g_menu;
    if (!m || m->closing) return;
    m->closing = true;
    g_menu = nullptr;
    if (m->window && IsWindow(m->window)) DestroyWindow(m->window);
    FreeMenu(m);
}

// Draws a picture stretched over a rectangle; false without the picture.
bool DrawPicture(HDC dc, HBITMAP picture, const RECT& r) {
    if (!picture) return false;
    BITMAP bm{};
    if (!GetObjectW(picture, sizeof bm, &bm)) return false;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, picture);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    return true;
}

void Paint(Menu& m, HDC dc) {
    RECT c;
    GetClientRect(m.window, &c);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, c.right, c.bottom);
    HGDIOBJ oldBmp = SelectObject(mem, buffer);
    HBRUSH back = CreateSolidBrush(m.background);
    FillRect(mem, &c, back);
    DeleteObject(back);
    HBRUSH frame = CreateSolidBrush(m.highlight);
    FrameRect(mem, &c, frame);
    DeleteObject(frame);
    HGDIOBJ oldFont = SelectObject(mem, m.font);
    SetBkMode(mem, TRANSPARENT);
    for (int i = 0; i < static_cast<int>(m.items.size()); ++i) {
        RECT r{1, 1 + i * m.layout.itemHeight, c.right - 1, 1 + (i + 1) * m.layout.itemHeight};
        // Pictures: 0 normal, 1 over, 2 down (items without a submenu).
        const int look = i == m.pressed ? 2 : (i == m.hover ? 1 : 0);
        if (!DrawPicture(mem, m.pictures[look], r) && look != 0) {
            HBRUSH hl = CreateSolidBrush(m.highlight);
            FillRect(mem, &r, hl);
            DeleteObject(hl);
        }
        SetTextColor(mem, m.text);
        RECT tr{r.left + kTextLeft, r.top, r.right - kTextRight, r.bottom};
        DrawTextW(mem, m.items[i].text.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    }
    SelectObject(mem, oldFont);
    BitBlt(dc, 0, 0, c.right, c.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteObject(buffer);
    DeleteDC(mem);
}

LRESULT CALLBACK MenuProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Menu* m = g_menu && g_menu->window == hwnd ? g_menu : nullptr;
    if (!m) return DefWindowProcW(hwnd, message, wParam, lParam);
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(*m, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE: {
        const int at = m->layout.ItemAt(x, y);
        if (at != m->hover) {
            m->hover = at;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        RECT c;
        GetClientRect(hwnd, &c);
        if (x < 0 || y < 0 || x >= c.right || y >= c.bottom) {
            // A press outside while the menu holds the capture: close without a choice.
            CloseMenu();
            return 0;
        }
        m->pressed = m->layout.ItemAt(x, y);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONUP: {
        const int at = m->layout.ItemAt(x, y);
        if (at >= 0 && at == m->pressed) {
            PostMessageW(m->owner, n640::kMenuExChosen, 0, static_cast<LPARAM>(m->items[at].id));
            CloseMenu();
            return 0;
        }
        m->pressed = -1;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case WM_RBUTTONDOWN:
        if (x < 0 || y < 0) CloseMenu();
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the menu has lost its click-away watch.
        if (reinterpret_cast<HWND>(lParam) != hwnd) CloseMenu();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) CloseMenu();
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool RegisterOnce() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = MenuProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

__declspec(dllexport) int __cdecl CreateMenuEx(HWND owner, int itemHeight, const POINT* at, COLORREF background,
                                               COLORREF text, COLORREF highlight, const wchar_t* normalLeft,
                                               const wchar_t* overLeft, const wchar_t* downLeft,
                                               const wchar_t* disabledLeft, const wchar_t* normalSub,
                                               const wchar_t* overSub, const wchar_t* downSub,
                                               const wchar_t* disabledSub, const n640::MenuExItem* items, int count) {
    CloseMenu();
    if (!at || !items || count <= 0 || itemHeight <= 0 || !RegisterOnce()) return 0;
    auto* m = new Menu;
    m->owner = owner;
    m->background = background;
    m->text = text;
    m->highlight = highlight;
    const wchar_t* paths[n640::kMenuExPictureCount] = {normalLeft, overLeft, downLeft, disabledLeft,
                                                       normalSub, overSub, downSub, disabledSub};
    for (size_t i = 0; i < n640::kMenuExPictureCount; ++i) m->pictures[i] = LoadPicture(paths[i]);
    m->font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg");
    // Widest text decides the width.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, m->font);
    int width = kMinWidth;
    for (int i = 0; i < count; ++i) {
        Menu::Item item{items[i].id, {}};
        for (size_t k = 0; k < n640::kMenuExTextUnits && items[i].text[k]; ++k) {
            item.text.push_back(static_cast<wchar_t>(items[i].text[k]));
        }
        SIZE size{};
        GetTextExtentPoint32W(screen, item.text.c_str(), static_cast<int>(item.text.size()), &size);
        if (size.cx + kTextLeft + kTextRight + 2 > width) width = size.cx + kTextLeft + kTextRight + 2;
        m->items.push_back(std::move(item));
    }
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    m->layout = n640::MenuExLayout{width, itemHeight, count};
    // Keep the menu on the screen.
    int x = at->x, y = at->y;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    if (x + width > sw) x = sw - width;
    if (y + m->layout.Height() > sh) y = sh - m->layout.Height();
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    g_menu = m;
    m->window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"MenuEx", WS_POPUP, x,
                                y, width, m->layout.Height(), owner, nullptr, g_module, nullptr);
    if (!m->window) {
        g_menu = nullptr;
        FreeMenu(m);
        return 0;
    }
    ShowWindow(m->window, SW_SHOWNOACTIVATE);
    UpdateWindow(m->window);
    // The capture tells the menu of presses anywhere, so a click away can close it.
    SetCapture(m->window);
    return 1;
}

__declspec(dllexport) void __cdecl DestroyMenuEx() { CloseMenu(); }

__declspec(dllexport) BOOL __cdecl DllPreTranslateMessage(MSG* msg) {
    // Escape closes an open menu; nothing else is taken from the caller's loop.
    if (g_menu && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        CloseMenu();
        return TRUE;
    }
    return FALSE;
}

} // extern "C"
