// The two commands that run an apply: `apply` against the mouse, and `reports`, which records what
// an apply sends, without a device, against a fresh simulated mouse.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "device/ApplyWorker.h"
#include "device/sim/SimulatedMouse.h"
#include "functions/FunctionModel.h"
#include "functions/HookState.h"
#include "functions/PointerSettings.h"

namespace n640::cli {

namespace fs = std::filesystem;

namespace {

// Progress of a run: a bar on a terminal, plain lines otherwise.
class CProgressPrinter final : public IPoster {
public:
    CProgressPrinter(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
    bool Post(WindowRef, uint32_t message, uintptr_t wParam, intptr_t) override {
        if (message != msg::ApplyProgress) return true;
        const int percent = static_cast<int>(wParam);
        if (!terminal_) {
            out_ << "progress " << percent << "\n";
            return true;
        }
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        out_ << "\rwriting to the mouse [" << std::string(static_cast<size_t>(filled), '#')
             << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << percent << "%" << std::flush;
        if (percent >= 100) out_ << "\n";
        return true;
    }

private:
    std::ostream& out_;
    bool terminal_;
};

// Pointer settings of a recorded run go only into the trace.
class CNoPointerSettings final : public IPointerSettings {
public:
    void Apply(const PointerValues&) override {}
};

// The apply's inputs: the active profile of the data directory with its slot's assignments, or a
// profile file with each macro input's own macro id.
struct ApplySource {
    std::unique_ptr<ProfileImage> fileProfile;
    MacroAssignments fileAssignments{};
    bool fromStore = false;
};

bool LoadSource(CSession& s, ApplySource& source, bool writes) {
    const auto& w = s.args().words;
    if (w.size() == 1) {
        if (!s.EnsureDataDir()) return false;
        // An apply saves the active profile and the slot table when the mouse took them: it holds
        // the lock from reading them to that save, so no change made meanwhile is written over.
        if (!writes) s.SetReadOnly();
        if (writes && !s.LockDataDir()) return false;
        s.Store();
        source.fromStore = true;
        return true;
    }
    source.fileProfile = std::make_unique<ProfileImage>();
    if (!ReadProfileFile(s, ProfilePath(s, w[1]), *source.fileProfile)) return false;
    source.fileAssignments = CProfileStore::OwnAssignments(*source.fileProfile);
    return true;
}

} // namespace

int RunApplyCommand(CSession& s) {
    ApplySource source;
    if (!LoadSource(s, source, true)) return kExitFailure;
    CMacroLibrary* library = s.Library();
    if (library == nullptr) return kExitFailure;
    CUSBDriver* link = s.OpenMouse();
    if (link == nullptr) return kExitFailure;

    const ProfileImage& profile = source.fromStore ? s.Store().Profile() : *source.fileProfile;
    const MacroAssignments& assignments = source.fromStore ? s.Store().Assignments() : source.fileAssignments;
    CHookState hook;
    CSystemPointerSettings pointer(nullptr, &s.err());
    CProgressPrinter progress(s.out(), isatty(STDOUT_FILENO) != 0);
    const ApplyPorts ports{*link, hook, pointer, s.clock(), progress};
    const ApplyOutcome outcome = RunApply(ApplyData{profile, assignments, *library}, ports);
    link->Close();
    const bool simSaved = s.SaveSimulated();

    if (outcome.kind != ApplyOutcome::Kind::Succeeded) {
        if (!outcome.failure) {
            s.err() << "the apply was stopped\n";
            return kExitFailure;
        }
        s.err() << Utf8(ApplyFailureText(*outcome.failure));
        PrintLinkError(s, *link);
        return kExitFailure;
    }
    // As the driver does after the mouse took the profile: the profile file and ConfigInfo.cfg.
    if (source.fromStore && !s.Store().SaveActiveProfile()) {
        s.err() << WriteFailureText(s, s.Store().FailedFile(), s.Store().FailedStatus()) << "\n";
        return kExitFailure;
    }
    s.out() << "the mouse took the profile\n";
    return simSaved ? kExitOk : kExitFailure;
}

int RunReportsCommand(CSession& s) {
    ApplySource source;
    if (!LoadSource(s, source, false)) return kExitFailure;
    CMacroLibrary* library = s.Library();
    if (library == nullptr) return kExitFailure;
    const ProfileImage& profile = source.fromStore ? s.Store().Profile() : *source.fileProfile;
    const MacroAssignments& assignments = source.fromStore ? s.Store().Assignments() : source.fileAssignments;

    CSimulatedMouse mouse;
    CSimHidEnumerator hid(mouse);
    CHookState hook;
    CNoPointerSettings pointer;
    const ApplyTraceResult trace = TraceApply(hid, ApplyData{profile, assignments, *library}, hook, pointer, false);
    if (!trace.opened) {
        s.err() << "the simulated mouse could not be opened\n";
        return kExitFailure;
    }
    for (const auto& line : trace.lines) s.out() << line << "\n";
    return kExitOk;
}

} // namespace n640::cli
