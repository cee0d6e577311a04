#include "cli/ImageDiff.h"
#include "model/Eeprom.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

const ImageField* fieldAt(const std::vector<ImageField>& fields, int address) {
    for (const ImageField& f : fields) {
        if (f.address == address) {
            return &f;
        }
    }
    return nullptr;
}

TEST(ImageFields, SpanToTheNextVariableExceptTheChannelBitmaps) {
    const auto fields = imageFields(AddressMap::QM2200, EEPROM::kImageSize);
    struct Case {
        int address;
        const char* name;
        int length;
    };
    for (const Case& c :
         {Case{0, "Product ID", 2}, Case{28, "PCB Rev", 2}, Case{32, "Sql Level", 1},
          Case{128, "Scan Mem 0", 24}, Case{224, "Rx-only Channels", 600},
          Case{824, "Selcall Mem", 80}, Case{920, "Scan Mem 2", 24}}) {
        const ImageField* f = fieldAt(fields, c.address);
        ASSERT_NE(f, nullptr) << c.address;
        EXPECT_EQ(f->name, c.name);
        EXPECT_EQ(f->length, c.length) << c.name;
    }
    // Fields never overlap, and no field stands for a variable the model lacks.
    for (std::size_t i = 1; i < fields.size(); ++i) {
        EXPECT_LE(fields[i - 1].address + fields[i - 1].length, fields[i].address);
    }
    EXPECT_EQ(fieldAt(fields, 62), nullptr); // "LCD Contrast" is not in the QM2200 map
}

TEST(ImageFields, MapsWithZeroPlaceholdersNameOnlyTheProductIdAtZero) {
    const auto fields = imageFields(AddressMap::QM1700SBT, EEPROM::kImageSize);
    ASSERT_NE(fieldAt(fields, 0), nullptr);
    EXPECT_EQ(fieldAt(fields, 0)->name, "Product ID");
}

TEST(DiffImages, IdenticalImagesGiveNothing) {
    EEPROM a;
    a.setWord(0, 0x2200);
    EXPECT_TRUE(diffImages(a, a, AddressMap::QM2200).empty());
}

TEST(DiffImages, GroupsBytesUnderTheirVariableAndListsTheRestByAddress) {
    EEPROM a;
    EEPROM b;
    a.setByte(32, 0x05); // Sql Level
    b.setByte(32, 0x07);
    b.setByte(133, 0xFE);  // Scan Mem 0, byte 5
    b.setByte(135, 0x00);  // Scan Mem 0, byte 7
    b.setByte(29, 0x11);   // the second byte of "PCB Rev"
    b.setByte(1000, 0x42); // beyond every variable

    const auto groups = diffImages(a, b, AddressMap::QM2200);
    const std::vector<std::string> expected{
        "PCB Rev [28..29]:",       "  +1 [29]: FF -> 11",  "Sql Level [32]: 05 -> 07",
        "Scan Mem 0 [128..151]:",  "  +5 [133]: FF -> FE", "  +7 [135]: FF -> 00",
        "Outside every variable:", "  [1000]: FF -> 42",
    };
    EXPECT_EQ(formatDifferences(groups), expected);
}

TEST(DiffImages, BytesBetweenABitmapAndTheNextVariableAreUnnamed) {
    EEPROM a;
    EEPROM b;
    b.setByte(920 + 24, 0x00); // just past "Scan Mem 2"
    const auto groups = diffImages(a, b, AddressMap::QM2200);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_TRUE(groups[0].field.empty());
    EXPECT_EQ(groups[0].bytes.at(0).address, 944);
}

} // namespace
} // namespace kav
