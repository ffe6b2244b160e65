#include "config/ProfileStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

#include "i18n/UiLanguage.h"
#include "testing/RecordingNotifier.h"
#include "testing/ScriptedFiles.h"
#include "testing/TempDir.h"

namespace n640 {
namespace {

using testing::CRecordingNotifier;
using testing::CScriptedFiles;
using testing::CTempDir;
using testing::ReadBytes;
using testing::ReadRecord;
using testing::WriteBytes;

std::vector<uint8_t> BytesOf(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
}

// An image that differs from the defaults, as a user's profile would.
ProfileImage UserProfile(int32_t marker) {
    ProfileImage image;
    BuildDefaultProfile(&image);
    image.settings.dpiLevels[0] = marker;
    image.buttons[kInputForward].type = 6;
    image.buttons[kInputForward].macroId = 0x15000042;
    return image;
}

class ProfileStoreTest : public ::testing::Test {
protected:
    ProfileStoreTest() {
        SetUiChinese(false);
        std::filesystem::create_directories(dir / "Profile");
        strings["str_msg2"] = u"Cannot find %s.";
        strings["str_msg4"] = u"Access denied (4).";
        strings["str_msg5"] = u"Access denied (5).";
        store = std::make_unique<CProfileStore>(dir.path(), files, notifier,
                                                [this](std::string_view key) { return strings[std::string(key)]; });
    }
    ~ProfileStoreTest() override { SetUiChinese(false); }

    std::u16string P(const std::filesystem::path& p) const { return p.u16string(); }
    std::filesystem::path ProfileFile(int n) const { return dir / "Profile" / ("Profile" + std::to_string(n) + ".cfg"); }
    std::filesystem::path InfoFile() const { return dir / "Profile" / "ConfigInfo.cfg"; }

    void WriteProfile(int n, const ProfileImage& image) { WriteBytes(ProfileFile(n), &image, sizeof image); }
    void WriteInfo(const ConfigInfo& info) { WriteBytes(InfoFile(), &info, sizeof info); }
    static ConfigInfo ValidSlots(int active) {
        ConfigInfo info;
        std::memset(&info, 0, sizeof info);
        for (int i = 0; i < kSlotCount; ++i) {
            info.slots[i].magic = kSlotMagic;
            info.slots[i].active = i == active ? 1 : 0;
            for (int k = 0; k < kInputCount; ++k) info.slots[i].macroIds[k] = 0x01000000u * (i + 1) + k;
        }
        return info;
    }
    std::vector<std::u16string> Selected() const {
        std::vector<std::u16string> s;
        for (int i = 0; i < kSlotCount; ++i) s.push_back(store->IsSlotSelected(i) ? u"x" : u"-");
        return s;
    }
    static ProfileImage Defaults() {
        ProfileImage image;
        BuildDefaultProfile(&image);
        return image;
    }

    CTempDir dir;
    CScriptedFiles files;
    CRecordingNotifier notifier;
    std::map<std::string, std::u16string> strings;
    std::unique_ptr<CProfileStore> store;
};

TEST_F(ProfileStoreTest, DefaultProfileSetsOnlyTheFactoryFields) {
    const ProfileImage image = Defaults();
    const auto bytes = BytesOf(&image, sizeof image);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{0x02, 0x03, 0x80, 0x80}));

    // Expected non-zero 32-bit words by image offset, and the labels.
    std::map<size_t, uint32_t> words = {{0, 0x80800302}};
    const int types[] = {1, 4, 2, 8, 16, 11, 22};
    const std::u16string_view labels[] = {u"Click", u"Middle", u"Menu", u"Forward", u"Back", u"Scroll up", u"Scroll down"};
    std::vector<bool> label(sizeof image, false);
    for (int i = 0; i < 7; ++i) {
        const size_t base = 4 + 3148 * i;
        words[base] = types[i];
        for (size_t k = 0; k < labels[i].size(); ++k) label[base + 548 + 2 * k] = label[base + 549 + 2 * k] = true;
        EXPECT_EQ(GetLabel(image.buttons[i]), labels[i]);
    }
    const uint32_t dpi[] = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    for (int i = 0; i < 7; ++i) words[22040 + 4 * i] = dpi[i];
    for (auto [offset, value] : std::map<size_t, uint32_t>{{22160, 15}, {22164, 1}, {22168, 5}, {22176, 255}, {22180, 255},
                                                           {22184, 255}, {22188, 255}, {22192, 1}, {22196, 1}, {22200, 1},
                                                           {22204, 1}, {22232, 10}, {22236, 5}, {22240, 3}, {22244, 4},
                                                           {22248, 3}})
        words[offset] = value;
    for (size_t off = 0; off < sizeof image; off += 4) {
        if (label[off]) continue;
        uint32_t w;
        std::memcpy(&w, bytes.data() + off, 4);
        const auto it = words.find(off);
        ASSERT_EQ(w, it == words.end() ? 0u : it->second) << "offset " << off;
    }

