#include "ui/controls/IrrShape.h"

#include <algorithm>

namespace n640 {

CIrrShape::CIrrShape(std::vector<Point> corners) : corners_(std::move(corners)) {
    if (corners_.empty()) {
        return;
    }
    box_ = {corners_[0].x, corners_[0].y, corners_[0].x, corners_[0].y};
    for (const Point& p : corners_) {
        box_.left = std::min(box_.left, p.x);
        box_.top = std::min(box_.top, p.y);
        box_.right = std::max(box_.right, p.x);
        box_.bottom = std::max(box_.bottom, p.y);
    }
}

std::vector<Point> CIrrShape::RelativeCorners() const {
    std::vector<Point> out;
    out.reserve(corners_.size());
    for (const Point& p : corners_) {
        out.push_back({p.x - box_.left, p.y - box_.top});
    }
    return out;
}

bool CIrrShape::Contains(Point page) const {
    if (!box_.Contains(page) || corners_.size() < 3) {
        return false;
    }
    // Crossing test at the pixel centre, in doubled coordinates to stay in integers.
    const long long px = 2LL * page.x + 1;
    const long long py = 2LL * page.y + 1;
    bool inside = false;
    for (size_t i = 0, j = corners_.size() - 1; i < corners_.size(); j = i++) {
        const long long xi = 2LL * corners_[i].x, yi = 2LL * corners_[i].y;
        const long long xj = 2LL * corners_[j].x, yj = 2LL * corners_[j].y;
        if ((yi > py) != (yj > py)) {
            // x of the edge at py, compared without division: px < xi + (py - yi)(xj - xi)/(yj - yi)
            const long long lhs = (px - xi) * (yj - yi);
            const long long rhs = (py - yi) * (xj - xi);
            if (yj > yi ? lhs < rhs : lhs > rhs) {
                inside = !inside;
            }
        }
    }
    return inside;
}

} // namespace n640
