#include "engineering/PanelInput.h"

#include "engineering/FieldText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace kav {

namespace {

std::optional<int> number(std::string_view text, int base, int max) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0 ||
        value > max) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int> readField(std::string_view text, const FieldRule& rule) {
    const std::optional<int> value = number(trimmed(text), rule.base, rule.max);
    return value && *value >= rule.min ? value : std::nullopt;
}

std::string fieldError(std::string_view text, const FieldRule& rule) {
    std::array<char, 32> range{};
    std::snprintf(range.data(), range.size(), rule.base == 16 ? "%X to %X" : "%d to %d", rule.min,
                  rule.max);
    return std::string(rule.name) + ": \"" + std::string(trimmed(text)) + "\" is not a " +
           (rule.base == 16 ? "hexadecimal" : "decimal") + " number from " + range.data() +
           "; nothing was sent.";
}

int steppedFrequency(int hz, int stepHz, int direction) {
    const long long next = static_cast<long long>(hz) + static_cast<long long>(stepHz) * direction;
    return static_cast<int>(std::clamp<long long>(next, 0, kMaxFrequencyHz));
}

int pllSteps(int hz) {
    return std::clamp(hz, 0, kMaxFrequencyHz) / kPllStepHz;
}

int iconMask(std::string_view text) {
    const std::size_t digits =
        std::find_if(text.begin(), text.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) == 0; }) -
        text.begin();
    return number(text.substr(0, std::min<std::size_t>(digits, 4)), 16, 0xFFFF).value_or(0);
}

std::string displayText(std::string_view text, std::size_t count) {
    std::string out(text.substr(0, count));
    out.resize(count, ' ');
    return out;
}

std::optional<std::vector<std::uint8_t>> packetBytes(std::string_view text) {
    const std::size_t count = std::min<std::size_t>((text.size() + 1) / 3, kMaxPacketBytes);
    if (count == 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<int> byte = number(text.substr(3 * i, 2), 16, 0xFF);
        if (!byte || text.substr(3 * i, 2).find_first_of("+-") != std::string_view::npos) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(*byte));
    }
    return bytes;
}

std::optional<std::array<std::uint8_t, 8>> radioIdBytes(std::string_view text) {
    text = trimmed(text);
    if (text.size() != kRadioIdDigits) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 8> id{};
    for (std::size_t i = 0; i < id.size(); ++i) {
        const std::string_view pair = text.substr(2 * i, 2);
        if (!std::all_of(pair.begin(), pair.end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
            return std::nullopt;
        }
        id[i] = static_cast<std::uint8_t>(*number(pair, 16, 0xFF));
    }
    return id;
}

std::string radioIdText(const std::array<std::uint8_t, 8>& id) {
    std::string text;
    for (const std::uint8_t b : id) {
        text += hexByte(b);
    }
    return text;
}

std::string arrayReadText(const std::uint8_t* bytes, int count) {
    std::string text = "Got " + std::to_string(count) + " bytes\n";
    for (int i = 0; i < count; ++i) {
        text += " " + hexByte(bytes[i]);
    }
    return text;
}

std::string hexByte(int value) {
    std::array<char, 4> text{};
    std::snprintf(text.data(), text.size(), "%02X", value & 0xFF);
    return text.data();
}

} // namespace kav
