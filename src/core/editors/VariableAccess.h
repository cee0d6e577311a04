#pragma once

#include "model/Eeprom.h"
#include "model/Radioinfo.h"

#include <array>
#include <string>

namespace kav {

inline constexpr int kCbChannelCount = 80;

// The duplex channels: 1-8, then the repeater inputs 41-48.
inline constexpr std::array<int, 16> kDuplexChannels{1,  2,  3,  4,  5,  6,  7,  8,
                                                     41, 42, 43, 44, 45, 46, 47, 48};

// One flag per CB channel, channel n at index n - 1.
using ChannelFlags = std::array<bool, kCbChannelCount>;

// A channel memory as stored: 24 bytes from `variable` (channels 1-80 in bytes 0-9, the
// receive-only memberships after them) or, split, bytes 0-4 at `variable` and bytes 5-9 at
// its "(ext)" partner `extVariable`.
struct ChannelMemory {
    int variable;
    int extVariable;
    bool split;
};

// The image as the editors see it: variables through the current model's map.
//
// A variable the model lacks has no record: it reads as absent (-1, clear flags, empty text)
// and is never written. The maps also hold 0 for some variables a model lacks; only the
// product ID lives at 0, so a record placed there would land on the product ID and the
// calibration, and is treated as absent too.
class VariableReader {
public:
    VariableReader(const EEPROM& image, const TradioInfo& models)
        : image_(image), models_(models) {}

    // First byte of a `length`-byte record of `variable`, or -1 when there is none.
    int address(int variable, int length = 1) const;
    // The byte, or -1 when the variable is absent.
    int byte(int variable) const;
    // One bit of a byte variable; clear when it is absent.
    bool bit(int variable, int bit) const;
    // Five packed characters `offset` bytes into the record; "" when it is absent.
    std::string text(int variable, int offset) const;
    // Channels 1-80; a part of the memory the model lacks reads as clear.
    ChannelFlags channels(const ChannelMemory& memory) const;

    const EEPROM& image() const { return image_; }
    const TradioInfo& models() const { return models_; }

private:
    const EEPROM& image_;
    const TradioInfo& models_;
};

class VariableWriter : public VariableReader {
public:
    VariableWriter(EEPROM& image, const TradioInfo& models)
        : VariableReader(image, models), image_(image) {}

    void setByte(int variable, int value);
    // Changes one bit and leaves the other seven.
    void setBit(int variable, int bit, bool on);
    // Writes the text only when it differs from what the record reads as now, so a name
    // that was not edited keeps its bytes (an erased name and the bytes after an end mark
    // would otherwise change).
    void setText(int variable, int offset, const std::string& text);
    // Only the bits of channels 1-80 change; the memberships after them stay.
    void setChannels(const ChannelMemory& memory, const ChannelFlags& channels);

    EEPROM& image() { return image_; }

private:
    EEPROM& image_;
};

} // namespace kav
