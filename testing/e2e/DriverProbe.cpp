// A small Windows program the driver's end-to-end test runs beside the driver under Wine: it
// finds windows by title, posts messages, reads the message box's text, measures the time from
// starting the driver to its shown window, and checks the simulated mouse's memory.
//
//   DriverProbe visible TITLE                 exit 0 when a visible window has the title
//   DriverProbe post TITLE MSG WPARAM LPARAM  post to the window with the title
//   DriverProbe info-text                     print the open message box's text
//   DriverProbe launch EXE [ARGS...]          start EXE, print milliseconds until its main window shows
//   DriverProbe check-sim FILE                the memory in FILE equals a default profile's apply
//   DriverProbe device-change TITLE arrival|removal
//                                             send the mouse's device-interface notice as the system
//                                             does; exit 0 when the window answered within 2 s
//   DriverProbe tray-icon TITLE               exit 0 when the window has its icon in the tray
//   DriverProbe drop-tray TITLE               remove the window's tray icon, as a shell restart does
//   DriverProbe taskbar-created               broadcast the shell's "TaskbarCreated"
//   DriverProbe foreground TITLE              exit 0 when the window is the foreground window
//   DriverProbe enabled TITLE                 exit 0 when the window takes input
//   DriverProbe owner TITLE OWNER_TITLE       exit 0 when the first window is owned by the second
//   DriverProbe rect TITLE                    print the window's screen rectangle
//   DriverProbe exit-in-pointer-notice TITLE  wait for an apply's first pointer-settings broadcast,
//                                             choose "Exit" in the window while holding the
//                                             broadcast 300 ms; exit 0 when the window is gone
//                                             within a second of the choice
//   DriverProbe second-copy-to-front EXE TITLE
//                                             with a window of the probe in front, start EXE (a
//                                             second copy); exit 0 when TITLE comes to the front

#include <windows.h>

#include <dbt.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/ProfileStore.h"
#include "device/ApplyWorker.h"
#include "device/sim/SimulatedMouse.h"
#include "functions/HookState.h"
#include "macro/MacroLibrary.h"
#include "platform/File.h"
#include "platform/Notifier.h"
#include "testing/RecordingClock.h"

namespace {

constexpr wchar_t kMainTitle[] = L"Zentu N640 Gaming Mouse Driver";

class CNullPoster final : public n640::IPoster {
public:
    bool Post(n640::WindowRef, uint32_t, uintptr_t, intptr_t) override { return true; }
};
class CNullPointer final : public n640::IPointerSettings {
public:
    void Apply(const n640::PointerValues&) override {}
};
class CSilentNotifier final : public n640::INotifier {
public:
    int ShowInfo(std::u16string_view, n640::InfoButtons, bool) override { return n640::kInfoOk; }
    void ShowSystemInfo(std::u16string_view, n640::WindowRef) override {}
};

int Visible(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    return w && IsWindowVisible(w) ? 0 : 1;
}

int Post(const wchar_t* title, const wchar_t* m, const wchar_t* wp, const wchar_t* lp) {
    HWND w = FindWindowW(nullptr, title);
    if (!w) return 1;
    return PostMessageW(w, static_cast<UINT>(_wtoi(m)), static_cast<WPARAM>(_wtoi64(wp)), static_cast<LPARAM>(_wtoi64(lp)))
               ? 0
               : 1;
}

int InfoText() {
    HWND box = FindWindowW(nullptr, L"ZentuN640InfoDlg");
    if (!box) return 1;
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0x7FF0, text, 512);
    char utf8[1536] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::fputs(utf8, stdout);
    std::fputc('\n', stdout);
    return 0;
}

int Launch(int argc, wchar_t** argv) {
    std::wstring cmd;
    for (int i = 2; i < argc; ++i) {
        if (!cmd.empty()) cmd += L' ';
        cmd += L'"';
        cmd += argv[i];
        cmd += L'"';
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 2;
    for (;;) {
        HWND w = FindWindowW(nullptr, kMainTitle);
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
        if (w && IsWindowVisible(w)) {
            std::printf("%.0f\n", ms);
            return 0;
        }
        if (ms > 60000 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) return 1;
        Sleep(2);
    }
}

int CheckSim(const wchar_t* file) {
    n640::CSimulatedMouse driven;
    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, file, -1, path, sizeof path, nullptr, nullptr);
    if (!driven.LoadFile(path)) {
        std::puts("check-sim: the state file cannot be read");
        return 1;
    }
    // What a default profile leaves in a factory-new mouse.
    n640::CSimulatedMouse expected;
    n640::CSimHidEnumerator hid(expected);
    n640::testing::CRecordingClock clock;
    n640::CUSBDriver link(hid, clock);
    if (!link.Open()) return 1;
    n640::ProfileImage profile{};
    n640::BuildDefaultProfile(&profile);
    n640::MacroAssignments none{};
    CSilentNotifier notifier;
    n640::CMacroLibrary macros("C:\\nonexistent", n640::CSystemFiles::Instance(), notifier,
                               [](std::string_view) { return std::u16string(); }, clock);
    CNullPoster poster;
    CNullPointer pointer;
    n640::CHookState hook;
    const n640::ApplyOutcome out = n640::RunApply(n640::ApplyData{profile, none, macros},
                                                  n640::ApplyPorts{link, hook, pointer, clock, poster});
    if (out.kind != n640::ApplyOutcome::Kind::Succeeded) return 1;
    const n640::SimMemory a = driven.Memory();
    const n640::SimMemory b = expected.Memory();
    std::fputs(driven.Describe().c_str(), stdout);
    if (std::memcmp(&a, &b, sizeof a) != 0) {
        std::puts("check-sim: the memory differs from a default profile's");
        return 1;
    }
    return 0;
}

