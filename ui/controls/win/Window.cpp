#include "ui/controls/win/Window.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "i18n/LanguageTable.h"
#include "platform/Poster.h"

namespace n640::win {
namespace {

constexpr wchar_t kClassName[] = L"N640Window";
constexpr wchar_t kReflectProp[] = L"N640.Reflect";

CReflectTarget* TargetOf(HWND control) {
    if (!control) return nullptr;
    return static_cast<CReflectTarget*>(GetPropW(control, kReflectProp));
}

// The descendant of parent with a control id (a wrapped list sits inside its scroll frame).
HWND DescendantWithId(HWND parent, int id) {
    if (HWND direct = GetDlgItem(parent, id)) return direct;
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(child) != s->id || !GetPropW(child, kReflectProp)) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The window a parent's notification is about; null when it names none.
HWND SenderOf(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case msg::PadButton:
        return reinterpret_cast<HWND>(lParam);
    case msg::SliderPosition:  // lParam: the slider's control id
        return GetDlgItem(parent, static_cast<int>(lParam));
    case msg::ListSelChanged:  // wParam: the list's control id
    case msg::ListNameEdited:
        return DescendantWithId(parent, static_cast<int>(wParam));
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return dis && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return mis && mis->CtlType != ODT_MENU ? GetDlgItem(parent, static_cast<int>(wParam)) : nullptr;
    }
    default:
        return nullptr;
    }
}

std::vector<CTooltip*>& KeyedTooltips() {
    static std::vector<CTooltip*> tips;
    return tips;
}

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

CReflectTarget::~CReflectTarget() { DetachReflection(); }

bool CReflectTarget::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void CReflectTarget::AttachReflection(HWND control) {
    DetachReflection();
    if (control && SetPropW(control, kReflectProp, this)) reflected_ = control;
}

void CReflectTarget::DetachReflection() {
    if (reflected_ && IsWindow(reflected_) && GetPropW(reflected_, kReflectProp) == this) {
        RemovePropW(reflected_, kReflectProp);
    }
    reflected_ = nullptr;
}

bool ReflectToSender(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND sender = SenderOf(parent, message, wParam, lParam);
    if (!sender || sender == parent || !IsChild(parent, sender)) return false;
    CReflectTarget* target = TargetOf(sender);
    return target && target->OnReflected(message, wParam, lParam, result);
}

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
            created->AttachReflection(hwnd);
        }
    }
    auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (LRESULT reflected = 0; ReflectToSender(hwnd, message, wParam, lParam, reflected)) return reflected;
    if (message == WM_NCDESTROY) {
        self->DetachReflection();
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
    auto& tips = KeyedTooltips();
    tips.erase(std::remove(tips.begin(), tips.end(), this), tips.end());
    if (OwnTip()) DestroyWindow(tip_);
}

bool CTooltip::OwnTip() const {
    // The tooltip window goes with its owner; by then the handle may name another window.
    if (!tip_ || !IsWindow(tip_) || GetWindow(tip_, GW_OWNER) != owner_) return false;
    wchar_t cls[32];
    return GetClassNameW(tip_, cls, 32) && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0;
}

void CTooltip::SetKey(HWND tool, std::string_view key) {
    auto& tips = KeyedTooltips();
    if (key_.empty() && !key.empty()) tips.push_back(this);
    if (!key_.empty() && key.empty()) tips.erase(std::remove(tips.begin(), tips.end(), this), tips.end());
    key_ = std::string(key);
    if (!key_.empty()) Set(tool, LangText(key_), true);
}

void ReapplyTexts() {
    // A copy: setting a text never registers or drops a tooltip, but stay safe if it did.
    const std::vector<CTooltip*> tips = KeyedTooltips();
    for (CTooltip* tip : tips) {
        if (tip->tool_ && IsWindow(tip->tool_)) tip->Set(tip->tool_, LangText(tip->key_), true);
    }
}

void CTooltip::Set(HWND tool, const std::u16string& text, bool active) {
    if (tip_ && !OwnTip()) tip_ = nullptr;  // destroyed with its owner window
    if (tip_ && tool != tool_) {
        DestroyWindow(tip_);
        tip_ = nullptr;
    }
    tool_ = tool;
    text_ = text;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    ti.hwnd = tool;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<wchar_t*>(W(text_));
    if (!tip_) {
        owner_ = GetAncestor(tool, GA_ROOT);
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!tip_) return;
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
        SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageW(tip_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

} // namespace n640::win
