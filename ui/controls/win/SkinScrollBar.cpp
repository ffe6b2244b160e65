#include "ui/controls/win/SkinScrollBar.h"

#include <algorithm>

#include "ui/controls/win/SkinImage.h"

namespace n640::win {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT_PTR kRefreshTimer = 2;
constexpr UINT kRefreshMs = 500;
constexpr UINT kDropWrapping = WM_USER + 101;
constexpr wchar_t kWrapProp[] = L"N640.SkinScrollWnd";
constexpr int kHorizontalBarId = 100;
constexpr int kVerticalBarId = 101;
constexpr int kLimitId = 200;

} // namespace

bool CSkinScrollBar::Create(DWORD style, const RECT& rect, HWND parent, int id) {
    vertical_ = (style & SBS_VERT) != 0;
    return CWindow::Create(0, L"", style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, id);
}

void CSkinScrollBar::SetBitmap(HBITMAP strip) {
    strip_ = strip;
    const SIZE size = BitmapSize(strip);
    if (size.cx >= 9 && size.cy >= 3) {
        cellW_ = size.cx / 9;
        cellH_ = size.cy / 3;
    }
    if (Hwnd()) {
        RECT r;
        GetWindowRect(Hwnd(), &r);
        SetWindowPos(Hwnd(), nullptr, 0, 0, vertical_ ? cellW_ : r.right - r.left, vertical_ ? r.bottom - r.top : cellW_,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate();
    }
}

int CSkinScrollBar::Length() const {
    RECT c;
    GetClientRect(Hwnd(), &c);
    return vertical_ ? c.bottom : c.right;
}

int CSkinScrollBar::Along(LPARAM lParam) const {
    return vertical_ ? static_cast<short>(HIWORD(lParam)) : static_cast<short>(LOWORD(lParam));
}

int CSkinScrollBar::PointerAlong() const {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(Hwnd(), &pt);
    return vertical_ ? pt.y : pt.x;
}

ScrollGeometry CSkinScrollBar::Geometry() const { return ComputeScrollGeometry(Length(), Cell(), state_); }

void CSkinScrollBar::Send(int code, int pos) {
    const WPARAM w = (static_cast<WPARAM>(static_cast<unsigned>(pos) & 0xFFFF) << 16) | static_cast<unsigned>(code);
    SendMessageW(GetParent(Hwnd()), vertical_ ? WM_VSCROLL : WM_HSCROLL, w, reinterpret_cast<LPARAM>(Hwnd()));
}

LRESULT CSkinScrollBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); })) return painted;
    switch (message) {
    case SBM_SETSCROLLINFO: {
        const auto* si = reinterpret_cast<const SCROLLINFO*>(lParam);
        if (!si) return 0;
        if (si->fMask & SIF_RANGE) {
            state_.min = si->nMin;
            state_.max = si->nMax;
        }
        if (si->fMask & SIF_PAGE) state_.page = static_cast<int>(si->nPage);
        if (si->fMask & SIF_POS) state_.pos = si->nPos;
        if (wParam) Invalidate();
        return state_.pos;
    }
    case SBM_GETSCROLLINFO: {
        auto* si = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!si) return FALSE;
        if (si->fMask & SIF_RANGE) {
            si->nMin = state_.min;
            si->nMax = state_.max;
        }
        if (si->fMask & SIF_PAGE) si->nPage = static_cast<UINT>(state_.page);
        if (si->fMask & SIF_POS) si->nPos = state_.pos;
        if (si->fMask & SIF_TRACKPOS) si->nTrackPos = state_.trackPos >= 0 ? state_.trackPos : state_.pos;
        return TRUE;
    }
    case WM_ENABLE:
        Invalidate();
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;  // double clicks are ignored
    case WM_LBUTTONDOWN: {
        if (!IsWindowEnabled(Hwnd())) return 0;
        SetCapture(Hwnd());
        const int at = Along(lParam);
        const int part = Geometry().HitTest(at);
        if (part == kScrollThumb) {
            dragFrom_ = at;
            dragStartPos_ = state_.pos;
            state_.trackPos = state_.pos;
            pressed_ = kScrollThumb;
        } else if (part != kScrollNone) {
            pressed_ = part;
            Send(part, state_.pos);
            repeatFirst_ = true;
            SetTimer(Hwnd(), kRepeatTimer, kScrollRepeatFirstMs, nullptr);
        }
        Invalidate();
        return 0;
    }
    case WM_TIMER:
        if (wParam != kRepeatTimer) return 0;
        if (repeatFirst_) {
            repeatFirst_ = false;
            SetTimer(Hwnd(), kRepeatTimer, kScrollRepeatNextMs, nullptr);
        }
        switch (ScrollRepeatStep(pressed_, state_, Geometry(), PointerAlong())) {
        case RepeatStep::Send:
            Send(pressed_, state_.pos);
            break;
        case RepeatStep::Pause:
            break;
        case RepeatStep::Stop:
            KillTimer(Hwnd(), kRepeatTimer);
            break;
        }
        return 0;
    case WM_MOUSEMOVE: {
        if (!trackingLeave_) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Hwnd(), 0};
            trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
        }
        const int at = Along(lParam);
        if (state_.trackPos >= 0) {
            const ScrollGeometry g = Geometry();
            const int pos = ScrollDragPosition(state_, dragStartPos_, at - dragFrom_, Length(), Cell(), g.thumb);
            if (pos != state_.trackPos) {
                state_.trackPos = pos;
                Invalidate();
                Send(kScrollThumb, pos);
            }
            return 0;
        }
        const int part = Geometry().HitTest(at);
        if (part != hover_) {
            hover_ = part;
            Invalidate();
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        if (hover_ != kScrollNone) {
            hover_ = kScrollNone;
            Invalidate();
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) == Hwnd()) return 0;
        KillTimer(Hwnd(), kRepeatTimer);
        if (state_.trackPos >= 0) {
            const int final = state_.trackPos;
            state_.trackPos = -1;
            state_.pos = final;
            Send(kScrollThumbEnd, final);
        }
        pressed_ = kScrollNone;
        if (message == WM_LBUTTONUP) ReleaseCapture();
        hover_ = Geometry().HitTest(PointerAlong());
        Invalidate();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