int DeviceChange(const wchar_t* title, const std::wstring& kind) {
    HWND w = FindWindowW(nullptr, title);
    if (!w) return 1;
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W header;
        wchar_t rest[128];
    } notice{};
    static constexpr wchar_t kName[] = L"\\\\?\\USB#VID_3F1C&PID_5C21#e2e#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    notice.header.dbcc_size = static_cast<DWORD>(sizeof notice.header + sizeof kName);
    notice.header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    notice.header.dbcc_classguid = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
    std::memcpy(notice.header.dbcc_name, kName, sizeof kName);
    const WPARAM event = kind == L"arrival" ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(w, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&notice), SMTO_NORMAL, 2000,
                               &result)
               ? 0
               : 3;
}

NOTIFYICONDATAW TrayOf(HWND w) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = w;
    data.uID = 0;
    return data;
}

int TrayIcon(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    if (!w) return 1;
    NOTIFYICONDATAW data = TrayOf(w);
    data.uFlags = NIF_TIP;
    GetWindowTextW(w, data.szTip, ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_MODIFY, &data) ? 0 : 1;
}

int DropTray(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    if (!w) return 1;
    NOTIFYICONDATAW data = TrayOf(w);
    return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
}

int TaskbarCreated() {
    const UINT m = RegisterWindowMessageW(L"TaskbarCreated");
    return m && PostMessageW(HWND_BROADCAST, m, 0, 0) ? 0 : 1;
}

int Foreground(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    return w && GetForegroundWindow() == w ? 0 : 1;
}

int Enabled(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    return w && IsWindowEnabled(w) ? 0 : 1;
}

int Owner(const wchar_t* title, const wchar_t* ownerTitle) {
    HWND w = FindWindowW(nullptr, title);
    HWND owner = FindWindowW(nullptr, ownerTitle);
    return w && owner && GetWindow(w, GW_OWNER) == owner ? 0 : 1;
}

int WindowRect(const wchar_t* title) {
    HWND w = FindWindowW(nullptr, title);
    RECT r;
    if (!w || !GetWindowRect(w, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

// Answers sent and posted messages of this thread for up to ms milliseconds, or until done().
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
    }
}

HWND ProbeWindow(WNDPROC proc, const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = title;
    RegisterClassW(&wc);
    return CreateWindowExW(0, title, title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND g_driver = nullptr;
std::atomic<bool> g_exitChosen{false};

LRESULT CALLBACK NoticeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTINGCHANGE && !g_exitChosen && (wp == SPI_SETMOUSE || wp == SPI_SETMOUSESPEED)) {
        // The apply worker is inside its pointer-settings step now, waiting for this answer.
        PostMessageW(g_driver, WM_COMMAND, 0x6001, 0);
        g_exitChosen = true;
        Sleep(300);
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

int ExitInPointerNotice(const wchar_t* title) {
    g_driver = FindWindowW(nullptr, title);
    if (!g_driver) return 1;
    if (!ProbeWindow(NoticeProc, L"ProbeNotices")) return 1;
    if (!PumpUntil(30000, [] { return g_exitChosen.load(); })) return 2;
    const ULONGLONG chosen = GetTickCount64() - 300;
    const bool gone = PumpUntil(1300, [&] { return !IsWindow(g_driver); });
    std::printf("%llu\n", static_cast<unsigned long long>(GetTickCount64() - chosen));
    return gone && GetTickCount64() - chosen <= 1000 ? 0 : 4;
}

int SecondCopyToFront(const wchar_t* exe, const wchar_t* title) {
    HWND first = FindWindowW(nullptr, title);
    if (!first) return 1;
    HWND own = ProbeWindow(DefWindowProcW, L"ProbeFront");
    if (!own) return 1;
    ShowWindow(own, SW_SHOW);
    SetForegroundWindow(own);
    if (!PumpUntil(2000, [&] { return GetForegroundWindow() == own; })) return 2;
    std::wstring cmd = L"\"";
    cmd += exe;
    cmd += L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 3;
    // Keep this window answering while the second copy runs and the first comes up.
    PumpUntil(10000, [&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; });
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return PumpUntil(3000, [&] { return GetForegroundWindow() == first && IsWindowVisible(first); }) ? 0 : 4;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring verb = argv[1];
    if (verb == L"visible" && argc == 3) return Visible(argv[2]);
    if (verb == L"post" && argc == 6) return Post(argv[2], argv[3], argv[4], argv[5]);
    if (verb == L"info-text") return InfoText();
    if (verb == L"launch" && argc >= 3) return Launch(argc, argv);
    if (verb == L"check-sim" && argc == 3) return CheckSim(argv[2]);
    if (verb == L"device-change" && argc == 4) return DeviceChange(argv[2], argv[3]);
    if (verb == L"tray-icon" && argc == 3) return TrayIcon(argv[2]);
    if (verb == L"drop-tray" && argc == 3) return DropTray(argv[2]);
    if (verb == L"taskbar-created") return TaskbarCreated();
    if (verb == L"foreground" && argc == 3) return Foreground(argv[2]);
    if (verb == L"enabled" && argc == 3) return Enabled(argv[2]);
    if (verb == L"owner" && argc == 4) return Owner(argv[2], argv[3]);
    if (verb == L"rect" && argc == 3) return WindowRect(argv[2]);
    if (verb == L"exit-in-pointer-notice" && argc == 3) return ExitInPointerNotice(argv[2]);
    if (verb == L"second-copy-to-front" && argc == 4) return SecondCopyToFront(argv[2], argv[3]);
    return 2;
}
