#pragma once

#include "model/Eebuff.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kav {

// One receive-only channel as editors and the report see it.
struct RX_CH_DATA_STRUCT {
    std::uint32_t frequencyHz = 0;
    std::string alphaTag;         // at most five characters
    std::uint8_t memberFlags = 0; // bit 3 scan 1, bit 2 scan 2, bit 1 quiet, bit 0 silent
};

// The radio's configuration memory with its packed encodings.
class EEPROM : public EEbuffer {
public:
    static constexpr int kImageSize = 2048;
    static constexpr int kRxChannelBytes = 6;
    static constexpr std::uint32_t kRxChannelStepHz = 12500;

    explicit EEPROM(int size = kImageSize) : EEbuffer(size) {}

    // Five characters of 6 bits each; '@' (code 32) ends the text.
    static std::uint32_t packText(std::string_view text);
    static std::string unpackText(std::uint32_t value);

    std::string getPackedText(int address) const;
    void setPackedText(int address, std::string_view text);

    // Channel n of the receive-only table starting at `tableAddress` (the current
    // model's "Rx-only Channels" address). Returns -1 and leaves `record` unchanged when
    // the channel's six bytes do not lie inside the image, else 0.
    int getRxChannel(int tableAddress, int n, RX_CH_DATA_STRUCT& record) const;

    // Two uppercase hex characters per byte, high nibble first; a byte outside the
    // image reads as "FF".
    std::string getHexString(int address, int count) const;
    // Stores `count` bytes from pairs of characters; any character other than 0-9 and
    // A-F, and any character missing from `src`, counts as 15.
    void setHexString(std::string_view src, int address, int count);

    // One digit per nibble, the first digit in the high nibble. At most dst.size() or
    // src.size() digits are moved; returns the number moved.
    int getNibbles(std::span<int> dst, int address, int count) const;
    int setNibbles(int address, std::span<const int> src, int count);
};

} // namespace kav
