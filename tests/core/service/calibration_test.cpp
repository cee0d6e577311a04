#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "service/Calibration.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(Levels, RegistersShowAndParseAsLevels) {
    EXPECT_EQ(levelText(0), "6.0");
    EXPECT_EQ(levelText(12), "0.0");
    EXPECT_EQ(levelText(23), "-5.5");
    EXPECT_EQ(levelText(24), "-6.0");

    struct Typed {
        const char* text;
        std::optional<int> reg; // nullopt: not a number
    };
    for (const Typed& t :
         {Typed{"1.3", 9}, Typed{"7", 0}, Typed{"-6.5", 24}, Typed{"0", 12}, Typed{"-.5", 13},
          Typed{"1.2.3", {}}, Typed{"", {}}, Typed{"-", {}}, Typed{".", {}}, Typed{"1-2", {}}}) {
        SCOPED_TRACE(t.text);
        const std::optional<double> level = parseLevel(t.text);
        ASSERT_EQ(level.has_value(), t.reg.has_value());
        if (level) {
            EXPECT_EQ(registerOfLevel(*level), *t.reg);
        }
    }
}

TEST(Levels, StepsAndTrackingStayInTheRegistersRange) {
    // A stored 30 loads as 24; "up" then lowers it to 23.
    EXPECT_EQ(stepRegister(loadedRegister(30), true), 23);
    EXPECT_EQ(stepRegister(0, true), 0);
    EXPECT_EQ(stepRegister(24, false), 24);

    EXPECT_EQ(trackedBalance(24, 12, 10), 20);
    EXPECT_EQ(trackedBalance(13, 12, 10), 10); // 10.83 truncated
    EXPECT_EQ(trackedBalance(5, 0, 7), 7);     // no reference: the balance reference
    EXPECT_EQ(trackedBalance(24, 10, 20), 24); // 48 would leave the range
    EXPECT_EQ(trackedBalance(0, 10, 20), 0);
}

TEST(ValueEdits, EnterCommitsAByteOrNothing) {
    struct Case {
        const char* text;
        std::optional<int> value;
        bool shown;
    };
    for (const Case& c : {Case{"300", 255, true}, Case{"", 0, true}, Case{"255", 255, false},
                          Case{"007", 7, false}, Case{"1.5", {}, false}, Case{"%", {}, false},
                          Case{"'", {}, false}, Case{"-1", {}, false}}) {
        SCOPED_TRACE(c.text);
        const auto committed = commitValueText(c.text);
        ASSERT_EQ(committed.has_value(), c.value.has_value());
        if (committed) {
            EXPECT_EQ(committed->value, *c.value);
            EXPECT_EQ(committed->shown, c.shown);
        }
    }
    EXPECT_TRUE(valueEditAccepts('%'));
    EXPECT_TRUE(valueEditAccepts('\''));
    EXPECT_FALSE(valueEditAccepts('-'));
}

TEST(ValueEdits, MicGainIsASignedGainInItsRange) {
    struct Case {
        const char* text;
        std::optional<int> gain;
    };
    for (const Case& c : {Case{"100", 30}, Case{"200", 30}, Case{"-20", -12}, Case{"-12", -12},
                          Case{"5", 5}, Case{"-", {}}, Case{"", {}}, Case{"1.5", {}}}) {
        SCOPED_TRACE(c.text);
        const auto committed = commitMicGainText(c.text);
        ASSERT_EQ(committed.has_value(), c.gain.has_value());
        if (committed) {
            EXPECT_EQ(committed->value, *c.gain);
        }
    }
    EXPECT_TRUE(micGainEditAccepts('-'));
}

TEST(RxOffset, NewOffsetFromTheAverageError) {
    EXPECT_EQ(adjustedRxOffset(10, -275), 15);
    EXPECT_EQ(adjustedRxOffset(10, -49), 10);
    EXPECT_EQ(adjustedRxOffset(120, -900), 127);
    EXPECT_EQ(adjustedRxOffset(-120, 900), -128);
    EXPECT_EQ(signedByte(255), -1);
    EXPECT_EQ(signedByte(128), -128);
}

class QM2200Image : public ::testing::Test {
protected:
    void SetUp() override { models.setModelByProductId(0x2200); }
    int address(int variable) const { return models.variableAddress(variable); }

    EEPROM image;
    TradioInfo models;
    BuildConfig config = BuildConfig::delivered();
};

TEST_F(QM2200Image, LoadingCorrectsValuesOutsideTheirRanges) {
    image.setByte(address(kVarMod), 30);
    image.setByte(address(kVarBal), 10);
    image.setByte(address(14), 0xB0); // Sql K -80
    image.setByte(address(26), 0xFF); // Rx ADC Offset -1
    image.setByte(address(kVarMicGain), 40);
    image.setByte(address(kVarMicGainRear), 5);
    image.setByte(address(kVarS1Cal), 200);
    const CalibrationValues v = loadCalibration(image, models);
    EXPECT_EQ(v.mod.value, 24);
    EXPECT_EQ(v.bal.value, 10);
    EXPECT_EQ(v.sqlSens.value, -80);
    EXPECT_EQ(v.rxOffset.value, -1);
    EXPECT_EQ(v.micGain1.value, 0);
    EXPECT_EQ(v.micGain2.value, 5);
    EXPECT_EQ(v.s1.value, 200);
    EXPECT_EQ(v.s1.address, 22);
    EXPECT_EQ(v.tune[1][2].address, 8); // T3-F2

    image.setByte(address(14), 81);
    EXPECT_EQ(loadCalibration(image, models).sqlSens.value, 0);
}

TEST_F(QM2200Image, ChannelsShowOneBankForLabelAndSlot) {
    const int table = address(kVarRxOnlyChannels);
    const auto record = [&](int slot, int code, const char* name) {
        image.setWord(table + 6 * slot, code);
        image.setPackedText(table + 6 * slot + 2, name);
    };
    record(4, 36'000, "ALPHA");  // 450 MHz
    record(44, 38'160, "BRAVO"); // 477 MHz
    record(20, 40'320, "DELTA"); // 504 MHz
    record(45, 0xFFFF, "EMPTY");
    image.setByte(address(kVarRxBank), 2);

    struct Case {
        int n;
        const char* bank;
        int number;
        std::uint32_t hz;
        const char* name;
        int slot;
    };
    for (const Case& c : {
             Case{1, "CB", 1, 476'425'000, "CB-01", -1},
             Case{40, "CB", 40, 477'400'000, "CB-40", -1},
             Case{41, "CB", 41, 476'437'500, "CB-41", -1},
             Case{80, "CB", 80, 477'412'500, "CB-80", -1},
             Case{85, "RX-C", 85, 477'000'000, "BRAVO", 44},  // Rx Bank 2
             Case{86, "RX-C", 86, 0, "", 45},                 // an erased slot is empty
             Case{101, "RX-B", 81, 504'000'000, "DELTA", 20}, // the number carries the bank
             Case{185, "RX-F", 85, 0, "", -1},                // past the table
             Case{0, "RX-A", 0, 0, "", -1},
         }) {
        SCOPED_TRACE(c.n);
        const ChannelView v = channelView(c.n, image, models, config);
        EXPECT_EQ(v.bank, c.bank);
        EXPECT_EQ(v.number, c.number);
        EXPECT_EQ(v.hz, c.hz);
        EXPECT_EQ(v.name, c.name);
        EXPECT_EQ(v.slot, c.slot);
    }

    image.setByte(address(kVarRxBank), 7); // no such bank: the first
    EXPECT_EQ(channelView(85, image, models, config).slot, 4);
}

} // namespace
} // namespace kav
