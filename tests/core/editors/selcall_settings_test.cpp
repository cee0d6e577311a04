#include "editors/SelcallSettings.h"
#include "support/EditorImages.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using test::changedBytes;
using test::modelsFor;
using test::qm2200;

const BuildConfig kDelivered = BuildConfig::delivered();
const BuildConfig kEngineering = BuildConfig::engineering();

// Loads, lets `edit` change the settings, stores back; returns the bytes that changed.
template <typename Edit>
std::map<int, int> storeEdited(EEPROM& image, const TradioInfo& models, const BuildConfig& config,
                               Edit edit) {
    const EEPROM before = image;
    SelcallSettings s = SelcallSettings::load(image, models, config);
    edit(s);
    store(s, image, models);
    return changedBytes(before, image);
}

std::map<int, int> untouchedOk(EEPROM image, std::uint32_t model, const BuildConfig& config) {
    return storeEdited(image, modelsFor(model), config, [](SelcallSettings&) {});
}

TEST(SelcallSettingsTest, UntouchedOkChangesOnlyTheLoadCorrections) {
    struct Case {
        const char* what;
        EEPROM image;
        std::uint32_t model;
        BuildConfig config;
        std::map<int, int> changed;
    };
    const Case cases[] = {
        {"typical", test::typicalImage(), 0x2200, kDelivered, {}},
        {"typical, engineering", test::typicalImage(), 0x2200, kEngineering, {}},
        // Alert time 255 -> 25 and lead-in 255 -> 200; the ident, its hidden digits and the
        // name keep their bytes.
        {"erased", test::erasedImage(), 0x2200, kDelivered, {{64, 25}, {59, 200}}},
        {"erased, engineering",
         test::erasedImage(),
         0x2200,
         kEngineering,
         {{64, 25}, {59, 200}, {69, 40}}},
        // "Options-3" 0xFC sends groups with bit 2 only: shown as 1000, stored as its code.
        {"odd", test::oddImage(0x2200, 0), 0x2200, kDelivered, {{36, 0xFF}, {64, 25}}},
        {"QM1500 erased", test::erasedImage(), 0x1500, {0x1500, 128, 0}, {{64, 25}, {59, 200}}},
        // The QM1300 has no ident, alert time, lead-in or Quiet Memory: none is written.
        {"mask 511, QM1300 map", test::erasedImage(), 0x1300, {0x2200, 511, 1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(untouchedOk(c.image, c.model, c.config), c.changed);
    }
}

// The QM1300 has no ident, name or Quiet Memory; a QM2200 build that was told it talks to one
// must not write them at -1 plus an offset, on the product ID and the calibration.
TEST(SelcallSettingsTest, RecordsTheModelLacksAreNeverWritten) {
    EEPROM image = test::oddImage(0x1300, 2);
    const auto changed =
        storeEdited(image, modelsFor(0x1300), {0x2200, 511, 1}, [](SelcallSettings& s) {
            EXPECT_FALSE(s.identPresent);
            EXPECT_EQ(s.ident, "     ");
            EXPECT_EQ(s.name, "");
            s.ident = "12345";
            s.name = "CAR";
            s.quiet.fill(false);
            s.alertDuration = 3;
            s.leadInDelayMs = 500;
            s.tonePeriod = 20;
        });
    for (const auto& [address, value] : changed) {
        EXPECT_TRUE(address >= 34 && address <= 39) << "written at " << address;
    }
}

TEST(SelcallSettingsTest, ErasedImageShowsEverythingOn) {
    const SelcallSettings s =
        SelcallSettings::load(test::erasedImage(), modelsFor(0x2200), kEngineering);
    EXPECT_EQ(s.ident, "FFFFF");
    EXPECT_EQ(s.name, "_____");
    EXPECT_TRUE(s.alertIndividualCall && s.alertGroupCall && s.beepAlarms && s.beepAck &&
                s.unmuteOnSelcall && s.reenterQuiet && s.leadInTone && s.appendAni &&
                s.leadInDelay && s.userModifiesIdent && s.userModifiesMemory);
    EXPECT_TRUE(s.acceptGroupCalls && s.sendGroupCalls);
    EXPECT_EQ(SelcallSettings::kGroupSizes[static_cast<std::size_t>(s.rxGroupSize)], "1000");
    EXPECT_EQ(SelcallSettings::kGroupSizes[static_cast<std::size_t>(s.txGroupSize)], "1000");
    EXPECT_EQ(s.alertDuration, 25);
    EXPECT_EQ(s.leadInDelayMs, 2000);
    EXPECT_EQ(s.tonePeriod, 40);
    EXPECT_EQ(std::count(s.quiet.begin(), s.quiet.end(), true), 80);
}

TEST(SelcallSettingsTest, IdentIsWrittenOnlyWhenChanged) {
    struct Case {
        const char* stored;
        const char* shown;
        const char* typed; // nullptr: left as shown
        const char* expected;
    };
    const Case cases[] = {
        {"00012345", "12345", nullptr, "00012345"},
        {"98765432", "65432", nullptr, "98765432"}, // hidden digits survive an untouched OK
        {"FFFFFFFF", "FFFFF", nullptr, "FFFFFFFF"},
        {"0001234A", "1234A", nullptr, "0001234A"}, // A-F shown as stored
        {"FFFFFFFF", "FFFFF", "12345", "00012345"},
        {"98765432", "65432", "12345", "00012345"}, // a typed ident has zeros in front
        {"FFFFFFFF", "FFFFF", "  123", "000FF123"}, // a blank position stores 15
        {"00012345", "12345", "123", "000FF123"},   // right-aligned when shorter
    };
    const TradioInfo models = modelsFor(0x2200);
    const int ident = qm2200(kVarSelcallIdent);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored + std::string(" ") + (c.typed ? c.typed : "untouched"));
        EEPROM image = test::typicalImage();
        image.setHexString(c.stored, ident, 4);
        storeEdited(image, models, kDelivered, [&](SelcallSettings& s) {
            EXPECT_EQ(s.ident, c.shown);
            if (c.typed != nullptr) {
                s.ident = c.typed;
            }
        });
        EXPECT_EQ(image.getHexString(ident, 4), c.expected);
    }
}

