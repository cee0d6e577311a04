#include "editors/CtcssSettings.h"
#include "support/EditorImages.h"
#include "workflow/ReportText.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kav {
namespace {

using test::changedBytes;
using test::modelsFor;
using test::qm2200;

constexpr int kNoFirmware = -1;
constexpr int kExtendedNumbering = 0x00; // "Options-5" bit 7 clear
constexpr int kLegacy50 = 0x80;
constexpr int kLegacy38 = 0xC0;

// The typical image with CTCSS on, a tone for the CB channels and the Trawl memory, and silent
// channels 1, 9, 35 and 80 (plus a receive-only membership after channel 80).
EEPROM ctcssImage(int options5, int cbTone, int trawlTone) {
    EEPROM image = test::typicalImage();
    image.setByte(qm2200(kVarOptions5), options5);
    image.setByte(qm2200(kVarOptions9), 0x02);
    image.setByte(qm2200(kVarTxCtcssTone), cbTone);
    image.setByte(qm2200(kVarRxCtcssTone), cbTone);
    image.setByte(qm2200(kVarTrawlCtcssTone), trawlTone);
    const int silent = qm2200(kVarSilentMem);
    for (int a = 0; a < 24; ++a) {
        image.setByte(silent + a, 0);
    }
    image.setByte(silent, 0x01);      // channel 1
    image.setByte(silent + 1, 0x01);  // channel 9
    image.setByte(silent + 4, 0x04);  // channel 35
    image.setByte(silent + 9, 0x80);  // channel 80
    image.setByte(silent + 12, 0x10); // a receive-only channel's membership
    return image;
}

struct Stored {
    CtcssSettings loaded;
    std::map<int, int> changed;
};

// Load, `edit`, store: what loaded and the bytes that changed.
template <typename Edit>
Stored storeEdited(EEPROM& image, Edit edit, int firmwareMajor = kNoFirmware,
                   const BuildConfig& config = BuildConfig::delivered()) {
    const EEPROM before = image;
    const TradioInfo models = modelsFor(config.buildProductId);
    CtcssSettings s = CtcssSettings::load(image, models, config, firmwareMajor);
    const CtcssSettings loaded = s;
    edit(s);
    store(s, image, models);
    return {loaded, changedBytes(before, image)};
}

// The item a tone list shows for a code, as the dialog picks it.
int shownItem(const CtcssSettings& s, int code) {
    const auto choices = toneChoices(s.scheme, code);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].code == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST(CtcssSettingsTest, LoadsTheFlagsAndTheSilentMemory) {
    EEPROM image = ctcssImage(0x35, 39, 60); // enabled, no duplex, busy lockout and override
    const CtcssSettings s =
        CtcssSettings::load(image, modelsFor(0x2200), BuildConfig::delivered(), kNoFirmware);
    EXPECT_EQ(s.scheme, ToneScheme::Extended);
    EXPECT_TRUE(s.enableShown && s.enabled && s.trawl);
    EXPECT_FALSE(s.onDuplex);
    EXPECT_FALSE(s.narrowBand);
    EXPECT_TRUE(s.busyLockout && s.busyLockoutOverride);
    EXPECT_TRUE(s.reversePhaseKey);
    EXPECT_FALSE(s.silentTail);
    EXPECT_EQ(s.cbTone, 39);
    EXPECT_EQ(s.trawlTone, 60);
    ChannelFlags expected{};
    for (int channel : {1, 9, 35, 80}) {
        expected[static_cast<std::size_t>(channel - 1)] = true;
    }
    EXPECT_EQ(s.silent, expected);

    // The handheld has CTCSS always on: the box is hidden and reads as checked.
    EEPROM handheld = test::oddImage(0x5100, 0);
    handheld.setByte(mapAddress(AddressMap::QM5100, kVarOptions5), 0x00);
    const CtcssSettings h = CtcssSettings::load(handheld, modelsFor(0x5100), {0x5100, 8, 0}, 1);
    EXPECT_FALSE(h.enableShown);
    EXPECT_TRUE(h.enabled);
}

// The scheme follows "Options-5", the model and the firmware last read from the radio.
TEST(CtcssSettingsTest, DecidesTheNumberingScheme) {
    struct Case {
        const char* what;
        int options5;
        std::uint32_t build;
        int firmware;
        ToneScheme scheme;
    };
    const Case cases[] = {
        {"bit 7 clear", kExtendedNumbering, 0x2200, kNoFirmware, ToneScheme::Extended},
        {"legacy, 50 tones", kLegacy50, 0x2200, 2, ToneScheme::Legacy50},
        {"legacy, 38 tones", kLegacy38, 0x2200, 2, ToneScheme::Legacy38},
        {"QM2200 firmware 3", kLegacy38, 0x2200, 3, ToneScheme::Extended},
        {"erased", 0xFF, 0x2200, kNoFirmware, ToneScheme::Legacy38},
        {"model with extended CTCSS", kLegacy38, 0x1300, kNoFirmware, ToneScheme::Extended},
        {"firmware 3 of another model", kLegacy50, 0x1700, 3, ToneScheme::Legacy50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = test::oddImage(static_cast<std::uint16_t>(c.build), 1);
        const TradioInfo models = modelsFor(c.build);
        image.setByte(models.variableAddress(kVarOptions5), c.options5);
        EXPECT_EQ(CtcssSettings::load(image, models, {c.build, 2, 0}, c.firmware).scheme, c.scheme);
    }
}

// Per scheme: the code a stored byte loads as, the list item shown, and the code an untouched
// OK stores.
TEST(CtcssSettingsTest, TonesLoadShowAndStoreBackPerScheme) {
    struct Case {
        int options5;
        int stored;
        int shownItem;
        const char* text;
        int storedBack;
    };
    const Case cases[] = {
        {kExtendedNumbering, 0, 0, "OFF", 0},
        {kExtendedNumbering, 1, 1, "CTC01 - 67.0Hz", 1},
        {kExtendedNumbering, 39, 39, "CTC39 - 69.4Hz", 39},
        {kExtendedNumbering, 50, 50, "CTC50 - 254.1Hz", 50},
        {kExtendedNumbering, 51, 51, "DT001 - 023", 51},
        {kExtendedNumbering, 154, 154, "DT104 - 754", 154},
        {kExtendedNumbering, 155, 0, "OFF", 0},
        {kExtendedNumbering, 255, 0, "OFF", 0},
        {kLegacy50, 2, 2, "CTC02 - 69.4Hz", 2},
        {kLegacy50, 60, 60, "DT010 - 053", 60},
        {kLegacy38, 38, 38, "CTC38 - 250.3Hz", 38},
        {kLegacy38, 51, 39, "DT001 - 023", 51},
        {kLegacy38, 154, 142, "DT104 - 754", 154},
        // Codes 39..50 stand for no tone of the 38-tone set: shown as such, stored back as is.
        {kLegacy38, 39, 143, "??? (code 39)", 39},
        {kLegacy38, 50, 143, "??? (code 50)", 50},
        {kLegacy38, 255, 0, "OFF", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Options-5 " << c.options5 << ", code " << c.stored);
        EEPROM image = ctcssImage(c.options5, c.stored, c.stored);
        const Stored result = storeEdited(
            image, [](CtcssSettings&) {}, 2);
        const int item = shownItem(result.loaded, result.loaded.cbTone);
        EXPECT_EQ(item, c.shownItem);
        EXPECT_EQ(toneChoices(result.loaded.scheme, result.loaded.cbTone)[item].text, c.text);
        for (int variable : {kVarTxCtcssTone, kVarRxCtcssTone, kVarTrawlCtcssTone}) {
            EXPECT_EQ(image.getByte(qm2200(variable)), c.storedBack) << variable;
        }
    }
}

// An untouched OK changes nothing but the load corrections: codes above 154 become "OFF", the
// receive tone follows the transmit tone, and bit 7 says which numbering the image now uses.
TEST(CtcssSettingsTest, UntouchedOkChangesOnlyTheLoadCorrections) {
    EEPROM typical = ctcssImage(0x35, 39, 60);
    EXPECT_TRUE(storeEdited(typical, [](CtcssSettings&) {}).changed.empty());

    EEPROM erased = test::erasedImage();
    erased.setWord(0, 0x2200);
    EXPECT_EQ(storeEdited(erased, [](CtcssSettings&) {}).changed,
              (std::map<int, int>{{qm2200(kVarTxCtcssTone), 0},
                                  {qm2200(kVarRxCtcssTone), 0},
                                  {qm2200(kVarTrawlCtcssTone), 0}}));

    for (int seed : {3, 101, 200}) {
        SCOPED_TRACE(seed);
        EEPROM odd = test::oddImage(0x2200, seed);
        const auto corrected = [&](int variable) {
            const int code = odd.getByte(qm2200(variable));
            return code > 154 ? 0 : code;
        };
        const int cb = corrected(kVarTxCtcssTone);
        std::map<int, int> expected;
        for (const auto& [variable, code] :
             {std::pair{kVarTxCtcssTone, cb}, std::pair{kVarRxCtcssTone, cb},
              std::pair{kVarTrawlCtcssTone, corrected(kVarTrawlCtcssTone)}}) {
            if (odd.getByte(qm2200(variable)) != code) {
                expected[qm2200(variable)] = code;
            }
        }
        EXPECT_EQ(storeEdited(odd, [](CtcssSettings&) {}).changed, expected);
    }
}

// A legacy image read with QM2200 firmware 3 is stored in the extended numbering: bit 7 clears,
// the tone-set bit stays as loaded (the hidden list does not decide it).
TEST(CtcssSettingsTest, NewFirmwareMovesALegacyImageToTheExtendedNumbering) {
    for (int options5 : {kLegacy38, kLegacy50}) {
        EEPROM image = ctcssImage(options5, 5, 0);
        const Stored result = storeEdited(
            image, [](CtcssSettings&) {}, 3);
        EXPECT_EQ(result.loaded.scheme, ToneScheme::Extended);
        EXPECT_EQ(result.changed, (std::map<int, int>{{qm2200(kVarOptions5), options5 & ~0x80}}));
    }
}

TEST(CtcssSettingsTest, ChangingTheToneSetKeepsEachFrequency) {
    struct Case {
        const char* what;
        int options5;
        bool to38;
        int code;
        int converted;
    };
    const Case cases[] = {
        {"69.4 Hz is not in the 38-tone set", kLegacy50, true, 2, 0},
        {"225.7 Hz is tone 35 of the set", kLegacy50, true, 45, 35},
        {"a DCS code stays", kLegacy50, true, 52, 52},
        {"tone 2 of the set is 71.9 Hz", kLegacy38, false, 2, 3},
        {"a code that stood for no tone", kLegacy38, false, 40, 0},
        {"OFF stays", kLegacy38, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = ctcssImage(c.options5, c.code, c.code);
        const Stored result = storeEdited(image, [&](CtcssSettings& s) {
            s.chooseToneSet(c.to38);
            EXPECT_EQ(s.cbTone, c.converted);
            EXPECT_EQ(s.trawlTone, c.converted); // the Trawl list follows
        });
        EXPECT_EQ(image.getByte(qm2200(kVarTxCtcssTone)), c.converted);
        EXPECT_EQ(image.getByte(qm2200(kVarOptions5)), c.to38 ? kLegacy38 : kLegacy50);
    }
    // The extended numbering has no tone set to choose.
    EEPROM extended = ctcssImage(kExtendedNumbering, 39, 39);
    EXPECT_TRUE(
        storeEdited(extended, [](CtcssSettings& s) { s.chooseToneSet(true); }).changed.empty());
}

TEST(CtcssSettingsTest, StoresTheFlagsAndOnlyChannels1To80OfTheSilentMemory) {
    EEPROM image = ctcssImage(0x35, 39, 60);
    const Stored result = storeEdited(image, [](CtcssSettings& s) {
        s.enabled = false;
        s.onDuplex = true;
        s.narrowBand = true;
        s.silentTail = true;
        s.silent.fill(true);
    });
    const int silent = qm2200(kVarSilentMem);
    std::map<int, int> expected{{qm2200(kVarOptions5), 0x38}, {qm2200(kVarOptions9), 0x00}};
    for (int a = 0; a < 10; ++a) {
        expected[silent + a] = 0xFF;
    }
    EXPECT_EQ(result.changed, expected);
}

// The QM1500 keeps its silent memory in two five-byte halves.
TEST(CtcssSettingsTest, StoresTheSplitSilentMemory) {
    const TradioInfo models = modelsFor(0x1500);
    EEPROM image = test::oddImage(0x1500, 9);
    const BuildConfig config{0x1500, 128, 0};
    CtcssSettings s = CtcssSettings::load(image, models, config, kNoFirmware);
    EXPECT_TRUE(s.extendedMemories);
    EXPECT_FALSE(s.trawl);
    s.silent.fill(false);
    s.silent[79] = true;
    const EEPROM before = image;
    store(s, image, models);
    const int low = models.variableAddress(kVarSilentMem);
    const int high = models.variableAddress(kVarSilentMemExt);
    for (int a = 0; a < 5; ++a) {
        EXPECT_EQ(image.getByte(low + a), 0) << a;
        EXPECT_EQ(image.getByte(high + a), a == 4 ? 0x80 : 0) << a;
    }
    EXPECT_EQ(image.getByte(low + 5), before.getByte(low + 5)); // not part of this memory
}

TEST(CtcssSettingsTest, EditableSilentChannelsFollowTheEnablingRules) {
    const auto editable = [](bool enabled, bool onDuplex, bool barred) {
        std::vector<int> locked;
        const ChannelFlags flags = editableSilentChannels(enabled, onDuplex, barred);
        for (int channel = 1; channel <= kCbChannelCount; ++channel) {
            if (!flags[static_cast<std::size_t>(channel - 1)]) {
                locked.push_back(channel);
            }
        }
        return locked;
    };
    EXPECT_EQ(editable(false, true, false).size(), 80u);
    EXPECT_TRUE(editable(true, true, false).empty());
    EXPECT_EQ(editable(true, false, false),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 41, 42, 43, 44, 45, 46, 47, 48}));
    EXPECT_EQ(editable(true, true, true), (std::vector<int>{5, 35}));
    EXPECT_EQ(editable(true, false, true),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 35, 41, 42, 43, 44, 45, 46, 47, 48}));
}

// The report reads the tones in the numbering the editor stored them in.
TEST(CtcssSettingsTest, TheReportShowsTheStoredTones) {
    struct Case {
        int options5;
        int chosen;
        const char* line;
    };
    const Case cases[] = {
        {kExtendedNumbering, 39, "Tx tone = CTC02 - 69.4Hz"},
        {kLegacy38, 52, "Tx tone = DT002 - 025"},
        {kLegacy38, 40, "Tx tone = ???"},
        {kLegacy50, 0, "Tx tone = OFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EEPROM image = ctcssImage(c.options5, 1, 0);
        storeEdited(image, [&](CtcssSettings& s) { s.cbTone = c.chosen; });
        const TradioInfo models = modelsFor(0x2200);
        ReportInput input;
        input.image = &image;
        input.models = &models;
        const auto lines = buildReportLines(input, {}, "01-Jan-2026");
        const auto has = [&](const std::string& text) {
            return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.find(text) != std::string::npos;
            });
        };
        EXPECT_TRUE(has(c.line));
        EXPECT_TRUE(has(std::string("Rx") + (c.line + 2)));
    }
}

} // namespace
} // namespace kav
