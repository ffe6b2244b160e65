#include "i18n/LanguageTable.h"
#include "platform/Notifier.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "i18n/UiLanguage.h"
#include "platform/Text.h"

namespace n640 {
namespace {

// The install tree's language files live in assets/ of the source tree.
std::u16string AssetsDir() {
    const char* source = std::getenv("N640_SOURCE_DIR");
    return (std::filesystem::path(source ? source : ".") / "assets").u16string();
}

// A folder laid out like InstallDir, removed at the end.
class FakeInstall {
public:
    FakeInstall() : dir_(std::filesystem::temp_directory_path() / "n640_i18n_install") {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "Language");
        std::filesystem::create_directories(dir_ / "skins");
    }
    ~FakeInstall() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::ofstream(dir_ / relative, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::u16string Dir() const { return dir_.u16string(); }

private:
    std::filesystem::path dir_;
};

std::string LanguageFile(const std::string& texts) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><language><config>" + texts + "</config></language>";
}

class FakeProfile : public IProfileReader {
public:
    explicit FakeProfile(int value) : value_(value) {}
    int ReadInt(const std::u16string& file, std::u16string_view section, std::u16string_view key, int) override {
        file_ = file;
        EXPECT_EQ(section, u"languagetype");
        EXPECT_EQ(key, u"value");
        return value_;
    }
    std::u16string file_;

private:
    int value_;
};

class FakeStore : public ILanguageIndexStore {
public:
    bool WriteLanguageIndex(uint32_t index) override {
        written.push_back(index);
        return true;
    }
    std::vector<uint32_t> written;
};

TEST(LanguageTable, KeysAreTheFixedList) {
    std::set<std::string_view> unique(kLanguageKeys.begin(), kLanguageKeys.end());
    EXPECT_EQ(unique.size(), kLanguageKeyCount);
    EXPECT_EQ(kLanguageKeys.front(), "str_main");
    EXPECT_EQ(kLanguageKeys[18], "str_close");
    EXPECT_EQ(kLanguageKeys[41], "str_fire");
    EXPECT_EQ(kLanguageKeys[81], "str_msg2");
    EXPECT_EQ(kLanguageKeys.back(), "str_firmware_version");
    for (auto key : kLanguageKeys) EXPECT_EQ(key.substr(0, 4), "str_");
    EXPECT_EQ(LanguageKeyIndex("str_ok"), 10);
    EXPECT_EQ(LanguageKeyIndex("str_nothing"), -1);
}

// Every shipped file loads cleanly in its own encoding and has every text, with the message
// formats the program relies on.
TEST(LanguageTable, ShippedFilesHaveEveryText) {
    for (const auto& language : kLanguages) {
        const std::string name = Utf16ToUtf8(language.file);
        CLanguageTable table;
        EXPECT_TRUE(table.LoadLanguageFile(InstallPath(AssetsDir(), language.file)))
            << name << ": " << Utf16ToUtf8(table.ResultText());
        for (size_t i = 0; i < kLanguageKeyCount; ++i) {
            EXPECT_FALSE(table.Text(i).empty()) << name << " " << kLanguageKeys[i];
            EXPECT_EQ(table.Text(i).find_first_of(u"<>\r\n"), std::u16string::npos) << name << " " << kLanguageKeys[i];
        }
        const std::u16string& msg2 = table.Text("str_msg2");
        EXPECT_EQ(msg2.find(u"%s"), msg2.rfind(u"%s")) << name;
        EXPECT_NE(msg2.find(u"%s"), std::u16string::npos) << name;
        EXPECT_EQ(std::count(msg2.begin(), msg2.end(), u'%'), 1) << name;
        EXPECT_EQ(table.Text("str_msg5").find(u'%'), std::u16string::npos) << name;
        EXPECT_EQ(table.Text("str_msg4").find(u'%'), std::u16string::npos) << name;
    }
    // Spot checks that each file decoded to its own script.
    CLanguageTable table;
    table.LoadLanguageFile(InstallPath(AssetsDir(), u"Language\\sc.xml"));
    EXPECT_EQ(table.Text("str_ok"), u"\u786E\u5B9A");
    table.LoadLanguageFile(InstallPath(AssetsDir(), u"Language\\kor.xml"));
    EXPECT_EQ(table.Text("str_ok"), u"\uD655\uC778");
    table.LoadLanguageFile(InstallPath(AssetsDir(), u"Language\\ukr.xml"));
    EXPECT_EQ(table.Text("str_sensor"), u"\u0421\u0435\u043D\u0441\u043E\u0440");
    table.LoadLanguageFile(InstallPath(AssetsDir(), u"Language\\tw.xml"));
    EXPECT_EQ(table.Text("str_ok"), u"\u78BA\u5B9A");
    table.LoadLanguageFile(InstallPath(AssetsDir(), u"Language\\fre.xml"));
    EXPECT_EQ(table.Text("str_led_title"), u"\u00C9clairage");
}

TEST(LanguageTable, EveryLoadReplacesEveryText) {
    FakeInstall install;
    install.Write("Language/full.xml", LanguageFile("<str_ok>Fine</str_ok><str_main>Main</str_main>"));
    install.Write("Language/partial.xml", LanguageFile("<str_ok>Only</str_ok><str_mian>typo</str_mian>"));
    install.Write("Language/noconfig.xml", "<language><str_ok>loose</str_ok></language>");
    CLanguageTable table;
    EXPECT_EQ(table.Text("str_ok"), u"");  // empty until the first load
    table.LoadLanguageFile(InstallPath(install.Dir(), u"Language\\full.xml"));
    EXPECT_EQ(table.Text("str_ok"), u"Fine");
    EXPECT_EQ(table.Text("str_main"), u"Main");
    table.LoadLanguageFile(InstallPath(install.Dir(), u"Language\\partial.xml"));
    EXPECT_EQ(table.Text("str_ok"), u"Only");
    EXPECT_EQ(table.Text("str_main"), u"");  // misspelt in the file
    table.LoadLanguageFile(InstallPath(install.Dir(), u"Language\\noconfig.xml"));
    EXPECT_EQ(table.Text("str_ok"), u"");
    table.LoadLanguageFile(InstallPath(install.Dir(), u"Language\\full.xml"));
    EXPECT_FALSE(table.LoadLanguageFile(InstallPath(install.Dir(), u"Language\\missing.xml")));
    for (size_t i = 0; i < kLanguageKeyCount; ++i) EXPECT_EQ(table.Text(i), u"") << kLanguageKeys[i];
    EXPECT_EQ(table.Text("not_a_key"), u"");
}

TEST(LanguageTable, StartLanguageFollowsTheInstallation) {
    FakeInstall install;
    install.Write("Language/sc.xml", LanguageFile("<str_ok>\xE7\xA1\xAE\xE5\xAE\x9A</str_ok>"));
    install.Write("Language/en.xml", LanguageFile("<str_ok>OK</str_ok>"));
    struct Case {
        int value;
        bool chinese;
        uint32_t flag;
        std::u16string ok;
    };
    const Case cases[] = {{1, true, 142, u"\u786E\u5B9A"}, {0, false, 143, u"OK"}, {2, false, 143, u"OK"}};
    for (const auto& c : cases) {
        CLanguageTable table;
        FakeProfile ini(c.value);
        const StartLanguage start = ChooseStartLanguage(table, install.Dir(), ini);
        EXPECT_EQ(ini.file_, InstallPath(install.Dir(), u"skins\\languagetype.ini"));
        EXPECT_EQ(start.chinese, c.chinese) << c.value;
        EXPECT_EQ(start.flagPicture, c.flag) << c.value;
        EXPECT_EQ(UiChinese(), c.chinese) << c.value;
        EXPECT_EQ(InstallChinese(), c.chinese) << c.value;
        EXPECT_EQ(table.Text("str_ok"), c.ok) << c.value;
    }
}

TEST(LanguageTable, SwitchLanguage) {
    FakeInstall install;
    for (const auto& language : kLanguages) {
        std::string file = Utf16ToUtf8(language.file).substr(9);  // after "Language\"
        install.Write("Language/" + file, LanguageFile("<str_ok>" + file + "</str_ok>"));
    }
    struct Case {
        const char* what;
        uintptr_t wParam;
        intptr_t index;
        bool menuOpen;
        bool handled;
        uint32_t flag;
        bool closeMenu;
        bool uiChinese;
        std::u16string ok;  // str_ok afterwards ("start" is what was there before)
    };
    const Case cases[] = {
        {"start-up, English", 272, 2, false, true, 143, false, false, u"en.xml"},
        {"start-up, Chinese", 272, 1, true, true, 142, false, true, u"sc.xml"},
        {"menu, Traditional Chinese", 0, 12, true, true, 153, true, false, u"tw.xml"},
        {"menu, Ukrainian", 0, 11, true, true, 152, true, false, u"ukr.xml"},
        {"index 0 at start-up", 272, 0, false, false, 0, false, true, u"start"},
        {"index 0 from the menu (menu closing)", 0, 0, true, false, 0, false, true, u"start"},
        {"menu message without a menu", 0, 3, false, false, 0, false, true, u"start"},
        {"index 13 at start-up", 272, 13, false, true, 0, false, false, u"start"},
        {"index -1 from the menu", 0, -1, true, true, 0, true, false, u"start"},
    };
    for (const auto& c : cases) {
        CLanguageTable table;
        FakeInstall* dir = &install;
        install.Write("Language/start.xml", LanguageFile("<str_ok>start</str_ok>"));
        table.LoadLanguageFile(InstallPath(dir->Dir(), u"Language\\start.xml"));
        SetUiChinese(true);
        FakeStore store;
        const SwitchOutcome out = SwitchLanguage(table, install.Dir(), c.wParam, c.index, c.menuOpen, store);
        EXPECT_EQ(out.handled, c.handled) << c.what;
        EXPECT_EQ(out.loaded, c.flag != 0) << c.what;
        EXPECT_EQ(out.flagPicture, c.flag) << c.what;
        EXPECT_EQ(out.closeMenu, c.closeMenu) << c.what;
        EXPECT_EQ(UiChinese(), c.uiChinese) << c.what;
        EXPECT_EQ(table.Text("str_ok"), c.ok) << c.what;
        if (c.handled) {
            EXPECT_EQ(store.written, std::vector<uint32_t>{static_cast<uint32_t>(c.index)}) << c.what;
        } else {
            EXPECT_TRUE(store.written.empty()) << c.what;
        }
    }
}

// First start of a Chinese installation whose user chose English last time.
TEST(LanguageTable, LastChoiceReplacesTheInstallationDefault) {
    FakeInstall install;
    install.Write("Language/sc.xml", LanguageFile("<str_ok>sc</str_ok>"));
    install.Write("Language/en.xml", LanguageFile("<str_ok>en</str_ok>"));
    CLanguageTable table;
    FakeProfile ini(1);
    FakeStore store;
    ChooseStartLanguage(table, install.Dir(), ini);
    const SwitchOutcome out = SwitchLanguage(table, install.Dir(), kStartupSwitch, 2, false, store);
    EXPECT_EQ(out.flagPicture, 143u);
    EXPECT_EQ(table.Text("str_ok"), u"en");
    EXPECT_FALSE(UiChinese());
    EXPECT_TRUE(InstallChinese());
    EXPECT_EQ(store.written, std::vector<uint32_t>{2});
    // Choosing the language already shown reloads it and writes the index again.
    SwitchLanguage(table, install.Dir(), 0, 2, true, store);
    EXPECT_EQ(store.written, (std::vector<uint32_t>{2, 2}));
}

TEST(LanguageTable, MessageFormatsAreFilledSafely) {
    struct Case {
        std::u16string format, arg, out;
    };
    const Case cases[] = {
        {u"Cannot find %s.", u"C:\\x", u"Cannot find C:\\x."},
        {u"No path here.", u"C:\\x", u"No path here."},
        {u"%s and %s", u"a", u"a and %s"},
        {u"%d %n %x%", u"a", u"%d %n %x%"},
        {u"100%% sure", u"", u"100% sure"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatMessageText(c.format, c.arg), c.out) << Utf16ToUtf8(c.format);
}

TEST(LanguageTable, ProfileIntegers) {
    struct Case {
        std::u16string text;
        int value;
    };
    const Case cases[] = {
        {u"[languagetype]\r\nvalue=1\r\n", 1},
        {u"[LanguageType]\nVALUE = 1", 1},
        {u"; note\n[other]\nvalue=1\n[languagetype]\nvalue=7abc\n", 7},
        {u"[languagetype]\nvalue=-2", -2},
        {u"[languagetype]\nvalue=x", 9},
        {u"[languagetype]\nother=1", 9},
        {u"value=1", 9},
        {u"", 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseProfileInt(c.text, u"languagetype", u"value", 9), c.value) << Utf16ToUtf8(c.text);
    }
    // Through the platform's reader, on a real file.
    FakeInstall install;
    install.Write("skins/languagetype.ini", "[languagetype]\r\nvalue=1\r\n");
    CProfileReader reader;
    EXPECT_EQ(reader.ReadInt(InstallPath(install.Dir(), u"skins\\languagetype.ini"), u"languagetype", u"value", 0), 1);
    EXPECT_EQ(reader.ReadInt(InstallPath(install.Dir(), u"skins\\missing.ini"), u"languagetype", u"value", 0), 0);
    const std::u16string shipped = InstallPath(AssetsDir(), u"skins\\languagetype.ini");
    EXPECT_EQ(reader.ReadInt(shipped, u"languagetype", u"value", 5), 0);
}

}  // namespace
}  // namespace n640
