#include "sim/DemoImage.h"

#include "model/Array.h"
#include "model/Radioinfo.h"

#include <array>
#include <span>

namespace kav {

namespace {

struct Setting {
    int variable;
    int value;
};

// Bytes of the QM2200 map by variable index.
constexpr std::array<Setting, 45> kSettings{{
    {1, 0x7A},
    {2, 0x7E},
    {3, 0x82},
    {4, 0x86},
    {5, 0x79},
    {6, 0x7D},
    {7, 0x81},
    {8, 0x85},
    {9, 0x78},
    {10, 0x7C},
    {11, 0x80},
    {12, 0x84},
    {13, 0x62},
    {14, 0x40},
    {15, 0x80},
    {16, 0x20},
    {17, 0xC8},
    {18, 0x30},
    {19, 0x55},
    {20, 0x10},
    {21, 0x22},
    {22, 0xA4},
    {23, 0x08},
    {24, 0x00},
    {25, 0x01},
    {26, 0x80},
    {28, 0x00},
    {29, 40},
    {30, 3},
    {31, 60},
    {44, 2},
    {45, 4},
    {46, 10},
    {47, 5},
    {60, 8},
    {85, 0x50},
    {86, 0x48},
    {87, 0x80},
    {88, 0x80},
    {103, 0x01},
    // CTCSS on with the extended tone numbering, no tone chosen yet.
    {36, 0x01},
    {40, 0x00},
    {52, 0},
    {53, 0},
    {101, 0},
}};

struct RxChannel {
    std::uint32_t hz;
    const char* tag;
};
constexpr std::array<RxChannel, 3> kRxChannels{{
    {477012500, "WX 1"},
    {477400000, "MARIN"},
    {476937500, "RPTR"},
}};

int address(int variable) {
    return mapAddress(AddressMap::QM2200, variable);
}

} // namespace

EEPROM demoImage() {
    EEPROM image;
    image.setWord(address(kVarProductId), 0x2200);
    image.setWord(address(kVarPcbRev), 0x0003);
    for (const Setting& s : kSettings) {
        image.setByte(address(s.variable), s.value);
    }
    // Squelch thresholds rise with the level.
    for (int level = 0; level < 10; ++level) {
        image.setByte(address(kVarSql0 + level), 0x18 + level * 0x0C);
    }
    std::array<std::uint8_t, 24> scan{};
    for (int channel = 0; channel < 40; ++channel) {
        setBit(channel, scan);
    }
    image.writeBlock(address(kVarScanMem0), scan.data(), static_cast<int>(scan.size()));
    const std::array<std::uint8_t, 24> none{};
    image.writeBlock(address(kVarSilentMem), none.data(), static_cast<int>(none.size()));
    const int table = address(kVarRxOnlyChannels);
    for (std::size_t n = 0; n < kRxChannels.size(); ++n) {
        const int at = table + EEPROM::kRxChannelBytes * static_cast<int>(n);
        image.setWord(at, static_cast<int>(kRxChannels[n].hz / EEPROM::kRxChannelStepHz));
        image.setPackedText(at + 2, kRxChannels[n].tag);
    }
    return image;
}

} // namespace kav
