#include "device/HidDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/sim/SimulatedMouse.h"

namespace n640 {
namespace {

// Parses from an exact-size heap copy, so that a read past the end is caught by the sanitizer.
HidDescriptorInfo Parse(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> copy(bytes);
    return ParseReportDescriptor(copy.data(), copy.size());
}

// A keyboard with report ids: keys (id 1), LEDs as output bits (id 1), a consumer control
// (id 2, a 16-bit array), and a vendor feature with two usages over four fields (id 3).
const std::vector<uint8_t> kKeyboardWithIds = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01,
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x95, 0x05, 0x75, 0x01, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01,
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x15, 0x00, 0x25, 0x65, 0x75, 0x08, 0x95, 0x06, 0x81, 0x00,
    0xC0,
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x19, 0x00, 0x2A, 0x3C, 0x02, 0x15, 0x00,
    0x26, 0x3C, 0x02, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x09, 0x10, 0x09, 0x11, 0x75, 0x08, 0x95, 0x04,
    0xB1, 0x02, 0xC0,
};

TEST(HidDescriptor, BootMouseHasInputValuesAndNoFeatures) {
    const HidDescriptorInfo info = Parse(SimBootMouseDescriptor());
    ASSERT_TRUE(info.ok);
    EXPECT_FALSE(info.usesReportIds);
    EXPECT_TRUE(info.featureValueCaps.empty());
    // Buttons are one-bit fields and the padding is constant: only X, Y and the wheel remain,
    // the last usage taking the remaining field.
    ASSERT_EQ(info.inputValueCaps.size(), 3u);
    EXPECT_EQ(info.inputValueCaps[0].usagePage, 0x01);
    EXPECT_EQ(info.inputValueCaps[0].usage, 0x30);
    EXPECT_EQ(info.inputValueCaps[2].usage, 0x38);
    EXPECT_EQ(info.inputValueCaps[2].reportCount, 1);
    EXPECT_EQ(info.inputValueCaps[2].bitSize, 8);
}

TEST(HidDescriptor, KeyboardWithReportIds) {
    const HidDescriptorInfo info = Parse(kKeyboardWithIds);
    ASSERT_TRUE(info.ok);
    EXPECT_TRUE(info.usesReportIds);
    EXPECT_TRUE(info.inputValueCaps.empty());   // key arrays and bits are buttons
    EXPECT_TRUE(info.outputValueCaps.empty());  // LEDs are bits
    ASSERT_EQ(info.featureValueCaps.size(), 2u);
    EXPECT_EQ(info.featureValueCaps[0].usagePage, 0xFF00);
    EXPECT_EQ(info.featureValueCaps[0].usage, 0x10);
    EXPECT_EQ(info.featureValueCaps[0].reportCount, 1);
    EXPECT_EQ(info.featureValueCaps[1].usage, 0x11);
    EXPECT_EQ(info.featureValueCaps[1].reportCount, 3);
    EXPECT_EQ(info.featureValueCaps[1].reportId, 3);
}

TEST(HidDescriptor, VendorInterfaceOfTheMouse) {
    const HidDescriptorInfo info = Parse(SimVendorDescriptor());
    ASSERT_TRUE(info.ok);
    ASSERT_EQ(info.featureValueCaps.size(), 1u);
    const HidValueCap& cap = info.featureValueCaps[0];
    EXPECT_EQ(cap.usagePage, 0xFF01);
    EXPECT_EQ(cap.usage, 0x22);
    EXPECT_FALSE(cap.isRange);
    EXPECT_EQ(cap.reportId, kSimReportId);
    EXPECT_EQ(cap.reportCount, kSimFeatureReportCount);
    ASSERT_EQ(info.outputValueCaps.size(), 1u);
    EXPECT_EQ(info.outputValueCaps[0].usage, 0x23);
    EXPECT_EQ(info.outputValueCaps[0].reportCount, 32);
}

TEST(HidDescriptor, PushPopRangesAndExtendedUsages) {
    const std::vector<uint8_t> d = {
        0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,
        0x85, 0x05, 0x75, 0x08,
        0xA4,                                // push (page FF01, id 5, size 8)
        0x05, 0x0C, 0x85, 0x06, 0x75, 0x10,  // page 0x0C, id 6, size 16
        0x19, 0x10, 0x29, 0x13, 0x95, 0x04, 0xB1, 0x02,  // a range of four
        0xB4,                                // pop
        0x0B, 0x22, 0x00, 0x01, 0xFF,        // extended usage FF01:0022
        0x95, 0x07, 0xB1, 0x02,
        0xC0,
    };
    const HidDescriptorInfo info = Parse(d);
    ASSERT_TRUE(info.ok);
    ASSERT_EQ(info.featureValueCaps.size(), 2u);
    const HidValueCap& range = info.featureValueCaps[0];
    EXPECT_TRUE(range.isRange);
    EXPECT_EQ(range.usagePage, 0x0C);
    EXPECT_EQ(range.usage, 0x10);
    EXPECT_EQ(range.usageMax, 0x13);
    EXPECT_EQ(range.reportId, 6);
    EXPECT_EQ(range.bitSize, 16);
    const HidValueCap& after = info.featureValueCaps[1];
    EXPECT_EQ(after.usagePage, 0xFF01);
    EXPECT_EQ(after.usage, 0x22);
    EXPECT_EQ(after.reportId, 5);   // restored by the pop
    EXPECT_EQ(after.bitSize, 8);
    EXPECT_EQ(after.reportCount, 7);
}

TEST(HidDescriptor, LongItemsAreSkipped) {
    std::vector<uint8_t> d = {0xFE, 0x03, 0x10, 0xAA, 0xBB, 0xCC};
    d.insert(d.end(), SimVendorDescriptor().begin(), SimVendorDescriptor().end());
    const HidDescriptorInfo info = Parse(d);
    EXPECT_TRUE(info.ok);
    EXPECT_EQ(info.featureValueCaps.size(), 1u);
}

TEST(HidDescriptor, MalformedDescriptorsAreRejectedWithoutReadingPastTheEnd) {
    const std::vector<uint8_t> vendor = SimVendorDescriptor();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"four-byte item cut after one byte", {0x06, 0x01, 0xFF, 0x0B, 0x22}},
        {"two-byte item cut", {0x06, 0x01}},
        {"long item cut in its header", {0x06, 0x01, 0xFF, 0xFE, 0x10}},
        {"long item cut in its data", {0xFE, 0x10, 0x00, 0x01, 0x02}},
        {"pop without push", {0xB4}},
        {"end collection without collection", {0xC0}},
        {"collection never closed", {0x06, 0x01, 0xFF, 0xA1, 0x01, 0x09, 0x22, 0x75, 0x08, 0x95, 0x08, 0xB1, 0x02}},
        {"report id 0", {0x85, 0x00}},
        {"huge report count", {0x06, 0x01, 0xFF, 0x09, 0x22, 0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0x7F, 0xB1, 0x02}},
        {"huge report size", {0x09, 0x22, 0x77, 0x00, 0x00, 0x01, 0x00, 0x95, 0x01, 0xB1, 0x02}},
        {"vendor descriptor cut before its end", std::vector<uint8_t>(vendor.begin(), vendor.end() - 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Parse(c.bytes).ok);
    }
    // Every prefix of a good descriptor parses safely; only the whole one is complete.
    for (size_t n = 0; n < vendor.size(); ++n) {
        const HidDescriptorInfo info = Parse(std::vector<uint8_t>(vendor.begin(), vendor.begin() + n));
        EXPECT_TRUE(info.featureValueCaps.empty() || info.featureValueCaps[0].usage == 0x22);
    }
    EXPECT_TRUE(ParseReportDescriptor(nullptr, 10).featureValueCaps.empty());
}

TEST(HidDescriptor, HostileRepetitionStaysBounded) {
    // Thousands of usages before one field, and pushes far beyond any real descriptor.
    std::vector<uint8_t> usages;
    for (int i = 0; i < 5000; ++i) usages.insert(usages.end(), {0x09, 0x22});
    EXPECT_FALSE(Parse(usages).ok);
    std::vector<uint8_t> pushes(100, 0xA4);
    EXPECT_FALSE(Parse(pushes).ok);
    // Many fields under one count: the caps list stops growing at the bound.
    std::vector<uint8_t> fields = {0x75, 0x08, 0x95, 0x01};
    for (size_t i = 0; i < kHidMaxValueCaps + 10; ++i) fields.insert(fields.end(), {0x09, 0x22, 0xB1, 0x02});
    const HidDescriptorInfo info = Parse(fields);
    EXPECT_FALSE(info.ok);
    EXPECT_EQ(info.featureValueCaps.size(), kHidMaxValueCaps);
}

} // namespace
} // namespace n640
