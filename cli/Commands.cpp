#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "cli/Args.h"
#include "cli/Help.h"
#include "cli/ProfileText.h"
#include "cli/Session.h"
#include "cli/Update.h"
#include "device/MemoryText.h"
#include "config/ProfileSlot.h"
#include "config/ProfileStore.h"
#include "functions/FunctionModel.h"
#include "functions/KeyNames.h"
#include "i18n/FileBytes.h"
#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "i18n/XmlDocument.h"
#include "macro/MacroLibrary.h"
#include "platform/File.h"
#include "platform/Text.h"
#include "ui/pages/MainSetModel.h"

namespace n640::cli {

namespace fs = std::filesystem;

namespace {

int Usage(CSession& s, const std::string& command, const std::string& message) {
    s.err() << "n640ctl " << command << ": " << message << "\n";
    const std::string help = CommandHelp(command);
    s.err() << (help.empty() ? MainHelp() : help);
    return kExitUsage;
}

int Fail(CSession& s, const std::string& message) {
    s.err() << message << "\n";
    return kExitFailure;
}

// Whether the data directory is there (its files are then changed only under its lock).
bool DataDirExists(CSession& s) {
    std::error_code ec;
    return !s.DataDir().empty() && fs::is_directory(s.DataDir(), ec);
}

// The slot (0..4) of the data directory whose profile file this is, or -1.
int SlotOfFile(CSession& s, const fs::path& file) {
    std::error_code ec;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (fs::equivalent(CProfileStore::ProfilePathIn(s.DataDir(), slot), file, ec)) return slot;
    }
    return -1;
}

std::string FirmwareText(int version) {
    if (version == 0) return "Unknown";
    const std::string digits = std::to_string(version);
    if (digits.size() == 1) return "V 0.0." + digits;
    if (digits.size() == 2) return std::string("V 0.") + digits[0] + "." + digits[1];
    return "V " + digits.substr(0, digits.size() - 2) + "." + digits[digits.size() - 2] + "." + digits.back();
}

} // namespace

// ---- devices, info ----------------------------------------------------------------------

int CmdDevices(CSession& s) {
    IHidEnumerator* hid = s.Hid();
    if (hid == nullptr) return kExitUsage;
    const std::string idsText = IdsText(kMouseIds);
    bool chosen = false;
    int found = 0;
    bool denied = false;
    for (const std::string& path : hid->InterfacePaths()) {
        const auto ids = hid->Attributes(path);
        if (!ids || !IsMouseIds(*ids)) continue;
        ++found;
        // The same test CUSBDriver::Open makes, so "<- used" marks the interface it would open.
        std::optional<HidValueCap> cap;
        std::string capText = "no vendor feature";
        if (const auto caps = hid->FeatureValueCaps(path)) {
            cap = CommandCapability(*caps);
            if (cap) {
                capText = "vendor feature (report id " + std::to_string(cap->reportId) + ", " +
                          std::to_string(cap->reportCount) + " bytes)";
            }
        } else {
            capText = "capabilities unreadable";
        }
        std::string use;
        if (cap && !chosen) {
            // Open takes a read and a write handle; the interface is used only when both open.
            bool accessDenied = false;
            auto read = hid->Open(path, HidAccess::Read);
            if (!read) accessDenied = hid->LastError().open == HidOpenError::AccessDenied;
            auto write = hid->Open(path, HidAccess::Write);
            if (!write) accessDenied = accessDenied || hid->LastError().open == HidOpenError::AccessDenied;
            if (read && write) {
                use = "  <- used";
                chosen = true;
            } else if (accessDenied) {
                use = "  (access denied)";
                denied = true;
            } else {
                use = "  (cannot be opened)";
            }
        }
        s.out() << path << "  " << idsText << "  " << capText << use << "\n";
    }
    if (found == 0) return Fail(s, "no HID interface of the mouse (" + idsText + ") was found");
    if (!chosen) {
        if (denied) {
            s.err() << "access to the mouse was denied. Install the udev rule and plug the mouse in again:\n"
                       "  sudo install -m 644 cli/70-n640.rules /etc/udev/rules.d/ && sudo udevadm control --reload\n";
        } else {
            s.err() << "none of the mouse's interfaces can be used\n";
        }
        return kExitFailure;
    }
    return kExitOk;
}

