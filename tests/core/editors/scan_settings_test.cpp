#include "editors/ScanSettings.h"
#include "support/EditorImages.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using test::changedBytes;
using test::modelsFor;
using test::qm2200;

const BuildConfig kDelivered = BuildConfig::delivered();

// A model table whose current model is `model`, as a build makes it current.
// Loads and stores back without a change, as an untouched OK does.
EEPROM untouchedOk(const EEPROM& image, const TradioInfo& models, const BuildConfig& config) {
    EEPROM after = image;
    store(ScanSettings::load(image, models, config), after, models);
    return after;
}

void useRxSlot(EEPROM& image, int slot, int table = qm2200(kVarRxOnlyChannels)) {
    image.setWord(table + 6 * slot, 38162); // 477.025 MHz
}

TEST(ScanSettingsTest, UntouchedOkChangesOnlyTheLoadCorrections) {
    struct Case {
        const char* what;
        EEPROM image;
        std::uint32_t model;
        BuildConfig config;
        std::map<int, int> changed;
    };
    const Case cases[] = {
        {"typical", test::typicalImage(), 0x2200, kDelivered, {}},
        // Priority channel 255 -> 1, check rate 255 -> 10, skip time 255 -> 3, and of the two
        // scan-memory bits the one tested first wins.
        {"erased",
         test::erasedImage(),
         0x2200,
         kDelivered,
         {{51, 1}, {50, 10}, {85, 3}, {30, 0xDF}}},
        // Pattern bytes: Pri Chk Rate 94 -> 10, Pri Channel 101 -> 1; the rest is valid.
        {"odd", test::oddImage(0x2200, 0), 0x2200, kDelivered, {{50, 10}, {51, 1}}},
        {"QM1500 erased",
         test::erasedImage(),
         0x1500,
         {0x1500, 128, 0},
         {{51, 1}, {50, 10}, {30, 0xDF}}},
        // A QM2200 build told by the radio that it is a QM1500 or a QM1300: records those
        // models lack are neither read nor written (only the pattern's priority bytes are
        // corrected).
        {"mask 511, QM1500 map",
         test::oddImage(0x1500, 3),
         0x1500,
         {0x2200, 511, 0},
         {{50, 10}, {51, 1}}},
        {"mask 511, QM1300 map",
         test::erasedImage(),
         0x1300,
         {0x2200, 511, 0},
         {{51, 1}, {50, 10}, {85, 3}, {30, 0xDF}}},
        // QM1500 capabilities over the QM1700SBT map, whose "(ext)" entries are 0.
        {"QM1500 build, QM1700SBT map",
         test::oddImage(0x1701, 5),
         0x1701,
         {0x1500, 511, 0},
         {{50, 10}, {51, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TradioInfo models = modelsFor(c.model);
        const EEPROM after = untouchedOk(c.image, models, c.config);
        EXPECT_EQ(changedBytes(c.image, after), c.changed);
    }
}

// Edits of records the current model lacks go nowhere: a record at -1 or at a placeholder 0
// plus its offset would land on the product ID and the calibration.
TEST(ScanSettingsTest, RecordsTheModelLacksAreNeverWritten) {
    struct Case {
        const char* what;
        std::uint32_t model;
        BuildConfig config;
    };
    const Case cases[] = {
        {"QM2200 build, QM1500 map: no Trawl memory, skip time or bank", 0x1500, {0x2200, 511, 0}},
        {"QM1500 build, QM1700SBT map: \"(ext)\" halves at 0", 0x1701, {0x1500, 511, 0}},
        {"QM1300 build, QM1700SBT map: scan memory byte at 0", 0x1701, {0x1300, 511, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TradioInfo models = modelsFor(c.model);
        EEPROM image = test::oddImage(static_cast<std::uint16_t>(c.model), 7);
        const EEPROM before = image;
        ScanSettings s = ScanSettings::load(image, models, c.config);
        for (ChannelFlags& memory : s.memories) {
            memory.fill(false);
        }
        s.skipTime = 990;
        s.scanMemory = 1;
        store(s, image, models);
        for (const auto& [address, value] : changedBytes(before, image)) {
            EXPECT_GE(address, 30) << "written at " << address;
        }
    }
}

TEST(ScanSettingsTest, ErasedImageShowsTheCorrectedValuesAndEveryBoxTicked) {
    const TradioInfo models = modelsFor(0x2200);
    const ScanSettings s = ScanSettings::load(test::erasedImage(), models, kDelivered);
    EXPECT_EQ(priorityChannelName(s.priorityChannel), "CB 01");
    EXPECT_EQ(s.priorityCheckRate, 10);
    EXPECT_EQ(s.skipTime, 30);
    EXPECT_EQ(s.scanMemoryCount, 3);
    EXPECT_EQ(scanMemoryName(s.scanMemory), "Scan memory 2");
    EXPECT_EQ(s.priorityChannels.size(), 80u) << "no receive-only channel is stored";
    for (bool d : s.duplex) {
        EXPECT_TRUE(d);
    }
    for (const ChannelFlags& memory : s.memories) {
        EXPECT_EQ(std::count(memory.begin(), memory.end(), true), 80);
    }
    EXPECT_TRUE(s.threeBeeps && s.transmitOnPriority && s.groupScan[0] && s.groupScan[1]);
    EXPECT_TRUE(s.userModifiesTrawl && s.userModifiesScanMode);
}

TEST(ScanSettingsTest, PriorityChannelIsOneOfTheChannelsOnOffer) {
    struct Case {
        const char* what;
        int stored;
        std::vector<int> usedSlots;
        int bank;
        std::vector<int> rxListed;
        int shown;
    };
    const Case cases[] = {
        {"RX 85 present", 85, {0, 4}, 0, {81, 85}, 85},
        {"RX 85 empty", 85, {0}, 0, {81}, 1},
        {"CB 80", 80, {}, 0, {}, 80},
        {"zero", 0, {}, 0, {}, 1},
        {"120 has no item", 120, {0, 19, 39}, 0, {81}, 1},
        {"180 reads no slot past the table", 180, {}, 4, {}, 1},
        {"the twentieth slot of a bank is never listed", 99, {18, 19}, 0, {99}, 99},
        {"bank 1", 82, {1, 21}, 1, {82}, 82},
        {"bank byte out of range means bank 0", 82, {1, 21}, 7, {82}, 82},
    };
    const TradioInfo models = modelsFor(0x2200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = test::erasedImage();
        for (int slot : c.usedSlots) {
            useRxSlot(image, slot);
        }
        image.setByte(qm2200(kVarRxBank), c.bank);
        image.setByte(qm2200(kVarPriChannel), c.stored);
        const ScanSettings s = ScanSettings::load(image, models, kDelivered);
        const std::vector<int> rx(s.priorityChannels.begin() + 80, s.priorityChannels.end());
        EXPECT_EQ(rx, c.rxListed);
        EXPECT_EQ(s.priorityChannel, c.shown);
        EEPROM after = image;
        store(s, after, models);
        EXPECT_EQ(after.getByte(qm2200(kVarPriChannel)), c.shown);
    }
    EXPECT_EQ(priorityChannelName(7), "CB 07");
    EXPECT_EQ(priorityChannelName(85), "RX 85");
}

TEST(ScanSettingsTest, ChosenScanMemoryGoesToTheStatusBitsOrItsOwnByte) {
    const TradioInfo qm2200Models = modelsFor(0x2200);
    EEPROM image = test::typicalImage();
    ScanSettings s = ScanSettings::load(image, qm2200Models, kDelivered);
    s.scanMemory = 2;
    store(s, image, qm2200Models);
    EXPECT_EQ(image.getByte(qm2200(kVarStatus)), 0x20);
    s.scanMemory = 0; // after ScanWeave: both bits clear, and the next load agrees
    store(s, image, qm2200Models);
    EXPECT_EQ(image.getByte(qm2200(kVarStatus)), 0x00);
    EXPECT_EQ(ScanSettings::load(image, qm2200Models, kDelivered).scanMemory, 0);

    // The QM1300 keeps the memory in use in a byte of its own and leaves "Status" alone; a
    // stored value with no item shows no selection and stays as it was.
    const BuildConfig qm1300{0x1300, 32, 0};
    const TradioInfo qm1300Models = modelsFor(0x1300);
    const int scanMemory = mapAddress(AddressMap::QM1300, kVarScanMemory);
    for (int stored : {0, 2, 7, 255}) {
        SCOPED_TRACE(stored);
        EEPROM qm = test::erasedImage();
        qm.setByte(scanMemory, stored);
        const ScanSettings loaded = ScanSettings::load(qm, qm1300Models, qm1300);
        EXPECT_EQ(loaded.scanMemory, stored < 3 ? stored : ScanSettings::kNoSelection);
        EXPECT_EQ(changedBytes(qm, untouchedOk(qm, qm1300Models, qm1300)),
                  (std::map<int, int>{{51, 1}, {50, 10}, {85, 3}}));
    }
}

TEST(ScanSettingsTest, ModelsWithoutTrawlSkipTimeOrWholeBitmaps) {
    // QM1500: 5 + 5 bytes per memory, no Trawl memory, no skip time, two list items.
    const BuildConfig qm1500{0x1500, 128, 0};
    const TradioInfo models = modelsFor(0x1500);
    const int scan0 = mapAddress(AddressMap::QM1500, kVarScanMem0);
    const int scan0Ext = mapAddress(AddressMap::QM1500, kVarScanMem0Ext);
    const int scan1Ext = mapAddress(AddressMap::QM1500, kVarScanMem1Ext);
    EEPROM image = test::oddImage(0x1500, 9);
    for (int i = 0; i < 5; ++i) {
        image.setByte(scan0 + i, 0xFF);
        image.setByte(scan0Ext + i, 0xFF);
    }
    image.setByte(scan1Ext + 4, 0xFF);
    image.setByte(mapAddress(AddressMap::QM1500, kVarPriChkRate), 3);
    image.setByte(mapAddress(AddressMap::QM1500, kVarPriChannel), 7);
    ScanSettings s = ScanSettings::load(image, models, qm1500);
    EXPECT_FALSE(s.features.trawl || s.features.trawlPage || s.features.skipTime);
    EXPECT_EQ(s.scanMemoryCount, 2);
    s.memories[0].fill(false);
    s.memories[0][0] = true;   // channel 1: bit 0 of the main half
    s.memories[0][40] = true;  // channel 41: bit 0 of the "(ext)" half
    s.memories[1][79] = false; // channel 80: bit 7 of the last "(ext)" byte
    const EEPROM before = image;
    store(s, image, models);
    EXPECT_EQ(changedBytes(before, image), (std::map<int, int>{{scan0, 0x01},
                                                               {scan0 + 1, 0},
                                                               {scan0 + 2, 0},
                                                               {scan0 + 3, 0},
                                                               {scan0 + 4, 0},
                                                               {scan0Ext, 0x01},
                                                               {scan0Ext + 1, 0},
                                                               {scan0Ext + 2, 0},
                                                               {scan0Ext + 3, 0},
                                                               {scan0Ext + 4, 0},
                                                               {scan1Ext + 4, 0x7F}}));

    // QM3100 before firmware 2: "ScanWeave memory" is offered, its channels are not edited.
    const BuildConfig qm3100{0x3100, 4, 0};
    const TradioInfo qm3100Models = modelsFor(0x3100);
    EEPROM erased = test::erasedImage();
    ScanSettings q = ScanSettings::load(erased, qm3100Models, qm3100);
    EXPECT_TRUE(q.features.trawl);
    EXPECT_FALSE(q.features.trawlPage);
    EXPECT_EQ(q.scanMemoryCount, 3);
    q.memories[2].fill(false);
    store(q, erased, qm3100Models);
    for (int a = 920; a < 944; ++a) {
        ASSERT_EQ(erased.getByte(a), 0xFF) << "Scan Mem 2 untouched";
    }
}

TEST(ScanSettingsTest, EditsReachOnlyTheirBits) {
    const TradioInfo models = modelsFor(0x2200);
    struct Case {
        const char* what;
        void (*edit)(ScanSettings&);
        std::map<int, int> changed; // over the typical image
    };
    const Case cases[] = {
        {"3 beeps off", [](ScanSettings& s) { s.threeBeeps = false; }, {{35, 0x20}}},
        {"group scan 2", [](ScanSettings& s) { s.groupScan[1] = true; }, {{35, 0x61}}},
        {"PTT exit", [](ScanSettings& s) { s.transmitOnPriority = true; }, {{35, 0xA1}}},
        {"Trawl lock off", [](ScanSettings& s) { s.userModifiesTrawl = false; }, {{39, 0x32}}},
        {"scan mode lock off",
         [](ScanSettings& s) { s.userModifiesScanMode = false; },
         {{39, 0x2A}}},
        {"duplex 48", [](ScanSettings& s) { s.duplex[15] = false; }, {{58, 0x00}}},
        {"check rate", [](ScanSettings& s) { s.priorityCheckRate = 7; }, {{50, 7}}},
        {"priority", [](ScanSettings& s) { s.priorityChannel = 40; }, {{51, 40}}},
        {"skip 2540", [](ScanSettings& s) { s.skipTime = 2540; }, {{85, 254}}},
        {"Trawl channel 80", [](ScanSettings& s) { s.memories[2][79] = false; }, {{929, 0x7F}}},
        {"scan 2 channel 9", [](ScanSettings& s) { s.memories[1][8] = false; }, {{153, 0xFE}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EEPROM image = test::typicalImage();
        image.setByte(929, 0xFF);
        const EEPROM before = image;
        ScanSettings s = ScanSettings::load(image, models, kDelivered);
        c.edit(s);
        store(s, image, models);
        EXPECT_EQ(changedBytes(before, image), c.changed);
    }
}

TEST(ScanSettingsTest, SkipTimeEnterRoundsAndLimits) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"", 0},
        {"17", 20},
        {"14", 10},
        {"15", 20},
        {"3000", 2540},
        {"2539", 2540},
        {"999999", 2540},
        {"12a", std::nullopt},
        {"-5", std::nullopt},
    };
    for (const auto& [text, position] : cases) {
        EXPECT_EQ(enterSkipTime(text), position) << '"' << text << '"';
    }
}

} // namespace
} // namespace kav
