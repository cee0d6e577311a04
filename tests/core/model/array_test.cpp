#include "model/Array.h"

#include <array>
#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(BitArrayTest, FlagKIsBitKMod8OfByteKDiv8) {
    std::array<std::uint8_t, 3> bytes{};
    setBit(9, bytes);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 3>{0x00, 0x02, 0x00}));
    setBit(0, bytes);
    setBit(23, bytes);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 3>{0x01, 0x02, 0x80}));
    for (int k = 0; k < 24; ++k) {
        EXPECT_EQ(testBit(k, bytes), k == 0 || k == 9 || k == 23) << k;
    }
    clearBit(9, bytes);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 3>{0x01, 0x00, 0x80}));
}

TEST(BitArrayTest, FlagsOutsideTheArrayAreIgnored) {
    std::array<std::uint8_t, 2> bytes{0xFF, 0xFF};
    for (int k : {-1, -8, 16, 100}) {
        EXPECT_FALSE(testBit(k, bytes)) << k;
        clearBit(k, bytes);
        setBit(k, bytes);
    }
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 2>{0xFF, 0xFF}));
}

} // namespace
} // namespace kav
