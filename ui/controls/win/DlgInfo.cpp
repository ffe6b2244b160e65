#include "ui/controls/win/DlgInfo.h"

#include "i18n/UiLanguage.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {
namespace {

constexpr int kOkId = 1;
constexpr int kCancelId = 2;
constexpr int kCloseId = 3;
constexpr COLORREF kTextColour = RGB(83, 97, 103);

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

} // namespace

CDlgInfo::CDlgInfo(std::u16string text, int mode, bool countdown, HWND owner)
    : text_(std::move(text)), mode_(mode), countdown_(countdown), chinese_(UiChinese()),
      owner_(owner && IsWindow(owner) ? owner : nullptr) {}

int CDlgInfo::Run() {
    const InfoSkinIds ids = InfoSkinFor(mode_ != 0);
    normal_ = SharedResourceBitmap(ids.normal);
    hover_ = SharedResourceBitmap(ids.hover);
    pressed_ = SharedResourceBitmap(ids.pressed);
    SIZE size = BitmapSize(normal_);
    if (size.cx == 0) size = {330, 170};
    const SIZE screen = FullScreenSize();
    int x = (screen.cx - size.cx) / 2, y = (screen.cy - size.cy) / 2;
    if (countdown_) {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        const Rect work{area.left, area.top, area.right, area.bottom};
        const Point corner = InfoCornerPosition(screen.cx, screen.cy, size.cx, size.cy,
                                                work.Width() > 0 ? &work : nullptr);
        x = corner.x;
        y = corner.y;
    }
    if (!Create(0, W(std::u16string(kInfoWindowTitle)), WS_POPUP | WS_CLIPCHILDREN, x, y, size.cx, size.cy,
                owner_)) {
        return kInfoCancel;
    }
    auto skin = [&](CGDIBitmapBtn& b, const Rect& r, const std::u16string& caption, int id) {
        b.Create(caption, WS_VISIBLE, ToRect(r), Hwnd(), id);
        b.SetSkin(r.left, r.top, r.right, r.bottom, normal_, hover_, pressed_, normal_);
    };
    // The message as an invisible static control too, so screen readers and tests can read it.
    CreateWindowExW(0, L"STATIC", W(text_), WS_CHILD | SS_NOPREFIX, kInfoMessageRect.left, kInfoMessageRect.top,
                    kInfoMessageRect.Width(), kInfoMessageRect.Height(), Hwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInfoMessageControl)), GetModuleHandleW(nullptr),
                    nullptr);
    skin(close_, kInfoCloseRect, u"", kCloseId);
    if (mode_ != 0) {
        skin(ok_, kInfoOkRectTwo, InfoOkText(chinese_), kOkId);
        skin(cancel_, kInfoCancelRect, InfoCancelText(chinese_), kCancelId);
    } else {
        skin(ok_, kInfoOkRectOne, InfoOkText(chinese_), kOkId);
    }
    if (countdown_) {
        timer_.Start();
        ok_.SetText(InfoCountdownText(chinese_, timer_.Remaining()));
        SetTimer(Hwnd(), kInfoCountdownTimer, kInfoCountdownPeriodMs, nullptr);
    }
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    const int result = static_cast<int>(RunModal(owner_, false));
    Destroy();
    return result == kInfoOk ? kInfoOk : kInfoCancel;
}

bool CDlgInfo::PreTranslate(MSG& msg) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        EndModal(msg.wParam == VK_RETURN ? kInfoOk : kInfoCancel);
        return true;
    }
    return false;
}

LRESULT CDlgInfo::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); }))
        return painted;
    switch (message) {
    case WM_LBUTTONDOWN: {
        // The caption drag takes the press in screen coordinates.
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(Hwnd(), &pt);
        PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_TIMER:
        if (wParam == kInfoCountdownTimer) {
            const CInfoCountdown::Tick t = timer_.OnTick();
            if (t.close) {
                KillTimer(Hwnd(), kInfoCountdownTimer);
                PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
            }
            ok_.SetText(InfoCountdownText(chinese_, t.shown));
        }
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == kOkId) {
            KillTimer(Hwnd(), kInfoCountdownTimer);
            EndModal(kInfoOk);
        } else if (id == kCancelId || id == kCloseId) {
            KillTimer(Hwnd(), kInfoCountdownTimer);
            EndModal(kInfoCancel);
        }
        return 0;
    }
    case WM_CLOSE:
        KillTimer(Hwnd(), kInfoCountdownTimer);
        EndModal(kInfoCancel);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void CDlgInfo::Paint(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    BlitBitmap(dc, 0, 0, client.right, client.bottom, normal_);
    CFontHandle font(SkinFont(14, 300));
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColour);
    RECT message = ToRect(kInfoMessageRect);
    DrawTextW(dc, W(text_), -1, &message, DT_WORDBREAK | DT_NOCLIP | DT_END_ELLIPSIS);
    RECT caption = ToRect(kInfoCaptionRect);
    const std::u16string title = InfoCaption(chinese_);
    DrawTextW(dc, W(title), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

int ShowInfo(const std::u16string& text, int mode) {
    CDlgInfo box(text, mode, false);
    return box.Run();
}

int ShowInfoCountdown(const std::u16string& text) {
    CDlgInfo box(text, 0, true);
    return box.Run();
}

int CDlgInfoNotifier::ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) {
    CDlgInfo box(std::u16string(text), buttons == InfoButtons::OkCancel ? 1 : 0, countdown);
    return box.Run();
}

void CDlgInfoNotifier::ShowSystemInfo(std::u16string_view text, WindowRef owner) {
    ShowSystemMessageBox(text, owner);
}

} // namespace n640::win
