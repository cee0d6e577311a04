#include "sim/CommandResponder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kav {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A QM2200 with a recognisable EEPROM and a non-default state, so every field of a reply
// shows where it came from.
CommandResponder makeRadio() {
    CommandResponder radio(0x2200);
    for (int a = 2; a < EEPROM::kImageSize; ++a) {
        radio.eeprom().setByte(a, a & 0xFF);
    }
    RadioState& s = radio.state();
    s.radioType = "QM2200-TEST";
    s.firmwareMajor = 2;
    s.firmwareMinor = 5;
    s.status = 0x21;
    s.adc = {10, 11, 12, 13, 14, 15, 16, 17};
    s.frequencyError = -300; // 0xFED4
    s.arrayValues = {0, 1, 2, -16, 4, 5, 6, 7};
    s.radioId = {1, 2, 3, 4, 5, 6, 7, 8};
    s.channel = 40;
    s.audioSamples = {0x0102, -2};
    radio.setRamByte(0x1234, 0x5A);
    return radio;
}

Bytes range(int from, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out.push_back(static_cast<std::uint8_t>(from + i));
    }
    return out;
}

Bytes cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Case {
    const char* name;
    Bytes request; // as sent by the program, direction bit set
    Bytes reply;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ResponderReplies : public ::testing::TestWithParam<Case> {};

TEST_P(ResponderReplies, AnswersWithTheExpectedPayload) {
    CommandResponder radio = makeRadio();
    EXPECT_EQ(radio.respond(GetParam().request), GetParam().reply);
}

const Bytes kTypeText = {'Q', 'M', '2', '2', '0', '0', '-', 'T', 'E', 'S', 'T', 0};

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, ResponderReplies,
    ::testing::Values(
        Case{"Version", {0x80}, {0x00, 2, 5}}, Case{"RadioType", {0xBA}, cat({0x3A}, kTypeText)},
        Case{"EnterProgMode", {0xB9}, {0x39}}, Case{"Reset", {0xBF}, {0x3F}},
        Case{"BaudRate38400", {0xBB, 0x00, 0x96, 0x00}, {0x3B, 0x00, 0x96, 0x00}},
        Case{"BaudRateUnsupported", {0xBB, 0x00, 0x4B, 0x01}, {0x7B}},
        Case{"ProductIdWord", {0x82, 0x00, 0x00}, {0x02, 0x00, 0x00, 0x22, 0x00}},
        Case{"ReadByte", {0x81, 0x01, 0x23}, {0x01, 0x01, 0x23, 0x23}},
        Case{"ReadWordLastAddress", {0x82, 0x07, 0xFE}, {0x02, 0x07, 0xFE, 0xFE, 0xFF}},
        Case{"ReadByteOutside", {0x81, 0x08, 0x00}, {0x41}},
        Case{"Read16", {0x83, 0x00, 0x10}, cat({0x03, 0x00, 0x10}, range(0x10, 16))},
        Case{"Read16PastEnd", {0x83, 0x07, 0xF8}, {0x43}},
        Case{
            "ReadBlock128", {0x8B, 0x01, 0x00, 0x80}, cat({0x0B, 0x01, 0x00, 0x80}, range(0, 128))},
        Case{"ReadBlockClippedAtEnd",
             {0x8B, 0x07, 0xFC, 0x80},
             {0x0B, 0x07, 0xFC, 4, 0xFC, 0xFD, 0xFE, 0xFF}},
        Case{"ReadBlockFitsOneFrame",
             {0x8B, 0x00, 0x00, 0xFF},
             cat({0x0B, 0, 0, 251}, cat({0x22, 0x00}, range(2, 249)))},
        Case{"WriteByte", {0xA1, 0x00, 0x10, 0x55}, {0x21}},
        Case{"WriteWord", {0xA2, 0x00, 0x10, 0x55, 0x66}, {0x22}},
        Case{"Write16", cat({0xA3, 0x00, 0x20}, range(0, 16)), {0x23}},
        Case{"Write16PastEnd", cat({0xA3, 0x07, 0xF1}, range(0, 16)), {0x63}},
        Case{"WriteBlock", cat({0xAB, 0x00, 0x40, 4}, range(9, 4)), {0x2B}},
        Case{"WriteBlockShort", cat({0xAB, 0x00, 0x40, 5}, range(9, 4)), {0x6B}},
        Case{"GetChannel", {0x84}, {0x04, 40}}, Case{"StepUp", {0xA9}, {0x29, 41}},
        Case{"StepDown", {0xAA}, {0x2A, 39}}, Case{"SetChannel", {0xA4, 7}, {0x24}},
        Case{"GetStatus", {0x85}, {0x05, 0x21}}, Case{"SetRfPower", {0xA5, 2, 2}, {0x25}},
        Case{"SetPtt", {0xA6, 1}, {0x26}}, Case{"SetSquelchLevel", {0xA7, 9}, {0x27}},
        Case{"SetVolume", {0xAF, 31}, {0x2F}}, Case{"SetTestMode", {0xB8, 1}, {0x38}},
        Case{"ReadRadioId", {0x8C}, {0x0C, 1, 2, 3, 4, 5, 6, 7, 8}},
        Case{"WriteRadioId", {0xAC, 8, 7, 6, 5, 4, 3, 2, 1}, {0x2C}},
        Case{"MemRead", {0xB4, 0x01, 0x12, 0x34}, {0x34, 0x00, 0x12, 0x34, 0x5A}},
        Case{"GetArrayOne", {0xB4, 0x07, 3}, {0x34, 0x00, 3, 0xF0}},
        Case{"GetArrayAll", {0xB4, 0x07, 0xFF}, {0x34, 0x00, 0xFF, 0, 1, 2, 0xF0, 4, 5, 6, 7}},
        Case{"GetArrayBadIndex", {0xB4, 0x07, 8}, {0x34, 0x01, 8}},
        Case{"ReadAdc", {0xB4, 0x08, 4}, {0x34, 0x00, 4, 14}},
        Case{"ReadAdcBadChannel", {0xB4, 0x08, 8}, {0x34, 0x01, 8}},
        Case{"MemWrite", {0xB4, 0x81, 0x12, 0x34, 0xFF, 0x0F}, {0x34, 0x00}},
        Case{"SelcallTone", {0xB4, 0x82, 3}, {0x34, 0x00}},
        Case{"CtcssTone", {0xB4, 0x83, 3}, {0x34, 0x00}},
        Case{"WriteLcd", cat({0xB4, 0x84}, range(0x30, 10)), {0x34, 0x00}},
        Case{"SquelchOpen", {0xB4, 0x86, 1}, {0x34, 0x00}},
        Case{"SetPll", {0xB4, 0x88, 0x9A, 0x2C}, {0x34, 0x00}},
        Case{"AutoAlign", {0xB4, 0x89, 1, 2, 3, 4}, {0x34, 0x00}},
        Case{"Beep", {0xB4, 0x8A, 0x03, 0x70}, {0x34, 0x00}},
        Case{"AudioSamples", {0xB4, 0x8B, 3}, {0x34, 0x01, 0x02, 0xFF, 0xFE, 0x01, 0x02}},
        Case{"FrequencyError", {0xB4, 0x8C}, {0x34, 0x00, 0xD4, 0xFE}},
        Case{"Mode", {0xB4, 0x8D, 0x04}, {0x34, 0x00}},
        Case{"UnknownEngineering", {0xB4, 0x55}, {0x74}}, Case{"UnknownCommand", {0x9E}, {0x5E}},
        Case{"TooShort", {0x81, 0x00}, {0x41}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(CommandResponderTest, IgnoresBytesThatAreNoRequest) {
    CommandResponder radio = makeRadio();
    EXPECT_TRUE(radio.respond(Bytes{}).empty());
    EXPECT_TRUE(radio.respond(Bytes{0x00}).empty()); // a reply, direction bit clear
}

TEST(CommandResponderTest, VersionSuffixAndRadioTypeOfSixteenCharacters) {
    CommandResponder radio = makeRadio();
    radio.state().firmwareMajor = 0x10;
    radio.state().firmwareLetter = 'B';
    radio.state().radioType = "ABCDEFGHIJKLMNOPQRS";
    EXPECT_EQ(radio.respond(Bytes{0x80}), (Bytes{0x00, 0x10, 5, 'B'}));
    const Bytes type = radio.respond(Bytes{0xBA});
    ASSERT_EQ(type.size(), 17u); // no NUL after the sixteenth character
    EXPECT_EQ(std::string(type.begin() + 1, type.end()), "ABCDEFGHIJKLMNOP");
}

TEST(CommandResponderTest, WritesChangeTheEepromAndReadBack) {
    CommandResponder radio = makeRadio();
    radio.respond(Bytes{0xA1, 0x00, 0x10, 0x55});
    radio.respond(Bytes{0xA2, 0x07, 0xFE, 0x12, 0x34});
    radio.respond(cat({0xA3, 0x01, 0x00}, range(0xA0, 16)));
    radio.respond(cat({0xAB, 0x02, 0x00, 128}, range(0x80, 128)));
    EXPECT_EQ(radio.eeprom().getByte(0x10), 0x55);
    EXPECT_EQ(radio.eeprom().getWord(0x7FE), 0x1234);
    EXPECT_EQ(radio.respond(Bytes{0x83, 0x01, 0x00}), cat({0x03, 0x01, 0x00}, range(0xA0, 16)));
    for (int i = 0; i < 128; ++i) {
        ASSERT_EQ(radio.eeprom().getByte(0x200 + i), 0x80 + i) << i;
    }
    EXPECT_EQ(radio.eeprom().getByte(0x280), 0x80); // untouched past the block
}

TEST(CommandResponderTest, RefusedWritesLeaveTheEepromAlone) {
    CommandResponder radio = makeRadio();
    const EEPROM before = radio.eeprom();
    radio.respond(cat({0xA3, 0x07, 0xF1}, range(0, 16)));
    radio.respond(Bytes{0xA2, 0x07, 0xFF, 1, 2});
    EXPECT_TRUE(std::equal(before.bytes(), before.bytes() + before.size(), radio.eeprom().bytes()));
}

TEST(CommandResponderTest, ProgrammingModeAndReset) {
    CommandResponder radio = makeRadio();
    radio.state().writesNeedProgMode = true;
    EXPECT_EQ(radio.respond(Bytes{0xA1, 0x00, 0x10, 0x55}), Bytes{0x61});
    EXPECT_EQ(radio.eeprom().getByte(0x10), 0x10);

    radio.respond(Bytes{0xB9});
    EXPECT_TRUE(radio.state().progMode);
    EXPECT_EQ(radio.respond(Bytes{0xA1, 0x00, 0x10, 0x55}), Bytes{0x21});
    EXPECT_EQ(radio.eeprom().getByte(0x10), 0x55);

    radio.respond(Bytes{0xBF});
    EXPECT_FALSE(radio.state().progMode);
    EXPECT_EQ(radio.state().resets, 1);
    EXPECT_EQ(radio.respond(Bytes{0xA1, 0x00, 0x10, 0x66}), Bytes{0x61});
}

TEST(CommandResponderTest, ControlCommandsUpdateTheState) {
    CommandResponder radio = makeRadio();
    radio.respond(Bytes{0xBB, 0x00, 0x96, 0x00});
    radio.respond(Bytes{0xA4, 80});
    radio.respond(Bytes{0xA9}); // 80 wraps to 1
    radio.respond(Bytes{0xA6, 2});
    radio.respond(Bytes{0xAF, 17});
    radio.respond(Bytes{0xB4, 0x81, 0x12, 0x34, 0xA5, 0x0F});
    radio.respond(Bytes{0xB4, 0x88, 0x9A, 0x2C});
    radio.respond(Bytes{0xB4, 0x8D, 0x02});
    radio.respond(Bytes{0xAC, 8, 7, 6, 5, 4, 3, 2, 1});
    const RadioState& s = radio.state();
    EXPECT_EQ(s.baudRate, 38400u);
    EXPECT_EQ(s.channel, 1);
    EXPECT_EQ(s.ptt, 2);
    EXPECT_EQ(s.volume, 17);
    EXPECT_EQ(radio.ramByte(0x1234), 0x55); // high nibble kept, low nibble from the data
    EXPECT_EQ(s.pllSteps, 0x9A2C);
    EXPECT_EQ(s.modeBits, 0x02);
    EXPECT_EQ(radio.respond(Bytes{0x8C}), (Bytes{0x0C, 8, 7, 6, 5, 4, 3, 2, 1}));
    radio.respond(Bytes{0xAA}); // 1 wraps to 80
    EXPECT_EQ(s.channel, 80);
}

TEST(CommandResponderTest, DirectionBitQuirkOnStatusAndStepReplies) {
    CommandResponder radio = makeRadio();
    radio.state().directionBitOnStatusReplies = true;
    EXPECT_EQ(radio.respond(Bytes{0x85})[0], 0x85);
    EXPECT_EQ(radio.respond(Bytes{0xA9})[0], 0xA9);
    EXPECT_EQ(radio.respond(Bytes{0xAA})[0], 0xAA);
    EXPECT_EQ(radio.respond(Bytes{0x84})[0], 0x04);
}

TEST(CommandResponderTest, AudioSamplesAreClampedTo126) {
    CommandResponder radio = makeRadio();
    EXPECT_EQ(radio.respond(Bytes{0xB4, 0x8B, 200}).size(), 1u + 2 * 126);
}

} // namespace
} // namespace kav