int CmdInfo(CSession& s) {
    CUSBDriver* link = s.OpenMouse();
    if (link == nullptr) return kExitFailure;
    const std::optional<int> version = link->GetFirmwareVersion();
    if (!version) {
        s.err() << "the mouse did not answer the firmware version query\n";
        PrintLinkError(s, *link);
        return kExitFailure;
    }
    s.out() << "firmware: " << FirmwareText(*version) << " (" << *version << ")\n";
    return kExitOk;
}

// ---- show, new, set ---------------------------------------------------------------------

int CmdShow(CSession& s) {
    const auto& w = s.args().words;
    if (w.size() == 2) {
        ProfileImage image;
        const fs::path file = ProfilePath(s, w[1]);
        if (!ReadProfileFile(s, file, image)) return kExitFailure;
        s.out() << "profile: " << file.string() << "\n"
                << DescribeProfile(image, CProfileStore::OwnAssignments(image));
        return kExitOk;
    }
    if (!s.EnsureDataDir()) return kExitFailure;
    s.SetReadOnly();
    CProfileStore& store = s.Store();
    s.out() << "profile: " << store.ProfilePath(store.ActiveSlot()).string() << " (active, profile "
            << store.ActiveSlot() + 1 << ")\n"
            << DescribeProfile(store.Profile(), store.Assignments());
    return kExitOk;
}

int CmdNew(CSession& s) {
    const auto& w = s.args().words;
    auto image = std::make_unique<ProfileImage>();
    BuildDefaultProfile(image.get());
    const fs::path file = ProfilePath(s, w[1]);
    if (DataDirExists(s) && !s.LockDataDir()) return kExitFailure;
    if (!WriteFile(s, file, image.get(), sizeof *image)) return kExitFailure;
    s.out() << "wrote the factory default profile to " << file.string() << "\n";
    return kExitOk;
}

