#pragma once
// The macro library: 500 MacroRecords in memory, mirrored whole in DataDir\Macro.cfg, the game
// categories that filter it, and the rule that turns the macro page's edit list into a record.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/ProfileImage.h"
#include "config/ProfileSlot.h"
#include "macro/MacroRecord.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Notifier.h"

namespace n640 {

// ---- Game categories ----------------------------------------------------------------------

constexpr int kGameCategoryCount = 21;
constexpr int kCustomCategory = 21;  // the user's own category, shown at start

struct GameCategoryText {
    std::u16string_view englishMenu;
    std::u16string_view englishButton;
    std::u16string_view chineseMenu;
    std::u16string_view chineseButton;
};
// Category c (1..21) is row c - 1. Trailing blanks belong to the texts.
extern const std::array<GameCategoryText, kGameCategoryCount> kGameCategories;

// The menu item text and the category button text in the current interface language; "" outside 1..21.
std::u16string_view GameCategoryMenuText(int category);
std::u16string_view GameCategoryButtonText(int category);

// ---- Building a record from the edit list -------------------------------------------------

enum class MacroItemKind { Press, Release, Delay };

// One event of the macro page's list: a key code, or a pause in milliseconds (24 bits).
struct MacroItem {
    MacroItemKind kind;
    uint32_t value;
    bool operator==(const MacroItem&) const = default;
};

constexpr uint32_t kMaxMergedDelay = 327670;
constexpr uint32_t kMaxRepeatCount = 65533;

// The repeat count typed on the page: a decimal number 1..65533; larger and negative numbers give
// 65533, anything else (empty, 0, other characters) 1.
uint32_t ParseRepeatCount(std::u16string_view text);

// Merges adjacent delays in items (the page shows the merged list), then builds the candidate
// record: events in order without leading delays, at most 1000 words. Nothing for an empty list.
std::optional<MacroRecord> BuildMacro(std::vector<MacroItem>& items, std::u16string_view repeatText,
                                      std::u16string_view name, uint32_t id);

// The name field as text (stops at the first NUL or after 40 units).
std::u16string MacroName(const MacroRecord& record);

// ---- The library --------------------------------------------------------------------------

struct MacroListEntry {
    std::u16string name;
    uint32_t id;
    bool operator==(const MacroListEntry&) const = default;
};

class CMacroLibrary {
public:
    CMacroLibrary(std::filesystem::path dataDir, IFiles& files, INotifier& notifier, TextLookup language,
                  IClock& clock);

    std::filesystem::path FilePath() const { return dataDir_ / "Macro.cfg"; }

    // Start-up: zero the library and read Macro.cfg over it. False (after a message when the
    // file is missing) when it cannot be read; the library is then empty.
    bool LoadMacroLibrary();
    // Every stored macro of the category, in library order.
    std::vector<MacroListEntry> ListCategory(int category) const;
    // Stores (or, for an id already stored, replaces) a candidate and saves the file. False for a
    // malformed candidate or a full library; nothing is then changed or written.
    bool StoreMacro(const MacroRecord& candidate);
    // Clears the first record with the id and saves the file (also when there was none). False
    // when the file could not be written.
    bool DeleteMacro(uint32_t id);
    // Writes the whole library to Macro.cfg, with the fixed 100 ms waits around the write.
    bool SaveMacroLibrary();

    // A new macro's id: category in the top byte, the tick count's low 24 bits below, stepped
    // on while a record of the library (or one of the ids in pending, macros created on the page
    // but not stored yet) already has that id.
    uint32_t NewMacroId(int category, uint64_t tickMs, std::span<const uint32_t> pending = {}) const;

    // The first stored record with the id, or null.
    const MacroRecord* Find(uint32_t id) const;
    const MacroRecord& Record(size_t index) const { return records_[index]; }
    MacroRecord& Record(size_t index) { return records_[index]; }
    static constexpr size_t Size() { return kMacroLibrarySize; }

private:
    std::filesystem::path dataDir_;
    IFiles& files_;
    INotifier& notifier_;
    TextLookup language_;
    IClock& clock_;
    std::unique_ptr<MacroRecord[]> records_;
};

// True when any profile may use the macro: a macro id of any of the five slots (active or not),
// an entry of the in-memory MacroAssignments, or the macroId of an input of type 6 in the active profile.
bool IsMacroInUse(uint32_t id, const ConfigInfo& slots, const ProfileImage& active, const MacroAssignments& assignments);

} // namespace n640
