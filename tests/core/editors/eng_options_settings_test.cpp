#include "editors/EngOptionsSettings.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kav {
namespace {

constexpr int kOptions2 = 33;
constexpr int kOptions5 = 36;

TEST(Deviation, HzAndRegistersConvertRoundedHalfUp) {
    EXPECT_EQ(deviationHz(122), 500);
    EXPECT_EQ(deviationHz(255), 1046);
    EXPECT_EQ(deviationHz(0), 0);
    struct Case {
        std::string text;
        std::optional<int> reg;
    };
    for (const Case& c : {
             Case{"500", 122},
             Case{"0", 0},
             Case{"1200", 255},
             Case{"9999", 255},
             Case{"0000500", 122},
             Case{"99999999999999999999999", 255}, // saturates, no overflow
             Case{"", std::nullopt},
             Case{"12a", std::nullopt},
             Case{"-5", std::nullopt},
         }) {
        EXPECT_EQ(deviationRegisterOf(c.text), c.reg) << '"' << c.text << '"';
    }
}

class EngOptionsTest : public ::testing::Test {
protected:
    void model(std::uint32_t id) { models.setModelByProductId(id); }
    int var(int v) const { return image.getByte(models.variableAddress(v)); }
    void setVar(int v, int value) { image.setByte(models.variableAddress(v), value); }

    EEPROM image;
    TradioInfo models;
};

// Every field changed and stored comes back on the next load; the option bytes keep their
// other bits.
TEST_F(EngOptionsTest, RoundTripChangesOnlyItsOwnBits) {
    model(0x2200);
    setVar(kOptions2, 0x6F); // bit 4 clear: TX on receive-only allowed
    setVar(kOptions5, 0x55);
    const BuildConfig eng = BuildConfig::engineering();
    EngOptionsSettings s = loadEngOptions(image, models, eng, 2);
    ASSERT_TRUE(s.txOnRxOnlyShown);
    ASSERT_TRUE(s.ctcss38ExtShown);
    ASSERT_TRUE(s.thresholdsShown);
    EXPECT_TRUE(s.txOnRxOnly);
    EXPECT_TRUE(s.ctcss535);
    EXPECT_TRUE(s.ctcss38Ext);
    s.txOnRxOnly = false;
    s.ctcss535 = false;
    s.ctcss38Ext = false;
    s.rpkDelay = 30;
    s.silentTail = 7;
    s.ctcssDeviation = 122;
    s.dcsDeviation = 0;
    for (int i = 0; i < kSquelchThresholds; ++i) {
        s.thresholds[static_cast<std::size_t>(i)] = 20 * i + 3;
    }
    storeEngOptions(s, image, models);
    EXPECT_EQ(var(kOptions2), 0x7F);
    EXPECT_EQ(var(kOptions5), 0xD7);
    const EngOptionsSettings again = loadEngOptions(image, models, eng, 2);
    EXPECT_EQ(again.options, (std::array<int, 6>{var(32), 0x7F, var(34), var(35), 0xD7, var(37)}));
    EXPECT_FALSE(again.txOnRxOnly);
    EXPECT_FALSE(again.ctcss535);
    EXPECT_FALSE(again.ctcss38Ext);
    EXPECT_EQ(again.rpkDelay, 30);
    EXPECT_EQ(again.silentTail, 7);
    EXPECT_EQ(again.ctcssDeviation, 122);
    EXPECT_EQ(again.dcsDeviation, 0);
    EXPECT_EQ(again.thresholds, s.thresholds);
}

// Options-5 = 0x02: an untouched OK with the 38-tone box hidden (QM2200, firmware 3) keeps the
// tone numbering as loaded instead of writing 0x82. Outside an engineering build the TX bit
// stays as it was too.
TEST_F(EngOptionsTest, HiddenBoxesKeepTheirBits) {
    model(0x2200);
    setVar(kOptions5, 0x02);
    setVar(kOptions2, 0x10);
    const EngOptionsSettings s = loadEngOptions(image, models, BuildConfig::delivered(), 3);
    EXPECT_FALSE(s.ctcss38ExtShown);
    EXPECT_FALSE(s.txOnRxOnlyShown);
    EXPECT_FALSE(s.ctcss535);
    EngOptionsSettings untouched = s;
    untouched.ctcss38Ext = false; // whatever the hidden box was last left in
    untouched.txOnRxOnly = true;
    storeEngOptions(untouched, image, models);
    EXPECT_EQ(var(kOptions5), 0x02);
    EXPECT_EQ(var(kOptions2), 0x10);
    EXPECT_TRUE(loadEngOptions(image, models, BuildConfig::delivered(), 2).ctcss38ExtShown);
}

// QM3100: the thresholds are neither shown nor stored; a byte out of an up-down's range loads
// as the nearest value it can show.
TEST_F(EngOptionsTest, ModelsThatHideTheSquelchLevelKeepTheThresholds) {
    model(0x3100);
    setVar(74, 0x44);
    setVar(71, 200);
    const BuildConfig qm3100{0x3100, 4, 0};
    EngOptionsSettings s = loadEngOptions(image, models, qm3100, 2);
    EXPECT_FALSE(s.thresholdsShown);
    EXPECT_EQ(s.rpkDelay, kRpkDelayMax);
    s.thresholds.fill(9);
    storeEngOptions(s, image, models);
    EXPECT_EQ(var(74), 0x44);
}

} // namespace
} // namespace kav