int CSkinScrollBar::RowOf(int part) const {
    if (!IsWindowEnabled(Hwnd())) return 0;
    if (pressed_ == part) return 2;
    if (hover_ == part) return 1;
    return 0;
}

void CSkinScrollBar::DrawCell(HDC dc, int column, int row, const RECT& to) {
    if (!strip_ || to.right <= to.left || to.bottom <= to.top) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, strip_);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, mem, column * cellW_, row * cellH_, cellW_,
               cellH_, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void CSkinScrollBar::Paint(HDC dc) {
    PaintBuffered(dc, [&](HDC mem, const RECT& c) {
        const ScrollGeometry g = Geometry();
        const int base = vertical_ ? 0 : 4;
        const int cross = vertical_ ? c.right : c.bottom;
        // A span along the bar as a rectangle.
        auto span = [&](int from, int to) {
            return vertical_ ? RECT{0, from, cross, to} : RECT{from, 0, to, cross};
        };
        // Track, tiled cell by cell.
        for (int y = g.arrow; y < g.length - g.arrow; y += Cell()) {
            DrawCell(mem, base + 3, 0, span(y, std::min(y + Cell(), g.length - g.arrow)));
        }
        DrawCell(mem, base + 0, RowOf(kScrollLineUp), span(0, g.arrow));
        DrawCell(mem, base + 1, RowOf(kScrollLineDown), span(g.length - g.arrow, g.length));
        if (g.thumb > 0 && IsWindowEnabled(Hwnd())) {
            // The thumb: 3-pixel end caps from the cell's ends and its middle stretched between them.
            const int row = state_.trackPos >= 0 ? 2 : RowOf(kScrollThumb);
            const int s = g.thumbStart, e = g.thumbStart + g.thumb;
            HDC cell = CreateCompatibleDC(mem);
            HGDIOBJ oldCell = SelectObject(cell, strip_);
            const int sx = (base + 2) * cellW_, sy = row * cellH_;
            const int cap = std::min(3, g.thumb / 2);
            SetStretchBltMode(mem, COLORONCOLOR);
            if (vertical_) {
                StretchBlt(mem, 0, s, cross, cap, cell, sx, sy, cellW_, cap, SRCCOPY);
                StretchBlt(mem, 0, s + cap, cross, g.thumb - 2 * cap, cell, sx, sy + cap, cellW_, cellH_ - 2 * cap,
                           SRCCOPY);
                StretchBlt(mem, 0, e - cap, cross, cap, cell, sx, sy + cellH_ - cap, cellW_, cap, SRCCOPY);
            } else {
                StretchBlt(mem, s, 0, cap, cross, cell, sx, sy, cap, cellH_, SRCCOPY);
                StretchBlt(mem, s + cap, 0, g.thumb - 2 * cap, cross, cell, sx + cap, sy, cellW_ - 2 * cap, cellH_,
                           SRCCOPY);
                StretchBlt(mem, e - cap, 0, cap, cross, cell, sx + cellW_ - cap, sy, cap, cellH_, SRCCOPY);
            }
            SelectObject(cell, oldCell);
            DeleteDC(cell);
        }
    });
}

