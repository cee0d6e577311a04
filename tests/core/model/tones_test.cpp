#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "model/Tones.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kav {
namespace {

TEST(ToneTables, FrequencyAndDcsTablesEnds) {
    EXPECT_FLOAT_EQ(ctcssFrequency(1), 67.0F);
    EXPECT_FLOAT_EQ(ctcssFrequency(25), 151.4F);
    EXPECT_FLOAT_EQ(ctcssFrequency(50), 254.1F);
    EXPECT_EQ(ctcssFrequency(0), 0.0F);
    EXPECT_EQ(ctcssFrequency(51), 0.0F);
    EXPECT_EQ(dcsCode(1), 023);
    EXPECT_EQ(dcsCode(10), 053);
    EXPECT_EQ(dcsCode(104), 0754);
    EXPECT_EQ(dcsCode(0), 0);
    EXPECT_EQ(dcsCode(105), 0);
}

TEST(ToneTables, TablesAscendAndExtendedOrderIsAPermutation) {
    std::vector<int> seen;
    for (int k = 1; k <= kCtcssToneCount; ++k) {
        EXPECT_LT(ctcssFrequency(k - 1), ctcssFrequency(k)) << k;
        seen.push_back(extendedToneIndex(k));
    }
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < kCtcssToneCount; ++i) {
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], i + 1);
    }
    for (int j = 2; j <= kDcsCodeCount; ++j) {
        EXPECT_LT(dcsCode(j - 1), dcsCode(j)) << j;
    }
    // The 38-tone set leaves out 69.4 Hz; the extended order appends it first.
    EXPECT_EQ(extendedToneIndex(2), 3);
    EXPECT_EQ(extendedToneIndex(38), 49);
    EXPECT_EQ(extendedToneIndex(39), 2);
    EXPECT_EQ(extendedToneIndex(50), 50);
}

struct ToneTextCase {
    int code;
    ToneScheme scheme;
    const char* text;
};

class ToneTextTest : public ::testing::TestWithParam<ToneTextCase> {};