namespace {

// What the handler of one setting works on: the profile, its macro assignments and the values.
struct SetTarget {
    CSession& s;
    ProfileImage& image;
    MacroAssignments& assignments;
    const std::string& name;
    const std::vector<std::string>& values;
};

// A whole number from min to max into field.
int Ranged(SetTarget& t, int32_t& field, long long min, long long max) {
    const auto v = ParseNumber(t.values[0], min, max);
    if (!v) {
        return Usage(t.s, "set", t.name + " takes a whole number from " + std::to_string(min) + " to " +
                                     std::to_string(max));
    }
    field = static_cast<int32_t>(*v);
    return kExitOk;
}

int SetButton(SetTarget& t) {
    CSession& s = t.s;
    const auto input = ParseInput(t.values[0]);
    if (!input) {
        return Usage(s, "set", "unknown input \"" + t.values[0] +
                                   "\" (0..6 or left, middle, right, forward, back, wheel-up, wheel-down)");
    }
    const FunctionChoice choice = ParseFunction(*input, t.values[1]);
    if (!choice.error.empty()) return Usage(s, "set", choice.error);
    std::span<const MacroRecord> library;
    std::vector<MacroRecord> records;
    if (choice.result.kind == ChoiceKind::Macro) {
        if (!s.args().macros && !s.EnsureDataDir()) return kExitFailure;
        CMacroLibrary* lib = s.Library();
        if (lib == nullptr) return kExitFailure;
        const MacroRecord* macro = lib->Find(choice.result.value);
        if (macro == nullptr) return Fail(s, "there is no macro with the id " + Hex32(choice.result.value));
        records.push_back(*macro);
        library = records;
    }
    const WriteBackOutcome outcome = WriteBackChoice(t.image, t.assignments, choice.result, library, UiChinese());
    if (outcome == WriteBackOutcome::LeftClickRequired || outcome == WriteBackOutcome::NoSniperOnWheel) {
        return Fail(s, Utf8(WriteBackMessage(outcome, UiChinese())));
    }
    if (outcome != WriteBackOutcome::Written) return Usage(s, "set", "nothing was chosen");
    return kExitOk;
}

int SetDpi(SetTarget& t) {
    std::vector<int> levels;
    std::stringstream list(t.values[0]);
    std::string item;
    while (std::getline(list, item, ',')) {
        const auto v = ParseNumber(item, 1, 100000);
        if (!v) return Usage(t.s, "set", "\"" + item + "\" is not a DPI value");
        levels.push_back(static_cast<int>(*v));
    }
    if (!SetDpiLevels(t.image, levels)) {
        return Usage(t.s, "set",
                     "dpi takes 1 to 7 different values of 500 750 1000 1250 1500 2000 2500 3000 3250 3500 4000 "
                     "5000 6000 7000");
    }
    return kExitOk;
}

int SetRate(SetTarget& t) {
    const auto v = ParseNumber(t.values[0], 1, 1000);
    if (!v || !SetReportRate(t.image, static_cast<int>(*v))) return Usage(t.s, "set", "rate takes 125, 250, 500 or 1000");
    return kExitOk;
}

int SetLight(SetTarget& t) {
    const auto mode = ParseLightMode(t.values[0]);
    if (!mode) return Usage(t.s, "set", "light takes steady, breathing, effect3, effect4, cycle or off");
    t.image.settings.lightMode = *mode;
    return kExitOk;
}

int SetColour(SetTarget& t) {
    const auto index = ParseNumber(t.values[0], 0, 3);
    const auto colour = ParseColour(t.values[1]);
    if (!index) return Usage(t.s, "set", "the colour index is 0..3");
    if (!colour) return Usage(t.s, "set", "\"" + t.values[1] + "\" is not a colour like #FF8000");
    t.image.settings.colours[*index] = *colour;
    t.image.settings.colourFromSliders[*index] = 1;
    return kExitOk;
}

// on or off into field.
int OnOff(SetTarget& t, int32_t& field) {
    if (t.values[0] != "on" && t.values[0] != "off") return Usage(t.s, "set", t.name + " takes on or off");
    field = t.values[0] == "on" ? 1 : 0;
    return kExitOk;
}

int SetCycleSpeed(SetTarget& t) {
    int32_t position = 0;
    const int r = Ranged(t, position, 1, 3);
    if (r == kExitOk) t.image.settings.cycleSpeed = position * 2;
    return r;
}

int SetWheelLines(SetTarget& t) {
    if (t.values[0] == "screen") {
        t.image.settings.wheelLines = kWheelScreen;
        return kExitOk;
    }
    return Ranged(t, t.image.settings.wheelLines, 1, kMaxWheelLines);
}

// The settings of `set`: name, number of values, the usage error for another number, handler.
struct SettingRow {
    std::string_view name;
    size_t values;
    std::string_view valuesError;
    int (*apply)(SetTarget&);
};
constexpr SettingRow kSettings[] = {
    {"button", 2, "button takes INPUT and FUNCTION", SetButton},
    {"dpi", 1, "dpi takes one comma-separated list", SetDpi},
    {"rate", 1, "rate takes one value", SetRate},
    {"light", 1, "light takes one mode", SetLight},
    {"colour", 2, "colour takes an index 0..3 and #RRGGBB", SetColour},
    {"color", 2, "colour takes an index 0..3 and #RRGGBB", SetColour},
    {"brightness", 1, "brightness takes one value",
     [](SetTarget& t) { return Ranged(t, t.image.settings.brightness, 1, 10); }},
    {"breath-speed", 1, "breath-speed takes one value",
     [](SetTarget& t) { return Ranged(t, t.image.settings.breathSpeed, 1, 5); }},
    {"cycle-speed", 1, "cycle-speed takes one value", SetCycleSpeed},
    {"pointer-speed", 1, "pointer-speed takes one value",
     [](SetTarget& t) { return Ranged(t, t.image.settings.pointerSpeed, 1, 20); }},
    {"own-colours", 1, "own-colours takes on or off", [](SetTarget& t) { return OnOff(t, t.image.settings.ownColours); }},
    {"precision", 1, "precision takes on or off", [](SetTarget& t) { return OnOff(t, t.image.settings.enhancePrecision); }},
    {"wheel-lines", 1, "wheel-lines takes one value", SetWheelLines},
};

// Applies one SETTING VALUE… to the image; returns the exit status.
int ApplySetting(CSession& s, ProfileImage& image, MacroAssignments& assignments, const std::vector<std::string>& w) {
    const std::string& name = w[2];
    const std::vector<std::string> values(w.begin() + 3, w.end());
    const auto row = std::find_if(std::begin(kSettings), std::end(kSettings),
                                   [&](const SettingRow& setting) { return setting.name == name; });
    if (row == std::end(kSettings)) return Usage(s, "set", "unknown setting \"" + name + "\"");
    if (values.size() != row->values) return Usage(s, "set", std::string(row->valuesError));
    SetTarget target{s, image, assignments, name, values};
    return row->apply(target);
}

} // namespace

