#include "engineering/EepromCells.h"

#include "engineering/FieldText.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kav {

namespace {

int bitsOf(CellSize size) {
    return size == CellSize::Word ? 16 : 8;
}

int maxOf(CellSize size) {
    return (1 << bitsOf(size)) - 1;
}

int radixOf(CellBase base) {
    switch (base) {
    case CellBase::Bin:
        return 2;
    case CellBase::Hex:
        return 16;
    case CellBase::Dec:
        break;
    }
    return 10;
}

const char* baseName(CellBase base) {
    switch (base) {
    case CellBase::Bin:
        return "a binary number";
    case CellBase::Hex:
        return "a hexadecimal number";
    case CellBase::Dec:
        break;
    }
    return "a decimal number";
}

} // namespace

std::string cellText(int value, CellBase base, CellSize size) {
    const unsigned v = static_cast<unsigned>(value) & static_cast<unsigned>(maxOf(size));
    std::array<char, 20> buffer{};
    char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, radixOf(base)).ptr;
    std::string digits(buffer.data(), end);
    std::transform(digits.begin(), digits.end(), digits.begin(),
                   [](char c) { return static_cast<char>(std::toupper(c)); });
    const std::size_t width = base == CellBase::Bin   ? static_cast<std::size_t>(bitsOf(size))
                              : base == CellBase::Hex ? static_cast<std::size_t>(bitsOf(size) / 4)
                                                      : 0;
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

std::optional<int> parseCell(std::string_view text, CellBase base, CellSize size) {
    text = trimmed(text);
    if (text.empty()) {
        return 0;
    }
    unsigned value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, radixOf(base));
    if (error != std::errc{} || end != text.data() + text.size() ||
        value > static_cast<unsigned>(maxOf(size))) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::string cellError(std::string_view text, CellBase base, CellSize size) {
    return "\"" + std::string(trimmed(text)) + "\" is not " + baseName(base) + " from 0 to " +
           cellText(maxOf(size), base, size) + "; the cell keeps its value.";
}

int cellAddress(int row, int column, CellSize size) {
    if (row < 1 || row > kCellRows || column < kFirstDataColumn) {
        return -1;
    }
    const int even = 2 * (row - 1);
    if (size == CellSize::Word) {
        return column == kFirstDataColumn ? even : -1;
    }
    return column <= kFirstDataColumn + 1 ? even + (column - kFirstDataColumn) : -1;
}

AddressLabels addressLabels(AddressMap map) {
    AddressLabels labels;
    for (int v = 0; v < kVariableCount; ++v) {
        const int address = mapAddress(map, v);
        if (address < 0 || address >= kVariableMapSize || (address == 0 && v != 0)) {
            continue;
        }
        labels[static_cast<std::size_t>(address)] = std::string(eeVarNames(v));
    }
    return labels;
}

} // namespace kav