    SetUiChinese(true);
    ProfileImage chinese;
    BuildDefaultProfile(&chinese);
    EXPECT_EQ(GetLabel(chinese.buttons[0]), u"单击");
    EXPECT_EQ(GetLabel(chinese.buttons[6]), u"滚轮后滚");
    BuildDefaultProfile(nullptr);  // nothing happens
}

TEST_F(ProfileStoreTest, StartWithoutConfigInfo) {
    store->LoadSlots();
    // One message, about ConfigInfo.cfg only; Profile1.cfg is written silently.
    EXPECT_EQ(notifier.Texts(), std::vector<std::u16string>{
        u"Tips: Failed to open file, check whether there is a " + P(InfoFile()) + u" path?"});
    EXPECT_EQ(store->ActiveSlot(), 0);
    EXPECT_EQ(Selected(), std::vector<std::u16string>(5, u"-"));
    const ProfileImage defaults = Defaults();
    EXPECT_EQ(ReadBytes(ProfileFile(1)), BytesOf(&defaults, sizeof defaults));
    EXPECT_EQ(BytesOf(&store->Profile(), sizeof defaults), BytesOf(&defaults, sizeof defaults));
    EXPECT_FALSE(std::filesystem::exists(InfoFile()));

    // The first successful apply writes a table with no valid slot and slot 0 active.
    ASSERT_TRUE(store->SaveActiveProfile());
    const ConfigInfo written = ReadRecord<ConfigInfo>(InfoFile());
    EXPECT_EQ(ReadBytes(InfoFile()).size(), 8000u);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(written.slots[i].magic, 0u);
        EXPECT_EQ(written.slots[i].active, i == 0 ? 1u : 0u);
        EXPECT_EQ(ReadField(written.slots[i].path), P(ProfileFile(i + 1)).substr(0, kMaxPathLength));
    }

    // On the next start no valid slot is found and slot 0 is used again, without a message.
    notifier.boxes.clear();
    CProfileStore again(dir.path(), files, notifier, nullptr);
    again.LoadSlots();
    EXPECT_TRUE(notifier.boxes.empty());
    EXPECT_EQ(again.ActiveSlot(), 0);
}

TEST_F(ProfileStoreTest, StartTable) {
    struct Case {
        const char* name;
        int activeInFile;                     // slot marked active in ConfigInfo.cfg
        std::map<int, std::vector<uint8_t>> profiles;  // profile number -> file bytes
        int expectedSlot;
        std::vector<std::u16string> expectedSelected;
        std::vector<int> rewrittenToDefaults;  // profile numbers whose file now holds the defaults
        int32_t expectedMarker;                // dpiLevels[0] of the active profile (750: defaults)
    };
    const ProfileImage p4 = UserProfile(4444), p1 = UserProfile(1111);
    const auto bytes4 = BytesOf(&p4, sizeof p4), bytes1 = BytesOf(&p1, sizeof p1);
    std::vector<uint8_t> wrongMagic = bytes4;
    wrongMagic[0] = 0x03;
    const std::vector<uint8_t> short100(bytes4.begin(), bytes4.begin() + 100);
    const std::u16string x = u"x", o = u"-";

    const Case cases[] = {
        {"slot 3 active and loads", 3, {{4, bytes4}, {1, bytes1}}, 3, {o, o, o, x, o}, {}, 4444},
        {"active file missing falls back to slot 0", 3, {{1, bytes1}}, 0, {x, o, o, o, o}, {4}, 1111},
        {"wrong magic is rewritten to defaults", 3, {{4, wrongMagic}, {1, bytes1}}, 0, {x, o, o, o, o}, {4}, 1111},
        {"100-byte profile loads", 3, {{4, short100}}, 3, {o, o, o, x, o}, {}, 0},
        {"no active slot, Profile1 missing", -1, {}, 0, {x, o, o, o, o}, {1}, 750},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir d;
        CRecordingNotifier n;
        std::filesystem::create_directories(d / "Profile");
        const ConfigInfo info = ValidSlots(c.activeInFile);
        WriteBytes(d / "Profile" / "ConfigInfo.cfg", &info, sizeof info);
        for (const auto& [num, content] : c.profiles) WriteBytes(d / "Profile" / ("Profile" + std::to_string(num) + ".cfg"), content);
        CProfileStore s(d.path(), files, n, nullptr);
        s.LoadSlots();
        EXPECT_EQ(s.ActiveSlot(), c.expectedSlot);
        std::vector<std::u16string> selected;
        for (int i = 0; i < kSlotCount; ++i) selected.push_back(s.IsSlotSelected(i) ? x : o);
        EXPECT_EQ(selected, c.expectedSelected);
        EXPECT_EQ(s.Profile().settings.dpiLevels[0], c.expectedMarker);
        for (int k = 0; k < kInputCount; ++k) EXPECT_EQ(s.Assignments()[k], info.slots[c.expectedSlot].macroIds[k]);
        const ProfileImage defaults = Defaults();
        for (int num : c.rewrittenToDefaults)
            EXPECT_EQ(ReadBytes(d / "Profile" / ("Profile" + std::to_string(num) + ".cfg")), BytesOf(&defaults, sizeof defaults)) << num;
    }
}

