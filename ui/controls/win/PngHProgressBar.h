#pragma once
// A horizontal bar drawn from a track picture and a fill picture (parts of PNG pictures).

#include <windows.h>

#include "ui/controls/ProgressModel.h"
#include "ui/controls/win/Window.h"

namespace Gdiplus {
class Bitmap;
}

namespace n640::win {

class CPngHProgressBar : public CWindow {
public:
    bool Create(const RECT& rect, HWND parent, int id);
    // Takes the parts of both pictures under rect (parent coordinates); null pictures leave the
    // bar without that image.
    void SetPictures(const RECT& rect, Gdiplus::Bitmap* track, Gdiplus::Bitmap* fill);
    void ReleasePictures();
    void SetReadOnly(bool on) { readOnly_ = on; }
    void SetRange(int min, int max) { model_.SetRange(min, max); }
    void SetPos(int v);
    int Pos() const { return model_.Pos(); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int PosAtCursor() const;

    CProgressModel model_;
    RECT rect_{};
    int id_ = 0;
    bool readOnly_ = false;
    bool dragging_ = false;
    CBitmapHandle track_;
    CBitmapHandle fill_;
};

// A part of a GDI+ bitmap as a GDI bitmap.
HBITMAP GdiplusPart(Gdiplus::Bitmap* picture, const RECT& part);

} // namespace n640::win
