#pragma once
// A colour swatch of the lighting page.

#include "ui/controls/win/GDIBitmapBtn.h"

namespace n640::win {

class CColorBtn : public CGDIBitmapBtn {
public:
    void SetColour(Colour colour) {
        colour_ = colour;
        Invalidate();
    }
    Colour GetColour() const { return colour_; }
    void SetFramed(bool on) { framed_ = on; Invalidate(); }
    void SetCurrent(bool on) { current_ = on; Invalidate(); }

protected:
    bool PostMovesInScreenCoordinates() const override { return true; }
    void Paint(HDC dc, const RECT& client) override;

private:
    Colour colour_ = 0;
    bool framed_ = false;
    bool current_ = false;
};

// Frame colour (0x00BBGGRR) of a framed swatch by its state.
Colour SwatchFrameColour(bool current, bool pressed, bool hovering);

} // namespace n640::win