TEST_F(ProfileStoreTest, StartMessagesNameTheFile) {
    const ProfileImage p1 = UserProfile(1);
    ConfigInfo info = ValidSlots(1);
    info.slots[2].active = 1;  // two active marks: slot 1 (missing file), slot 2 (wrong magic)
    WriteInfo(info);
    WriteProfile(1, p1);
    ProfileImage bad = p1;
    bad.magic = 0x12345678;
    WriteProfile(3, bad);
    store->LoadSlots();
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{
                                    u"Tips: Failed to open file, check whether there is a " + P(ProfileFile(2)) + u" path?",
                                    u"Info: " + P(ProfileFile(3)) + u" is an invaild Profile!"}));
    EXPECT_EQ(store->ActiveSlot(), 0);
    EXPECT_EQ(Selected(), (std::vector<std::u16string>{u"x", u"-", u"-", u"-", u"-"}));
}

TEST_F(ProfileStoreTest, UninterpretedSlotBytesAreWrittenBackAndStoredPathsIgnored) {
    ConfigInfo info = ValidSlots(2);
    for (int i = 0; i < kSlotCount; ++i) {
        for (size_t k = 0; k < 524; ++k) info.slots[i].opaque0[k] = static_cast<uint8_t>(k * 7 + i);
        for (size_t k = 0; k < 520; ++k) info.slots[i].opaque1[k] = static_cast<uint8_t>(k * 13 + i);
        WriteField(info.slots[i].path, u"C:\\elsewhere\\Profile.cfg");
    }
    WriteInfo(info);
    const ProfileImage p3 = UserProfile(3333);
    WriteProfile(3, p3);
    store->LoadSlots();
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 3333);  // read from DataDir, not from the stored path
    store->Assignments()[0] = 0x15ABCDEF;
    ASSERT_TRUE(store->SaveActiveProfile());

    ConfigInfo expected = info;
    for (int i = 0; i < kSlotCount; ++i) WriteField(expected.slots[i].path, P(ProfileFile(i + 1)));
    expected.slots[2].macroIds[0] = 0x15ABCDEF;
    EXPECT_EQ(ReadBytes(InfoFile()), BytesOf(&expected, sizeof expected));
}

TEST_F(ProfileStoreTest, SelectProfile) {
    WriteInfo(ValidSlots(0));
    WriteProfile(1, UserProfile(1));
    WriteProfile(2, UserProfile(2));
    ProfileImage bad = UserProfile(4);
    bad.magic = 0;
    WriteProfile(4, bad);
    store->LoadSlots();
    const auto infoOnDisk = ReadBytes(InfoFile());

    // A valid profile: loaded, its slot's macros taken, only its button selected; nothing saved.
    ASSERT_TRUE(store->SelectProfile(1));
    EXPECT_EQ(store->ActiveSlot(), 1);
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 2);
    EXPECT_EQ(store->Assignments()[6], 0x02000006u);
    EXPECT_EQ(Selected(), (std::vector<std::u16string>{u"-", u"x", u"-", u"-", u"-"}));
    EXPECT_EQ(ReadBytes(InfoFile()), infoOnDisk);
    EXPECT_TRUE(notifier.boxes.empty());

    // A rejected file: the message, and nothing changes.
    EXPECT_FALSE(store->SelectProfile(3));
    EXPECT_EQ(notifier.Texts(), std::vector<std::u16string>{u"Info: " + P(ProfileFile(4)) + u" is an invaild Profile!"});
    EXPECT_EQ(store->ActiveSlot(), 1);
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 2);
    EXPECT_EQ(store->Assignments()[6], 0x02000006u);

    // A missing file: the message, a default profile written and active; flags and macros stay.
    notifier.boxes.clear();
    EXPECT_FALSE(store->SelectProfile(4));
    EXPECT_EQ(notifier.Texts(), std::vector<std::u16string>{
        u"Tips: Failed to open file, check whether there is a " + P(ProfileFile(5)) + u" path?"});
    const ProfileImage defaults = Defaults();
    EXPECT_EQ(ReadBytes(ProfileFile(5)), BytesOf(&defaults, sizeof defaults));
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 750);
    EXPECT_EQ(store->ActiveSlot(), 4);
    EXPECT_EQ(store->Assignments()[6], 0x02000006u);
    EXPECT_EQ(Selected(), (std::vector<std::u16string>{u"-", u"x", u"-", u"-", u"-"}));
}

