#include "editors/OptionsSettings.h"
#include "support/EditorImages.h"

#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace kav {
namespace {

using test::changedBytes;
using test::modelsFor;
using test::qm2200;

template <typename Edit>
std::map<int, int> storeEdited(EEPROM& image, const BuildConfig& config, int firmware, Edit edit) {
    const EEPROM before = image;
    const TradioInfo models = modelsFor(config.buildProductId);
    OptionsSettings s = OptionsSettings::load(image, models, config, firmware);
    edit(s);
    store(s, image, models, config);
    return changedBytes(before, image);
}

const BuildConfig kQm2200 = BuildConfig::delivered();

// The typical image with every Options field at a valid value (the demo's are partly erased).
EEPROM optionsImage() {
    EEPROM image = test::typicalImage();
    const std::pair<int, int> bytes[] = {
        {kVarOptions1, 0x24},      {kVarCbDispOptions, 1},     {kVarRxOnlyDispOptions, 3},
        {kVarAdcVolMin, 4},        {kVarWirelessPttMicSel, 1}, {kVarWirelessMicGain, 5},
        {kVarWirelessKeyFunc1, 5}, {kVarWirelessKeyFunc2, 4},  {kVarMicGain, 0xFD},
        {kVarMicGainRear, 2},      {kVarUserMicGain, 7},       {kVarBeepVol, 6},
        {kVarTxTimeout, 90},
    };
    for (const auto& [variable, value] : bytes) {
        image.setByte(qm2200(variable), value);
    }
    return image;
}

TEST(OptionsSettingsTest, ErasedQm2200ImageLoadsAsShownAndStoresOnlyItsCorrections) {
    EEPROM erased;
    erased.setWord(0, 0x2200);
    const OptionsSettings s = OptionsSettings::load(erased, modelsFor(0x2200), kQm2200, 2);
    EXPECT_EQ(s.micGain, -1); // 255 as a signed byte
    EXPECT_EQ(s.beepVolume, 9);
    EXPECT_EQ(s.cbDisplay, 0);
    EXPECT_FALSE(s.contrastShown);
    EXPECT_FALSE(s.ptt22_23);
    EXPECT_FALSE(s.dynamicVolume);
    EXPECT_FALSE(s.scrambler);
    EXPECT_FALSE(s.sqlTailMute);
    EXPECT_TRUE(s.narrowband);

    // Only erased values replaced by what is shown change; every bit of the option bytes stays.
    const auto changed = storeEdited(erased, kQm2200, 2, [](auto&) {});
    const std::set<int> corrected{
        qm2200(kVarBeepVol),           qm2200(kVarCbDispOptions),    qm2200(kVarTxTimeout),
        qm2200(kVarAdcVolMin),         qm2200(kVarUserMicGain),      qm2200(kVarRxOnlyDispOptions),
        qm2200(kVarWirelessPttMicSel), qm2200(kVarWirelessKeyFunc1), qm2200(kVarWirelessKeyFunc2)};
    for (const auto& [address, value] : changed) {
        EXPECT_EQ(corrected.count(address), 1u) << "address " << address << " became " << value;
    }
}

TEST(OptionsSettingsTest, UntouchedOkChangesNothingOnATypicalImage) {
    for (const int firmware : {2, 3}) {
        EEPROM image = optionsImage();
        EXPECT_TRUE(storeEdited(image, kQm2200, firmware, [](auto&) {}).empty()) << firmware;
    }
}

TEST(OptionsSettingsTest, TableOfTheEdgeCases) {
    // New QM2200 firmware brings the user gain: -3 fixed and 7 user make a total of 4.
    EEPROM image = test::typicalImage();
    image.setByte(qm2200(kVarMicGain), 0xFD);
    image.setByte(qm2200(kVarUserMicGain), 7);
    const OptionsSettings fw3 = OptionsSettings::load(image, modelsFor(0x2200), kQm2200, 3);
    EXPECT_TRUE(fw3.userGain);
    EXPECT_EQ(fw3.totalMicGain(), 4);
    EXPECT_FALSE(OptionsSettings::load(image, modelsFor(0x2200), kQm2200, 2).userGain);

    // Without audio-mute options a minimum volume of 5 shows as 6 and stores 5 again.
    const BuildConfig qm3100{0x3100, 4, 0};
    EEPROM q = test::oddImage(0x3100, 2);
    const int minVol = mapAddress(AddressMap::QM3100, kVarAdcVolMin);
    q.setByte(minVol, 5);
    const OptionsSettings s = OptionsSettings::load(q, modelsFor(0x3100), qm3100, 2);
    ASSERT_TRUE(s.minVolumeShown);
    ASSERT_FALSE(s.audioMuteShown);
    EXPECT_EQ(s.minVolume, 6);
    EXPECT_EQ(storeEdited(q, qm3100, 2, [](auto&) {}).count(minVol), 0u);

    // Wireless keys: 16/15 and 5/4 come back as they were; another pair stores 16/15.
    for (const std::uint32_t id : {0x1701u, 0x3101u}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(modelsFor(id).hasWirelessRemote(id));
        const BuildConfig config{id, 0x1FF, 0};
        EEPROM w = test::oddImage(static_cast<std::uint16_t>(id), 5);
        const TradioInfo models = modelsFor(id);
        const int f1 = models.variableAddress(kVarWirelessKeyFunc1);
        const int f2 = models.variableAddress(kVarWirelessKeyFunc2);
        for (const auto& [a, b, want1, want2] :
             {std::tuple{16, 15, 16, 15}, std::tuple{5, 4, 5, 4}, std::tuple{7, 1, 16, 15}}) {
            w.setByte(f1, a);
            w.setByte(f2, b);
            storeEdited(w, config, 2, [](auto&) {});
            EXPECT_EQ(w.getByte(f1), want1);
            EXPECT_EQ(w.getByte(f2), want2);
        }
    }
}

TEST(OptionsSettingsTest, EditedFieldsChangeExactlyTheirBits) {
    EEPROM image = optionsImage();
    const int opt1 = qm2200(kVarOptions1);
    const int opt2 = qm2200(kVarOptions2);
    const int before1 = image.getByte(opt1);
    const int before2 = image.getByte(opt2);
    const auto changed = storeEdited(image, kQm2200, 2, [](OptionsSettings& s) {
        s.ptt22_23 = !s.ptt22_23;
        s.dynamicVolume = !s.dynamicVolume;
        s.txTimeout = 60;
    });
    EXPECT_EQ(changed,
              (std::map<int, int>{
                  {opt1, before1 ^ 0x04}, {opt2, before2 ^ 0x04}, {qm2200(kVarTxTimeout), 60}}));
}

} // namespace
} // namespace kav