TEST(SelcallSettingsTest, NameIsWrittenOnlyWhenChanged) {
    const TradioInfo models = modelsFor(0x2200);
    const int name = qm2200(kVarSelcallIdent) + 4;
    EEPROM image = test::erasedImage();
    image.setPackedText(name, "AB");
    image.setByte(name + 3, 0x17); // bytes after the end mark
    EXPECT_EQ(storeEdited(image, models, kDelivered, [](SelcallSettings&) {}),
              (std::map<int, int>{{59, 200}, {64, 25}}));
    storeEdited(image, models, kDelivered, [](SelcallSettings& s) { s.name = "CAR-2"; });
    EXPECT_EQ(image.getPackedText(name), "CAR-2");
}

TEST(SelcallSettingsTest, GroupCallSizesAreThermometerCodes) {
    struct Case {
        const char* what;
        int options3;
        void (*edit)(SelcallSettings&);
        int expected;
    };
    const Case cases[] = {
        {"accept ticked, no size: 10", 0x00, [](SelcallSettings& s) { s.acceptGroupCalls = true; },
         0x08},
        {"send ticked, no size: 10", 0x00, [](SelcallSettings& s) { s.sendGroupCalls = true; },
         0x01},
        {"accept 100", 0x00,
         [](SelcallSettings& s) {
             s.acceptGroupCalls = true;
             s.rxGroupSize = 1;
         },
         0x18},
        {"send cleared whatever the list shows", 0x47,
         [](SelcallSettings& s) { s.sendGroupCalls = false; }, 0x40},
        {"accept cleared", 0x7F, [](SelcallSettings& s) { s.acceptGroupCalls = false; }, 0x47},
        {"bit 5 alone shows 1000", 0x20, [](SelcallSettings&) {}, 0x38},
        {"bit 4 alone shows 100", 0x10, [](SelcallSettings&) {}, 0x18},
    };
    const TradioInfo models = modelsFor(0x2200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = test::typicalImage();
        image.setByte(qm2200(kVarOptions3), c.options3);
        storeEdited(image, models, kDelivered, c.edit);
        EXPECT_EQ(image.getByte(qm2200(kVarOptions3)), c.expected);
    }
    // Cleared boxes show no size, whatever an earlier load showed.
    EEPROM none = test::typicalImage();
    none.setByte(qm2200(kVarOptions3), 0x40);
    const SelcallSettings s = SelcallSettings::load(none, models, kDelivered);
    EXPECT_FALSE(s.acceptGroupCalls || s.sendGroupCalls);
    EXPECT_EQ(s.rxGroupSize, SelcallSettings::kNoSelection);
    EXPECT_EQ(s.txGroupSize, SelcallSettings::kNoSelection);
}