TEST_F(ProfileStoreTest, SaveFailures) {
    struct Case {
        const char* name;
        FileStatus status;
        std::vector<std::u16string> expected;
    };
    const std::u16string profile = P(ProfileFile(1));
    const Case cases[] = {
        {"path missing", FileStatus::NotFound, {u"Info: Cannot find " + profile + u"."}},
        {"access denied", FileStatus::AccessDenied, {u"Info: Access denied (5)."}},
        {"other failure", FileStatus::Failed, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir d;
        CRecordingNotifier n;
        CScriptedFiles f;
        std::filesystem::create_directories(d / "Profile");
        const ConfigInfo info = ValidSlots(0);
        WriteBytes(d / "Profile" / "ConfigInfo.cfg", &info, sizeof info);
        CProfileStore s(d.path(), f, n, [this](std::string_view key) { return strings[std::string(key)]; });
        s.LoadSlots();
        f.failWrites[d / "Profile" / "Profile1.cfg"] = c.status;
        s.Assignments()[2] = 77;
        // Texts name the store's own path: compare with this case's directory.
        std::vector<std::u16string> expected = c.expected;
        for (auto& t : expected) {
            const size_t at = t.find(profile);
            if (at != std::u16string::npos) t.replace(at, profile.size(), P(d / "Profile" / "Profile1.cfg"));
        }
        n.boxes.clear();
        EXPECT_FALSE(s.SaveActiveProfile());
        EXPECT_EQ(n.Texts(), expected);
        EXPECT_EQ(ReadRecord<ConfigInfo>(d / "Profile" / "ConfigInfo.cfg").slots[0].macroIds[2], 77u);  // table still saved
    }
}

TEST_F(ProfileStoreTest, InterruptedSaveKeepsTheOldProfileFile) {
    WriteInfo(ValidSlots(0));
    WriteProfile(1, UserProfile(1));
    store->LoadSlots();
    const auto before = ReadBytes(ProfileFile(1));
    const auto infoBefore = ReadBytes(InfoFile());
    store->Profile().settings.dpiLevels[0] = 9999;
    store->Assignments()[0] = 5;
    files.failReplace = true;
    EXPECT_FALSE(store->SaveActiveProfile());
    EXPECT_EQ(ReadBytes(ProfileFile(1)), before);
    EXPECT_EQ(ReadBytes(InfoFile()), infoBefore);
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(ProfileFile(1))));
}

TEST_F(ProfileStoreTest, DefaultProfileThatCannotBeCreated) {
    WriteInfo(ValidSlots(0));
    WriteProfile(1, UserProfile(1));
    store->LoadSlots();
    files.failWrites[ProfileFile(2)] = FileStatus::AccessDenied;
    EXPECT_FALSE(store->SelectProfile(1));
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{
                                    u"Tips: Failed to open file, check whether there is a " + P(ProfileFile(2)) + u" path?",
                                    u"Tips: Access denied (4)."}));
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 1);  // unchanged
    EXPECT_EQ(store->ActiveSlot(), 0);
    EXPECT_FALSE(std::filesystem::exists(ProfileFile(2)));
}

TEST_F(ProfileStoreTest, ReadOnlyProfileFileRefusesTheSave) {
    WriteInfo(ValidSlots(0));
    WriteProfile(1, UserProfile(1));
    store->LoadSlots();
    const auto before = ReadBytes(ProfileFile(1));
    testing::MakeReadOnly(ProfileFile(1));
    store->Profile().settings.dpiLevels[0] = 2;
    if (store->SaveActiveProfile())
        GTEST_SKIP() << "this account may replace read-only files (root), so access cannot be refused here";
    EXPECT_EQ(notifier.Texts(), std::vector<std::u16string>{u"Info: Access denied (5)."});
    EXPECT_EQ(ReadBytes(ProfileFile(1)), before);
}