TEST_P(ToneTextTest, Text) {
    EXPECT_EQ(toneText(GetParam().code, GetParam().scheme), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ToneTextTest,
    ::testing::Values(ToneTextCase{0, ToneScheme::Extended, "OFF"},
                      ToneTextCase{0, ToneScheme::Legacy38, "OFF"},
                      // The report prints the frequency table index, not the code.
                      ToneTextCase{39, ToneScheme::Extended, "CTC02 - 69.4Hz"},
                      ToneTextCase{2, ToneScheme::Extended, "CTC03 - 71.9Hz"},
                      ToneTextCase{50, ToneScheme::Extended, "CTC50 - 254.1Hz"},
                      ToneTextCase{2, ToneScheme::Legacy50, "CTC02 - 69.4Hz"},
                      ToneTextCase{45, ToneScheme::Legacy50, "CTC45 - 225.7Hz"},
                      ToneTextCase{35, ToneScheme::Legacy38, "CTC45 - 225.7Hz"},
                      ToneTextCase{39, ToneScheme::Legacy38, "???"},
                      ToneTextCase{50, ToneScheme::Legacy38, "???"},
                      ToneTextCase{51, ToneScheme::Legacy38, "DT001 - 023"},
                      ToneTextCase{60, ToneScheme::Legacy50, "DT010 - 053"},
                      ToneTextCase{154, ToneScheme::Extended, "DT104 - 754"},
                      ToneTextCase{155, ToneScheme::Extended, "???"},
                      ToneTextCase{200, ToneScheme::Legacy50, "???"},
                      ToneTextCase{-1, ToneScheme::Extended, "???"}));

struct SchemeCase {
    int options5;
    bool supportsExtended;
    std::uint32_t buildProductId;
    int firmwareMajor;
    ToneScheme expected;
};

class ToneSchemeTest : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(ToneSchemeTest, Scheme) {
    const SchemeCase& c = GetParam();
    EXPECT_EQ(toneScheme(c.options5, c.supportsExtended, c.buildProductId, c.firmwareMajor),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ToneSchemeTest,
    ::testing::Values(SchemeCase{0x7F, false, 0x2200, 2, ToneScheme::Extended},
                      SchemeCase{0x80, false, 0x2200, 2, ToneScheme::Legacy50},
                      SchemeCase{0xC0, false, 0x2200, 2, ToneScheme::Legacy38},
                      // An erased byte gives the 38-tone legacy scheme...
                      SchemeCase{0xFF, false, 0x2200, -1, ToneScheme::Legacy38},
                      // ...unless the firmware or the build model forces the extended one.
                      SchemeCase{0xFF, false, 0x2200, 3, ToneScheme::Extended},
                      SchemeCase{0xFF, false, 0x1700, 5, ToneScheme::Legacy38},
                      SchemeCase{0xFF, true, 0x5100, -1, ToneScheme::Extended}));

class FixedFirmware : public FirmwareVersionSource {
public:
    explicit FixedFirmware(int major) : major_(major) {}
    int firmwareMajorVersion() const override { return major_; }

private:
    int major_;
};

TEST(ToneScheme, FromImageReadsOptions5AtTheCurrentModelsAddress) {
    EEPROM image;
    TradioInfo models;
    models.setModelByProductId(0x2200);
    EXPECT_EQ(imageToneScheme(image, models, 0x2200, -1), ToneScheme::Legacy38);
    image.setByte(models.variableAddress(kVarOptions5), 0x80);
    EXPECT_EQ(imageToneScheme(image, models, 0x2200, -1), ToneScheme::Legacy50);

    // The QM3100 supports extended CTCSS from firmware 2 on.
    const FixedFirmware old(1);
    const FixedFirmware current(2);
    TradioInfo qm3100(&old);
    qm3100.setModelByProductId(0x3100);
    image.setByte(qm3100.variableAddress(kVarOptions5), 0xFF);
    EXPECT_EQ(imageToneScheme(image, qm3100, 0x3100, 1), ToneScheme::Legacy38);
    qm3100.setFirmwareSource(&current);
    EXPECT_EQ(imageToneScheme(image, qm3100, 0x3100, 2), ToneScheme::Extended);
}

TEST(ToneList, ItemsFollowTheScheme) {
    const auto extended = toneListItems(ToneScheme::Extended);
    ASSERT_EQ(extended.size(), 155U);
    EXPECT_EQ(extended[0], "OFF");
    EXPECT_EQ(extended[39], "CTC39 - 69.4Hz");
    EXPECT_EQ(extended[51], "DT001 - 023");
    EXPECT_EQ(extended[154], "DT104 - 754");

    const auto legacy50 = toneListItems(ToneScheme::Legacy50);
    ASSERT_EQ(legacy50.size(), 155U);
    EXPECT_EQ(legacy50[2], "CTC02 - 69.4Hz");
    EXPECT_EQ(legacy50[60], "DT010 - 053");

    const auto legacy38 = toneListItems(ToneScheme::Legacy38);
    ASSERT_EQ(legacy38.size(), 143U);
    EXPECT_EQ(legacy38[35], "CTC35 - 225.7Hz");
    EXPECT_EQ(legacy38[38], "CTC38 - 250.3Hz");
    EXPECT_EQ(legacy38[39], "DT001 - 023");
    EXPECT_EQ(legacy38[142], "DT104 - 754");
}

TEST(ToneList, CodesAndItemsConvertBothWays) {
    struct Case {
        ToneScheme scheme;
        int code;
        int item;
    };
    for (const Case& c : {Case{ToneScheme::Legacy38, 51, 39}, Case{ToneScheme::Legacy38, 154, 142},
                          Case{ToneScheme::Legacy38, 38, 38}, Case{ToneScheme::Legacy50, 60, 60},
                          Case{ToneScheme::Extended, 39, 39}, Case{ToneScheme::Extended, 0, 0}}) {
        EXPECT_EQ(toneListIndex(c.code, c.scheme), c.item) << c.code;
        EXPECT_EQ(toneCodeOfListIndex(c.item, c.scheme), c.code) << c.item;
    }
    // An erased or invalid code shows "OFF".
    EXPECT_EQ(toneListIndex(255, ToneScheme::Extended), 0);
    EXPECT_EQ(toneListIndex(155, ToneScheme::Legacy38), 0);
    // Codes 39..50 of the 38-tone set stand for no tone and have no item.
    EXPECT_EQ(toneListIndex(39, ToneScheme::Legacy38), -1);
    EXPECT_EQ(toneListIndex(50, ToneScheme::Legacy38), -1);
}

} // namespace
} // namespace kav
