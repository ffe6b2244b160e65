#include "macro/MacroLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "i18n/UiLanguage.h"
#include "testing/RecordingClock.h"
#include "testing/RecordingNotifier.h"
#include "testing/ScriptedFiles.h"
#include "testing/TempDir.h"

namespace n640 {
namespace {

using testing::CRecordingClock;
using testing::CRecordingNotifier;
using testing::CScriptedFiles;
using testing::CTempDir;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr auto P = MacroItemKind::Press;
constexpr auto R = MacroItemKind::Release;
constexpr auto D = MacroItemKind::Delay;
constexpr uint32_t kA = 0x41;

std::vector<uint32_t> Events(const MacroRecord& r) { return std::vector<uint32_t>(r.events, r.events + r.eventCount); }
uint32_t Press(uint32_t k) { return MakeEvent(kEventPress, k); }
uint32_t Release(uint32_t k) { return MakeEvent(kEventRelease, k); }
uint32_t Delay(uint32_t ms) { return MakeEvent(kEventDelay, ms); }

TEST(BuildMacro, RepeatCountRules) {
    struct Case {
        std::u16string_view text;
        uint32_t expected;
    };
    const Case cases[] = {{u"3", 3},         {u"0", 1},          {u"", 1},          {u"12a", 1},   {u"70000", 65533},
                          {u"65533", 65533}, {u"-5", 65533},     {u"1", 1},         {u" 3", 1},    {u"-", 1},
                          {u"-0", 1},        {u"99999999999999999999999", 65533}};
    for (const Case& c : cases) {
        std::vector<MacroItem> items = {{P, kA}, {R, kA}};
        const auto r = BuildMacro(items, c.text, u"m", 0x15000001);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->repeatCount, c.expected) << std::string(c.text.begin(), c.text.end());
    }
    // A single press is a single-press macro whatever was typed; a single release is not.
    std::vector<MacroItem> press = {{D, 5}, {P, kA}};
    EXPECT_EQ(BuildMacro(press, u"7", u"m", 1)->repeatCount, kMacroSinglePress);
    std::vector<MacroItem> release = {{R, kA}};
    EXPECT_EQ(BuildMacro(release, u"7", u"m", 1)->repeatCount, 7u);
}

TEST(BuildMacro, MergesDelaysAndDropsLeadingOnes) {
    std::vector<MacroItem> items = {{D, 30}, {P, kA}, {D, 10}, {D, 20}, {R, kA}};
    const auto r = BuildMacro(items, u"2", u"Jump", 0x15123456);
    ASSERT_TRUE(r);
    EXPECT_EQ(Events(*r), (std::vector<uint32_t>{Press(kA), Delay(30), Release(kA)}));
    EXPECT_EQ(r->size, 4100u + 4 * 5);  // counted before the merge
    EXPECT_EQ(r->magic, kMacroMagic);
    EXPECT_EQ(r->id, 0x15123456u);
    EXPECT_EQ(r->reserved, 0u);
    EXPECT_EQ(MacroName(*r), u"Jump");
    // The page's list shows the merge.
    EXPECT_EQ(items, (std::vector<MacroItem>{{D, 30}, {P, kA}, {D, 30}, {R, kA}}));

    std::vector<MacroItem> longPause = {{P, kA}, {D, 200000}, {D, 200000}, {D, 5}, {R, kA}};
    EXPECT_EQ(Events(*BuildMacro(longPause, u"", u"", 1)), (std::vector<uint32_t>{Press(kA), Delay(327670), Release(kA)}));

    std::vector<MacroItem> none;
    EXPECT_FALSE(BuildMacro(none, u"1", u"m", 1));
}

TEST(BuildMacro, LongListsAreCutAtOneThousandWords) {
    std::vector<MacroItem> items;
    for (int i = 0; i < 700; ++i) {
        items.push_back({P, kA});
        items.push_back({R, kA});
    }
    const auto r = BuildMacro(items, u"1", std::u16string(60, u'n'), 1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventCount, kMacroMaxEvents);
    EXPECT_EQ(r->events[999], Release(kA));
    EXPECT_EQ(MacroName(*r), std::u16string(39, u'n'));  // always terminated
    EXPECT_EQ(r->name[39], u'\0');
}

TEST(GameCategories, TextsFollowTheInterfaceLanguage) {
    SetUiChinese(false);
    EXPECT_EQ(GameCategoryMenuText(1), u"Battlefield 3 ");
    EXPECT_EQ(GameCategoryButtonText(1), u"Battlefield 3");
    EXPECT_EQ(GameCategoryMenuText(21), u"Customize");
    EXPECT_EQ(GameCategoryButtonText(21), u"Customisze");
    EXPECT_EQ(GameCategoryButtonText(7), u"Civilization 5 ");
    EXPECT_EQ(GameCategoryMenuText(0), u"");
    EXPECT_EQ(GameCategoryMenuText(22), u"");
    SetUiChinese(true);
    EXPECT_EQ(GameCategoryMenuText(5), u"军团要塞2");
    EXPECT_EQ(GameCategoryButtonText(5), u"军团要塞 2");
    EXPECT_EQ(GameCategoryMenuText(13), u"远古遗迹守卫2（Dota 2） ");
    EXPECT_EQ(GameCategoryButtonText(13), u"远古遗迹守卫2（Dota 2）");
    EXPECT_EQ(GameCategoryMenuText(4), u"上古卷轴5：天际");
    SetUiChinese(false);
}

class MacroLibraryTest : public ::testing::Test {
protected:
    MacroLibraryTest() {
        strings["str_msg2"] = u"Missing %s";
        strings["str_msg4"] = u"Denied (4)";
        library = std::make_unique<CMacroLibrary>(dir.path(), files, notifier,
                                                  [this](std::string_view k) { return strings[std::string(k)]; }, clock);
    }
    static MacroRecord Candidate(uint32_t id, std::u16string_view name, std::vector<MacroItem> items = {{P, kA}, {R, kA}},
                                 std::u16string_view repeat = u"4") {
        return *BuildMacro(items, repeat, name, id);
    }
    std::filesystem::path File() const { return dir / "Macro.cfg"; }
    std::vector<uint8_t> Image() const {
        const auto* b = reinterpret_cast<const uint8_t*>(&library->Record(0));
        return std::vector<uint8_t>(b, b + CMacroLibrary::Size() * sizeof(MacroRecord));
    }

