// The installed hooks end to end under Wine and Xvfb: xdotool presses the buttons of the X
// server's pointer over a window of this program, Wine hands them to the low-level hooks, and the
// window sees what got through. The window also plays the main window: it runs the 2027 handler,
// which opens a stand-in program (hook_marker.exe, copied to a folder with a blank in its name)
// that appends a line to a log per run.

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "functions/FunctionModel.h"
#include "functions/HookState.h"
#include "functions/win/Hooks.h"
#include "functions/win/SoftwareFunctions.h"

namespace n640 {
namespace {

constexpr int kLeft = 200, kTop = 200, kWidth = 400, kHeight = 300;
constexpr DWORD kEventTimeoutMs = 5000;
constexpr DWORD kSettleMs = 300;     // after the last event: time for the window to receive it
constexpr DWORD kProgramTimeoutMs = 10000;
constexpr DWORD kNoRunWaitMs = 1500;  // a program that was wrongly opened shows up within this
const wchar_t kXdotool[] = L"Z:\\usr\\bin\\xdotool";

// One mouse message as a window or a hook saw it; data is the extra button (1, 2) or the wheel
// delta, 0 otherwise.
struct Input {
    UINT message;
    int data;
    bool operator==(const Input&) const = default;
};
void PrintTo(const Input& i, std::ostream* os) { *os << "{0x" << std::hex << i.message << std::dec << ", " << i.data << "}"; }

struct WindowLog {
    std::vector<Input> mouse;                         // button and wheel messages of the window
    std::vector<UINT> keys;                           // WM_KEYDOWN virtual keys
    std::vector<uintptr_t> reports;                   // 2027 wParam
    std::vector<uintptr_t> stats;                     // 1225 wParam
    std::vector<std::pair<uintptr_t, intptr_t>> capture;  // 1034
};

WindowLog g_home;          // the window in the main window's role
WindowLog g_capture;       // a capturing page
ProfileImage g_image{};
HWND g_homeWindow = nullptr;

// What every hook saw, in order, before the hooks under test decided (installed after them, so
// called first). Fixed storage: it runs inside the hook chain.
std::array<Input, 256> g_raw{};
size_t g_rawCount = 0;
HHOOK g_observeMouse = nullptr, g_observeKeys = nullptr;

void Raw(UINT message, int data) {
    if (g_rawCount < g_raw.size()) g_raw[g_rawCount++] = Input{message, data};
}

LRESULT CALLBACK ObserveMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam != WM_MOUSEMOVE) {
        const auto* r = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        const int data = wParam == WM_MOUSEWHEEL ? static_cast<short>(HIWORD(r->mouseData))
                         : (wParam == WM_XBUTTONDOWN || wParam == WM_XBUTTONUP) ? HIWORD(r->mouseData)
                                                                               : 0;
        Raw(static_cast<UINT>(wParam), data);
    }
    return CallNextHookEx(g_observeMouse, code, wParam, lParam);
}

LRESULT CALLBACK ObserveKeys(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* r = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        Raw(static_cast<UINT>(wParam), static_cast<int>(r->vkCode));
    }
    return CallNextHookEx(g_observeKeys, code, wParam, lParam);
}

LRESULT Record(WindowLog& log, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        log.mouse.push_back({message, 0});
        return 0;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
        log.mouse.push_back({message, HIWORD(wParam)});
        return TRUE;
    case WM_MOUSEWHEEL:
        log.mouse.push_back({message, GET_WHEEL_DELTA_WPARAM(wParam)});
        return 0;
    case WM_KEYDOWN:
        log.keys.push_back(static_cast<UINT>(wParam));
        return 0;
    case msg::HookMouseEvent:
        log.reports.push_back(wParam);
        // The main window's handler; the statistics page is this window too.
        if (window == g_homeWindow) OnHookEvent(wParam, lParam, g_image, window);
        return 0;
    case msg::StatsMouseEvent:
        log.stats.push_back(wParam);
        return 0;
    case msg::CaptureEvent:
        log.capture.emplace_back(wParam, lParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK HomeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return Record(g_home, w, m, wp, lp); }
LRESULT CALLBACK CaptureProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return Record(g_capture, w, m, wp, lp); }

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        const auto left = static_cast<int>(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min(left, 20)), QS_ALLINPUT);
    }
}

template <typename Pred>
bool PumpUntil(Pred done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        PumpFor(10);
    }
    return true;
}

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L'\\'));
}

