#pragma once
// Geometry and behaviour of the skinned scroll bar along its length: where the arrows, the page
// areas and the thumb lie, what a point hits, where a thumb drag leads and when the held-button
// repeat goes on, pauses or stops. The Win32 bar draws and sends what this computes.

namespace n640 {

struct ScrollState {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    int trackPos = -1;  // while dragging the thumb, else -1
};

// Parts and the codes sent to the parent.
enum ScrollPart : int {
    kScrollNone = -1,
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbEnd = 4,  // sent when a thumb drag ends
    kScrollThumb = 5,
};

struct ScrollGeometry {
    int length = 0;      // L
    int arrow = 0;       // a: [0, a) line up, [L - a, L) line down
    int track = 0;       // t
    int thumb = 0;       // g, 0 when there is none
    int thumbStart = 0;  // s
    int steps = 0;       // n = max - min - page + 1

    // The part under a coordinate along the bar.
    int HitTest(int at) const;
};

// length L and cell size c of the bar's bitmap.
ScrollGeometry ComputeScrollGeometry(int length, int cell, const ScrollState& s);

// The position a thumb drag leads to: offset is the pointer's movement along the bar since the
// press, startPos the position at the press.
int ScrollDragPosition(const ScrollState& s, int startPos, int offset, int length, int cell, int thumb);

enum class RepeatStep { Send, Pause, Stop };

// One tick of the held-button repeat for the pressed part, the pointer at coordinate pointer.
RepeatStep ScrollRepeatStep(int part, const ScrollState& s, const ScrollGeometry& g, int pointer);

// The first repeat comes after 500 ms, then every 100 ms.
constexpr unsigned kScrollRepeatFirstMs = 500;
constexpr unsigned kScrollRepeatNextMs = 100;

} // namespace n640
