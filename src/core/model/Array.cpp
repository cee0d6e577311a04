#include "model/Array.h"

namespace kav {

namespace {

bool inRange(int k, std::size_t byteCount) {
    return k >= 0 && static_cast<std::size_t>(k / 8) < byteCount;
}

std::uint8_t mask(int k) {
    return static_cast<std::uint8_t>(1u << (k % 8));
}

} // namespace

bool testBit(int k, std::span<const std::uint8_t> bytes) {
    return inRange(k, bytes.size()) && (bytes[static_cast<std::size_t>(k / 8)] & mask(k)) != 0;
}

void setBit(int k, std::span<std::uint8_t> bytes) {
    if (inRange(k, bytes.size())) {
        bytes[static_cast<std::size_t>(k / 8)] |= mask(k);
    }
}

void clearBit(int k, std::span<std::uint8_t> bytes) {
    if (inRange(k, bytes.size())) {
        bytes[static_cast<std::size_t>(k / 8)] &= static_cast<std::uint8_t>(~mask(k));
    }
}

} // namespace kav
