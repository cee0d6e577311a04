#include "editors/SelcallMemories.h"

#include "editors/VariableAccess.h"

#include <algorithm>

namespace kav {

namespace {

constexpr int kTagOffset = 4;

int digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 0;
}

int tableAddress(const VariableReader& vars) {
    return vars.address(kVarSelcallMem, SelcallMemories::kCount * SelcallMemories::kEntryBytes);
}

} // namespace

std::string SelcallMemory::codeText(int count) const {
    const int n = clampIdentLength(count);
    std::string text;
    for (int k = kDigits - n; k < kDigits; ++k) {
        text += "0123456789ABCDEF"[digits[static_cast<std::size_t>(k)] & 15];
    }
    return text;
}

void SelcallMemory::setCodeText(std::string_view text) {
    const std::size_t length = std::min<std::size_t>(text.size(), kDigits);
    const std::size_t first = kDigits - length;
    for (std::size_t i = 0; i < length; ++i) {
        digits[first + i] = digitValue(text[i]);
    }
}

SelcallMemories SelcallMemories::load(const EEPROM& image, const TradioInfo& models) {
    const VariableReader vars(image, models);
    SelcallMemories m;
    const int table = tableAddress(vars);
    m.present = table >= 0;
    if (!m.present) {
        return m;
    }
    for (int i = 0; i < kCount; ++i) {
        SelcallMemory& entry = m.entries[static_cast<std::size_t>(i)];
        const int at = table + kEntryBytes * i;
        image.getNibbles(entry.digits, at, SelcallMemory::kDigits);
        entry.tag = image.getPackedText(at + kTagOffset);
    }
    return m;
}

void SelcallMemories::clear() {
    for (SelcallMemory& entry : entries) {
        entry.digits.fill(0);
        entry.tag.clear();
    }
}

void store(const SelcallMemories& m, EEPROM& image, const TradioInfo& models) {
    VariableWriter vars(image, models);
    const int table = tableAddress(vars);
    if (table < 0) {
        return;
    }
    for (int i = 0; i < SelcallMemories::kCount; ++i) {
        const SelcallMemory& entry = m.entries[static_cast<std::size_t>(i)];
        const int offset = SelcallMemories::kEntryBytes * i;
        image.setNibbles(table + offset, entry.digits, SelcallMemory::kDigits);
        vars.setText(kVarSelcallMem, offset + kTagOffset, entry.tag);
    }
}

int clampIdentLength(int length) {
    return std::clamp(length, 0, SelcallMemory::kDigits);
}

} // namespace kav
