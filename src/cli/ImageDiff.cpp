#include "cli/ImageDiff.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

namespace kav {

namespace {

constexpr int kChannelBitmapBytes = 24;

// The channel memories: their bitmap is all they hold, whatever follows them in the map.
constexpr std::array<int, 10> kChannelBitmaps{89, 90, 91, 92, 104, 108, 109, 110, 111, 112};

int knownLength(int index) {
    const bool bitmap =
        std::find(kChannelBitmaps.begin(), kChannelBitmaps.end(), index) != kChannelBitmaps.end();
    return bitmap ? kChannelBitmapBytes : 0;
}

// Address -> names of the variables there. A 0 other than for the product ID marks a variable
// the model lacks.
std::map<int, std::pair<std::string, int>> variablesByAddress(AddressMap map) {
    std::map<int, std::pair<std::string, int>> found;
    for (int index = 0; index < kVariableCount; ++index) {
        const int address = mapAddress(map, index);
        if (address < 0 || (address == 0 && index != kVarProductId)) {
            continue;
        }
        auto [it, fresh] = found.try_emplace(address, std::string(eeVarNames(index)), index);
        if (!fresh) {
            it->second.first += " / " + std::string(eeVarNames(index));
        }
    }
    return found;
}

std::string hexByte(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

std::string change(const ByteDifference& d) {
    return "[" + std::to_string(d.address) + "]: " + hexByte(d.a) + " -> " + hexByte(d.b);
}

} // namespace

std::vector<ImageField> imageFields(AddressMap map, int imageSize) {
    const auto variables = variablesByAddress(map);
    std::vector<ImageField> fields;
    for (auto it = variables.begin(); it != variables.end(); ++it) {
        const auto next = std::next(it);
        const int end = next == variables.end() ? imageSize : next->first;
        int length = end - it->first;
        if (const int known = knownLength(it->second.second); known > 0) {
            length = std::min(length, known);
        } else if (next == variables.end()) {
            length = 1; // nothing says how far the last variable reaches
        }
        fields.push_back({it->second.first, it->first, std::max(length, 1)});
    }
    return fields;
}

std::vector<FieldDifference> diffImages(const EEbuffer& a, const EEbuffer& b, AddressMap map) {
    const int size = std::max(a.size(), b.size());
    const auto fields = imageFields(map, size);
    std::vector<FieldDifference> groups;
    FieldDifference unnamed;
    auto field = fields.begin();
    for (int address = 0; address < size; ++address) {
        const int va = a.getByte(address);
        const int vb = b.getByte(address);
        if (va == vb) {
            continue;
        }
        while (field != fields.end() && field->address + field->length <= address) {
            ++field;
        }
        const bool inside = field != fields.end() && field->address <= address;
        if (!inside) {
            unnamed.bytes.push_back({address, address, va, vb});
            continue;
        }
        if (groups.empty() || groups.back().address != field->address) {
            groups.push_back({field->name, field->address, field->length, {}});
        }
        groups.back().bytes.push_back({address, address - field->address, va, vb});
    }
    if (!unnamed.bytes.empty()) {
        groups.push_back(std::move(unnamed));
    }
    return groups;
}

std::vector<std::string> formatDifferences(const std::vector<FieldDifference>& groups) {
    std::vector<std::string> lines;
    for (const FieldDifference& g : groups) {
        if (g.field.empty()) {
            lines.emplace_back("Outside every variable:");
            for (const ByteDifference& d : g.bytes) {
                lines.push_back("  " + change(d));
            }
        } else if (g.length == 1) {
            lines.push_back(g.field + " " + change(g.bytes.front()));
        } else {
            lines.push_back(g.field + " [" + std::to_string(g.address) + ".." +
                            std::to_string(g.address + g.length - 1) + "]:");
            for (const ByteDifference& d : g.bytes) {
                lines.push_back("  +" + std::to_string(d.offset) + " " + change(d));
            }
        }
    }
    return lines;
}

} // namespace kav
