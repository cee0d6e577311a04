#pragma once

#include "model/Eebuff.h"
#include "model/Radioinfo.h"

#include <string>
#include <vector>

namespace kav {

// One named stretch of the image: a variable from its address up to the next variable's.
struct ImageField {
    std::string name;
    int address = 0;
    int length = 1;
};

// The fields of an address map in address order. A field ends where the next one starts;
// the channel memories end after their 24-byte bitmap, so the bytes between them and the
// next variable count as unnamed.
std::vector<ImageField> imageFields(AddressMap map, int imageSize);

struct ByteDifference {
    int address = 0;
    int offset = 0; // within its field
    int a = 0;
    int b = 0;
};

// Differing bytes under one field; `field` is empty for bytes no variable covers.
struct FieldDifference {
    std::string field;
    int address = 0;
    int length = 0;
    std::vector<ByteDifference> bytes;
};

// Every byte that differs, grouped by field in address order; unnamed bytes come last.
std::vector<FieldDifference> diffImages(const EEbuffer& a, const EEbuffer& b, AddressMap map);

// One line per group or byte, e.g. "Sql Level [32]: 05 -> 07".
std::vector<std::string> formatDifferences(const std::vector<FieldDifference>& groups);

} // namespace kav
