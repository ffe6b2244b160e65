#include "cli/Session.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "config/Seeding.h"
#include "config/ProfileStore.h"
#include "device/ReportSet.h"
#include "device/linux/Hidraw.h"
#include "i18n/UiLanguage.h"
#include "platform/Directories.h"
#include "platform/Text.h"

namespace n640::cli {

namespace fs = std::filesystem;

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

int CCliNotifier::ShowInfo(std::u16string_view text, InfoButtons, bool) {
    ++count_;
    err_ << Utf8(text) << "\n";
    return kInfoOk;
}

void CCliNotifier::ShowSystemInfo(std::u16string_view text, WindowRef) {
    ++count_;
    err_ << Utf8(text) << "\n";
}

namespace {

// One hidraw node only: the enumerator shows nothing else.
class COneNodeEnumerator final : public IHidEnumerator {
public:
    explicit COneNodeEnumerator(std::string node) : node_(std::move(node)) {}
    std::vector<std::string> InterfacePaths() override {
        for (const auto& p : inner_.InterfacePaths()) {
            if (p == node_) return {p};
        }
        std::error_code ec;
        return fs::exists(node_, ec) ? std::vector<std::string>{node_} : std::vector<std::string>{};
    }
    std::optional<HidIds> Attributes(const std::string& path) override { return inner_.Attributes(path); }
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override {
        return inner_.FeatureValueCaps(path);
    }
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override {
        return inner_.Open(path, access);
    }
    HidError LastError() const override { return inner_.LastError(); }

private:
    std::string node_;
    CHidrawEnumerator inner_;
};

// Unplugs the simulated mouse after a number of reports, to try the handling of a mouse that
// goes away in the middle of an apply.
class CUnplugAfter final : public IHidEnumerator {
public:
    CUnplugAfter(std::unique_ptr<IHidEnumerator> inner, CSimulatedMouse& mouse, long long reports)
        : inner_(std::move(inner)), mouse_(mouse), left_(reports) {}
    std::vector<std::string> InterfacePaths() override { return inner_->InterfacePaths(); }
    std::optional<HidIds> Attributes(const std::string& path) override { return inner_->Attributes(path); }
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override {
        return inner_->FeatureValueCaps(path);
    }
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override {
        auto handle = inner_->Open(path, access);
        if (!handle) return handle;
        return std::make_unique<Handle>(std::move(handle), *this);
    }
    HidError LastError() const override { return inner_->LastError(); }

private:
    class Handle final : public IHidHandle {
    public:
        Handle(std::unique_ptr<IHidHandle> inner, CUnplugAfter& owner) : inner_(std::move(inner)), owner_(owner) {}
        bool SetFeature(const uint8_t* report, size_t len) override {
            owner_.Count();
            return inner_->SetFeature(report, len);
        }
        bool GetFeature(uint8_t* report, size_t len) override { return inner_->GetFeature(report, len); }
        HidWriteStatus Write(const uint8_t* report, size_t len) override {
            owner_.Count();
            return inner_->Write(report, len);
        }
        bool WaitPendingWrite(uint32_t timeoutMs) override { return inner_->WaitPendingWrite(timeoutMs); }
        std::string LastError() const override { return inner_->LastError(); }

    private:
        std::unique_ptr<IHidHandle> inner_;
        CUnplugAfter& owner_;
    };
    void Count() {
        if (left_ > 0 && --left_ == 0) mouse_.SetPlugged(false);
    }