TEST_F(ProfileStoreTest, ImportAndExport) {
    WriteInfo(ValidSlots(0));
    WriteProfile(1, UserProfile(1));
    store->LoadSlots();
    const MacroAssignments assignments = store->Assignments();
    const auto infoBefore = ReadBytes(InfoFile());

    const ProfileImage imported = UserProfile(7777);  // its input 3 holds macro 0x15000042
    WriteBytes(dir / "in.cfg", &imported, sizeof imported);
    ProfileImage wrong = imported;
    wrong.magic = 0x80800303;
    WriteBytes(dir / "wrong.cfg", &wrong, sizeof wrong);

    EXPECT_FALSE(store->ImportProfile(dir / "wrong.cfg"));
    EXPECT_FALSE(store->ImportProfile(dir / "absent.cfg"));
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 1);
    ASSERT_TRUE(store->ImportProfile(dir / "in.cfg"));
    EXPECT_EQ(store->Profile().settings.dpiLevels[0], 7777);
    EXPECT_EQ(store->Assignments(), assignments);  // the imported macro ids are not taken over
    EXPECT_EQ(ReadBytes(InfoFile()), infoBefore);

    store->Profile().settings.pointerSpeed = 17;  // not applied yet, exported anyway
    ASSERT_TRUE(store->ExportProfile(dir / "out.cfg"));
    EXPECT_EQ(ReadBytes(dir / "out.cfg"), BytesOf(&store->Profile(), sizeof(ProfileImage)));
    EXPECT_FALSE(store->ExportProfile(dir / "no" / "out.cfg"));

    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{
                                    u"Info: " + P(dir / "wrong.cfg") + u" is an invaild Profile!",
                                    u"Info: " + P(dir / "absent.cfg") + u" is an invaild Profile!",
                                    u"Info: " + P(dir / "in.cfg") + u" import success!",
                                    u"Info: " + P(dir / "out.cfg") + u" export success!",
                                    u"Info: " + P(dir / "no" / "out.cfg") + u" export failed!"}));
}

TEST_F(ProfileStoreTest, RestoreDefaultsIsInMemoryOnly) {
    WriteInfo(ValidSlots(0));
    WriteProfile(1, UserProfile(1));
    store->LoadSlots();
    const auto fileBefore = ReadBytes(ProfileFile(1));
    SetUiChinese(true);
    store->RestoreDefaults();
    EXPECT_EQ(GetLabel(store->Profile().buttons[kInputForward]), u"前进");
    EXPECT_EQ(store->Profile().buttons[kInputForward].type, 8);
    EXPECT_EQ(store->Assignments(), MacroAssignments{});
    EXPECT_EQ(ReadBytes(ProfileFile(1)), fileBefore);
}

TEST_F(ProfileStoreTest, LanguageIndex) {
    // Missing: index 1 and the message.
    EXPECT_EQ(store->ReadLanguageIndex(), 1);
    EXPECT_EQ(notifier.Texts(), std::vector<std::u16string>{
        u"Tips: Failed to open file, check whether there is a " + P(dir / "Language.cfg") + u" path?"});
    ASSERT_TRUE(store->WriteLanguageIndex(13));
    EXPECT_EQ(ReadBytes(dir / "Language.cfg"), (std::vector<uint8_t>{13, 0, 0, 0}));
    EXPECT_EQ(store->ReadLanguageIndex(), 13);
    WriteBytes(dir / "Language.cfg", std::vector<uint8_t>{});
    EXPECT_EQ(store->ReadLanguageIndex(), 1);  // an empty file leaves the start value

    notifier.boxes.clear();
    files.failWrites[dir / "Language.cfg"] = FileStatus::AccessDenied;
    EXPECT_FALSE(store->WriteLanguageIndex(2));
    files.failWrites[dir / "Language.cfg"] = FileStatus::Failed;
    EXPECT_FALSE(store->WriteLanguageIndex(2));
    CProfileStore elsewhere(dir / "gone", files, notifier, [this](std::string_view key) { return strings[std::string(key)]; });
    EXPECT_FALSE(elsewhere.WriteLanguageIndex(2));
    EXPECT_EQ(notifier.Texts(), (std::vector<std::u16string>{
                                    u"Info: Access denied (5).",
                                    u"Info: Cannot find " + P(dir / "gone" / "Language.cfg") + u"."}));
}

} // namespace
} // namespace n640
