#pragma once

#include <cstdint>
#include <span>

namespace kav {

// Per-channel flag arrays: flag k is bit (k mod 8) of byte (k div 8), least significant
// bit first. A flag outside the array reads as clear and is never written.
bool testBit(int k, std::span<const std::uint8_t> bytes);
void setBit(int k, std::span<std::uint8_t> bytes);
void clearBit(int k, std::span<std::uint8_t> bytes);

} // namespace kav
