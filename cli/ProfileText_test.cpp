#include "cli/ProfileText.h"

#include <gtest/gtest.h>

#include "functions/FunctionModel.h"

namespace n640::cli {
namespace {

TEST(ProfileText, ColoursAreRedInTheLowByte) {
    EXPECT_EQ(ColourText(0x000000FF), "#FF0000");
    EXPECT_EQ(ColourText(0x00FF8000), "#0080FF");
    EXPECT_EQ(ParseColour("#0080ff"), 0x00FF8000u);
    for (const char* bad : {"0080FF", "#0080F", "#0080FG", "#0080FF0", ""}) EXPECT_FALSE(ParseColour(bad)) << bad;
}

TEST(ProfileText, InputsByNumberOrName) {
    EXPECT_EQ(ParseInput("0"), 0);
    EXPECT_EQ(ParseInput("wheel-down"), 6);
    EXPECT_EQ(ParseInput("Back"), 4);
    EXPECT_FALSE(ParseInput("7"));
    EXPECT_FALSE(ParseInput("thumb"));
}

TEST(ProfileText, FunctionOperands) {
    struct Case {
        const char* text;
        int input;
        ChoiceKind kind;
        uint32_t value;
    };
    const Case cases[] = {
        {"Volume up", 3, ChoiceKind::Function, kTypeVolumeUp},
        {"volume-up", 3, ChoiceKind::Function, kTypeVolumeUp},
        {"SNIPE", 4, ChoiceKind::Function, kTypeSnipe},
        {"Ctrl+Shift+C", 3, ChoiceKind::Combination, 0x00060300},
        {"shift", 3, ChoiceKind::Combination, 0x00E10000},
        {"F5", 3, ChoiceKind::Combination, 0x003E0000},
        {"macro:0x15000042", 2, ChoiceKind::Macro, 0x15000042},
        {"disable", 1, ChoiceKind::Disable, 7},
        {"default", 6, ChoiceKind::Function, 22},
        {"program:/usr/bin/true", 4, ChoiceKind::Software, 0x00D40006},
        {"folder:/tmp", 0, ChoiceKind::Software, 0x00F00006},
    };
    for (const auto& c : cases) {
        const FunctionChoice f = ParseFunction(c.input, c.text);
        ASSERT_EQ(f.error, "") << c.text;
        EXPECT_EQ(f.result.kind, c.kind) << c.text;
        EXPECT_EQ(f.result.value, c.value) << c.text;
    }
    for (const char* bad : {"Ctrl+Alt", "Ctrl+Nokey", "A+B", "macro:", "macro:xyz", "sound:", "warp:x"}) {
        EXPECT_NE(ParseFunction(0, bad).error, "") << bad;
    }
}

TEST(ProfileText, Numbers) {
    EXPECT_EQ(ParseNumber("30", 1, 30), 30);
    EXPECT_EQ(ParseNumber("0x1F", 0, 100, true), 31);
    for (const char* bad : {"", "31", "0", "1a", "-", "0x1F", "99999999999999999999999"}) {
        EXPECT_FALSE(ParseNumber(bad, 1, 30)) << bad;
    }
}

} // namespace
} // namespace n640::cli
