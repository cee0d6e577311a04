#include "editors/RxChannelSettings.h"
#include "model/Array.h"
#include "model/Radioinfo.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>
#include <vector>

namespace kav {
namespace {

constexpr BuildConfig kQM2200 = {0x2200, 2, 0};
constexpr BuildConfig kQM1700 = {0x1700, 1, 0}; // no banks, no names, has "Rx Bank"
constexpr BuildConfig kQM1500 = {0x1500, 128, 0};

// An image and the model table of one build, as the editor sees them.
struct Radio {
    explicit Radio(const BuildConfig& c) : config(c) {
        models.setModelByProductId(config.buildProductId);
    }
    Radio(const BuildConfig& c, const test::Bytes& bytes) : Radio(c) {
        image.writeBlock(0, bytes.data(), static_cast<int>(bytes.size()));
    }

    int address(int variable) const { return models.variableAddress(variable); }
    int slotAddress(int slot) const {
        return address(kVarRxOnlyChannels) + EEPROM::kRxChannelBytes * slot;
    }
    RxChannelSettings load() const { return loadRxChannels(image, models, config); }
    test::Bytes bytes() const { return {image.bytes(), image.bytes() + image.size()}; }
    // Membership bit `slot` of group g (0 scan 1, 1 scan 2, 2 quiet, 3 silent).
    bool memberBit(const RxChannelLayout& layout, std::size_t g, int slot) const {
        std::vector<std::uint8_t> group(static_cast<std::size_t>(layout.memberBytes));
        image.readBlock(layout.memberAddress[g], group.data(), layout.memberBytes);
        return testBit(slot, group);
    }

    BuildConfig config;
    TradioInfo models;
    EEPROM image;
};

// The addresses at which two images differ.
std::vector<int> differences(const test::Bytes& a, const test::Bytes& b) {
    std::vector<int> at;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            at.push_back(static_cast<int>(i));
        }
    }
    return at;
}

RX_CH_DATA_STRUCT channel(std::uint32_t hz, const char* tag, std::uint8_t flags) {
    return {hz, tag, flags};
}

