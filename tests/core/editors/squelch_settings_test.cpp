#include "editors/SquelchSettings.h"
#include "support/EditorImages.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using test::changedBytes;
using test::modelsFor;
using test::qm2200;

// Load, `edit`, store; the bytes that changed.
template <typename Edit>
std::map<int, int> storeEdited(EEPROM& image, std::uint32_t model, const BuildConfig& config,
                               Edit edit) {
    const EEPROM before = image;
    const TradioInfo models = modelsFor(model);
    SquelchSettings s = SquelchSettings::load(image, models, config);
    edit(s);
    store(s, image, models);
    return changedBytes(before, image);
}

TEST(SquelchSettingsTest, LoadsAndCorrectsAsShown) {
    struct Case {
        const char* what;
        int level, debounce, minOpen; // stored bytes
        int shownLevel, shownMinOpen;
    };
    const Case cases[] = {
        {"typical", 4, 20, 15, 4, 150},
        {"erased", 255, 255, 255, 9, 2550},
        {"level 0 shows 1", 0, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = test::typicalImage();
        image.setByte(qm2200(kVarSqlLevel), c.level);
        image.setByte(qm2200(kVarSqlOpenDebounce), c.debounce);
        image.setByte(qm2200(kVarSqlMinOpen), c.minOpen);
        const SquelchSettings s =
            SquelchSettings::load(image, modelsFor(0x2200), BuildConfig::delivered());
        EXPECT_TRUE(s.levelShown);
        EXPECT_EQ(s.level, c.shownLevel);
        EXPECT_EQ(s.debounceMs, c.debounce);
        EXPECT_EQ(s.minOpenMs, c.shownMinOpen);
    }
}

// An untouched OK changes nothing but the level brought into 1..9.
TEST(SquelchSettingsTest, UntouchedOkChangesOnlyTheLevelCorrection) {
    EEPROM typical = test::typicalImage();
    EXPECT_TRUE(storeEdited(typical, 0x2200, BuildConfig::delivered(), [](auto&) {}).empty());
    EEPROM erased = test::erasedImage();
    erased.setWord(0, 0x2200);
    EXPECT_EQ(storeEdited(erased, 0x2200, BuildConfig::delivered(), [](auto&) {}),
              (std::map<int, int>{{qm2200(kVarSqlLevel), 9}}));
    EEPROM odd = test::oddImage(0x2200, 7);
    odd.setByte(qm2200(kVarSqlLevel), 5);
    EXPECT_TRUE(storeEdited(odd, 0x2200, BuildConfig::delivered(), [](auto&) {}).empty());
}

TEST(SquelchSettingsTest, StoresTimingsInTheirUnitsAndKeepsAHiddenLevel) {
    EEPROM image = test::typicalImage();
    EXPECT_EQ(storeEdited(image, 0x2200, BuildConfig::delivered(),
                          [](SquelchSettings& s) {
                              s.level = 7;
                              s.debounceMs = 33;
                              s.minOpenMs = 125; // typed: the remainder is dropped
                          }),
              (std::map<int, int>{{qm2200(kVarSqlLevel), 7},
                                  {qm2200(kVarSqlOpenDebounce), 33},
                                  {qm2200(kVarSqlMinOpen), 12}}));

    // A QM3100 build hides the level: it is neither shown nor written.
    const int level = mapAddress(AddressMap::QM3100, kVarSqlLevel);
    EEPROM qm3100 = test::oddImage(0x3100, 3);
    qm3100.setByte(level, 0);
    const auto changed = storeEdited(qm3100, 0x3100, {0x3100, 4, 0}, [](SquelchSettings& s) {
        EXPECT_FALSE(s.levelShown);
        s.level = 5;
        s.debounceMs = 1;
    });
    EXPECT_EQ(changed.count(level), 0u);
    EXPECT_EQ(changed.count(mapAddress(AddressMap::QM3100, kVarSqlOpenDebounce)), 1u);
}

} // namespace
} // namespace kav
