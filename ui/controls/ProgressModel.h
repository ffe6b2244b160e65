#pragma once
// The bar of CPngHProgressBar and the rules of the progress dialog that shows it during an apply.

#include <string>

namespace n640 {

class CProgressModel {
public:
    void SetRange(int min, int max) {
        min_ = min;
        max_ = max;
    }
    // A value outside the range puts the bar at the minimum.
    void SetPos(int v) { pos_ = (v >= min_ && v <= max_) ? v : min_; }
    int Pos() const { return pos_; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    // Width of the filled part of a bar `width` pixels wide.
    int FilledWidth(int width) const;
    // Position under a pointer at x (parent coordinates) on a bar spanning [left, right).
    int PosAt(int x, int left, int right) const;

private:
    int min_ = 0;
    int max_ = 10;
    int pos_ = 0;
};

// Progress dialog.
inline constexpr char16_t kProgressWindowTitle[] = u"ZentuN640ProcessDlg";
inline constexpr int kProgressBarId = 777;
inline constexpr int kProgressCloseDelayMs = 500;
// Bar rectangle in the dialog: left, top, right, bottom.
inline constexpr int kProgressBarRect[4] = {35, 47, 295, 56};
std::u16string ProgressText(bool chinese);

// A progress message: the bar's new position and whether the dialog closes (at 100).
struct ProgressStep {
    int pos;
    bool closeAfterDelay;
};
ProgressStep OnProgressMessage(CProgressModel& bar, long long wParam);

// The keyboard filter shared by the main window and the dialogs.
enum class KeyAction { Pass, Drop, Hide };
// message: the window message number (WM_KEYDOWN 0x100, WM_KEYUP 0x101, WM_SYSKEYDOWN 0x104 ...);
// key: the virtual-key code. altF4Hides: Alt+F4 hides (main window) instead of being dropped.
KeyAction FilterKey(unsigned message, unsigned key, bool altF4Hides);

} // namespace n640
