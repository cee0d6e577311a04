#include "engineering/EepromCells.h"

#include <gtest/gtest.h>
#include <optional>

namespace kav {
namespace {

TEST(EepromCells, TextInEachBaseAndSize) {
    struct Case {
        int value;
        CellBase base;
        CellSize size;
        const char* text;
    };
    const Case cases[] = {
        {5, CellBase::Bin, CellSize::Byte, "00000101"},
        {0x8001, CellBase::Bin, CellSize::Word, "1000000000000001"},
        {300, CellBase::Dec, CellSize::Word, "300"},
        {0x2C, CellBase::Hex, CellSize::Byte, "2C"},
        {0x0A, CellBase::Hex, CellSize::Word, "000A"},
        {0x1FF, CellBase::Dec, CellSize::Byte, "255"}, // only the cell's bits are shown
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cellText(c.value, c.base, c.size), c.text) << c.value;
    }
}

// Text that is not a number of the base, or does not fit the cell, is refused in every base,
// instead of becoming 0, a truncated value or a zero bit.
TEST(EepromCells, ParsingAcceptsNumbersOfTheBaseThatFitAndRefusesTheRest) {
    struct Case {
        const char* text;
        CellBase base;
        CellSize size;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"", CellBase::Dec, CellSize::Byte, 0},
        {" 17 ", CellBase::Dec, CellSize::Byte, 17},
        {"255", CellBase::Dec, CellSize::Byte, 255},
        {"300", CellBase::Dec, CellSize::Byte, std::nullopt},
        {"300", CellBase::Dec, CellSize::Word, 300},
        {"abc", CellBase::Dec, CellSize::Byte, std::nullopt},
        {"-1", CellBase::Dec, CellSize::Byte, std::nullopt},
        {"101", CellBase::Bin, CellSize::Byte, 5},
        {"1x1", CellBase::Bin, CellSize::Byte, std::nullopt},
        {"111111111", CellBase::Bin, CellSize::Byte, std::nullopt},
        {"2c", CellBase::Hex, CellSize::Byte, 0x2C},
        {"FFFF", CellBase::Hex, CellSize::Word, 0xFFFF},
        {"1FF", CellBase::Hex, CellSize::Byte, std::nullopt},
        {"0x10", CellBase::Hex, CellSize::Byte, std::nullopt},
        {"G1", CellBase::Hex, CellSize::Byte, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseCell(c.text, c.base, c.size), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(cellError("300", CellBase::Dec, CellSize::Byte),
              "\"300\" is not a decimal number from 0 to 255; the cell keeps its value.");
}

TEST(EepromCells, CellAddresses) {
    EXPECT_EQ(cellAddress(9, 4, CellSize::Byte), 17);
    EXPECT_EQ(cellAddress(9, 3, CellSize::Word), 16);
    EXPECT_EQ(cellAddress(1024, 4, CellSize::Byte), 2047);
    EXPECT_EQ(cellAddress(0, 3, CellSize::Byte), -1); // heading row
    EXPECT_EQ(cellAddress(5, 2, CellSize::Byte), -1); // label column
    EXPECT_EQ(cellAddress(5, 4, CellSize::Word), -1); // no second data column
}

TEST(EepromCells, LabelsFollowTheModelsMap) {
    const AddressLabels qm2200 = addressLabels(AddressMap::QM2200);
    EXPECT_EQ(qm2200[0], "Product ID");
    EXPECT_EQ(qm2200[30], "Status");
    EXPECT_EQ(qm2200[62], ""); // the QM2200 has no "LCD Contrast"
    EXPECT_EQ(addressLabels(AddressMap::QM5100)[62], "LCD Contrast");
}

// The SBT maps hold 0 for variables those models lack; that must not rename "Product ID".
TEST(EepromCells, PlaceholderAddressesDoNotOverwriteProductId) {
    for (const AddressMap map : {AddressMap::QM1700SBT, AddressMap::QM3100SBT}) {
        const AddressLabels labels = addressLabels(map);
        EXPECT_EQ(labels[0], "Product ID");
        EXPECT_EQ(labels[1], "");
    }
    EXPECT_EQ(addressLabels(AddressMap::QM1500)[190], "Scan Mem 0 (ext)");
}

} // namespace
} // namespace kav
