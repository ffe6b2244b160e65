#include "app/win/Pages.h"

#include "app/MainWindowModel.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {

bool CSkinPage::CreatePage(int templateId, HWND parent, HBITMAP background) {
    templateId_ = templateId;
    background_ = background;
    return Create(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPCHILDREN, kPageRect.left, kPageRect.top,
                  kPageRect.Width(), kPageRect.Height(), parent, templateId);
}

LRESULT CSkinPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Hwnd(), &ps);
        BlitBitmap(dc, 0, 0, kPageRect.Width(), kPageRect.Height(), background_, kPageRect.left, kPageRect.top);
        EndPaint(Hwnd(), &ps);
        return 0;
    }
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace n640::win