TEST(RxChannelLayoutTest, EachModelKeepsItsChannelsInsideItsOwnArea) {
    struct Case {
        const char* what;
        BuildConfig config;
        int table, stored, memberScan1, memberBytes, memberSlots;
        bool banks, tags;
    };
    const Case cases[] = {
        {"QM2200", kQM2200, 224, 100, 138, 14, 100, true, true},
        {"QM1700", kQM1700, 224, 100, 138, 14, 100, false, false},
        // 60 slots fit before "Selcall Mem" at 576; 3 membership bytes follow the 5 CB bytes.
        {"QM1500", kQM1500, 216, 60, 133, 3, 24, false, true},
        {"QM1300 has no table", {0x1300, 32, 0}, -1, 0, -1, 0, 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Radio radio(c.config);
        const RxChannelLayout layout = rxChannelLayout(radio.models, c.config);
        EXPECT_EQ(layout.tableAddress, c.table);
        EXPECT_EQ(layout.storedSlots, c.stored);
        EXPECT_EQ(layout.memberAddress[0], c.memberScan1);
        EXPECT_EQ(layout.memberBytes, c.memberBytes);
        EXPECT_EQ(layout.memberSlots, c.memberSlots);
        EXPECT_EQ(layout.bankMode, c.banks);
        EXPECT_EQ(layout.alphaTags, c.tags);
    }
}

TEST(RxChannelSettingsTest, ErasedImageLoadsEmptyAndStoresZeroFrequencies) {
    Radio radio(kQM2200);
    const RxChannelSettings settings = radio.load();
    EXPECT_EQ(settings.bankCount(), 5);
    EXPECT_EQ(settings.currentBank, 0) << "an 'Rx Bank' of 255 is bank A";
    for (int bank = 0; bank < kRxBankCount; ++bank) {
        EXPECT_TRUE(settings.usedChannels(bank).empty());
        EXPECT_EQ(settings.freeChannels(bank).size(), 19u);
        EXPECT_EQ(rxGridRows(settings, bank), std::vector<RxGridRow>{RxGridRow{}});
    }

    const test::Bytes before = radio.bytes();
    storeRxChannels(settings, radio.image);
    std::vector<int> expected;
    for (int s = 0; s < kRxSlotCount; ++s) {
        expected.push_back(radio.slotAddress(s));
        expected.push_back(radio.slotAddress(s) + 1);
        EXPECT_EQ(radio.image.getWord(radio.slotAddress(s)), 0);
    }
    EXPECT_EQ(differences(before, radio.bytes()), expected)
        << "only the empty marks become 0; names and bank stay";
}

TEST(RxChannelSettingsTest, UntouchedStoreChangesNothingButTheLoadCorrections) {
    struct Case {
        const char* what;
        BuildConfig config;
        std::vector<int> changed; // beside any 0xFFFF frequency words, none in this pattern
    };
    const Case cases[] = {
        {"QM2200 keeps its bank", kQM2200, {}},
        {"QM1700 has no banks: 'Rx Bank' becomes 255", kQM1700, {80}},
        {"QM1500", kQM1500, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Every name, frequency and membership bit is set to something, '@' codes included.
        Radio radio(c.config,
                    test::patternImage(static_cast<std::uint16_t>(c.config.buildProductId), 3));
        const test::Bytes before = radio.bytes();
        storeRxChannels(radio.load(), radio.image);
        EXPECT_EQ(differences(before, radio.bytes()), c.changed);
    }
}

TEST(RxChannelSettingsTest, LoadTakesBankAndMembershipsFromTheImage) {
    Radio radio(kQM2200);
    const RxChannelLayout layout = rxChannelLayout(radio.models, kQM2200);
    radio.image.setByte(radio.address(kVarRxBank), 3);
    radio.image.setWord(radio.slotAddress(rxSlot(3, 81)), 477000000 / 12500);
    radio.image.setPackedText(radio.slotAddress(rxSlot(3, 81)) + 2, "BASE");
    radio.image.setWord(radio.slotAddress(rxSlot(3, 85)), 476425000 / 12500);
    radio.image.setPackedText(radio.slotAddress(rxSlot(3, 85)) + 2, "");
    std::array<std::uint8_t, 14> none{};
    std::array<std::uint8_t, 14> bits{};
    setBit(rxSlot(3, 85), bits);
    radio.image.writeBlock(layout.memberAddress[0], none.data(), 14);
    radio.image.writeBlock(layout.memberAddress[1], bits.data(), 14); // Scan Mem 2
    radio.image.writeBlock(layout.memberAddress[2], none.data(), 14);
    radio.image.writeBlock(layout.memberAddress[3], bits.data(), 14); // Silent

    const RxChannelSettings settings = radio.load();
    EXPECT_EQ(settings.currentBank, 3);
    EXPECT_EQ(settings.usedChannels(3), (std::vector<int>{81, 85}));
    std::vector<int> free{82, 83, 84};
    for (int n = 86; n <= 99; ++n) {
        free.push_back(n);
    }
    EXPECT_EQ(settings.freeChannels(3), free);
    EXPECT_EQ(rxGridRows(settings, 3),
              (std::vector<RxGridRow>{{"81", "BASE", "477.0000", "-", "-", "-", "-"},
                                      {"85", "", "476.4250", "-", "M", "-", "S"}}));

    radio.image.setByte(radio.address(kVarRxBank), 7);
    EXPECT_EQ(radio.load().currentBank, 0) << "a bank above RX-E reads as RX-A";
}

TEST(RxChannelSettingsTest, AddEditDeleteInEveryBank) {
    for (int bank = 0; bank < kRxBankCount; ++bank) {
        SCOPED_TRACE(bank);
        Radio radio(kQM2200);
        const RxChannelLayout layout = rxChannelLayout(radio.models, kQM2200);
        const int slot = rxSlot(bank, 97);
        const int at = radio.slotAddress(slot);

        RxChannelSettings settings = radio.load();
        ASSERT_TRUE(settings.setChannel(bank, 97, channel(476425000, "BASE", 0x0F)));
        storeRxChannels(settings, radio.image);
        EXPECT_EQ(radio.image.getWord(at), 476425000 / 12500);
        EXPECT_EQ(radio.image.getPackedText(at + 2), "BASE");
        for (std::size_t g = 0; g < 4; ++g) {
            EXPECT_TRUE(radio.memberBit(layout, g, slot)) << g;
        }

        // Edit: out of Scan Memory 1, renamed.
        settings = radio.load();
        EXPECT_EQ(settings.usedChannels(bank), std::vector<int>{97});
        RX_CH_DATA_STRUCT edited = settings.channel(bank, 97);
        edited.memberFlags &= static_cast<std::uint8_t>(~kMemberScan1);
        edited.alphaTag = "HOME";
        ASSERT_TRUE(settings.setChannel(bank, 97, edited));
        storeRxChannels(settings, radio.image);
        EXPECT_FALSE(radio.memberBit(layout, 0, slot));
        EXPECT_TRUE(radio.memberBit(layout, 1, slot));
        EXPECT_EQ(radio.image.getPackedText(at + 2), "HOME");

        settings = radio.load();
        settings.deleteChannel(bank, 97);
        storeRxChannels(settings, radio.image);
        EXPECT_EQ(radio.image.getWord(at), 0);
        EXPECT_EQ(radio.image.getPackedText(at + 2), "");
        for (std::size_t g = 0; g < 4; ++g) {
            EXPECT_FALSE(radio.memberBit(layout, g, slot)) << g;
        }
        EXPECT_TRUE(radio.load().usedChannels(bank).empty());
    }
}

TEST(RxChannelSettingsTest, ClearAllEmptiesOnlyTheShownBank) {
    Radio radio(kQM2200);
    RxChannelSettings settings = radio.load();
    for (int bank = 0; bank < 2; ++bank) {
        for (int n = kFirstRxChannel; n <= kLastRxChannel; ++n) {
            ASSERT_TRUE(settings.setChannel(bank, n, channel(477000000, "X", kMemberQuiet)));
        }
    }
    EXPECT_TRUE(settings.freeChannels(0).empty()) << "Add has no spare channel";
    settings.clearBank(1);
    EXPECT_EQ(settings.usedChannels(0).size(), 19u);
    EXPECT_TRUE(settings.usedChannels(1).empty());
}

TEST(RxChannelSettingsTest, QM1500StaysInsideItsSixtySlotsAndTwentyFourBits) {
    Radio radio(kQM1500, test::patternImage(0x1500, 11));
    const RxChannelLayout layout = rxChannelLayout(radio.models, kQM1500);
    RxChannelSettings settings = radio.load();
    for (int s = layout.storedSlots; s < kRxSlotCount; ++s) {
        EXPECT_EQ(settings.records[static_cast<std::size_t>(s)].frequencyHz, 0u) << s;
    }
    for (int s = 24; s < kRxSlotCount; ++s) {
        EXPECT_EQ(settings.records[static_cast<std::size_t>(s)].memberFlags, 0) << s;
    }
    // Slot 60 would overwrite "Selcall Mem".
    EXPECT_FALSE(settings.setChannel(3, 81, channel(477000000, "A", 0)));

    // Every slot full and a member of everything.
    for (int s = 0; s < kRxSlotCount; ++s) {
        settings.records[static_cast<std::size_t>(s)] = channel(477000000, "A", 0x0F);
    }
    const test::Bytes before = radio.bytes();
    storeRxChannels(settings, radio.image);
    const int tableEnd = layout.tableAddress + 60 * EEPROM::kRxChannelBytes;
    EXPECT_EQ(tableEnd, radio.address(94)) << "Selcall Mem";
    for (const int a : differences(before, radio.bytes())) {
        bool inMemberBytes = false;
        for (const int m : layout.memberAddress) {
            inMemberBytes = inMemberBytes || (a >= m && a < m + 3);
        }
        EXPECT_TRUE((a >= layout.tableAddress && a < tableEnd) || inMemberBytes) << a;
    }
    for (std::size_t g = 0; g < 4; ++g) {
        EXPECT_TRUE(radio.memberBit(layout, g, 23)) << g;
    }
}

TEST(RxChannelSettingsTest, OnlyStorableChannelsAreTaken) {
    Radio radio(kQM2200);
    RxChannelSettings settings = radio.load();
    const RX_CH_DATA_STRUCT refused[] = {
        channel(477005000, "A", 0),            // between two steps
        channel(kRxHighestHz + 12500, "A", 0), // the empty mark 0xFFFF
        channel(477000000, "ab", 0),           // lower case: the packed text has none
        channel(477000000, "A@B", 0),          // '@' would end the name
        channel(477000000, "SIXCHR", 0),       // longer than five
    };
    for (const RX_CH_DATA_STRUCT& c : refused) {
        EXPECT_FALSE(settings.setChannel(0, 81, c)) << c.frequencyHz << " " << c.alphaTag;
    }
    EXPECT_FALSE(settings.setChannel(0, 100, channel(477000000, "A", 0)));
    EXPECT_TRUE(settings.usedChannels(0).empty());
}

TEST(RxChannelTextTest, DeletePromptNamesTheBankOnlyWithBanks) {
    EXPECT_EQ(rxDeletePrompt(true, 1, 83), "Delete bank RX-B, channel 83?");
    EXPECT_EQ(rxDeletePrompt(false, 0, 83), "Delete channel 83?");
}

TEST(RxChannelTextTest, GridLeavesNamesOutWithoutAlphaTags) {
    Radio radio(kQM1700);
    RxChannelSettings settings = radio.load();
    ASSERT_TRUE(settings.setChannel(0, 99, channel(12500, "NAME", kMemberScan1 | kMemberQuiet)));
    EXPECT_EQ(rxGridRows(settings, 0),
              (std::vector<RxGridRow>{{"99", "", "0.0125", "M", "-", "Q", "-"}}));
}

TEST(RxFrequencyTest, TypedFrequenciesAreTakenOnlyWhenExact) {
    struct Case {
        const char* text;
        FrequencyError error;
        std::uint32_t hz;
    };
    const Case cases[] = {
        {"477.0000", FrequencyError::None, 477000000},
        {"477", FrequencyError::None, 477000000},
        {"477.", FrequencyError::None, 477000000},
        {" 476.4250 ", FrequencyError::None, 476425000},
        {"477.0125", FrequencyError::None, 477012500},
        {"477.012500000", FrequencyError::None, 477012500},
        {".0125", FrequencyError::None, 12500},
        {"819.175", FrequencyError::None, 819175000},
        {"477.0050", FrequencyError::OffStep, 0},
        {"477.0070", FrequencyError::OffStep, 0},
        {"477.0125001", FrequencyError::OffStep, 0},
        {"477.01250001", FrequencyError::OffStep, 0}, // below a hertz
        {"", FrequencyError::OutOfBand, 0},
        {"0", FrequencyError::OutOfBand, 0},
        {"900", FrequencyError::OutOfBand, 0},
        {"819.1875", FrequencyError::OutOfBand, 0},    // code 0xFFFF, the empty mark
        {"4294.967296", FrequencyError::OutOfBand, 0}, // 2^32 Hz must not wrap
        {"99999999999999999999", FrequencyError::OutOfBand, 0},
        {"abc", FrequencyError::NotANumber, 0},
        {".", FrequencyError::NotANumber, 0},
        {"477.0.1", FrequencyError::NotANumber, 0},
        {"-477", FrequencyError::NotANumber, 0},
        {"477,0125", FrequencyError::NotANumber, 0},
        {"1e2", FrequencyError::NotANumber, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FrequencyInput input = parseRxFrequency(c.text);
        EXPECT_EQ(input.error, c.error);
        EXPECT_EQ(input.hz, c.hz);
        EXPECT_EQ(frequencyErrorText(input.error).rfind("Invalid Frequency", 0),
                  c.error == FrequencyError::None ? std::string::npos : 0u);
    }
    EXPECT_EQ(frequencyErrorText(FrequencyError::NotANumber), "Invalid Frequency");
}

TEST(RxFrequencyTest, EnterAndSpinRoundToTheStepInsideTheBand) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> snapped, up, down;
    };
    const Case cases[] = {
        {"477.0000", 477000000, 477012500, 476987500},
        {"477.0050", 477000000, 477012500, 476987500},
        {"477.0070", 477012500, 477025000, 477000000},
        {"477.00625", 477012500, 477025000, 477000000}, // half a step rounds up
        {"900", kRxHighestHz, kRxHighestHz, kRxHighestHz},
        {"819.175", kRxHighestHz, kRxHighestHz, 819162500},
        {"0", kRxLowestHz, kRxLowestHz, kRxLowestHz},
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(snapRxFrequency(c.text), c.snapped);
        EXPECT_EQ(stepRxFrequency(c.text, true), c.up);
        EXPECT_EQ(stepRxFrequency(c.text, false), c.down);
    }
    EXPECT_EQ(rxFrequencyText(477012500), "477.0125");
    EXPECT_EQ(rxFrequencyText(12500), "0.0125");
}

TEST(RxAlphaTagTest, OnlyWhatThePackedTextStoresIsAccepted) {
    struct Case {
        const char* typed;
        std::optional<std::string> stored;
    };
    const Case cases[] = {
        {"base", "BASE"},       {"A_Z 9", "A_Z 9"},
        {"#1-[]", "#1-[]"},     {"", ""},
        {"AB@", std::nullopt},  {"a~", std::nullopt},
        {"x{", std::nullopt},   {"caf\xc3\xa9", std::nullopt},
        {"A\tB", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::optional<std::string> tag = storableAlphaTag(c.typed);
        EXPECT_EQ(tag, c.stored);
        if (tag) {
            EXPECT_EQ(EEPROM::unpackText(EEPROM::packText(*tag)), *tag) << "stored unchanged";
        }
    }
}

} // namespace
} // namespace kav
