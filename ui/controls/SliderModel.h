#pragma once
// The arithmetic of the PNG slider: where the thumb sits for a value, what a drag and a click on
// the track make of the pointer, and which pixels of the thumb picture belong to its shape. The
// Win32 slider only moves windows to what this computes.

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/controls/IrrShape.h"

namespace n640 {

class CSliderModel {
public:
    // Travel of the thumb's left edge in the track's coordinates: [left, right - thumb width].
    void SetLimits(int left, int right) { leftLimit_ = left, rightLimit_ = right; }
    void SetThumbWidth(int width) { thumbWidth_ = width; }
    // Range and allowed range together.
    void SetRange(int min, int max);
    void SetAllowed(int lower, int upper) { lower_ = lower, upper_ = upper; }
    void SetBounded(bool on) { bounded_ = on; }
    void SetEnabled(bool on) { enabled_ = on; }

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    bool Enabled() const { return enabled_; }
    bool Pressed() const { return pressed_; }
    // Current left edge of the thumb.
    int ThumbLeft() const { return thumbLeft_; }

    // The thumb's left edge for a value; a value outside the range counts as the minimum.
    int PositionOf(int value) const;
    // Sets the value (outside the range: the minimum) and moves the thumb there.
    void SetPos(int value);

    // Press on the thumb at x in the thumb's own coordinates; false when disabled.
    bool Press(int x);
    // A move while pressed, pointer x in the thumb's coordinates: the value to post, or nothing
    // when the move is ignored (not pressed, or pushing past a bound of the allowed range).
    std::optional<int> Drag(int x);
    void Release() { pressed_ = false; }

    // A click on the track at page x, the track spanning [trackLeft, trackRight) on the page: the
    // value to move to and post, or nothing when disabled.
    std::optional<int> Click(int x, int trackLeft, int trackRight);

private:
    int leftLimit_ = 0;
    int rightLimit_ = 0;
    int thumbWidth_ = 0;
    int min_ = 1, max_ = 10;
    int lower_ = 1, upper_ = 10;
    int value_ = 1;
    int thumbLeft_ = 0;
    int pressX_ = 0;
    bool pressed_ = false;
    bool bounded_ = false;
    bool enabled_ = true;
};

// The top step of a track click for ranges starting at 1: with the exact r = offset * (max - min)
// / width + 1, max 5 gives 5 above 4.75, max 10 gives 10 above 9.75, max 3 gives 3 above 2.87.
// Returns value unchanged otherwise.
int TopStep(int value, int min, int max, int offset, int width);

// The thumb's shape: for each row, the runs [x0, x1) of pixels whose colour differs from the
// top-left pixel's. pixels holds width * height values, row by row.
struct PixelRun {
    int y, x0, x1;
    bool operator==(const PixelRun&) const = default;
};
std::vector<PixelRun> ShapeRuns(const uint32_t* pixels, int width, int height);

} // namespace n640