// Runs xdotool (a Linux program: Wine starts it directly, without a process handle to wait on).
bool Xdotool(const std::wstring& args) {
    std::wstring line = L"xdotool " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(kXdotool, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    return true;
}

size_t CountRaw(Input what) { return static_cast<size_t>(std::count(g_raw.begin(), g_raw.begin() + g_rawCount, what)); }

class HooksE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        HINSTANCE module = GetModuleHandleW(nullptr);
        WNDCLASSW home{};
        home.lpfnWndProc = HomeProc;
        home.hInstance = module;
        home.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        home.lpszClassName = L"N640HookHome";
        RegisterClassW(&home);
        WNDCLASSW capture = home;
        capture.lpfnWndProc = CaptureProc;
        capture.lpszClassName = L"N640HookCapture";
        RegisterClassW(&capture);
        g_homeWindow = CreateWindowExW(WS_EX_TOPMOST, L"N640HookHome", L"hook test", WS_POPUP | WS_VISIBLE, kLeft, kTop,
                                       kWidth, kHeight, nullptr, nullptr, module, nullptr);
        captureWindow_ = CreateWindowExW(0, L"N640HookCapture", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);

        // The stand-in program in a folder whose name, like its own, has a blank.
        const std::wstring folder = ExeDir() + L"\\hook e2e";
        CreateDirectoryW(folder.c_str(), nullptr);
        program_ = folder + L"\\hook marker.exe";
        log_ = folder + L"\\hook marker.log";
        copied_ = CopyFileW((ExeDir() + L"\\hook_marker.exe").c_str(), program_.c_str(), FALSE) != FALSE;
    }

    static void TearDownTestSuite() {
        DestroyWindow(captureWindow_);
        DestroyWindow(g_homeWindow);
        CoUninitialize();
    }

    void SetUp() override {
        ASSERT_NE(g_homeWindow, nullptr);
        ASSERT_NE(GetFileAttributesW(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is not installed";
        ASSERT_TRUE(copied_) << "hook_marker.exe is missing beside the test program";
        DeleteFileW(log_.c_str());

        // Default functions, nothing intercepted, clicks posted, no capture: the state after start-up.
        g_image = ZeroProfileImage();
        for (int i = 0; i < kInputCount; ++i) g_image.buttons[i].type = kDefaultTypes[i];
        CHookState& state = CHookState::Instance();
        for (const InputInfo& input : kInputs) state.SetIntercept(input.nativeEvent, true);
        SetClickPosting(true);

        SetForegroundWindow(g_homeWindow);
        SetFocus(g_homeWindow);
        ASSERT_TRUE(InstallHooks(g_homeWindow));
        ResetCapture();
        HINSTANCE module = GetModuleHandleW(nullptr);
        g_observeMouse = SetWindowsHookExW(WH_MOUSE_LL, ObserveMouse, module, 0);
        g_observeKeys = SetWindowsHookExW(WH_KEYBOARD_LL, ObserveKeys, module, 0);
        ASSERT_TRUE(g_observeMouse && g_observeKeys);

        ASSERT_TRUE(Xdotool(L"mousemove " + std::to_wstring(kLeft + kWidth / 2) + L" " +
                            std::to_wstring(kTop + kHeight / 2)));
        PumpFor(kSettleMs);
        g_home = {};
        g_capture = {};
        g_rawCount = 0;
    }

    void TearDown() override {
        UnhookWindowsHookEx(g_observeMouse);
        UnhookWindowsHookEx(g_observeKeys);
        RemoveHooks();
        PumpFor(50);
    }

    // A software function opening the stand-in program on the input, its event intercepted as the
    // apply worker does it.
    static void SoftwareFunction(int input, std::u16string_view path) {
        ButtonRecord& b = g_image.buttons[input];
        b.type = kTypeSoftware;
        b.softKind = kSoftProgram;
        SetSoftPath(b, path);
        CHookState::Instance().SetIntercept(kInputs[input].nativeEvent, false);
    }
    static std::u16string Program() { return std::u16string(program_.begin(), program_.end()); }

    // Presses with xdotool and waits until the hooks have seen `last`, then lets the window
    // receive whatever got through.
    static void Press(const std::wstring& args, Input last, size_t times = 1) {
        const size_t before = CountRaw(last);
        ASSERT_TRUE(Xdotool(args)) << "xdotool did not start";
        ASSERT_TRUE(PumpUntil([&] { return CountRaw(last) >= before + times; }, kEventTimeoutMs))
            << "the hooks never saw the event of: xdotool " << std::string(args.begin(), args.end());
        PumpFor(kSettleMs);
    }

    // Runs of the stand-in program so far.
    static size_t Runs() {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        if (!GetFileAttributesExW(log_.c_str(), GetFileExInfoStandard, &a)) return 0;
        return a.nFileSizeLow / 5;  // "run\r\n"
    }
    static bool WaitForRuns(size_t n) {
        return PumpUntil([&] { return Runs() >= n; }, kProgramTimeoutMs);
    }

    static inline HWND captureWindow_ = nullptr;
    static inline std::wstring program_, log_;
    static inline bool copied_ = false;
};

const Input kBackDown{WM_XBUTTONDOWN, XBUTTON1}, kBackUp{WM_XBUTTONUP, XBUTTON1};
const Input kForwardDown{WM_XBUTTONDOWN, XBUTTON2}, kForwardUp{WM_XBUTTONUP, XBUTTON2};

TEST_F(HooksE2E, BackButtonFunctionSwallowsPressAndReleaseAndRunsOnceWhileForwardWorks) {
    SoftwareFunction(kInputBack, Program());

    Press(L"click 8", kBackUp);
    EXPECT_EQ(CountRaw(kBackDown), 1u);
    EXPECT_TRUE(g_home.mouse.empty()) << "the window received part of the swallowed back button";
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x1020B}));
    EXPECT_EQ(g_home.stats, (std::vector<uintptr_t>{0x1020B}));
    EXPECT_TRUE(WaitForRuns(1)) << "the program of the back button did not run";

    Press(L"click 9", kForwardUp);
    EXPECT_EQ(g_home.mouse, (std::vector<Input>{kForwardDown, kForwardUp}));
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x1020B, 0x2020B}));
    EXPECT_EQ(g_home.stats, (std::vector<uintptr_t>{0x1020B, 0x2020B}));

    PumpFor(kNoRunWaitMs);
    EXPECT_EQ(Runs(), 1u);
}

