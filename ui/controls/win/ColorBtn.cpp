#include "ui/controls/win/ColorBtn.h"

namespace n640::win {

Colour SwatchFrameColour(bool current, bool pressed, bool hovering) {
    // The frame colours of the design as red, green, blue.
    if (current) return RGB(0x39, 0x38, 0x39);
    if (pressed) return RGB(0xD3, 0x18, 0x14);
    if (hovering) return RGB(0xE8, 0xBE, 0x1C);
    return RGB(0x31, 0x34, 0x39);
}

void CColorBtn::Paint(HDC dc, const RECT& client) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(mem, buffer);
    CBrushHandle fill(CreateSolidBrush(colour_));
    FillRect(mem, &client, fill.Get());
    if (framed_) {
        CBrushHandle frame(CreateSolidBrush(SwatchFrameColour(current_, Pressed(), Hovering())));
        FrameRect(mem, &client, frame.Get());
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(buffer);
    DeleteDC(mem);
}

} // namespace n640::win