    CTempDir dir;
    CScriptedFiles files;
    CRecordingNotifier notifier;
    CRecordingClock clock;
    std::map<std::string, std::u16string> strings;
    std::unique_ptr<CMacroLibrary> library;
};

TEST_F(MacroLibraryTest, StoreListRenameDelete) {
    WriteBytes(File(), std::vector<uint8_t>(2052000, 0));
    ASSERT_TRUE(library->LoadMacroLibrary());
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000010, u"one")));
    ASSERT_TRUE(library->StoreMacro(Candidate(0x03000011, u"other category")));
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000012, u"two", {{P, 0x42}}, u"9")));
    EXPECT_EQ(library->ListCategory(21), (std::vector<MacroListEntry>{{u"one", 0x15000010}, {u"two", 0x15000012}}));
    EXPECT_EQ(library->ListCategory(3), (std::vector<MacroListEntry>{{u"other category", 0x03000011}}));
    EXPECT_EQ(library->Find(0x15000012)->repeatCount, kMacroSinglePress);
    EXPECT_EQ(ReadBytes(File()), Image());
    // Each save waits 100 ms before and after writing.
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{100, 100, 100, 100, 100, 100}));

    // Renaming stores the record over itself: only the name changes, in memory and in the file.
    const std::vector<uint8_t> before = Image();
    MacroRecord& stored = library->Record(0);
    std::memset(stored.name, 0, sizeof stored.name);
    std::copy_n(u"renamed", 7, stored.name);
    ASSERT_TRUE(library->StoreMacro(stored));
    const std::vector<uint8_t> after = ReadBytes(File());
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        if (i >= 4024 && i < 4104) continue;
        ASSERT_EQ(after[i], before[i]) << i;
    }
    EXPECT_EQ(library->ListCategory(21)[0].name, u"renamed");
    EXPECT_EQ(Events(*library->Find(0x15000010)), (std::vector<uint32_t>{Press(kA), Release(kA)}));

    // Deleting clears the record in place; later records keep their index.
    library->DeleteMacro(0x15000010);
    EXPECT_EQ(library->Record(0).magic, 0u);
    EXPECT_EQ(library->Record(2).id, 0x15000012u);
    EXPECT_EQ(ReadBytes(File()), Image());
    // A new macro takes the first free record.
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000013, u"three")));
    EXPECT_EQ(library->Record(0).id, 0x15000013u);
}

TEST_F(MacroLibraryTest, ListedAndFreeTestsDiffer) {
    MacroRecord& a = library->Record(0);
    a.magic = kMacroMagic;  // size 0: listed
    a.id = 0x15000001;
    MacroRecord& b = library->Record(1);
    b.size = 4104;  // magic 0: listed and free
    b.id = 0x15000002;
    EXPECT_EQ(library->ListCategory(21).size(), 2u);
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000003, u"new")));
    EXPECT_EQ(library->Record(1).id, 0x15000003u);
}

