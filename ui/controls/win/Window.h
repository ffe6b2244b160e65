#pragma once
// A thin window class of our own over the Win32 API: one registered window class, the object
// pointer kept with the window, virtual message handling, and modal loops that give each window
// the chance to filter a message before it is dispatched.

#include <windows.h>

#include <string>
#include <string_view>

namespace n640::win {

// A control that handles what its parent is told about it: WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_MEASUREITEM, WM_CTLCOLOR* and WM_HSCROLL/WM_VSCROLL reach the parent and are handed back to
// the control that sent them. Every CWindow parent does this before its own OnMessage; a message
// the control does not handle goes on to the parent as before.
class CReflectTarget {
public:
    CReflectTarget() = default;
    CReflectTarget(const CReflectTarget&) = delete;
    CReflectTarget& operator=(const CReflectTarget&) = delete;
    virtual ~CReflectTarget();
    // True when handled; result is the parent's answer.
    virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // For wrappers of system controls (edit, list box): tie the object to its window.
    void AttachReflection(HWND control);
    void DetachReflection();

private:
    HWND reflected_ = nullptr;
};

// Hands a message the parent received to the control that sent it. True when the control
// handled it.
bool ReflectToSender(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

class CWindow : public CReflectTarget {
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    virtual ~CWindow();

    HWND Hwnd() const { return hwnd_; }
    bool Create(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int w, int h,
                HWND parent, int id = 0);
    void Destroy();
    static CWindow* FromHandle(HWND hwnd);

    // Runs a modal loop until EndModal: the owner (if any) is disabled meanwhile. When show is set
    // the window is shown first. Returns the EndModal result.
    INT_PTR RunModal(HWND owner, bool show = true);
    void EndModal(INT_PTR result);
    bool IsModalRunning() const { return modalRunning_; }

    void Invalidate(bool erase = false) { if (hwnd_) InvalidateRect(hwnd_, nullptr, erase); }

protected:
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Before dispatch, for messages aimed at this window or its children. True = consumed.
    virtual bool PreTranslate(MSG& msg);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    // For windows that draw their whole client area: WM_ERASEBKGND is answered without erasing,
    // and WM_PAINT calls paint(dc) between BeginPaint and EndPaint. True, with the answer in
    // result, for those two messages.
    // Paints through an off-screen bitmap of the client size, cleared to black, so a repaint
    // never flickers: draw(mem, client) paints into it, then it is copied to dc.
    template <typename DrawFn>
    void PaintBuffered(HDC dc, DrawFn&& draw) {
        RECT c;
        GetClientRect(hwnd_, &c);
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP buffer = CreateCompatibleBitmap(dc, c.right > 0 ? c.right : 1, c.bottom > 0 ? c.bottom : 1);
        HGDIOBJ old = SelectObject(mem, buffer);
        FillRect(mem, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        draw(mem, c);
        BitBlt(dc, 0, 0, c.right, c.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(buffer);
        DeleteDC(mem);
    }

    template <typename PaintFn>
    bool PaintMessage(UINT message, LRESULT& result, PaintFn&& paint) {
        if (message == WM_ERASEBKGND) {
            result = 1;
            return true;
        }
        if (message != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        paint(dc);
        EndPaint(hwnd_, &ps);
        result = 0;
        return true;
    }

public:
    // The window procedure of every window of the class.
    static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend bool PreTranslateChain(MSG& msg);

    void ReleaseOwner();

    HWND hwnd_ = nullptr;
    HWND modalOwner_ = nullptr;
    bool hideOnEnd_ = false;
    bool modalRunning_ = false;
    bool modalEnded_ = false;
    INT_PTR modalResult_ = 0;
};

// Offers a message to the windows it is aimed at, from the target up through its parents.
bool PreTranslateChain(MSG& msg);

// A GDI object owner.
template <typename H>
class CGdiHandle {
public:
    CGdiHandle() = default;
    explicit CGdiHandle(H h) : h_(h) {}
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;
    CGdiHandle(CGdiHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    CGdiHandle& operator=(CGdiHandle&& o) noexcept {
        if (this != &o) {
            Reset(o.h_);
            o.h_ = nullptr;
        }
        return *this;
    }
    ~CGdiHandle() { Reset(); }
    void Reset(H h = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = h;
    }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    H h_ = nullptr;
};
using CBitmapHandle = CGdiHandle<HBITMAP>;
using CFontHandle = CGdiHandle<HFONT>;
using CRegionHandle = CGdiHandle<HRGN>;
using CBrushHandle = CGdiHandle<HBRUSH>;

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U(const wchar_t* s) { return std::u16string(reinterpret_cast<const char16_t*>(s)); }

// The caption font of the skin: "MS Shell Dlg", the given pixel height and weight.
HFONT SkinFont(int height, int weight, const wchar_t* face = L"MS Shell Dlg");

// The full-screen client area the design centres windows in.
SIZE FullScreenSize();

// A tooltip for a whole window (created on first use).
class CTooltip {
public:
    CTooltip() = default;
    CTooltip(const CTooltip&) = delete;
    CTooltip& operator=(const CTooltip&) = delete;
    ~CTooltip();
    void Set(HWND tool, const std::u16string& text, bool active);
    // The text of a language key, set now and again by every ReapplyTexts.
    void SetKey(HWND tool, std::string_view key);
    const std::u16string& Text() const { return text_; }
    HWND TipWindow() const { return tip_; }

private:
    bool OwnTip() const;

    HWND tip_ = nullptr;
    HWND tool_ = nullptr;
    HWND owner_ = nullptr;
    std::u16string text_;
    std::string key_;
    friend void ReapplyTexts();
};

// Sets every tooltip that was given a language key again, from the current language, and keeps
// it active. Called after a language switch.
void ReapplyTexts();

} // namespace n640::win