CSkinScrollWnd::~CSkinScrollWnd() { Unwrap(); }

std::unique_ptr<CSkinScrollWnd> SkinWndScroll(HWND window, HBITMAP strip, int bars) {
    auto wrap = std::make_unique<CSkinScrollWnd>();
    if (!wrap->Wrap(window, strip, bars)) return nullptr;
    return wrap;
}

bool CSkinScrollWnd::Wrap(HWND window, HBITMAP strip, int bars) {
    if (!window || wrapped_ || GetPropW(window, kWrapProp)) return false;
    HWND parent = GetParent(window);
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG ex = GetWindowLongW(window, GWL_EXSTYLE);
    // A window hides its own bar while it has nothing to scroll (an empty list does), so the
    // caller may name the bars it was created with.
    hasV_ = bars >= 0 ? (bars & kSkinVertical) != 0 : (style & WS_VSCROLL) != 0;
    hasH_ = bars >= 0 ? (bars & kSkinHorizontal) != 0 : (style & WS_HSCROLL) != 0;
    // The frame takes over the window's plain border and client edge.
    const DWORD frameStyle = WS_CHILD | WS_CLIPCHILDREN | (style & WS_VISIBLE) | (style & WS_BORDER);
    const DWORD frameEx = ex & WS_EX_CLIENTEDGE;
    if (!Create(frameEx, L"SkinScrollBarFrame", frameStyle, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                0)) {
        return false;
    }
    SetWindowLongW(window, GWL_STYLE, style & ~WS_BORDER);
    SetWindowLongW(window, GWL_EXSTYLE, ex & ~WS_EX_CLIENTEDGE);
    original_ = r;
    originalParent_ = parent;
    limit_.Create(0, L"LIMIT", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1, 1, Hwnd(), kLimitId);
    const bool left = (ex & WS_EX_LEFTSCROLLBAR) != 0;
    corner_ = hasV_ && hasH_ ? (left ? 1 : 2) : 0;
    vbar_.Create(SBS_VERT | (hasV_ ? WS_VISIBLE : 0), RECT{0, 0, 18, 18}, Hwnd(), kVerticalBarId);
    hbar_.Create(SBS_HORZ | (hasH_ ? WS_VISIBLE : 0), RECT{0, 0, 18, 18}, Hwnd(), kHorizontalBarId);
    vbar_.SetBitmap(strip);
    hbar_.SetBitmap(strip);
    strip_ = strip;
    wrapped_ = window;
    SetParent(window, limit_.Hwnd());
    SetPropW(window, kWrapProp, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSkinScrollWnd::WrappedProc)));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Layout();
    Refresh();
    SetTimer(Hwnd(), kRefreshTimer, kRefreshMs, nullptr);
    return true;
}

