#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

// The engineering panel's typed fields and what they turn into on the wire. A field that does
// not hold a number of its base in its range is refused, so nothing is sent for it.

inline constexpr int kPllStepHz = 12500;
// The synthesiser takes a 16-bit count of 12.5 kHz steps.
inline constexpr int kMaxFrequencyHz = 0xFFFF * kPllStepHz;
inline constexpr int kMaxPacketBytes = 20;
inline constexpr int kMaxArrayBytes = 128;
inline constexpr int kRadioIdDigits = 16;

struct FrequencyStep {
    const char* text;
    int hz;
};
inline constexpr std::array<FrequencyStep, 5> kFrequencySteps{{
    {"12.5 kHz", 12500},
    {"25.0 kHz", 25000},
    {"100.0 kHz", 100000},
    {"1.000 MHz", 1000000},
    {"10.000 MHz", 10000000},
}};

// A field's rule: its name as the window labels it, its base (10 or 16) and its range.
struct FieldRule {
    const char* name;
    int base;
    int min;
    int max;
};
inline constexpr FieldRule kMemAddress{"Addr", 16, 0, 0xFFFF};
inline constexpr FieldRule kMemData{"Data", 16, 0, 0xFF};
inline constexpr FieldRule kMemMask{"Mask", 16, 0, 0xFF};
inline constexpr FieldRule kAlignStart{"Start", 10, 0, 255};
inline constexpr FieldRule kAlignStop{"Stop", 10, 0, 255};
inline constexpr FieldRule kAlignStep{"Step", 10, 0, 255};
inline constexpr FieldRule kArrayAddress{"address", 10, 0, 0xFFFF};
inline constexpr FieldRule kArrayCount{"num bytes", 10, 1, kMaxArrayBytes};

// The number in the field (blanks around it ignored), or nothing when it is not one of the
// rule's base within its range.
std::optional<int> readField(std::string_view text, const FieldRule& rule);
// Why the field was refused.
std::string fieldError(std::string_view text, const FieldRule& rule);

// The frequency after one step in `direction`, kept within 0..kMaxFrequencyHz.
int steppedFrequency(int hz, int stepHz, int direction);
// The synthesiser's step count for a frequency in range.
int pllSteps(int hz);

// The icon mask: the leading hexadecimal digits (at most 4), 0 when there are none.
int iconMask(std::string_view text);
// The first `count` characters, blanks filling what the text lacks.
std::string displayText(std::string_view text, std::size_t count);

// The raw packet "34 89 0F": two hexadecimal digits per byte, one separator between bytes,
// at most 20 bytes. Nothing when a byte is not hexadecimal or there is no byte at all.
std::optional<std::vector<std::uint8_t>> packetBytes(std::string_view text);

// The radio ID as 16 hexadecimal digits and back.
std::optional<std::array<std::uint8_t, 8>> radioIdBytes(std::string_view text);
std::string radioIdText(const std::array<std::uint8_t, 8>& id);

// "Got n bytes" and a line of the bytes, as the array read reports them.
std::string arrayReadText(const std::uint8_t* bytes, int count);

// Two uppercase hexadecimal digits.
std::string hexByte(int value);

} // namespace kav
