#include "ui/controls/win/DlgProgress.h"

#include <objidl.h>
#include <gdiplus.h>

#include "i18n/UiLanguage.h"
#include "platform/Poster.h"

namespace n640::win {
namespace {
constexpr UINT_PTR kCloseTimer = 1;
}

struct CDlgProgress::Pictures {
    std::unique_ptr<Gdiplus::Bitmap> background;
    std::unique_ptr<Gdiplus::Bitmap> fill;
};

CDlgProgress::CDlgProgress() : pictures_(std::make_unique<Pictures>()) {}
CDlgProgress::~CDlgProgress() = default;

bool CDlgProgress::CreateOnce(const std::filesystem::path& installDir) {
    installDir_ = installDir;
    if (Hwnd()) return true;
    return Create(WS_EX_TOOLWINDOW, W(std::u16string(kProgressWindowTitle)), WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                  330, 80, nullptr);
}

void CDlgProgress::LoadPictures() {
    const std::filesystem::path dir = installDir_ / L"skins" / L"ProgressBar";
    auto load = [](const std::filesystem::path& p) -> std::unique_ptr<Gdiplus::Bitmap> {
        auto b = std::make_unique<Gdiplus::Bitmap>(p.c_str());
        if (b->GetLastStatus() != Gdiplus::Ok) return nullptr;
        return b;
    };
    pictures_->background = load(dir / L"Progress_Normal.png");
    pictures_->fill = load(dir / L"Progress_Over.png");
}

void CDlgProgress::ReleasePictures() {
    bar_.ReleasePictures();
    pictures_->background.reset();
    pictures_->fill.reset();
}

void CDlgProgress::Show(HWND owner) {
    if (!Hwnd()) return;
    KillTimer(Hwnd(), kCloseTimer);
    LoadPictures();
    int w = 330, h = 80;
    if (pictures_->background) {
        w = static_cast<int>(pictures_->background->GetWidth());
        h = static_cast<int>(pictures_->background->GetHeight());
    }
    const SIZE screen = FullScreenSize();
    SetWindowLongPtrW(Hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    SetWindowPos(Hwnd(), nullptr, (screen.cx - w) / 2, (screen.cy - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT r{kProgressBarRect[0], kProgressBarRect[1], kProgressBarRect[2], kProgressBarRect[3]};
    if (!bar_.Hwnd()) bar_.Create(r, Hwnd(), kProgressBarId);
    bar_.SetPictures(r, pictures_->background.get(), pictures_->fill.get());
    bar_.SetReadOnly(true);
    bar_.SetRange(0, 100);
    bar_.SetPos(0);
    model_.SetRange(0, 100);
    model_.SetPos(0);
    ShowWindow(Hwnd(), SW_SHOW);
    // Come to the front even when another program's window is active.
    HWND foreground = GetForegroundWindow();
    const DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD self = GetCurrentThreadId();
    if (other && other != self) AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(Hwnd());
    if (other && other != self) AttachThreadInput(self, other, FALSE);
    RunModal(owner, false);
}

void CDlgProgress::Close() {
    if (Hwnd() && IsModalRunning()) SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

bool CDlgProgress::PreTranslate(MSG& msg) {
    return FilterKey(msg.message, static_cast<unsigned>(msg.wParam), false) != KeyAction::Pass;
}

LRESULT CDlgProgress::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); }))
        return painted;
    switch (message) {
    case msg::ApplyProgress: {
        const ProgressStep step = OnProgressMessage(model_, static_cast<long long>(wParam));
        bar_.SetPos(step.pos);
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (step.closeAfterDelay) SetTimer(Hwnd(), kCloseTimer, kProgressCloseDelayMs, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            KillTimer(Hwnd(), kCloseTimer);
            PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_CLOSE:
        KillTimer(Hwnd(), kCloseTimer);
        ReleasePictures();
        if (IsModalRunning()) EndModal(0);
        return 0;
    case WM_DESTROY:
        // GDI+ must still be running when the pictures go: release them with the window.
        ReleasePictures();
        return Default(message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

void CDlgProgress::Paint(HDC dc) {
    RECT c;
    GetClientRect(Hwnd(), &c);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, c.right, c.bottom);
    HGDIOBJ old = SelectObject(mem, buffer);
    FillRect(mem, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    {
        Gdiplus::Graphics g(mem);
        if (pictures_->background) {
            g.DrawImage(pictures_->background.get(), 0, 0, c.right, c.bottom);
        }
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, 128, 128, 128));
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        const bool chinese = UiChinese();
        const std::u16string text = ProgressText(chinese);
        // The generic sans-serif face; where the system lacks it (or its glyphs), named faces
        // that carry the text.
        const wchar_t* named[] = {chinese ? L"Microsoft YaHei" : L"Tahoma", L"SimSun", L"WenQuanYi Micro Hei",
                                  L"Tahoma"};
        // Sized in pixels like every picture of the dialog, so the text keeps its place on the
        // background whatever the display's DPI (8 points at 96 DPI).
        constexpr Gdiplus::REAL kTextPixels = 11;
        std::unique_ptr<Gdiplus::Font> font;
        if (!chinese) {
            font = std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(), kTextPixels,
                                                   Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        }
        for (const wchar_t* face : named) {
            if (font && font->GetLastStatus() == Gdiplus::Ok && font->IsAvailable()) break;
            Gdiplus::FontFamily family(face);
            if (family.GetLastStatus() != Gdiplus::Ok || !family.IsAvailable()) continue;
            font = std::make_unique<Gdiplus::Font>(&family, kTextPixels, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        }
        if (font && font->GetLastStatus() == Gdiplus::Ok) {
            g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
            g.DrawString(W(text), -1, font.get(), Gdiplus::RectF(35, 20, 310, 40), &format, &brush);
        }
    }
    BitBlt(dc, 0, 0, c.right, c.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(buffer);
    DeleteDC(mem);
}

} // namespace n640::win
