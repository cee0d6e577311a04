#include "editors/VariableAccess.h"

#include "model/Array.h"

#include <span>

namespace kav {

namespace {

constexpr int kMemoryBytes = 24;
constexpr int kChannelBytes = 10;
constexpr int kHalfBytes = 5;
constexpr int kTextBytes = 4;

// The parts of a channel memory: where each lies and which bytes of the 10 it holds.
struct MemoryPart {
    int variable;
    int firstByte;
    int length; // bytes of the record that must exist
};

std::array<MemoryPart, 2> partsOf(const ChannelMemory& memory) {
    if (memory.split) {
        return {{{memory.variable, 0, kHalfBytes}, {memory.extVariable, kHalfBytes, kHalfBytes}}};
    }
    return {{{memory.variable, 0, kMemoryBytes}, {-1, 0, 0}}};
}

int partBytes(const MemoryPart& part) {
    return part.length == kMemoryBytes ? kChannelBytes : part.length;
}

} // namespace

int VariableReader::address(int variable, int length) const {
    const int at = models_.variableAddress(variable);
    if (at < 0 || (at == 0 && variable != kVarProductId)) {
        return -1;
    }
    return at + length <= image_.size() ? at : -1;
}

int VariableReader::byte(int variable) const {
    const int at = address(variable);
    return at < 0 ? -1 : image_.getByte(at);
}

bool VariableReader::bit(int variable, int bit) const {
    const int value = byte(variable);
    return value >= 0 && (value >> bit & 1) != 0;
}

std::string VariableReader::text(int variable, int offset) const {
    const int at = address(variable, offset + kTextBytes);
    return at < 0 ? std::string() : image_.getPackedText(at + offset);
}

ChannelFlags VariableReader::channels(const ChannelMemory& memory) const {
    ChannelFlags flags{};
    for (const MemoryPart& part : partsOf(memory)) {
        const int at = part.length > 0 ? address(part.variable, part.length) : -1;
        if (at < 0) {
            continue;
        }
        std::array<std::uint8_t, kChannelBytes> bytes{};
        const int count = partBytes(part);
        image_.readBlock(at, bytes.data(), count);
        const auto first = static_cast<std::size_t>(part.firstByte) * 8;
        for (int k = 0; k < count * 8; ++k) {
            flags[first + static_cast<std::size_t>(k)] =
                testBit(k, std::span<const std::uint8_t>(bytes.data(), count));
        }
    }
    return flags;
}

void VariableWriter::setByte(int variable, int value) {
    const int at = address(variable);
    if (at >= 0) {
        image_.setByte(at, value);
    }
}

void VariableWriter::setBit(int variable, int bit, bool on) {
    const int value = byte(variable);
    if (value < 0) {
        return;
    }
    const int mask = 1 << bit;
    setByte(variable, on ? (value | mask) : (value & ~mask));
}

void VariableWriter::setText(int variable, int offset, const std::string& text) {
    const int at = address(variable, offset + kTextBytes);
    if (at >= 0 && image_.getPackedText(at + offset) != text) {
        image_.setPackedText(at + offset, text);
    }
}

void VariableWriter::setChannels(const ChannelMemory& memory, const ChannelFlags& channels) {
    for (const MemoryPart& part : partsOf(memory)) {
        const int at = part.length > 0 ? address(part.variable, part.length) : -1;
        if (at < 0) {
            continue;
        }
        std::array<std::uint8_t, kChannelBytes> bytes{};
        const int count = partBytes(part);
        image_.readBlock(at, bytes.data(), count);
        const std::span<std::uint8_t> span(bytes.data(), count);
        const auto first = static_cast<std::size_t>(part.firstByte) * 8;
        for (int k = 0; k < count * 8; ++k) {
            if (channels[first + static_cast<std::size_t>(k)]) {
                kav::setBit(k, span);
            } else {
                clearBit(k, span);
            }
        }
        image_.writeBlock(at, bytes.data(), count);
    }
}

} // namespace kav
