#pragma once
// The outline of an irregular button: a polygon in page coordinates, its bounding box (which the
// button's window covers) and the hit test the button uses for hovering.

#include <vector>

#include "ui/controls/ButtonLook.h"

namespace n640 {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Rect Inflated(int by) const { return {left - by, top - by, right + by, bottom + by}; }
    bool operator==(const Rect&) const = default;
};

class CIrrShape {
public:
    CIrrShape() = default;
    explicit CIrrShape(std::vector<Point> corners);

    const std::vector<Point>& Corners() const { return corners_; }
    // Bounding box on the page, right and bottom exclusive like a region's box.
    const Rect& Box() const { return box_; }
    Point Centre() const { return {(box_.left + box_.right) / 2, (box_.top + box_.bottom) / 2}; }
    // The corners moved so that the box's top left is the origin (the button window's own view).
    std::vector<Point> RelativeCorners() const;

    // A point of the page is inside when it is in the box and in the polygon (even-odd rule,
    // sampled at the pixel's centre).
    bool Contains(Point page) const;
    // The same for a point in the button window's own coordinates.
    bool ContainsRelative(Point local) const { return Contains({local.x + box_.left, local.y + box_.top}); }

private:
    std::vector<Point> corners_;
    Rect box_;
};

} // namespace n640
