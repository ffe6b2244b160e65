#include "ui/controls/win/Window.h"

#include <commctrl.h>

namespace n640::win {
namespace {

constexpr wchar_t kClassName[] = L"N640Window";

LRESULT CALLBACK ProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterOnce() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ProcThunk;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    registered = RegisterClassExW(&wc) != 0;
}

} // namespace

CWindow::~CWindow() { Destroy(); }

bool CWindow::Create(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int w, int h,
                     HWND parent, int id) {
    RegisterOnce();
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    HWND hwnd = CreateWindowExW(exStyle, kClassName, title, style, x, y, w, h, parent, menu,
                                GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

void CWindow::Destroy() {
    if (hwnd_) {
        HWND h = hwnd_;
        DestroyWindow(h);
        hwnd_ = nullptr;
    }
}

CWindow* CWindow::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    wchar_t cls[32];
    if (!GetClassNameW(hwnd, cls, 32) || lstrcmpW(cls, kClassName) != 0) return nullptr;
    return reinterpret_cast<CWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

namespace {
LRESULT CALLBACK ProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CWindow::Dispatch(hwnd, message, wParam, lParam);
}
} // namespace

LRESULT CWindow::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* created = static_cast<CWindow*>(cs->lpCreateParams);
        if (created) {
            created->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        }
    }
    auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT r = self->OnMessage(message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        if (self->modalRunning_) self->modalEnded_ = true;
        return r;
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool CWindow::PreTranslate(MSG&) { return false; }

bool PreTranslateChain(MSG& msg) {
    for (HWND h = msg.hwnd; h; h = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr) {
        if (CWindow* w = CWindow::FromHandle(h)) {
            if (w->PreTranslate(msg)) return true;
        }
    }
    return false;
}

INT_PTR CWindow::RunModal(HWND owner, bool show) {
    modalOwner_ = (owner && IsWindowEnabled(owner)) ? owner : nullptr;
    hideOnEnd_ = owner != nullptr;
    if (modalOwner_) EnableWindow(modalOwner_, FALSE);
    if (show && hwnd_) {
        ShowWindow(hwnd_, SW_SHOW);
        UpdateWindow(hwnd_);
    }
    modalRunning_ = true;
    modalEnded_ = false;
    modalResult_ = 0;
    MSG msg;
    while (!modalEnded_ && hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!PreTranslateChain(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    modalRunning_ = false;
    ReleaseOwner();
    return modalResult_;
}

void CWindow::ReleaseOwner() {
    // Re-enable the owner before hiding so that activation goes back to it.
    if (modalOwner_) {
        EnableWindow(modalOwner_, TRUE);
        modalOwner_ = nullptr;
    }
    if (hideOnEnd_ && hwnd_) ShowWindow(hwnd_, SW_HIDE);
    hideOnEnd_ = false;
}

void CWindow::EndModal(INT_PTR result) {
    modalResult_ = result;
    modalEnded_ = true;
    // An ended box leaves the screen at once, even while a nested loop (a message box opened
    // from inside it) keeps its own loop from returning yet.
    ReleaseOwner();
    if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the loop
}

HFONT SkinFont(int height, int weight, const wchar_t* face) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

SIZE FullScreenSize() {
    return {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

CTooltip::~CTooltip() {
    if (tip_) DestroyWindow(tip_);
}

void CTooltip::Set(HWND tool, const std::u16string& text, bool active) {
    text_ = text;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    ti.hwnd = tool;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<wchar_t*>(W(text_));
    if (!tip_) {
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, tool,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!tip_) return;
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
        SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageW(tip_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

} // namespace n640::win
