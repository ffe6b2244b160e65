#pragma once
// Scroll bars drawn from one bitmap strip of 9 x 3 cells (columns: arrows, thumb, track of the
// vertical bar, the same of the horizontal bar, the corner; rows: normal, hover, pressed), and
// the wrapping that puts two of them in place of a window's own bars.

#include <windows.h>

#include <memory>

#include "ui/controls/ScrollBarModel.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CSkinScrollBar : public CWindow {
public:
    // style: SBS_VERT for a vertical bar, else horizontal.
    bool Create(DWORD style, const RECT& rect, HWND parent, int id);
    // The strip (kept by the caller); the bar's thickness becomes the cell size.
    void SetBitmap(HBITMAP strip);
    int Cell() const { return vertical_ ? cellW_ : cellH_; }
    bool Vertical() const { return vertical_; }
    const ScrollState& State() const { return state_; }
    bool Dragging() const { return state_.trackPos >= 0; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Length() const;
    int Along(LPARAM lParam) const;
    int PointerAlong() const;
    ScrollGeometry Geometry() const;
    void Send(int code, int pos);
    void Paint(HDC dc);
    void DrawCell(HDC dc, int column, int row, const RECT& to);
    int RowOf(int part) const;

    HBITMAP strip_ = nullptr;
    int cellW_ = 18, cellH_ = 18;
    bool vertical_ = true;
    ScrollState state_;
    int pressed_ = kScrollNone;
    int hover_ = kScrollNone;
    int dragFrom_ = 0;
    int dragStartPos_ = 0;
    bool repeatFirst_ = false;
    bool trackingLeave_ = false;
};

// A window wrapped so that two skin bars replace its own: a frame at the window's place holds a
// clipping child "LIMIT" with the window inside, sized so that the window's own bars fall outside
// it, and the bars along the right and bottom edges.
class CSkinScrollWnd : public CWindow {
public:
    ~CSkinScrollWnd() override;
    // bars: kSkinVertical | kSkinHorizontal, or -1 for the bars the window's style shows now.
    bool Wrap(HWND window, HBITMAP strip, int bars = -1);
    void Unwrap();
    HWND Wrapped() const { return wrapped_; }
    CSkinScrollBar& VerticalBar() { return vbar_; }
    CSkinScrollBar& HorizontalBar() { return hbar_; }
    // Copies the wrapped window's scroll information into the bars.
    void Refresh();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK WrappedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();

    class CLimit : public CWindow {};
    CLimit limit_;
    CSkinScrollBar vbar_;
    CSkinScrollBar hbar_;
    HWND wrapped_ = nullptr;
    WNDPROC previous_ = nullptr;
    RECT original_{};
    HWND originalParent_ = nullptr;
    HBITMAP strip_ = nullptr;
    bool hasV_ = false, hasH_ = false;
    bool scrolling_ = false;
    int corner_ = 0;  // 0 none, 1 bottom left, 2 bottom right
};

constexpr int kSkinVertical = 1;
constexpr int kSkinHorizontal = 2;

// Wraps window; the result lives as long as the caller keeps it (the wrapping undoes itself
// when the window is destroyed first). Null when the window cannot be wrapped.
std::unique_ptr<CSkinScrollWnd> SkinWndScroll(HWND window, HBITMAP strip, int bars = -1);

} // namespace n640::win