    std::unique_ptr<IHidEnumerator> inner_;
    CSimulatedMouse& mouse_;
    long long left_;
};

} // namespace

bool CSession::ApplySimFaults() {
    if (const char* fail = std::getenv("N640_SIM_FAIL"); fail != nullptr && *fail != '\0') {
        const std::optional<uint8_t> code = ParseSimFault(std::string_view(fail));
        if (!code) {
            err_ << "N640_SIM_FAIL names no command (" << SimFaultNameList() << ")\n";
            return false;
        }
        sim_->FailCommand(*code);
    }
    if (const char* after = std::getenv("N640_SIM_UNPLUG_AFTER"); after != nullptr && *after != '\0') {
        unplugAfter_ = std::atoll(after);
        if (unplugAfter_ <= 0) {
            err_ << "N640_SIM_UNPLUG_AFTER takes a number of reports\n";
            return false;
        }
    }
    return true;
}

CSession::CSession(const Args& args, std::ostream& out, std::ostream& err)
    : args_(args), out_(out), err_(err), notifier_(err) {
    SetUiChinese(args_.lang && *args_.lang == "sc");
    dataDir_ = args_.dataDir ? fs::path(*args_.dataDir) : DefaultDataDir();
}

CSession::~CSession() = default;

std::optional<fs::path> CSession::InstallDir() const {
    std::vector<fs::path> candidates;
    if (const char* env = std::getenv("N640_INSTALL_DIR"); env != nullptr && *env != '\0') candidates.emplace_back(env);
    const fs::path exe = ExecutableDir();
    candidates.push_back(exe / ".." / "dist");
    candidates.push_back(exe / ".." / "share" / "zentu-n640");
    for (const auto& dir : candidates) {
        std::error_code ec;
        if (fs::exists(CProfileStore::ConfigInfoPathIn(dir), ec)) return fs::weakly_canonical(dir, ec);
    }
    return std::nullopt;
}

bool CSession::EnsureDataDir() {
    if (dataDir_.empty()) {
        err_ << "no data directory: set HOME or XDG_DATA_HOME, or pass --data-dir DIR\n";
        return false;
    }
    std::error_code ec;
    const bool existed = fs::exists(dataDir_, ec);
    if (ec) {
        err_ << "cannot use the data directory " << dataDir_.string() << ": " << ec.message() << "\n";
        return false;
    }
    if (existed) {
        if (!fs::is_directory(dataDir_, ec)) {
            err_ << "the data directory " << dataDir_.string() << " is not a directory\n";
            return false;
        }
        // An empty folder is seeded like a missing one; anything in it is the user's.
        if (!fs::is_empty(dataDir_, ec) || ec) return true;
    }
    const auto install = InstallDir();
    if (!install) {
        err_ << "cannot create " << dataDir_.string()
             << ": the default data files were not found (set N640_INSTALL_DIR to the folder that holds them)\n";
        return false;
    }
    const FileStatus created = files().CreateDirectories(dataDir_);
    if (created != FileStatus::Ok) {
        err_ << "cannot create the data directory " << dataDir_.string() << ": " << Utf8(files().LastError()) << "\n";
        return false;
    }
    if (!LockDataDir()) return false;
    // Another n640ctl may have filled it while this one waited for the lock.
    if (!fs::is_empty(dataDir_, ec) && !ec && fs::exists(CProfileStore::ConfigInfoPathIn(dataDir_), ec)) return true;

    const SeedReport report = CopyDefaultDataFiles(files(), *install, dataDir_);
    if (!report.failed.empty()) {
        err_ << "cannot create the data directory " << dataDir_.string() << " with the default files:\n";
        for (const SeedFailure& f : report.failed) {
            err_ << "  cannot write " << Quoted(f.file) << ": "
                 << (f.reason.empty() ? std::string("the copy failed") : Utf8(f.reason)) << "\n";
        }
        // Nothing half-made stays behind: the next run seeds again.
        for (const fs::path& file : report.copied) files().Remove(file);
        fs::remove(dataDir_ / "Profile", ec);
        if (!existed) fs::remove(dataDir_, ec);
        return false;
    }
    err_ << (existed ? "filled the empty data directory " : "created the data directory ") << dataDir_.string()
         << " with the default files\n";
    return true;
}

bool CSession::LockFolder(const fs::path& dir) {
    std::error_code ec;
    for (const fs::path& held : lockedFolders_) {
        if (held == dir || fs::equivalent(held, dir, ec)) return true;
    }
    // Long enough for another command's apply to finish.
    constexpr int kLockWaitMs = 5000;
    auto lock = std::make_unique<CDirectoryLock>();
    switch (lock->Acquire(dir, kLockWaitMs)) {
    case CDirectoryLock::Result::Locked:
        locks_.push_back(std::move(lock));
        lockedFolders_.push_back(dir);
        return true;
    case CDirectoryLock::Result::Busy:
        err_ << (dir == dataDir_ ? "the data directory " : "the folder ") << dir.string()
             << " is busy: another n640ctl is changing it; try again\n";
        return false;
    case CDirectoryLock::Result::Failed:
        break;
    }
    err_ << "cannot lock " << dir.string() << ": " << lock->Error() << "\n";
    return false;
}

void CSession::LoadLanguage() {
    if (languageLoaded_) return;
    languageLoaded_ = true;
    const auto install = InstallDir();
    if (!install) return;
    const fs::path file = *install / "Language" / (UiChinese() ? "sc.xml" : "en.xml");
    std::error_code ec;
    if (fs::exists(file, ec)) LanguageTable().LoadLanguageFile(PathText(file));
}

TextLookup CSession::Language() {
    LoadLanguage();
    return [](std::string_view key) { return LangText(key); };
}

CProfileStore& CSession::Store() {
    if (!store_) {
        store_ = std::make_unique<CProfileStore>(dataDir_, files(), notifier_, Language());
        store_->SetReadOnly(readOnly_);
        store_->LoadSlots();
    }
    return *store_;
}

CMacroLibrary* CSession::Library() {
    if (!library_) {
        const fs::path dir = args_.macros ? fs::path(*args_.macros).parent_path() : dataDir_;
        library_ = std::make_unique<CMacroLibrary>(dir, files(), notifier_, Language(), clock());
    }
    if (!libraryLoaded_) {
        if (args_.macros && fs::path(*args_.macros).filename() != "Macro.cfg") {
            err_ << "--macros must name a file called Macro.cfg\n";
            return nullptr;
        }
        const int reported = notifier_.Count();
        if (!library_->LoadMacroLibrary()) {
            if (notifier_.Count() == reported) {
                err_ << "cannot read " << Quoted(library_->FilePath()) << ": " << Utf8(files().LastError()) << "\n";
            }
            return nullptr;
        }
        libraryLoaded_ = true;
    }
    return library_.get();
}

fs::path CSession::SimStateFile() const {
    const std::string& d = args_.device;
    if (d.size() > 4 && d.rfind("sim:", 0) == 0) return fs::path(d.substr(4));
    return dataDir_ / "SimulatedMouse.bin";
}

IHidEnumerator* CSession::Hid() {
    if (hid_) return hid_.get();
    const std::string& d = args_.device;
    if (d == "sim" || d.rfind("sim:", 0) == 0) {
        sim_ = std::make_unique<CSimulatedMouse>();
        const fs::path state = SimStateFile();
        std::error_code ec;
        if (fs::exists(state, ec) && !sim_->LoadFile(state.string())) {
            err_ << "the simulated mouse's state file " << state.string() << " is damaged; starting from factory memory\n";
        }
        if (!ApplySimFaults()) return nullptr;
        hid_ = std::make_unique<CSimHidEnumerator>(*sim_);
        if (unplugAfter_ > 0) hid_ = std::make_unique<CUnplugAfter>(std::move(hid_), *sim_, unplugAfter_);
    } else if (d == "auto") {
        hid_ = std::make_unique<CHidrawEnumerator>();
    } else if (d.rfind("/dev/", 0) == 0) {
        hid_ = std::make_unique<COneNodeEnumerator>(d);
    } else {
        err_ << "unknown device \"" << d << "\" (auto, sim[:STATEFILE] or /dev/hidrawN)\n";
    }
    return hid_.get();
}

CUSBDriver* CSession::OpenMouse() {
    if (link_) return link_->IsOpen() ? link_.get() : nullptr;
    const std::string& d = args_.device;
    if (Hid() == nullptr) return nullptr;
    link_ = std::make_unique<CUSBDriver>(*hid_, clock());
    if (!link_->Create() || !link_->Open()) {
        if (link_->LastError().open == HidOpenError::AccessDenied) {
            err_ << "the mouse was found but access was denied. Install the udev rule and plug the mouse in again:\n"
                    "  sudo install -m 644 cli/70-n640.rules /etc/udev/rules.d/ && sudo udevadm control --reload\n";
        } else {
            err_ << "the mouse was not found";
            if (d == "auto") err_ << " (no HID interface " << IdsText(kMouseIds) << " with the vendor feature)";
            err_ << "\n";
        }
        return nullptr;
    }
    return link_.get();
}

void PrintLinkError(CSession& s, const CUSBDriver& link) {
    const std::string reason = link.LastError().text;
    if (!reason.empty()) s.err() << "the mouse did not take the report: " << reason << "\n";
}

bool CSession::SaveSimulated() {
    if (!sim_) return true;
    const fs::path state = SimStateFile();
    if (!sim_->SaveFile(state.string())) {
        err_ << "cannot save the simulated mouse's state to " << state.string() << "\n";
        return false;
    }
    return true;
}

// PROFILE operands: a file, or 1..5 for the data directory's ProfileN.cfg.
fs::path ProfilePath(CSession& s, const std::string& operand) {
    if (operand.size() == 1 && operand[0] >= '1' && operand[0] < '1' + kSlotCount) {
        return CProfileStore::ProfilePathIn(s.DataDir(), operand[0] - '1');
    }
    return fs::path(operand);
}

std::string Quoted(const fs::path& p) {
    std::string text(1, '"');
    text.append(p.string()).push_back('"');
    return text;
}

// Reads a profile file as the driver does: a short file reads as zero-filled, a long one only up to
// the record; the magic decides whether it is a profile.
bool ReadProfileFile(CSession& s, const fs::path& file, ProfileImage& image) {
    const FileStatus status = ReadProfileImage(s.files(), file, image);
    if (status == FileStatus::NotFound) {
        s.err() << "cannot open " << Quoted(file) << ": no such file\n";
        return false;
    }
    if (status == FileStatus::AccessDenied) {
        s.err() << "cannot open " << Quoted(file) << ": access denied\n";
        return false;
    }
    if (status != FileStatus::Ok) {
        s.err() << "cannot read " << Quoted(file) << ": " << Utf8(s.files().LastError()) << "\n";
        return false;
    }
    if (image.magic != kProfileMagic) {
        s.err() << Utf8(FormatMessageText(text::kInvalidProfile, PathText(file))) << "\n";
        return false;
    }
    return true;
}

std::string WriteFailureText(CSession& s, const fs::path& file, FileStatus status) {
    std::string text = "cannot write " + Quoted(file) + ": ";
    text += status == FileStatus::AccessDenied ? "access denied"
            : status == FileStatus::NotFound   ? "the folder does not exist"
                                               : "the write failed";
    const std::string reason = Utf8(s.files().LastError());
    if (!reason.empty()) text += " (" + reason + ")";
    return text;
}

bool WriteFile(CSession& s, const fs::path& file, const void* data, size_t size) {
    const FileStatus status = WriteFileReplacing(s.files(), file, data, size);
    if (status == FileStatus::Ok) return true;
    s.err() << WriteFailureText(s, file, status) << "; the file was left as it was\n";
    return false;
}

} // namespace n640::cli
