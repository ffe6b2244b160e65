#include "update/UpdateRules.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"
#include "testing/TempDir.h"

namespace n640 {
namespace {

TEST(UpdateRules, VersionNumbersReadLikeTheCLibrary) {
    struct Case {
        std::u16string text;
        uint32_t number;
    };
    const Case cases[] = {
        {u"17", 17}, {u"018", 18}, {u"", 0}, {u"V18", 0}, {u"12abc", 12}, {u" \n18\n", 18},
        {u"+5", 5}, {u"-1", 0xFFFFFFFFu}, {u"99999999999", 0x7FFFFFFFu}, {u"-99999999999", 0x80000000u},
    };
    for (const Case& c : cases) EXPECT_EQ(VersionNumber(c.text), c.number) << Utf16ToUtf8(c.text);
}

TEST(UpdateRules, OnlyAGreaterCurrentIsNewer) {
    struct Case {
        std::u16string current, firmware;
        bool newer;
    };
    const Case cases[] = {
        {u"18", u"17", true},  {u"17", u"17", false}, {u"12", u"17", false}, {u"V18", u"17", false},
        {u"1", u"", true},     // no mouse: anything from 1 on is offered
        {u"0", u"", false},    {u"", u"", false},     {u"100", u"99", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(c.current, c.firmware), c.newer)
            << Utf16ToUtf8(c.current) << " vs " << Utf16ToUtf8(c.firmware);
}

TEST(UpdateRules, DownloadAddressesMustBeHttpWithAHost) {
    struct Case {
        std::u16string address;
        bool accepted;
    };
    const Case cases[] = {
        {u"http://update.zentu.com/fw/ZentuGameDevice.bin", true},
        {u"HTTPS://127.0.0.1:8080/a.bin", true},
        {u"http://[::1]:80/a.bin", true},
        {u"file:///C:/x.bin", false},
        {u"\\\\server\\share\\x.bin", false},
        {u"C:\\x.bin", false},
        {u"ftp://host/x.bin", false},
        {u"http:///x.bin", false},
        {u"http://", false},
        {u"http://:80/x.bin", false},
        {u"http://host/a b.bin", false},
        {u"http://host\\x.bin", false},
        {u"http://evil@host/x.bin", false},
        {u"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsDownloadAddress(c.address), c.accepted) << Utf16ToUtf8(c.address);
}

TEST(UpdateRules, ImageCheckAgainstTheAnnouncedDigest) {
    const std::string image = "abc";
    EXPECT_EQ(CheckImage(u"", image), ImageCheck::NotAnnounced);
    EXPECT_EQ(CheckImage(u"  \n", image), ImageCheck::NotAnnounced);
    EXPECT_EQ(CheckImage(u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", image),
              ImageCheck::Matches);
    EXPECT_EQ(CheckImage(u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae", image),
              ImageCheck::Mismatch);
    EXPECT_EQ(CheckImage(u"not a digest", image), ImageCheck::Mismatch);
}

TEST(UpdateRules, DescriptionIsReadWithTheTwoLevelLookup) {
    testing::CTempDir dir;
    const std::string xml =
        "<?xml version=\"1.0\"?>\n<anyroot><firmware><current>18</current>"
        "<newfile>http://h/fw.bin</newfile><sha256>00ff</sha256></firmware></anyroot>";
    testing::WriteBytes(dir / "update.xml", xml.data(), xml.size());
    CXmlDocument doc;
    const UpdateDescription d = ReadUpdateDescription(doc, dir / "update.xml");
    EXPECT_EQ(d.current, u"18");
    EXPECT_EQ(d.newfile, u"http://h/fw.bin");
    EXPECT_EQ(d.sha256, u"00ff");

    const UpdateDescription missing = ReadUpdateDescription(doc, dir / "absent.xml");
    EXPECT_TRUE(missing.current.empty() && missing.newfile.empty() && missing.sha256.empty());
    // A truncated answer: the unclosed firmware element loses its children, so no version is read.
    EXPECT_TRUE(ReadUpdateDescriptionBytes(doc, "<r><firmware><current>19</current>").current.empty());
    // An error after the firmware element does not hide it.
    EXPECT_EQ(ReadUpdateDescriptionBytes(doc, "<r><firmware><current>19</current></firmware></x></r>").current,
              u"19");
    EXPECT_TRUE(ReadUpdateDescriptionBytes(doc, "<r><other><current>19</current></other></r>").current.empty());
}

TEST(UpdateRules, ServerSettingAndAddress) {
    EXPECT_EQ(UpdateServerFromIni(""), kDefaultUpdateServer);
    EXPECT_EQ(UpdateServerFromIni("[Other]\nHost=http://x\n"), kDefaultUpdateServer);
    EXPECT_EQ(UpdateServerFromIni("\xEF\xBB\xBF; test server\r\n[server]\r\nhost = http://127.0.0.1:8123 \r\n"),
              u"http://127.0.0.1:8123");
    EXPECT_EQ(UpdateServerFromIni("[Server]\nHost=127.0.0.1:9\n"), u"http://127.0.0.1:9");
    EXPECT_EQ(UpdateServerFromIni("[Server]\nHost=\n"), kDefaultUpdateServer);

    EXPECT_EQ(UpdateDescriptionAddress(u"http://127.0.0.1:8123"), u"http://127.0.0.1:8123/software/n640/update.xml");
    EXPECT_EQ(UpdateDescriptionAddress(u"http://h/"), u"http://h/software/n640/update.xml");

    testing::CTempDir dir;
    const UpdateFiles files = UpdateFilesIn(dir.path());
    EXPECT_EQ(ReadUpdateServer(files.serverSetting), kDefaultUpdateServer);
    const std::string ini = "[Server]\nHost=https://mirror.example\n";
    testing::WriteBytes(files.serverSetting, ini.data(), ini.size());
    EXPECT_EQ(ReadUpdateServer(files.serverSetting), u"https://mirror.example");
}

TEST(UpdateRules, FirmwareVersionTexts) {
    EXPECT_EQ(FirmwareVersionText(u""), u"Unknown");
    EXPECT_EQ(FirmwareVersionText(u"7"), u"V 0.0.7");
    EXPECT_EQ(FirmwareVersionText(u"17"), u"V 0.1.7");
    EXPECT_EQ(FirmwareVersionText(u"123"), u"V 1.2.3");
    EXPECT_EQ(FirmwareVersionText(u"1234"), u"V 12.3.4");
    EXPECT_EQ(FlashingToolParameter(false), u"0");
    EXPECT_EQ(FlashingToolParameter(true), u"1");
}

} // namespace
} // namespace n640