int CmdSet(CSession& s) {
    const auto& w = s.args().words;
    const fs::path file = ProfilePath(s, w[1]);
    // The whole read-modify-write runs under the data directory's lock.
    const bool dataDir = DataDirExists(s);
    if (dataDir && !s.LockDataDir()) return kExitFailure;
    auto image = std::make_unique<ProfileImage>();
    if (!ReadProfileFile(s, file, *image)) return kExitFailure;

    // A profile of the data directory keeps its macro assignments in its slot.
    const int slot = dataDir ? SlotOfFile(s, file) : -1;
    std::unique_ptr<ConfigInfo> info;
    const fs::path infoPath = CProfileStore::ConfigInfoPathIn(s.DataDir());
    MacroAssignments assignments{};
    if (slot >= 0) {
        info = std::make_unique<ConfigInfo>();
        if (CProfileStore::ReadSlotTable(s.files(), infoPath, *info) == FileStatus::Ok) {
            std::copy(std::begin(info->slots[slot].macroIds), std::end(info->slots[slot].macroIds), assignments.begin());
        }
    }
    const MacroAssignments before = assignments;
    const int status = ApplySetting(s, *image, assignments, w);
    if (status != kExitOk) return status;
    if (!WriteFile(s, file, image.get(), sizeof *image)) return kExitFailure;
    if (info && assignments != before) {
        std::copy(assignments.begin(), assignments.end(), std::begin(info->slots[slot].macroIds));
        if (!WriteFile(s, infoPath, info.get(), sizeof *info)) return kExitFailure;
    }
    s.out() << "set " << w[2];
    for (size_t i = 3; i < w.size(); ++i) s.out() << " " << w[i];
    s.out() << " in " << file.string() << "\n";
    return kExitOk;
}

// ---- slots, select ----------------------------------------------------------------------

int CmdSlots(CSession& s) {
    if (!s.EnsureDataDir()) return kExitFailure;
    s.SetReadOnly();
    CProfileStore& store = s.Store();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const ProfileSlot& p = store.Slots().slots[slot];
        s.out() << (slot == store.ActiveSlot() ? "* " : "  ") << slot + 1 << "  " << store.ProfilePath(slot).string();
        if (p.magic != kSlotMagic) s.out() << "  (slot not valid)";
        bool anyMacro = false;
        for (int i = 0; i < kInputCount; ++i) {
            const uint32_t id = slot == store.ActiveSlot() ? store.Assignments()[static_cast<size_t>(i)]
                                                           : static_cast<uint32_t>(p.macroIds[i]);
            if (id == 0) continue;
            s.out() << (anyMacro ? ", " : "  macros: ") << InputName(i) << "=" << Hex32(id);
            anyMacro = true;
        }
        s.out() << "\n";
    }
    return kExitOk;
}