void CSkinScrollWnd::Layout() {
    if (!wrapped_ || !Hwnd()) return;
    RECT c;
    GetClientRect(Hwnd(), &c);
    const int cell = vbar_.Cell();
    const bool left = corner_ == 1 || (hasV_ && (GetWindowLongW(wrapped_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR));
    const int vw = hasV_ ? cell : 0, hh = hasH_ ? cell : 0;
    const int innerW = std::max(0, static_cast<int>(c.right) - vw);
    const int innerH = std::max(0, static_cast<int>(c.bottom) - hh);
    const int limitX = left ? vw : 0;
    SetWindowPos(limit_.Hwnd(), nullptr, limitX, 0, innerW, innerH, SWP_NOZORDER | SWP_NOACTIVATE);
    if (hasV_) {
        SetWindowPos(vbar_.Hwnd(), nullptr, left ? 0 : innerW, 0, cell, innerH, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (hasH_) SetWindowPos(hbar_.Hwnd(), nullptr, limitX, innerH, innerW, cell, SWP_NOZORDER | SWP_NOACTIVATE);
    // The window's own bars lie just outside "LIMIT", so only the skin bars are seen.
    const int ownV = hasV_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int ownH = hasH_ ? GetSystemMetrics(SM_CYHSCROLL) : 0;
    SetWindowPos(wrapped_, nullptr, left ? -ownV : 0, 0, innerW + ownV, innerH + ownH, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void CSkinScrollWnd::Refresh() {
    if (!wrapped_) return;
    const struct {
        CSkinScrollBar& bar;
        int which;
        bool has;
    } bars[] = {{vbar_, SB_VERT, hasV_}, {hbar_, SB_HORZ, hasH_}};
    for (const auto& b : bars) {
        if (!b.has || !b.bar.Hwnd() || b.bar.Dragging()) continue;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        const bool ok = GetScrollInfo(wrapped_, b.which, &si) != FALSE;
        if (!ok) si = SCROLLINFO{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        const ScrollState& now = b.bar.State();
        if (now.min != si.nMin || now.max != si.nMax || now.page != static_cast<int>(si.nPage) || now.pos != si.nPos) {
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            SendMessageW(b.bar.Hwnd(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
        }
        // Enabled only while there is something to scroll.
        const bool enable = ok && si.nMax >= static_cast<int>(si.nPage) && si.nMax > si.nMin;
        if ((IsWindowEnabled(b.bar.Hwnd()) != FALSE) != enable) EnableWindow(b.bar.Hwnd(), enable);
    }
}

LRESULT CALLBACK CSkinScrollWnd::WrappedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CSkinScrollWnd*>(GetPropW(hwnd, kWrapProp));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC previous = self->previous_;
    if (message == WM_NCDESTROY) {
        // The window goes first: undo the subclass and let the frame go after it.
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(hwnd, kWrapProp);
        self->wrapped_ = nullptr;
        if (self->Hwnd()) PostMessageW(self->Hwnd(), kDropWrapping, 0, 0);
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    const LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
    if (!self->scrolling_ && self->wrapped_ == hwnd) self->Refresh();
    return result;
}

void CSkinScrollWnd::Unwrap() {
    if (wrapped_ && IsWindow(wrapped_)) {
        SetWindowLongPtrW(wrapped_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropW(wrapped_, kWrapProp);
        SetParent(wrapped_, originalParent_);
        LONG style = GetWindowLongW(wrapped_, GWL_STYLE);
        if (Hwnd() && (GetWindowLongW(Hwnd(), GWL_STYLE) & WS_BORDER)) style |= WS_BORDER;
        SetWindowLongW(wrapped_, GWL_STYLE, style);
        if (Hwnd() && (GetWindowLongW(Hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) {
            SetWindowLongW(wrapped_, GWL_EXSTYLE, GetWindowLongW(wrapped_, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        }
        SetWindowPos(wrapped_, nullptr, original_.left, original_.top, original_.right - original_.left,
                     original_.bottom - original_.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    wrapped_ = nullptr;
    Destroy();
}

LRESULT CSkinScrollWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto paint = [&](HDC dc) {
        RECT c;
        GetClientRect(Hwnd(), &c);
        FillRect(dc, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (corner_ != 0 && strip_) {
            // The corner square where the two bars meet.
            const int cell = vbar_.Cell();
            const int x = corner_ == 1 ? 0 : c.right - cell;
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, strip_);
            const SIZE size = BitmapSize(strip_);
            BitBlt(dc, x, c.bottom - cell, cell, cell, mem, 8 * (size.cx / 9), (corner_ == 1 ? 1 : 0) * (size.cy / 3),
                   SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
    };
    if (LRESULT painted = 0; PaintMessage(message, painted, paint)) return painted;
    switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL: {
        if (!wrapped_) return 0;
        // A skin bar's notice goes to the wrapped window as if from its own bar.
        scrolling_ = true;
        SendMessageW(wrapped_, message, wParam, 0);
        scrolling_ = false;
        if (LOWORD(wParam) != kScrollThumb) Refresh();
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case kDropWrapping:
        if (!wrapped_) Destroy();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace n640::win
