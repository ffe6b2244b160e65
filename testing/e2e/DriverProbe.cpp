// A small Windows program the driver's end-to-end test runs beside the driver under Wine: it
// finds windows by title, posts messages, reads the message box's text, measures the time from
// starting the driver to its shown window, and checks the simulated mouse's memory.
//
//   DriverProbe visible TITLE                 exit 0 when a visible window has the title
//   DriverProbe post TITLE MSG WPARAM LPARAM  post to the window with the title
//   DriverProbe info-text                     print the open message box's text
//   DriverProbe launch EXE [ARGS...]          start EXE, print milliseconds until its main window shows
//   DriverProbe check-sim FILE                the memory in FILE equals a default profile's apply

#include <windows.h>

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

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring verb = argv[1];
    if (verb == L"visible" && argc == 3) return Visible(argv[2]);
    if (verb == L"post" && argc == 6) return Post(argv[2], argv[3], argv[4], argv[5]);
    if (verb == L"info-text") return InfoText();
    if (verb == L"launch" && argc >= 3) return Launch(argc, argv);
    if (verb == L"check-sim" && argc == 3) return CheckSim(argv[2]);
    return 2;
}