int CmdSelect(CSession& s) {
    const auto& w = s.args().words;
    const auto n = ParseNumber(w[1], 1, kSlotCount);
    if (!n) return Usage(s, "select", "N is 1..5");
    if (!s.EnsureDataDir() || !s.LockDataDir()) return kExitFailure;
    CProfileStore& store = s.Store();
    if (!store.SelectProfile(static_cast<int>(*n) - 1)) return Fail(s, "profile " + w[1] + " was not selected");
    if (!store.SaveActiveProfile()) {
        return Fail(s, WriteFailureText(s, store.FailedFile(), store.FailedStatus()) + "; profile " + w[1] +
                           " was not selected");
    }
    s.out() << "profile " << *n << " is active: " << store.ProfilePath(store.ActiveSlot()).string() << "\n";
    return kExitOk;
}

// ---- macros -----------------------------------------------------------------------------

namespace {

std::optional<int> ParseCategory(const std::string& text) {
    if (const auto n = ParseNumber(text, 1, kGameCategoryCount)) return static_cast<int>(*n);
    for (int c = 1; c <= kGameCategoryCount; ++c) {
        const auto& row = kGameCategories[static_cast<size_t>(c - 1)];
        for (auto name : {row.englishMenu, row.englishButton, row.chineseMenu, row.chineseButton}) {
            std::string n = Utf8(name);
            while (!n.empty() && n.back() == ' ') n.pop_back();
            if (n == text) return c;
        }
    }
    return std::nullopt;
}

std::string EventText(uint32_t word) {
    const uint32_t value = EventValue(word);
    switch (EventKind(word)) {
    case kEventPress: return "press " + Utf8(MacroKeyName(value)) + " (" + std::to_string(value) + ")";
    case kEventRelease: return "release " + Utf8(MacroKeyName(value)) + " (" + std::to_string(value) + ")";
    case kEventDelay: return "delay " + std::to_string(value) + " ms";
    default: return "unknown event " + Hex32(word);
    }
}

} // namespace

