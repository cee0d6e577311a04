#include "model/Radioinfo.h"
#include "sim/DemoImage.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(DemoImageTest, IsAnAcceptedQm2200ImageWithNamedChannels) {
    const EEPROM image = demoImage();
    TradioInfo models;
    models.setModelByProductId(0x2200);
    EXPECT_EQ(image.getWord(models.variableAddress(kVarProductId)), 0x2200);
    EXPECT_TRUE(models.acceptsProductId(0x2200, 2));
    EXPECT_EQ(image.getByte(models.variableAddress(29)), 40); // last channel

    RX_CH_DATA_STRUCT channel;
    ASSERT_EQ(image.getRxChannel(models.variableAddress(kVarRxOnlyChannels), 1, channel), 0);
    EXPECT_EQ(channel.frequencyHz, 477400000u);
    EXPECT_EQ(channel.alphaTag, "MARIN");
    ASSERT_EQ(image.getRxChannel(models.variableAddress(kVarRxOnlyChannels), 3, channel), 0);
    EXPECT_EQ(channel.frequencyHz, 0u); // the rest of the table is empty
}

} // namespace
} // namespace kav
