#include "config/ProfileStore.h"

#include <cstring>
#include <memory>

#include "functions/FunctionModel.h"
#include "functions/KeyNames.h"
#include "platform/Text.h"

namespace n640 {

void BuildDefaultProfile(ProfileImage* image) {
    if (!image) return;
    *image = ZeroProfileImage();
    image->magic = kProfileMagic;
    for (int i = 0; i < kInputCount; ++i) {
        ButtonRecord& b = image->buttons[i];
        b.type = kDefaultTypes[i];
        b.macroId = 0;
        SetLabel(b, FunctionName(kDefaultTypes[i]));
    }
    ProfileSettingsTail& s = image->settings;
    const int32_t dpi[kDpiLevelCount] = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    std::memcpy(s.dpiLevels, dpi, sizeof dpi);
    s.sheightValue = 15;
    s.reportInterval = 1;
    s.lightMode = 5;
    s.ownColours = 0;
    for (int i = 0; i < 4; ++i) {
        s.colours[i] = 0x000000FF;
        s.colourFromSliders[i] = 1;
    }
    s.enhancePrecision = 0;
    s.pointerSpeed = 10;
    s.brightness = 5;
    s.breathSpeed = 3;
    s.cycleSpeed = 4;
    s.wheelLines = 3;
}

CProfileStore::CProfileStore(std::filesystem::path dataDir, IFiles& files, INotifier& notifier, TextLookup language)
    : dataDir_(std::move(dataDir)), files_(files), notifier_(notifier), language_(std::move(language)) {
    std::memset(&slots_, 0, sizeof slots_);
    profile_ = ZeroProfileImage();
}

std::filesystem::path CProfileStore::ConfigInfoPath() const { return ConfigInfoPathIn(dataDir_); }

std::filesystem::path CProfileStore::ProfilePath(int slot) const { return ProfilePathIn(dataDir_, slot); }

std::filesystem::path CProfileStore::ConfigInfoPathIn(const std::filesystem::path& dataDir) {
    return dataDir / "Profile" / "ConfigInfo.cfg";
}

std::filesystem::path CProfileStore::ProfilePathIn(const std::filesystem::path& dataDir, int slot) {
    return dataDir / "Profile" / ("Profile" + std::to_string(slot + 1) + ".cfg");
}

FileStatus CProfileStore::ReadSlotTable(IFiles& files, const std::filesystem::path& file, ConfigInfo& table) {
    std::memset(&table, 0, sizeof table);
    size_t got = 0;
    return files.Read(file, &table, sizeof table, &got);
}

MacroAssignments CProfileStore::OwnAssignments(const ProfileImage& image) {
    MacroAssignments assignments{};
    for (int i = 0; i < kInputCount; ++i) {
        if (image.buttons[i].type == kTypeMacro) assignments[static_cast<size_t>(i)] = image.buttons[i].macroId;
    }
    return assignments;
}

std::filesystem::path CProfileStore::LanguagePath() const { return dataDir_ / "Language.cfg"; }

std::u16string CProfileStore::Text(std::string_view key) const { return language_ ? language_(key) : std::u16string(); }

bool CProfileStore::IsSlotSelected(int slot) const {
    return slot >= 0 && slot < kSlotCount && IsSelectedSlot(slots_.slots[slot]);
}

void CProfileStore::LoadSlots() {
    const std::filesystem::path infoPath = ConfigInfoPath();
    ConfigInfo table;
    const FileStatus status = ReadSlotTable(files_, infoPath, table);
    if (status == FileStatus::Ok) {
        slots_ = table;
    } else if (status == FileStatus::NotFound) {
        notifier_.ShowInfo(FormatMessageText(text::kFailedToOpen, PathText(infoPath)));
    }

    // The stored paths never take effect: every slot points into this DataDir. The field keeps the
    // (possibly cut) text for the file; the files themselves are always reached by ProfilePath.
    for (int i = 0; i < kSlotCount; ++i) WriteField(slots_.slots[i].path, PathText(ProfilePath(i)));

    int chosen = -1;
    for (int i = 0; i < kSlotCount && chosen < 0; ++i) {
        ProfileSlot& slot = slots_.slots[i];
        if (slot.magic != kSlotMagic || slot.active == 0) continue;
        if (LoadProfile(ProfilePath(i), true) == kProfileLoaded) {
            chosen = i;
        } else {
            slot.active = 0;
            WriteDefaultProfile(ProfilePath(i));
        }
    }
    if (chosen < 0) {
        if (LoadProfile(ProfilePath(0), false) != kProfileLoaded) WriteDefaultProfile(ProfilePath(0));
        slots_.slots[0].active = 1;
        chosen = 0;
    }
    // When no default could be written either, run with the defaults in memory rather than with an
    // image that has no valid content (an apply of it would disable every input).
    if (profile_.magic != kProfileMagic) BuildDefaultProfile(&profile_);
    activeSlot_ = chosen;
    std::memcpy(assignments_.data(), slots_.slots[chosen].macroIds, sizeof slots_.slots[chosen].macroIds);
}

FileStatus ReadProfileImage(IFiles& files, const std::filesystem::path& file, ProfileImage& image) {
    image = ZeroProfileImage();
    size_t got = 0;
    return files.Read(file, &image, sizeof image, &got);
}

int CProfileStore::LoadProfile(const std::filesystem::path& file, bool reportMissing) {
    auto image = std::make_unique<ProfileImage>();
    const FileStatus status = ReadProfileImage(files_, file, *image);
    if (status == FileStatus::Ok) {
        profile_ = *image;
        if (profile_.magic == kProfileMagic) return kProfileLoaded;
        notifier_.ShowSystemInfo(FormatMessageText(text::kInvalidProfile, PathText(file)));
        return kProfileInvalid;
    }
    if (reportMissing && status == FileStatus::NotFound) {
        notifier_.ShowInfo(FormatMessageText(text::kFailedToOpen, PathText(file)));
        WriteDefaultProfile(file);
    } else if (reportMissing && status == FileStatus::Failed) {
        // There but unreadable (a pipe or a device in the file's place, a read error): no profile.
        notifier_.ShowSystemInfo(FormatMessageText(text::kInvalidProfile, PathText(file)));
    }
    return kProfileNotOpened;
}

bool CProfileStore::WriteDefaultProfile(const std::filesystem::path& file) {
    defaultWritten_ = false;
    if (readOnly_) return false;
    files_.CreateDirectories(dataDir_ / "Profile");
    auto image = std::make_unique<ProfileImage>();
    BuildDefaultProfile(image.get());
    const FileStatus status = WriteFileReplacing(files_, file, image.get(), sizeof(ProfileImage));
    if (status == FileStatus::Ok) {
        profile_ = *image;
        defaultWritten_ = true;
        return true;
    }
    failedFile_ = file;
    failedStatus_ = status;
    if (status == FileStatus::AccessDenied) notifier_.ShowInfo(Text("str_msg4"));
    return false;
}

bool CProfileStore::SelectProfile(int slot) {
    if (slot < 0 || slot >= kSlotCount) return false;
    const int previousSlot = activeSlot_;
    auto previous = std::make_unique<ProfileImage>(profile_);
    activeSlot_ = slot;
    defaultWritten_ = false;
    const int result = LoadProfile(ProfilePath(slot), true);
    if (result != kProfileLoaded) {
        // A missing file was replaced by the defaults, which are now the chosen slot's profile.
        // Otherwise nothing changes: a rejected file is not kept in memory (applying it would send
        // its bytes to the mouse and save them over the chosen profile).
        if (!(result == kProfileNotOpened && defaultWritten_)) {
            profile_ = *previous;
            activeSlot_ = previousSlot;
        }
        return false;
    }
    std::memcpy(assignments_.data(), slots_.slots[slot].macroIds, sizeof slots_.slots[slot].macroIds);
    for (ProfileSlot& s : slots_.slots) s.active = 0;
    slots_.slots[slot].active = 1;
    return true;
}

void CProfileStore::ShowSaveFailure(FileStatus status, const std::filesystem::path& file) {
    if (status != FileStatus::Ok) {
        failedFile_ = file;
        failedStatus_ = status;
    }
    if (status == FileStatus::NotFound)
        notifier_.ShowSystemInfo(FormatMessageText(Text("str_msg2"), PathText(file)));
    else if (status == FileStatus::AccessDenied)
        notifier_.ShowSystemInfo(Text("str_msg5"));
}

bool CProfileStore::SaveActiveProfile() {
    ProfileSlot& slot = slots_.slots[activeSlot_];
    std::memcpy(slot.macroIds, assignments_.data(), sizeof slot.macroIds);
    const std::filesystem::path file = ProfilePath(activeSlot_);
    const FileStatus status = WriteFileReplacing(files_, file, &profile_, sizeof profile_);
    ShowSaveFailure(status, file);
    // The slot table is written also after a failed profile write (the selection and the macro
    // assignments are its own), but its failure is a failure of the save too.
    const FileStatus table = WriteFileReplacing(files_, ConfigInfoPath(), &slots_, sizeof slots_);
    if (status == FileStatus::Ok) ShowSaveFailure(table, ConfigInfoPath());
    return status == FileStatus::Ok && table == FileStatus::Ok;
}

void CProfileStore::RestoreDefaults() {
    BuildDefaultProfile(&profile_);
    assignments_.fill(0);
}

bool CProfileStore::ImportProfile(const std::filesystem::path& file) {
    auto image = std::make_unique<ProfileImage>(ZeroProfileImage());
    size_t got = 0;
    const FileStatus status = files_.Read(file, image.get(), sizeof(ProfileImage), &got);
    if (status == FileStatus::Ok && image->magic == kProfileMagic) {
        profile_ = *image;
        notifier_.ShowSystemInfo(FormatMessageText(text::kImportSuccess, PathText(file)));
        return true;
    }
    notifier_.ShowSystemInfo(FormatMessageText(text::kInvalidProfile, PathText(file)));
    return false;
}

bool CProfileStore::ExportProfile(const std::filesystem::path& file) {
    const FileStatus status = WriteFileReplacing(files_, file, &profile_, sizeof profile_);
    notifier_.ShowSystemInfo(
        FormatMessageText(status == FileStatus::Ok ? text::kExportSuccess : text::kExportFailed, PathText(file)));
    return status == FileStatus::Ok;
}

int32_t CProfileStore::ReadLanguageIndex() {
    int32_t index = 1;
    size_t got = 0;
    const std::filesystem::path file = LanguagePath();
    const FileStatus status = files_.Read(file, &index, sizeof index, &got);
    if (status == FileStatus::NotFound) notifier_.ShowInfo(FormatMessageText(text::kFailedToOpen, PathText(file)));
    return index;
}

bool CProfileStore::WriteLanguageIndex(int32_t index) {
    const std::filesystem::path file = LanguagePath();
    const FileStatus status = WriteFileReplacing(files_, file, &index, sizeof index);
    ShowSaveFailure(status, file);
    return status == FileStatus::Ok;
}

} // namespace n640
