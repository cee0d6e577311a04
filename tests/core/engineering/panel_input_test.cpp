#include "engineering/PanelInput.h"

#include <gtest/gtest.h>
#include <optional>

namespace kav {
namespace {

TEST(PanelInput, FieldsOutsideTheirRangeAreRefused) {
    struct Case {
        const char* text;
        FieldRule rule;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"ffff", kMemAddress, 0xFFFF},
        {"10000", kMemAddress, std::nullopt},
        {"0F", kMemData, 0x0F},
        {"100", kMemData, std::nullopt},
        {"zz", kMemMask, std::nullopt},
        {"", kMemAddress, std::nullopt},
        {" 16 ", kAlignStep, 16},
        {"256", kAlignStop, std::nullopt},
        {"-1", kAlignStart, std::nullopt},
        {"65535", kArrayAddress, 65535},
        {"128", kArrayCount, 128},
        {"129", kArrayCount, std::nullopt},
        {"0", kArrayCount, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readField(c.text, c.rule), c.value) << c.rule.name << " \"" << c.text << '"';
    }
    EXPECT_EQ(fieldError("10000", kMemAddress),
              "Addr: \"10000\" is not a hexadecimal number from 0 to FFFF; nothing was sent.");
}

TEST(PanelInput, FrequencyStaysWithinWhatTheStepCountCarries) {
    EXPECT_EQ(steppedFrequency(504000000, 10000000, 1), 514000000);
    EXPECT_EQ(pllSteps(514000000), 41120);
    EXPECT_EQ(steppedFrequency(450000000, 12500, -1), 449987500);
    EXPECT_EQ(steppedFrequency(815000000, 10000000, 1), kMaxFrequencyHz);
    EXPECT_EQ(pllSteps(kMaxFrequencyHz), 0xFFFF);
    EXPECT_EQ(steppedFrequency(5000000, 10000000, -1), 0);
}

TEST(PanelInput, DisplayFields) {
    EXPECT_EQ(iconMask("1A2"), 0x1A2);
    EXPECT_EQ(iconMask("ZZ"), 0);
    EXPECT_EQ(iconMask(""), 0);
    EXPECT_EQ(displayText("8", 2), "8 ");
    EXPECT_EQ(displayText("ALPHABET", 5), "ALPHA");
}

TEST(PanelInput, PacketText) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(packetBytes("26 01"), (Bytes{0x26, 0x01}));
    EXPECT_EQ(packetBytes("34-89-0f"), (Bytes{0x34, 0x89, 0x0F}));
    EXPECT_EQ(packetBytes(std::string(59, '1'))->size(), 20U);
    EXPECT_EQ(packetBytes("1"), std::nullopt); // no whole byte: an empty payload
    EXPECT_EQ(packetBytes(""), std::nullopt);
    EXPECT_EQ(packetBytes("26 0G"), std::nullopt);
    EXPECT_EQ(packetBytes("-1 00"), std::nullopt);
}

TEST(PanelInput, RadioIdNeedsSixteenHexDigits) {
    const auto id = radioIdBytes("0123456789abcdef");
    ASSERT_TRUE(id);
    EXPECT_EQ(radioIdText(*id), "0123456789ABCDEF");
    EXPECT_EQ(radioIdBytes("0123456789ABCDE"), std::nullopt);
    EXPECT_EQ(radioIdBytes("0123456789ABCDEG"), std::nullopt);
    EXPECT_EQ(radioIdBytes("-123456789ABCDEF"), std::nullopt);
}

TEST(PanelInput, ArrayReadReport) {
    const std::uint8_t bytes[] = {0x00, 0x7F, 0xA5};
    EXPECT_EQ(arrayReadText(bytes, 3), "Got 3 bytes\n 00 7F A5");
}

} // namespace
} // namespace kav