int CmdMacros(CSession& s) {
    const auto& w = s.args().words;
    const std::string& sub = w[1];
    if (!s.args().macros && !s.EnsureDataDir()) return kExitFailure;
    // Changes are made under the lock of the data directory and of the library's own folder.
    if (sub == "delete" || sub == "rename") {
        if (DataDirExists(s) && !s.LockDataDir()) return kExitFailure;
        if (s.args().macros) {
            const fs::path folder = fs::path(*s.args().macros).parent_path();
            if (!s.LockFolder(folder.empty() ? fs::path(".") : folder)) return kExitFailure;
        }
    } else {
        s.SetReadOnly();
    }
    CMacroLibrary* lib = s.Library();
    if (lib == nullptr) return kExitFailure;
    auto parseId = [&](const std::string& text) { return ParseNumber(text, 1, 0xFFFFFFFFLL, true); };

    if (sub == "list") {
        if (w.size() > 3) return Usage(s, "macros", "list takes at most one CATEGORY");
        std::vector<int> categories;
        if (w.size() == 3) {
            const auto c = ParseCategory(w[2]);
            if (!c) return Usage(s, "macros", "unknown category \"" + w[2] + "\" (1..21 or a game's name)");
            categories.push_back(*c);
        } else {
            for (int c = 1; c <= kGameCategoryCount; ++c) categories.push_back(c);
        }
        int count = 0;
        for (int c : categories) {
            for (const auto& entry : lib->ListCategory(c)) {
                s.out() << Hex32(entry.id) << "  " << Utf8(entry.name) << "  [" << Utf8(GameCategoryButtonText(c))
                        << "]\n";
                ++count;
            }
        }
        if (count == 0) s.out() << "no macros\n";
        return kExitOk;
    }
    if (sub == "show" || sub == "delete") {
        if (w.size() != 3) return Usage(s, "macros", sub + " needs an ID");
        const auto id = parseId(w[2]);
        if (!id) return Usage(s, "macros", "\"" + w[2] + "\" is not a macro id");
        const MacroRecord* record = lib->Find(static_cast<uint32_t>(*id));
        if (record == nullptr) return Fail(s, "there is no macro with the id " + Hex32(static_cast<uint32_t>(*id)));
        if (sub == "show") {
            s.out() << "macro " << Hex32(record->id) << " \"" << Utf8(MacroName(*record)) << "\"  category "
                    << MacroCategory(record->id) << " [" << Utf8(GameCategoryButtonText(static_cast<int>(MacroCategory(record->id))))
                    << "]\n";
            s.out() << "repeat: "
                    << (record->repeatCount == kMacroSinglePress ? std::string("1 (single press)")
                                                                 : std::to_string(record->repeatCount))
                    << "\n";
            const uint32_t n = std::min(record->eventCount, kMacroMaxEvents);
            for (uint32_t i = 0; i < n; ++i) s.out() << "  " << EventText(record->events[i]) << "\n";
            return kExitOk;
        }
        // In use by any profile of the data directory: refused, as the macro page refuses it. A
        // library given by --macros is checked against the data directory too, when there is one.
        if (DataDirExists(s)) {
            CProfileStore& store = s.Store();
            if (IsMacroInUse(record->id, store.Slots(), store.Profile(), store.Assignments())) {
                return Fail(s, "the macro " + Hex32(record->id) + " is used by a profile and cannot be deleted");
            }
        }
        const uint32_t deleted = record->id;
        if (!lib->DeleteMacro(deleted)) {
            return Fail(s, WriteFailureText(s, lib->FilePath(), FileStatus::Failed) + "; the macro was not deleted");
        }
        if (lib->Find(deleted) != nullptr) return Fail(s, "the macro was not deleted");
        s.out() << "deleted macro " << Hex32(deleted) << "\n";
        return kExitOk;
    }
    if (sub == "rename") {
        if (w.size() != 4) return Usage(s, "macros", "rename needs ID and NAME");
        const auto id = parseId(w[2]);
        if (!id) return Usage(s, "macros", "\"" + w[2] + "\" is not a macro id");
        const std::u16string name = Utf8ToUtf16(w[3]);
        if (name.empty() || name.size() > 20) return Usage(s, "macros", "a macro name has 1 to 20 characters");
        for (size_t i = 0; i < CMacroLibrary::Size(); ++i) {
            MacroRecord& r = lib->Record(i);
            if (!IsStoredMacro(r) || r.id != static_cast<uint32_t>(*id)) continue;
            std::fill(std::begin(r.name), std::end(r.name), u'\0');
            std::copy(name.begin(), name.end(), r.name);
            if (!lib->SaveMacroLibrary()) {
                return Fail(s, WriteFailureText(s, lib->FilePath(), FileStatus::Failed) + "; the macro was not renamed");
            }
            s.out() << "renamed macro " << Hex32(r.id) << " to \"" << w[3] << "\"\n";
            return kExitOk;
        }
        return Fail(s, "there is no macro with the id " + Hex32(static_cast<uint32_t>(*id)));
    }
    return Usage(s, "macros", "unknown subcommand \"" + sub + "\"");
}

// ---- sim --------------------------------------------------------------------------------

