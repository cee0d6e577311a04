#include "model/Eeprom.h"

#include <algorithm>
#include <array>

namespace kav {

namespace {

constexpr int kTextLength = 5;
constexpr int kBitsPerChar = 6;
constexpr char kEndMark = '@';

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 15;
}

char hexDigit(int v) {
    return "0123456789ABCDEF"[v & 15];
}

int digitCount(int count, std::size_t available) {
    return std::clamp(count, 0, static_cast<int>(available));
}

} // namespace

std::uint32_t EEPROM::packText(std::string_view text) {
    std::uint32_t result = 0;
    for (int i = 0; i < kTextLength; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        int c = idx < text.size() ? static_cast<unsigned char>(text[idx]) : 0;
        if (c == 0) {
            c = kEndMark;
        }
        const int code = (c >= 32 && c <= 95) ? c - 32 : 0;
        result |= static_cast<std::uint32_t>(code & 63) << (24 - kBitsPerChar * i);
    }
    return result;
}

std::string EEPROM::unpackText(std::uint32_t value) {
    std::array<char, kTextLength> buffer{};
    for (int i = 0; i < kTextLength; ++i) {
        const char c = static_cast<char>((value & 63) + 32);
        buffer[static_cast<std::size_t>(kTextLength - 1 - i)] = c == kEndMark ? '\0' : c;
        value >>= kBitsPerChar;
    }
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    return std::string(buffer.begin(), end);
}

std::string EEPROM::getPackedText(int address) const {
    const auto high = static_cast<std::uint32_t>(getWord(address));
    const auto low = static_cast<std::uint32_t>(getWord(address + 2));
    return unpackText((high << 16) | low);
}

void EEPROM::setPackedText(int address, std::string_view text) {
    const std::uint32_t packed = packText(text);
    setWord(address, static_cast<int>(packed >> 16));
    setWord(address + 2, static_cast<int>(packed & 0xFFFF));
}

int EEPROM::getRxChannel(int tableAddress, int n, RX_CH_DATA_STRUCT& record) const {
    if (tableAddress < 0 || n < 0) {
        return -1;
    }
    const long long first = tableAddress + static_cast<long long>(kRxChannelBytes) * n;
    if (first + kRxChannelBytes > size()) {
        return -1;
    }
    const int address = static_cast<int>(first);
    const int code = getWord(address);
    record.frequencyHz = code == 0xFFFF ? 0 : static_cast<std::uint32_t>(code) * kRxChannelStepHz;
    record.alphaTag = getPackedText(address + 2);
    return 0;
}

std::string EEPROM::getHexString(int address, int count) const {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const int b = getByte(address + i);
        const int v = b < 0 ? 0xFF : b;
        out += hexDigit(v >> 4);
        out += hexDigit(v);
    }
    return out;
}

void EEPROM::setHexString(std::string_view src, int address, int count) {
    const auto charAt = [&](int i) {
        return static_cast<std::size_t>(i) < src.size() ? src[static_cast<std::size_t>(i)] : '\0';
    };
    for (int i = 0; i < count; ++i) {
        setByte(address + i, hexValue(charAt(2 * i)) * 16 + hexValue(charAt(2 * i + 1)));
    }
}

int EEPROM::getNibbles(std::span<int> dst, int address, int count) const {
    const int n = digitCount(count, dst.size());
    for (int i = 0; i < n; ++i) {
        const int b = getByte(address + i / 2);
        const int v = b < 0 ? 0xFF : b;
        dst[static_cast<std::size_t>(i)] = (i % 2 == 0) ? (v >> 4) & 15 : v & 15;
    }
    return n;
}

int EEPROM::setNibbles(int address, std::span<const int> src, int count) {
    const int n = digitCount(count, src.size());
    for (int i = 0; i < n; ++i) {
        const int at = address + i / 2;
        const int b = getByte(at);
        if (b < 0) {
            continue;
        }
        const int digit = src[static_cast<std::size_t>(i)] & 15;
        setByte(at, (i % 2 == 0) ? (b & 0x0F) | (digit << 4) : (b & 0xF0) | digit);
    }
    return n;
}

} // namespace kav
