#pragma once
// The five profiles: the slot table of ConfigInfo.cfg, the one active ProfileImage in memory with
// its MacroAssignments, the factory defaults, and the small Language.cfg reader and writer. Every
// failure the user must learn of is shown through the notifier; operations report success as bool.

#include <cstdint>
#include <filesystem>
#include <string>

#include "config/ProfileImage.h"
#include "config/ProfileSlot.h"
#include "platform/File.h"
#include "platform/Notifier.h"

namespace n640 {

// Fills the image with the factory defaults; the labels are the function names in the current
// interface language. Does nothing for a null image.
void BuildDefaultProfile(ProfileImage* image);

// Reads a profile file as every reader does: the image is zero-filled first, so a short file reads
// as zero-filled, and a long one is read only up to the record. The magic is for the caller to test.
FileStatus ReadProfileImage(IFiles& files, const std::filesystem::path& file, ProfileImage& image);

// Results of LoadProfile.
constexpr int kProfileNotOpened = 0;
constexpr int kProfileLoaded = 1;
constexpr int kProfileInvalid = 2;

// The texts the store shows.
namespace text {
inline constexpr std::u16string_view kFailedToOpen = u"Failed to open file, check whether there is a %s path?";
inline constexpr std::u16string_view kInvalidProfile = u"%s is an invaild Profile!";
inline constexpr std::u16string_view kImportSuccess = u"%s import success!";
inline constexpr std::u16string_view kExportSuccess = u"%s export success!";
inline constexpr std::u16string_view kExportFailed = u"%s export failed!";
} // namespace text

class CProfileStore {
public:
    CProfileStore(std::filesystem::path dataDir, IFiles& files, INotifier& notifier, TextLookup language);

    // File locations under DataDir.
    const std::filesystem::path& DataDir() const { return dataDir_; }
    std::filesystem::path ConfigInfoPath() const;
    std::filesystem::path ProfilePath(int slot) const;  // slot 0..4 -> Profile\Profile1..5.cfg
    std::filesystem::path LanguagePath() const;
    // The same locations for any data directory.
    static std::filesystem::path ConfigInfoPathIn(const std::filesystem::path& dataDir);
    static std::filesystem::path ProfilePathIn(const std::filesystem::path& dataDir, int slot);

    // Reads the slot table of ConfigInfo.cfg as LoadSlots does: zero-filled first, so a short file
    // reads as zero-filled. Nothing is shown; the status is for the caller.
    static FileStatus ReadSlotTable(IFiles& files, const std::filesystem::path& file, ConfigInfo& table);
    // The macro assignments of a profile taken on its own, outside any slot: each macro input
    // takes the macro id its record holds.
    static MacroAssignments OwnAssignments(const ProfileImage& image);

    // Start-up: reads ConfigInfo.cfg, chooses the active slot, loads its profile (writing defaults
    // where a file is missing or invalid) and takes the active slot's MacroAssignments.
    void LoadSlots();
    // Reads a profile file into the active image: kProfileLoaded, kProfileNotOpened or kProfileInvalid.
    int LoadProfile(const std::filesystem::path& file, bool reportMissing);
    // Writes the factory defaults to the file; on success they become the active profile.
    bool WriteDefaultProfile(const std::filesystem::path& file);
    // Profile button slot+1: loads the slot's profile and, when it loads, makes the slot active.
    bool SelectProfile(int slot);
    // After a successful apply: the active profile to its file and the slot table to ConfigInfo.cfg.
    // True only when both were written.
    bool SaveActiveProfile();
    // The model half of "restore defaults": default image and no macro assignments; nothing written.
    void RestoreDefaults();
    // Import replaces only the active image; export writes it, unapplied changes included.
    bool ImportProfile(const std::filesystem::path& file);
    bool ExportProfile(const std::filesystem::path& file);
    int32_t ReadLanguageIndex();
    bool WriteLanguageIndex(int32_t index);

    ProfileImage& Profile() { return profile_; }
    const ProfileImage& Profile() const { return profile_; }
    MacroAssignments& Assignments() { return assignments_; }
    const MacroAssignments& Assignments() const { return assignments_; }
    const ConfigInfo& Slots() const { return slots_; }
    int ActiveSlot() const { return activeSlot_; }
    // Whether profile button slot+1 shows the selected look.
    bool IsSlotSelected(int slot) const;

    // A store that only reads: loading never writes defaults over a missing or invalid file (the
    // defaults are then only in memory); the failure is still reported.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // The file and status of the last write that failed (an empty path when none failed).
    const std::filesystem::path& FailedFile() const { return failedFile_; }
    FileStatus FailedStatus() const { return failedStatus_; }

private:
    std::u16string Text(std::string_view key) const;
    void ShowSaveFailure(FileStatus status, const std::filesystem::path& file);

    std::filesystem::path dataDir_;
    IFiles& files_;
    INotifier& notifier_;
    TextLookup language_;
    ConfigInfo slots_{};
    int activeSlot_ = 0;
    ProfileImage profile_{};
    MacroAssignments assignments_{};
    bool defaultWritten_ = false;  // the last WriteDefaultProfile wrote its file
    bool readOnly_ = false;
    std::filesystem::path failedFile_;
    FileStatus failedStatus_ = FileStatus::Ok;
};

} // namespace n640