TEST_F(MacroLibraryTest, FullLibraryAndMalformedCandidatesAreRefused) {
    for (size_t i = 0; i < CMacroLibrary::Size(); ++i) {
        library->Record(i).magic = kMacroMagic;
        library->Record(i).size = 4104;
        library->Record(i).id = 0x15000000u + static_cast<uint32_t>(i) + 1;
    }
    ASSERT_TRUE(library->SaveMacroLibrary());
    const std::vector<uint8_t> before = ReadBytes(File());
    clock.sleeps.clear();
    notifier.boxes.clear();
    EXPECT_FALSE(library->StoreMacro(Candidate(0x15FFFFFF, u"no room")));
    MacroRecord small = Candidate(0x15000001, u"x");
    small.size = 4100;
    EXPECT_FALSE(library->StoreMacro(small));
    MacroRecord badMagic = Candidate(0x15000001, u"x");
    badMagic.magic = 0xE9E80010;
    EXPECT_FALSE(library->StoreMacro(badMagic));
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(MacroLibraryTest, MissingFileAtLoadAndAtSave) {
    EXPECT_FALSE(library->LoadMacroLibrary());
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000001, u"kept")));
    // Load: skinned box; save: the plain box, then the file is created holding the library.
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{u"Tips: Missing " + File().u16string(),
                                                              u"Info: Missing " + File().u16string()}));
    EXPECT_EQ(ReadBytes(File()), Image());
    EXPECT_TRUE(clock.sleeps.empty());

    // Access denied when creating it: the second message, nothing written.
    notifier.boxes.clear();
    std::filesystem::remove(File());
    files.failWrites[TemporaryFileFor(File())] = FileStatus::AccessDenied;
    library->DeleteMacro(0x15000001);
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{u"Info: Missing " + File().u16string(), u"Info: Denied (4)"}));
    EXPECT_FALSE(std::filesystem::exists(File()));

    // Any other failure to open the existing file: silent, nothing written.
    notifier.boxes.clear();
    files.failWrites.clear();
    WriteBytes(File(), std::vector<uint8_t>{1, 2, 3});
    files.failWrites[File()] = FileStatus::AccessDenied;
    EXPECT_FALSE(library->SaveMacroLibrary());
    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_EQ(ReadBytes(File()), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(MacroLibraryTest, ShortFileReadsAsZeroAndLongFileIsCut) {
    std::vector<uint8_t> bytes(4104 + 10, 0);
    MacroRecord r = Candidate(0x15000077, u"short");
    std::memcpy(bytes.data(), &r, sizeof r);
    WriteBytes(File(), bytes);
    ASSERT_TRUE(library->LoadMacroLibrary());
    EXPECT_EQ(library->ListCategory(21), (std::vector<MacroListEntry>{{u"short", 0x15000077}}));

    std::vector<uint8_t> longer(2052000 + 100, 0xAB);
    WriteBytes(File(), longer);
    ASSERT_TRUE(library->LoadMacroLibrary());
    EXPECT_EQ(library->Record(499).name[39], 0xABAB);
}

TEST_F(MacroLibraryTest, InterruptedSaveKeepsTheOldFile) {
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000001, u"first")));
    const std::vector<uint8_t> before = ReadBytes(File());
    files.failReplace = true;
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15000002, u"second")));  // stored in memory
    EXPECT_EQ(ReadBytes(File()), before);
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(File())));
}

TEST_F(MacroLibraryTest, NewIdsAreUnique) {
    EXPECT_EQ(library->NewMacroId(21, 0x12345678), 0x15345678u);
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15345678, u"a")));
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15345679, u"b")));
    EXPECT_EQ(library->NewMacroId(21, 0x12345678), 0x1534567Au);
    EXPECT_EQ(library->NewMacroId(3, 0x12345678), 0x03345678u);  // another category is another id
    const uint32_t pending[] = {0x1534567A};
    EXPECT_EQ(library->NewMacroId(21, 0x12345678, pending), 0x1534567Bu);
    ASSERT_TRUE(library->StoreMacro(Candidate(0x15FFFFFF, u"c")));
    EXPECT_EQ(library->NewMacroId(21, 0xFFFFFF), 0x15000000u);  // wraps within the low 24 bits
}

TEST(IsMacroInUse, SlotsAssignmentsAndMacroInputs) {
    ConfigInfo slots;
    std::memset(&slots, 0, sizeof slots);
    slots.slots[4].macroIds[6] = 0x15000001;  // a slot that is neither valid nor active still counts
    ProfileImage image = ZeroProfileImage();
    image.buttons[2].type = 6;
    image.buttons[2].macroId = 0x15000002;
    image.buttons[3].type = 5;  // not a macro input: its stale macroId does not count
    image.buttons[3].macroId = 0x15000003;
    MacroAssignments assignments{};
    assignments[0] = 0x15000004;
    EXPECT_TRUE(IsMacroInUse(0x15000001, slots, image, assignments));
    EXPECT_TRUE(IsMacroInUse(0x15000002, slots, image, assignments));
    EXPECT_FALSE(IsMacroInUse(0x15000003, slots, image, assignments));
    EXPECT_TRUE(IsMacroInUse(0x15000004, slots, image, assignments));
    EXPECT_FALSE(IsMacroInUse(0x15000005, slots, image, assignments));
}

} // namespace
} // namespace n640
