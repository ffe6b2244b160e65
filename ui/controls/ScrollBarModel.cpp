#include "ui/controls/ScrollBarModel.h"

#include <algorithm>

namespace n640 {

ScrollGeometry ComputeScrollGeometry(int length, int cell, const ScrollState& s) {
    ScrollGeometry g;
    g.length = std::max(0, length);
    g.arrow = g.length - 2 * cell > 0 ? cell : g.length / 2;
    g.track = std::max(0, g.length - 2 * cell);
    const int range = s.max - s.min;
    g.steps = range - s.page + 1;
    if (g.steps > 0 && g.track > 5 && range + 1 > 0) {
        g.thumb = std::max(6, s.page * g.track / (range + 1));
        g.thumb = std::min(g.thumb, g.track);
    }
    const int p = (s.trackPos >= 0 ? s.trackPos : s.pos) - s.min;
    if (g.steps > 0) {
        g.thumbStart = g.arrow + std::clamp(p, 0, g.steps) * (g.track - g.thumb) / g.steps;
    } else {
        g.thumbStart = g.arrow + (g.track - g.thumb) / 2;
    }
    return g;
}

int ScrollGeometry::HitTest(int at) const {
    if (at < 0 || at >= length) return kScrollNone;
    if (at < arrow) return kScrollLineUp;
    if (at >= length - arrow) return kScrollLineDown;
    if (track <= 0) return kScrollNone;  // a bar too short for a track is all arrows
    if (at < thumbStart) return kScrollPageUp;
    if (at < thumbStart + thumb) return kScrollThumb;
    return kScrollPageDown;
}

int ScrollDragPosition(const ScrollState& s, int startPos, int offset, int length, int cell, int thumb) {
    const int last = s.max - s.page + 1;
    const int travel = length - 2 * cell - thumb;
    int pos = startPos;
    if (travel > 0) pos = startPos + offset * (s.max - s.min - s.page + 1) / travel;
    return std::clamp(pos, s.min, std::max(s.min, last));
}

RepeatStep ScrollRepeatStep(int part, const ScrollState& s, const ScrollGeometry& g, int pointer) {
    // A list's position stops one page before max; page 0 or 1 scrolls up to max itself.
    const int last = s.max - std::max(1, s.page) + 1;
    switch (part) {
    case kScrollLineUp:
        if (s.pos <= s.min) return RepeatStep::Stop;
        break;
    case kScrollLineDown:
        if (s.pos >= last) return RepeatStep::Stop;
        break;
    case kScrollPageUp:
        if (g.thumbStart <= pointer) return RepeatStep::Stop;  // the thumb has reached the pointer
        break;
    case kScrollPageDown:
        if (g.thumbStart + g.thumb > pointer) return RepeatStep::Stop;
        break;
    default:
        return RepeatStep::Stop;
    }
    return g.HitTest(pointer) == part ? RepeatStep::Send : RepeatStep::Pause;
}

} // namespace n640