TEST(SelcallSettingsTest, StoredValuesOutOfRangeAreBroughtIntoRange) {
    struct Case {
        const char* what;
        int variable;
        int stored;
        BuildConfig config;
        int shown;
        int expected;
    };
    const Case cases[] = {
        {"lead-in below the spin's range", kVarLeadToneLength, 5, kDelivered, 50, 5},
        {"lead-in 0", kVarLeadToneLength, 0, kDelivered, 10, 1},
        {"lead-in 201", kVarLeadToneLength, 201, kDelivered, 2000, 200},
        {"alert 26", kVarSelcallAlertTime, 26, kDelivered, 25, 25},
        {"tone period 45", kVarToneLength, 45, kEngineering, 40, 40},
        {"tone period 70", kVarToneLength, 70, kEngineering, 70, 70},
        {"tone period 45 not shown", kVarToneLength, 45, kDelivered, 40, 45},
    };
    const TradioInfo models = modelsFor(0x2200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = test::typicalImage();
        image.setByte(qm2200(c.variable), c.stored);
        storeEdited(image, models, c.config, [&](SelcallSettings& s) {
            const int shown = c.variable == kVarLeadToneLength     ? s.leadInDelayMs
                              : c.variable == kVarSelcallAlertTime ? s.alertDuration
                                                                   : s.tonePeriod;
            EXPECT_EQ(shown, c.shown);
        });
        EXPECT_EQ(image.getByte(qm2200(c.variable)), c.expected);
    }
}

TEST(SelcallSettingsTest, QuietMemoryKeepsTheReceiveOnlyMemberships) {
    const TradioInfo models = modelsFor(0x2200);
    EEPROM image = test::oddImage(0x2200, 4);
    const int quiet = qm2200(kVarQuietMem);
    const auto changed = storeEdited(image, models, kDelivered, [](SelcallSettings& s) {
        s.quiet.fill(false);
        s.quiet[79] = true;
    });
    for (const auto& [address, value] : changed) {
        EXPECT_TRUE((address >= quiet && address < quiet + 10) || address == 64) << address;
    }
    EXPECT_EQ(image.getByte(quiet + 9), 0x80);

    // The QM1500 keeps it as 5 bytes at "Quiet Mem" and 5 at "Quiet Mem (ext)".
    EEPROM qm1500 = test::erasedImage();
    const auto split =
        storeEdited(qm1500, modelsFor(0x1500), {0x1500, 128, 0}, [](SelcallSettings& s) {
            s.quiet.fill(true);
            s.quiet[0] = false;
            s.quiet[40] = false;
        });
    EXPECT_EQ(split, (std::map<int, int>{{154, 0xFE}, {200, 0xFE}, {59, 200}, {64, 25}}));
}

} // namespace
} // namespace kav
