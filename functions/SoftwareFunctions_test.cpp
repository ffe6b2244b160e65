#include "functions/SoftwareFunctions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "functions/FunctionModel.h"

namespace n640 {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

WindowRef Win(uintptr_t n) { return reinterpret_cast<WindowRef>(n); }

ProfileImage ImageWith(int input, uint32_t kind, std::u16string_view path, int type = kTypeSoftware) {
    ProfileImage image = ZeroProfileImage();
    for (int i = 0; i < kInputCount; ++i) image.buttons[i].type = kDefaultTypes[i];
    image.buttons[input].type = type;
    image.buttons[input].softKind = kind;
    SetSoftPath(image.buttons[input], path);
    return image;
}

class CRecordingShell final : public IShellActions {
public:
    void PlaySoundFile(const std::u16string& path) override { calls.push_back(u"sound:" + path); }
    void Open(const std::u16string& path) override { calls.push_back(u"open:" + path); }
    std::vector<std::u16string> calls;
};

class CRecordingPoster final : public IPoster {
public:
    struct Entry {
        WindowRef target;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        bool operator==(const Entry&) const = default;
    };
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        posted.push_back({target, message, wParam, lParam});
        return true;
    }
    std::vector<Entry> posted;
};

TEST(SoftwareFunctionInput, EachNativeEventMapsToItsInputAndTheLeftButtonToNone) {
    const struct {
        uint32_t code;
        int input;
    } cases[] = {
        {0x207, kInputMiddle},   {0x204, kInputRight},     {0x2020B, kInputForward}, {0x1020B, kInputBack},
        {0x20A01, kInputWheelUp}, {0x20A00, kInputWheelDown},
        {0x201, -1},  // the left button is never dispatched
        {0x202, -1},  {0x20B, -1}, {0x1020C, -1}, {0x20A, -1}, {0, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(InputOfEvent(c.code), c.input) << std::hex << c.code;
}

TEST(SoftwareFunctionQuoting, OnlyPathsWithABlankAreWrapped) {
    EXPECT_EQ(QuoteIfBlank(u"C:\\Music\\a.wav"), u"C:\\Music\\a.wav");
    EXPECT_EQ(QuoteIfBlank(u"C:\\My Music\\a b.wav"), u"\"C:\\My Music\\a b.wav\"");
    EXPECT_EQ(QuoteIfBlank(u" "), u"\" \"");
    EXPECT_EQ(QuoteIfBlank(u""), u"");
}

TEST(SoftwareFunctionAction, KindDecidesPlayOrOpenAndWhetherTheBlankRuleApplies) {
    const std::u16string spaced = u"C:\\Program Files\\Tool\\tool.exe";
    const struct {
        uint32_t kind;
        std::u16string_view path;
        SoftActionKind action;
        std::u16string_view passed;
    } cases[] = {
        {kSoftSound, u"C:\\My Sounds\\ding.wav", SoftActionKind::PlaySound, u"C:\\My Sounds\\ding.wav"},
        {kSoftProgram, spaced, SoftActionKind::Open, spaced},  // a program path is opened as it stands
        {kSoftFile, u"D:\\My Docs\\a.txt", SoftActionKind::Open, u"\"D:\\My Docs\\a.txt\""},
        {kSoftFolder, u"D:\\My Docs", SoftActionKind::Open, u"\"D:\\My Docs\""},
        {kSoftFolder, u"D:\\Docs", SoftActionKind::Open, u"D:\\Docs"},
        {0xB0, u"D:\\Docs", SoftActionKind::None, u""},
        {0, u"D:\\Docs", SoftActionKind::None, u""},
    };
    for (const auto& c : cases) {
        const SoftAction a = SoftwareActionFor(0x1020B, ImageWith(kInputBack, c.kind, c.path));
        EXPECT_EQ(a.kind, c.action) << std::hex << c.kind;
        EXPECT_EQ(a.path, c.passed) << std::hex << c.kind;
    }
}

TEST(SoftwareFunctionAction, NothingForAnEmptyPathAnotherTypeOrAnotherInput) {
    for (uint32_t kind : {kSoftSound, kSoftProgram, kSoftFile, kSoftFolder})
        EXPECT_EQ(SoftwareActionFor(0x20A01, ImageWith(kInputWheelUp, kind, u"")).kind, SoftActionKind::None);
    // The path of a record that is no longer a software function is left over, not acted on.
    EXPECT_EQ(SoftwareActionFor(0x20A01, ImageWith(kInputWheelUp, kSoftProgram, u"C:\\a.exe", kTypeScrollUp)).kind,
              SoftActionKind::None);
    // Wheel down is another input than wheel up.
    EXPECT_EQ(SoftwareActionFor(0x20A00, ImageWith(kInputWheelUp, kSoftProgram, u"C:\\a.exe")).kind,
              SoftActionKind::None);
    // A software function on the left button performs nothing for the left button's event.
    EXPECT_EQ(SoftwareActionFor(0x201, ImageWith(kInputLeft, kSoftProgram, u"C:\\a.exe")).kind, SoftActionKind::None);
}

TEST(SoftwareFunctionAction, AFullLengthPathWithoutTerminatorIsReadWithinItsField) {
    ProfileImage image = ImageWith(kInputMiddle, kSoftProgram, u"");
    for (char16_t& c : image.buttons[kInputMiddle].softPath) c = u'x';
    const SoftAction a = SoftwareActionFor(0x207, image);
    EXPECT_EQ(a.kind, SoftActionKind::Open);
    EXPECT_EQ(a.path, std::u16string(kPathChars, u'x'));
}

TEST(HookEventHandler, ForwardsEveryEventToStatisticsThenPerformsTheFunction) {
    const ProfileImage image = ImageWith(kInputBack, kSoftFile, u"C:\\a b.txt");
    CRecordingPoster poster;
    CRecordingShell shell;
    OnHookEvent(0x1020B, 5, image, poster, Win(3), shell);
    OnHookEvent(0x201, 0, image, poster, Win(3), shell);      // counted, not dispatched
    OnHookEvent(0x2020B, 0, image, poster, Win(3), shell);    // not a software function
    EXPECT_THAT(poster.posted, ElementsAre(CRecordingPoster::Entry{Win(3), msg::StatsMouseEvent, 0x1020B, 5},
                                           CRecordingPoster::Entry{Win(3), msg::StatsMouseEvent, 0x201, 0},
                                           CRecordingPoster::Entry{Win(3), msg::StatsMouseEvent, 0x2020B, 0}));
    EXPECT_THAT(shell.calls, ElementsAre(u"open:\"C:\\a b.txt\""));
}

TEST(HookEventHandler, WithoutAStatisticsPageOnlyTheFunctionRuns) {
    const ProfileImage image = ImageWith(kInputWheelDown, kSoftSound, u"C:\\ding.wav");
    CRecordingPoster poster;
    CRecordingShell shell;
    OnHookEvent(0x20A00, 0, image, poster, nullptr, shell);
    EXPECT_THAT(poster.posted, IsEmpty());
    EXPECT_THAT(shell.calls, ElementsAre(u"sound:C:\\ding.wav"));
    // A wParam wider than an event code names no input, even when its low half would.
    shell.calls.clear();
    if constexpr (sizeof(uintptr_t) > 4) {
        OnHookEvent(static_cast<uintptr_t>(0x20A00) | (static_cast<uintptr_t>(1) << 32), 0, image, poster, nullptr,
                    shell);
        EXPECT_THAT(shell.calls, IsEmpty());
    }
}

} // namespace
} // namespace n640
