#include "ui/controls/win/WndPopup.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>

#include "i18n/LanguageTable.h"

namespace n640::win {
namespace {

constexpr int kCorner = 32;
constexpr COLORREF kFrameBlue = RGB(0, 147, 209);
constexpr uint32_t kMagenta = 0x00FF00FF;  // in a 32-bit DIB: blue | green << 8 | red << 16
constexpr uint32_t kNudgedBlack = 0x00000001;

// A top-down 32-bit DIB of the given size.
HBITMAP CreateCanvas(int w, int h, uint32_t*& bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    return b;
}

void NineSlice(Gdiplus::Graphics& g, Gdiplus::Bitmap& picture, int w, int h) {
    const int pw = static_cast<int>(picture.GetWidth()), ph = static_cast<int>(picture.GetHeight());
    const int c = std::min({kCorner, pw / 2, ph / 2, w / 2, h / 2});
    const int sx[4] = {0, c, pw - c, pw}, sy[4] = {0, c, ph - c, ph};
    const int dx[4] = {0, c, w - c, w}, dy[4] = {0, c, h - c, h};
    Gdiplus::ImageAttributes tile;
    tile.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no bleeding from outside the source part
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const Gdiplus::Rect to(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]);
            if (to.Width <= 0 || to.Height <= 0) continue;
            g.DrawImage(&picture, to, sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row], Gdiplus::UnitPixel,
                        &tile);
        }
    }
}

} // namespace

CWndPopup::CWndPopup() = default;
CWndPopup::~CWndPopup() {
    closing_ = true;  // no notice to the owner from a destructor
    Destroy();
}

bool CWndPopup::CreatePopup(HWND owner, POINT topLeft, UINT notifyMessage, int backgroundPng) {
    owner_ = owner;
    at_ = topLeft;
    notify_ = notifyMessage;
    if (backgroundPng) background_ = LoadPngResource(backgroundPng);
    font_.Reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
    if (!Create(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, topLeft.x, topLeft.y, 1, 1, owner)) {
        return false;
    }
    Fill();
    const SIZE size = PopupSize();
    SetWindowPos(Hwnd(), HWND_TOPMOST, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOACTIVATE);
    Redraw();
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    SetActiveWindow(Hwnd());
    return true;
}

void CWndPopup::Close() {
    if (closing_ || !Hwnd()) return;
    closing_ = true;
    if (owner_) SendMessageW(owner_, notify_, 0, 0);
    Destroy();
}

void CWndPopup::Redraw() {
    if (!Hwnd()) return;
    const SIZE size = PopupSize();
    const int w = size.cx, h = size.cy;
    if (w <= 0 || h <= 0) return;
    uint32_t* px = nullptr;
    HBITMAP canvas = CreateCanvas(w, h, px);
    uint32_t* lx = nullptr;
    HBITMAP layer = CreateCanvas(w, h, lx);
    if (!canvas || !layer || !px || !lx) {
        if (canvas) DeleteObject(canvas);
        if (layer) DeleteObject(layer);
        return;
    }
    const size_t count = static_cast<size_t>(w) * h;
    {
        // The background, nine-sliced, or white in a blue frame.
        Gdiplus::Bitmap back(w, h, w * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(px));
        Gdiplus::Graphics g(&back);
        if (background_) {
            NineSlice(g, *background_, w, h);
        } else {
            g.Clear(Gdiplus::Color(255, 255, 255, 255));
            Gdiplus::Pen pen(Gdiplus::Color(255, GetRValue(kFrameBlue), GetGValue(kFrameBlue), GetBValue(kFrameBlue)));
            g.DrawRectangle(&pen, 0, 0, w - 1, h - 1);
        }
    }
    // The items, drawn with GDI on a magenta layer: magenta becomes transparent, the rest opaque.
    for (size_t i = 0; i < count; ++i) lx[i] = kMagenta;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, layer);
    DrawContent(mem);
    GdiFlush();
    for (size_t i = 0; i < count; ++i) {
        uint32_t rgb = lx[i] & 0x00FFFFFF;
        if (rgb == kMagenta) continue;
        if (rgb == 0) rgb = kNudgedBlack;
        px[i] = rgb | 0xFF000000;
    }
    {
        Gdiplus::Bitmap composed(w, h, w * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(px));
        Gdiplus::Graphics g(&composed);
        DrawOverlay(g);
    }
    for (size_t i = 0; i < count; ++i) {
        if ((px[i] & 0x00FFFFFF) == 0 && (px[i] >> 24) == 0xFF) px[i] |= kNudgedBlack;
    }
    SelectObject(mem, canvas);
    POINT src{0, 0};
    SIZE sz{w, h};
    POINT at = at_;
    if (background_) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(Hwnd(), screen, &at, &sz, mem, &src, 0, &blend, ULW_ALPHA);
    } else {
        UpdateLayeredWindow(Hwnd(), screen, &at, &sz, mem, &src, RGB(0, 0, 0), nullptr, ULW_COLORKEY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    DeleteObject(canvas);
    DeleteObject(layer);
}

LRESULT CWndPopup::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_HOVER | TME_LEAVE, Hwnd(), 50};
            tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        return 0;
    case WM_MOUSEHOVER:
        tracking_ = false;  // hover tracking ends when it fires; the next move starts it again
        if (HoverTest(x, y)) Redraw();
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (HoverTest(-1, -1)) Redraw();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        buttonDown_ = true;
        SetCapture(Hwnd());
        if (PressTest(x, y)) Redraw();
        return 0;
    case WM_LBUTTONUP: {
        if (!buttonDown_) return 0;
        buttonDown_ = false;
        ReleaseCapture();
        const bool redraw = ReleaseTest(x, y);
        if (redraw && Hwnd() && !closing_) Redraw();
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) Close();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(Hwnd(), &ps);
        EndPaint(Hwnd(), &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return Default(message, wParam, lParam);
    }
}

