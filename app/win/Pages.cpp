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
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { BlitBitmap(dc, 0, 0, kPageRect.Width(), kPageRect.Height(), background_, kPageRect.left, kPageRect.top); }))
        return painted;
    switch (message) {
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace n640::win