int CmdSim(CSession& s) {
    const auto& w = s.args().words;
    if (w[1] != "show" && w[1] != "reset") {
        return Usage(s, "sim", "needs show or reset, and at most one STATEFILE");
    }
    const fs::path state = w.size() == 3 ? fs::path(w[2]) : s.SimStateFile();
    CSimulatedMouse mouse;
    std::error_code ec;
    if (w[1] == "reset") {
        if (!mouse.SaveFile(state.string())) return Fail(s, "cannot write " + Quoted(state));
        s.out() << "the simulated mouse in " << state.string() << " holds its factory memory\n";
        return kExitOk;
    }
    if (!fs::exists(state, ec)) {
        s.err() << "no simulated mouse state in " << state.string() << "; showing the factory memory\n";
    } else if (!mouse.LoadFile(state.string())) {
        return Fail(s, Quoted(state) + " is not a simulated mouse's state file");
    }
    s.out() << DescribeMemory(mouse.Memory());
    return kExitOk;
}

// ---- lang -------------------------------------------------------------------------------

int CmdLang(CSession& s) {
    const auto& w = s.args().words;
    if (w[1] == "get") {
        if (w.size() != 4) return Usage(s, "lang", "get needs FILE and KEY");
        std::string bytes;
        std::u16string error;
        if (!ReadFileBytes(fs::path(w[2]), bytes, error)) return Fail(s, "cannot read " + Quoted(w[2]) + ": " + Utf8(error));
        CXmlDocument doc;
        doc.LoadBytes(bytes);
        const std::u16string value = LookupText(doc, u"config", Utf8ToUtf16(w[3]));
        if (value.empty()) return Fail(s, "no text for (config, " + w[3] + ") in " + Quoted(w[2]));
        s.out() << Utf8(value) << "\n";
        return kExitOk;
    }
    if (w[1] != "check") return Usage(s, "lang", "unknown subcommand \"" + w[1] + "\"");
    int status = kExitOk;
    for (size_t f = 2; f < w.size(); ++f) {
        const fs::path file(w[f]);
        s.out() << file.string() << ":\n";
        std::string bytes;
        std::u16string error;
        if (!ReadFileBytes(file, bytes, error)) {
            s.out() << "  error: " << Utf8(error) << "\n";
            s.err() << "cannot read " << Quoted(file) << ": " << Utf8(error) << "\n";
            status = kExitFailure;
            continue;
        }
        CXmlDocument doc;
        const bool parsed = doc.LoadBytes(bytes);
        std::string notes = Utf8(doc.ResultText());
        while (!notes.empty() && (notes.back() == '\n' || notes.back() == '\r')) notes.pop_back();
        if (!notes.empty()) {
            std::stringstream lines(notes);
            std::string line;
            while (std::getline(lines, line)) s.out() << "  " << line << "\n";
        }
        if (!parsed || !doc.WellFormed()) status = kExitFailure;
        int missing = 0;
        for (const auto key : kLanguageKeys) {
            const std::u16string value = LookupText(doc, u"config", Utf8ToUtf16(key));
            if (value.empty()) {
                s.out() << "  missing or empty: " << key << "\n";
                ++missing;
            }
        }
        if (missing > 0) status = kExitFailure;
        s.out() << "  " << kLanguageKeys.size() - static_cast<size_t>(missing) << " of " << kLanguageKeys.size()
                << " keys present\n";
    }
    return status;
}

int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    const ParseResult parsed = ParseArgs(argv);
    if (!parsed.error.empty()) {
        err << "n640ctl: " << parsed.error << "\ntry: n640ctl --help\n";
        return kExitUsage;
    }
    const Args& a = parsed.args;
    if (a.words.empty()) {
        (a.help ? out : err) << MainHelp();
        return a.help ? kExitOk : kExitUsage;
    }
    const CommandRow* command = FindCommand(a.words[0]);
    if (command == nullptr) {
        err << "n640ctl: unknown command \"" << a.words[0] << "\"\ntry: n640ctl --help\n";
        return kExitUsage;
    }
    if (a.help) {
        out << command->usage;
        return kExitOk;
    }
    CSession s(a, out, err);
    if (a.words.size() < command->minWords || a.words.size() > command->maxWords) {
        return Usage(s, std::string(command->name), std::string(command->wordsError));
    }
    return command->run(s);
}

} // namespace n640::cli