CMenuEx::CMenuEx() = default;
CMenuEx::~CMenuEx() = default;
CMenuExA::CMenuExA() = default;
CMenuExA::~CMenuExA() = default;

void CMenuEx::AddItem(uint32_t command, const std::u16string& text, int iconPng) {
    std::unique_ptr<Gdiplus::Bitmap> icon = iconPng ? LoadPngResource(iconPng) : nullptr;
    const int w = icon ? static_cast<int>(icon->GetWidth()) : 0;
    const int h = icon ? static_cast<int>(icon->GetHeight()) : 0;
    model_.AddItem(command, text, w, h);
    icons_.push_back(std::move(icon));
}

void CMenuEx::AddSeparator() {
    model_.AddSeparator();
    icons_.push_back(nullptr);
}

void CMenuEx::DrawContent(HDC dc) {
    HGDIOBJ old = SelectObject(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    const auto& items = model_.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        const PopupMenuItem& item = items[i];
        RECT r{item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
        if (item.separator) {
            CBrushHandle fill(CreateSolidBrush(RGB(245, 245, 245)));
            FillRect(dc, &r, fill.Get());
            continue;
        }
        const bool hovered = static_cast<int>(i) == model_.Hovered();
        if (hovered) {
            CBrushHandle fill(CreateSolidBrush(RGB(0, 147, 209)));
            FillRect(dc, &r, fill.Get());
        }
        SetTextColor(dc, hovered ? RGB(245, 245, 245) : RGB(5, 5, 5));
        const Rect t = CPopupMenuModel::TextRect(item);
        RECT tr{t.left, t.top, t.right, t.bottom};
        DrawTextW(dc, W(item.text), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_WORD_ELLIPSIS);
    }
    SelectObject(dc, old);
}

void CMenuEx::DrawOverlay(Gdiplus::Graphics& g) {
    const auto& items = model_.Items();
    for (size_t i = 0; i < items.size() && i < icons_.size(); ++i) {
        if (items[i].separator || !icons_[i]) continue;
        const Rect r = CPopupMenuModel::IconRect(items[i]);
        g.DrawImage(icons_[i].get(), r.left, r.top, r.Width(), r.Height());
    }
}

bool CMenuEx::HoverTest(int x, int y) { return model_.Hover({x, y}); }

bool CMenuEx::ReleaseTest(int x, int y) {
    bool changed = false;
    if (const auto command = model_.Release({x, y}, changed)) {
        // The owner switches and then closes the menu; nothing is drawn after that.
        SendMessageW(Owner(), NotifyMessage(), 0, static_cast<LPARAM>(*command));
        return false;
    }
    return changed;
}

void CMenuExA::Fill() {
    for (const LanguageInfo& l : kLanguages) AddItem(l.index, std::u16string(l.menuName), static_cast<int>(l.menuIcon));
}

} // namespace n640::win
