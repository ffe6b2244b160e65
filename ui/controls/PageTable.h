#pragma once
// A page as a table of controls: each row names the control's id, its rectangle in the English and
// in the Chinese layout, its kind, its tooltip's language key and its hint number. The rules the
// page base applies to the table (layout choice, hover hints, dropped keys) live here so they can
// be tested without windows.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "ui/controls/IrrShape.h"

namespace n640 {

enum class ControlKind {
    Button,  // push button (CGDIBitmapBtn)
    Check,   // two-state button that flips on the press
    Radio,   // checked state of its own, set by the page
    Edit,    // frameless edit box (CBitmapEdit)
    Colour,  // colour swatch (CColorBtn)
    Slider,  // PNG slider (CPngHSliderBar)
    List,    // owner-drawn list box (CListBoxEx)
    Area,    // no window: a painted part of the page that only has a hint
};

struct ControlRow {
    int id = 0;
    Rect en{};                // left, top, right (exclusive), bottom (exclusive) in page pixels
    Rect zh{};                // the Chinese layout; an empty rectangle means the same as en
    ControlKind kind = ControlKind::Button;
    std::string_view tooltip{};  // language key, empty for none
    int hint = 0;             // number posted with 2053, 0 for none
};

// The rectangle of the layout in force.
Rect LayoutRect(const ControlRow& row, bool chinese);

struct HintArea {
    Rect rect;  // the control's window rectangle in page coordinates
    int hint;
};

// The hint numbers to post for a pointer at p: one for each area with a hint whose rectangle,
// grown by one pixel on every side, holds p, in table order.
std::vector<int> HintsAt(std::span<const HintArea> areas, Point p);

// Key-down and key-up of Enter, Escape and Space never reach a page or its controls.
bool IsDroppedPageKey(uint32_t message, uint32_t virtualKey);

} // namespace n640
