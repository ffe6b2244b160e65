#pragma once
// What every command of n640ctl works with: the directories, the data files, the message sink
// and, when a command needs it, the mouse.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "config/ProfileStore.h"
#include "device/HidPort.h"
#include "device/USBDriver.h"
#include "device/sim/SimulatedMouse.h"
#include "i18n/LanguageTable.h"
#include "macro/MacroLibrary.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Notifier.h"
#include "platform/linux/DirectoryLock.h"

namespace n640::cli {

// Boxes the core would show become lines on standard error; the last one is kept so a command
// can tell whether anything was reported.
class CCliNotifier final : public INotifier {
public:
    explicit CCliNotifier(std::ostream& err) : err_(err) {}
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) override;
    void ShowSystemInfo(std::u16string_view text, WindowRef owner) override;
    using INotifier::ShowInfo;
    using INotifier::ShowSystemInfo;
    int Count() const { return count_; }

private:
    std::ostream& err_;
    int count_ = 0;
};

class CSession {
public:
    CSession(const Args& args, std::ostream& out, std::ostream& err);
    ~CSession();

    const Args& args() const { return args_; }
    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    CCliNotifier& notifier() { return notifier_; }
    IFiles& files() { return CSystemFiles::Instance(); }
    IClock& clock() { return CSystemClock::Instance(); }

    // The folder with the default data files and the language files.
    std::optional<std::filesystem::path> InstallDir() const;
    std::filesystem::path DataDir() const { return dataDir_; }
    // Creates the data directory with the default files when it does not exist yet or is an empty
    // folder. False, after a message, when that is impossible or a file could not be copied.
    bool EnsureDataDir();
    // Takes the lock of the folder for the rest of the command, so that no other n640ctl changes
    // its files in between: a command that writes takes it before it reads what it will change. A
    // second writer waits for it a few seconds. False, after a message, when the folder stays busy.
    bool LockFolder(const std::filesystem::path& dir);
    bool LockDataDir() { return LockFolder(dataDir_); }
    // The command only reads: loading the store writes no defaults over a bad or missing profile.
    void SetReadOnly() { readOnly_ = true; }
    bool ReadOnly() const { return readOnly_; }

    // The store over the data directory, with its slots loaded (the active profile in memory).
    CProfileStore& Store();
    // The macro library: --macros FILE when given, else the data directory's Macro.cfg.
    CMacroLibrary* Library();

    TextLookup Language();

    // The HID interfaces per --device (hidraw, one node, or the simulated mouse). Null, after a
    // message, for an unknown device.
    IHidEnumerator* Hid();
    // The mouse per --device. Null, after a message, when it cannot be opened.
    CUSBDriver* OpenMouse();
    // The simulated mouse when --device sim was chosen (null otherwise).
    CSimulatedMouse* Simulated() { return sim_.get(); }
    std::filesystem::path SimStateFile() const;
    // Saves the simulated mouse's memory when one is in use.
    bool SaveSimulated();

private:
    void LoadLanguage();
    // Faults of the simulated mouse for trying the failure handling: N640_SIM_FAIL=COMMAND makes
    // a command fail, N640_SIM_UNPLUG_AFTER=N unplugs the mouse after N reports.
    bool ApplySimFaults();
    long long unplugAfter_ = 0;

    Args args_;
    std::ostream& out_;
    std::ostream& err_;
    CCliNotifier notifier_;
    std::filesystem::path dataDir_;
    std::unique_ptr<CProfileStore> store_;
    std::unique_ptr<CMacroLibrary> library_;
    bool libraryLoaded_ = false;
    bool languageLoaded_ = false;
    bool readOnly_ = false;
    std::vector<std::unique_ptr<CDirectoryLock>> locks_;
    std::vector<std::filesystem::path> lockedFolders_;
    std::unique_ptr<CSimulatedMouse> sim_;
    std::unique_ptr<IHidEnumerator> hid_;
    std::unique_ptr<CUSBDriver> link_;
};

// After a failed command of the mouse: what failed and the system's reason, e.g. "the mouse did
// not take the report: write (output report): Broken pipe" (nothing when the link has no reason).
void PrintLinkError(CSession& s, const CUSBDriver& link);

// Text for the terminal.
std::string Utf8(std::u16string_view text);
std::string Quoted(const std::filesystem::path& p);

// PROFILE operands: a file, or 1..5 for the data directory's ProfileN.cfg.
std::filesystem::path ProfilePath(CSession& s, const std::string& operand);
// Reads a profile file as the driver does: a short file reads as zero-filled, a long one only up
// to the record; the magic decides whether it is a profile. False after a message.
bool ReadProfileFile(CSession& s, const std::filesystem::path& file, ProfileImage& image);
// Writes a whole file safely (the old one stays when the write fails). False after a message.
bool WriteFile(CSession& s, const std::filesystem::path& file, const void* data, size_t size);
// The message for a failed write of file: what failed and the system's reason.
std::string WriteFailureText(CSession& s, const std::filesystem::path& file, FileStatus status);

} // namespace n640::cli
