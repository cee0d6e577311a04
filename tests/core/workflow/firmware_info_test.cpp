#include "link/KavIICommand.h"
#include "link/Radio.h"
#include "link/SerialPort.h"
#include "model/Radioinfo.h"
#include "sim/VirtualRadio.h"
#include "workflow/FirmwareFacts.h"

#include <gtest/gtest.h>
#include <string>

namespace kav {
namespace {

constexpr int kPcbRevVariable = 27;

// The radio, the port and the radio object over one pty; the model table the window uses.
class FirmwareInfoTest : public ::testing::Test {
protected:
    void start(std::uint16_t productId, int pcbRevision, const BuildConfig& config) {
        sim = std::make_unique<VirtualRadio>(productId);
        sim->update([&](CommandResponder& r) {
            TradioInfo map;
            map.setModelByProductId(productId);
            r.eeprom().setWord(map.variableAddress(kPcbRevVariable), pcbRevision);
            r.state().radioType = "QM2200 TEST";
            r.state().firmwareMajor = 3;
            r.state().firmwareMinor = 2;
        });
        ASSERT_TRUE(sim->start());
        ASSERT_EQ(port.Open(sim->slavePath(), 9600), 1);
        radio = std::make_unique<TRadio>(port, image, config);
        radio->setModelTable(&models);
        models.setModelByProductId(config.buildProductId);
    }

    void nack(std::uint8_t code) {
        VirtualRadioFaults faults = sim->faults();
        faults.nackCodes[code] = true;
        sim->setFaults(faults);
    }

    std::unique_ptr<VirtualRadio> sim;
    SerialPort port;
    EEPROM image;
    TradioInfo models;
    std::unique_ptr<TRadio> radio;
};

TEST_F(FirmwareInfoTest, FourFactsOfAnAnsweringRadio) {
    start(0x2200, 0x0A3, BuildConfig::delivered());
    const FirmwareFacts facts = readFirmwareFacts(*radio, models, BuildConfig::delivered());
    EXPECT_FALSE(facts.typeReadFailed);
    EXPECT_EQ(facts.radioType, "QM2200 TEST");
    EXPECT_EQ(facts.productId, "2200");
    EXPECT_EQ(facts.pcbRevision, "A3");
    std::string version;
    ASSERT_TRUE(radio->GetVersionText(version)); // the radio object keeps the version read
    EXPECT_EQ(facts.firmware, version);
    EXPECT_NE(facts.firmware, kFirmwareUnknownText);
}

TEST_F(FirmwareInfoTest, NoVersionReplyGivesNotAvailable) {
    start(0x2200, 0x10, BuildConfig::delivered());
    nack(code(KavIICommand::Ping));
    const FirmwareFacts facts = readFirmwareFacts(*radio, models, BuildConfig::delivered());
    EXPECT_FALSE(facts.typeReadFailed);
    EXPECT_EQ(facts.radioType, "QM2200 TEST");
    EXPECT_EQ(facts.productId, "2200");
    EXPECT_EQ(facts.pcbRevision, "10");
    EXPECT_EQ(facts.firmware, "n/a");
}

TEST_F(FirmwareInfoTest, SilentRadioFailsTheTypeReadAndLeavesEveryFactEmpty) {
    start(0x2200, 0x10, BuildConfig::delivered());
    VirtualRadioFaults faults;
    faults.replyLimit = 0;
    sim->setFaults(faults);
    const FirmwareFacts facts = readFirmwareFacts(*radio, models, BuildConfig::delivered());
    EXPECT_TRUE(facts.typeReadFailed);
    EXPECT_EQ(facts.radioType + facts.productId + facts.pcbRevision + facts.firmware, "");
}

TEST_F(FirmwareInfoTest, ShortProductIdsKeepTwoDigits) {
    for (const auto& [id, text] : {std::pair<int, const char*>{0x0105, "105"}, {0x0005, "05"}}) {
        start(0x2200, 0x10, BuildConfig::delivered());
        sim->update([id = id](CommandResponder& r) { r.eeprom().setWord(0, id); });
        EXPECT_EQ(readFirmwareFacts(*radio, models, BuildConfig::delivered()).productId, text);
        radio.reset();
        port.Close();
        sim.reset();
    }
}

TEST_F(FirmwareInfoTest, ModelFollowsTheRadioOnlyInAMask511Build) {
    const BuildConfig any{0x2200, 511, 0};
    start(0x3100, 0x10, any);
    EXPECT_EQ(readFirmwareFacts(*radio, models, any).productId, "3100");
    EXPECT_EQ(models.currentRow().productId, 0x3100U);

    models.setModelByProductId(0x2200);
    EXPECT_EQ(readFirmwareFacts(*radio, models, BuildConfig::delivered()).productId, "3100");
    EXPECT_EQ(models.currentRow().productId, 0x2200U);
}

TEST_F(FirmwareInfoTest, UnreadableProductIdLeavesTheModelAlone) {
    const BuildConfig any{0x2200, 511, 0};
    start(0x3100, 0x10, any);
    nack(code(KavIICommand::ReadWord));
    const FirmwareFacts facts = readFirmwareFacts(*radio, models, any);
    EXPECT_EQ(facts.productId, "");
    EXPECT_EQ(facts.pcbRevision, "");
    EXPECT_EQ(models.currentRow().productId, 0x2200U);
}

} // namespace
} // namespace kav