TEST_F(HooksE2E, WheelUpFunctionSwallowsOnlyStepsAwayFromTheUser) {
    SoftwareFunction(kInputWheelUp, Program());
    const Input up{WM_MOUSEWHEEL, WHEEL_DELTA}, down{WM_MOUSEWHEEL, -WHEEL_DELTA};

    Press(L"click --repeat 2 --delay 150 4", up, 2);
    EXPECT_TRUE(g_home.mouse.empty()) << "a step away from the user scrolled the window";
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x20A01, 0x20A01}));
    EXPECT_TRUE(WaitForRuns(2)) << "each step runs the program once";

    Press(L"click 5", down);
    EXPECT_EQ(g_home.mouse, (std::vector<Input>{down}));
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x20A01, 0x20A01, 0x20A00}));

    PumpFor(kNoRunWaitMs);
    EXPECT_EQ(Runs(), 2u);
}

TEST_F(HooksE2E, LeftButtonFunctionSwallowsTheButtonAndRunsNothing) {
    SoftwareFunction(kInputLeft, Program());

    Press(L"click 1", Input{WM_LBUTTONUP, 0});
    EXPECT_TRUE(g_home.mouse.empty()) << "the window received part of the swallowed left button";
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x201}));
    EXPECT_EQ(g_home.stats, (std::vector<uintptr_t>{0x201}));  // still counted

    PumpFor(kNoRunWaitMs);
    EXPECT_EQ(Runs(), 0u);
}

TEST_F(HooksE2E, ClicksArePostedOnlyWhileClickPostingIsOnButInterceptedOnesAlways) {
    SoftwareFunction(kInputBack, u"");  // an empty path: swallowed and reported, nothing runs

    SetClickPosting(false);
    Press(L"click 9", kForwardUp);
    Press(L"click 3", Input{WM_RBUTTONUP, 0});
    EXPECT_EQ(g_home.mouse, (std::vector<Input>{kForwardDown, kForwardUp, {WM_RBUTTONDOWN, 0}, {WM_RBUTTONUP, 0}}));
    EXPECT_TRUE(g_home.reports.empty());
    Press(L"click 8", kBackUp);
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x1020B}));

    SetClickPosting(true);
    Press(L"click 9", kForwardUp);
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x1020B, 0x2020B}));
    EXPECT_EQ(g_home.mouse.size(), 6u);
    EXPECT_EQ(Runs(), 0u);
}

TEST_F(HooksE2E, CapturingPageGetsKeysAndClicksUntilCaptureIsReset) {
    SetTarget(captureWindow_);
    SetForwarding(true, false);
    Press(L"key a", Input{WM_KEYUP, 'A'});
    Press(L"click 9", kForwardUp);
    ASSERT_EQ(g_capture.capture.size(), 2u);
    EXPECT_EQ(g_capture.capture[0].first, static_cast<uintptr_t>('A'));
    EXPECT_EQ(g_capture.capture[0].second & LLKHF_UP, 0);
    EXPECT_EQ(g_capture.capture[1].first, static_cast<uintptr_t>('A'));
    EXPECT_NE(g_capture.capture[1].second & LLKHF_UP, 0);
    EXPECT_EQ(g_capture.reports, (std::vector<uintptr_t>{0x2020B}));  // neither counted nor dispatched
    EXPECT_TRUE(g_home.reports.empty());
    EXPECT_EQ(g_home.keys, (std::vector<UINT>{'A'}));  // keys are never swallowed

    ResetCapture();  // what hiding or minimising the main window does
    Press(L"key b", Input{WM_KEYUP, 'B'});
    Press(L"click 9", kForwardUp);
    EXPECT_EQ(g_capture.capture.size(), 2u);
    EXPECT_EQ(g_home.reports, (std::vector<uintptr_t>{0x2020B}));
    EXPECT_TRUE(g_home.capture.empty());
}

} // namespace
} // namespace n640
