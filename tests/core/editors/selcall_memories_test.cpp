#include "editors/SelcallMemories.h"
#include "support/EditorImages.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using test::changedBytes;
using test::modelsFor;
using test::qm2200;

// What OK does with the grid as it was filled: every code cell's text put back.
void storeCells(SelcallMemories& m, int identLength, EEPROM& image, const TradioInfo& models) {
    for (SelcallMemory& entry : m.entries) {
        entry.setCodeText(entry.codeText(identLength));
    }
    store(m, image, models);
}

TEST(SelcallMemoriesTest, UntouchedOkKeepsEveryByte) {
    const std::pair<const char*, EEPROM> images[] = {
        {"typical", test::typicalImage()},
        {"erased", test::erasedImage()},
        {"odd", test::oddImage(0x2200, 2)},
    };
    const TradioInfo models = modelsFor(0x2200);
    for (const auto& [what, image] : images) {
        for (int n : {5, 8, 0}) {
            SCOPED_TRACE(std::string(what) + " N=" + std::to_string(n));
            EEPROM after = image;
            SelcallMemories m = SelcallMemories::load(image, models);
            storeCells(m, n, after, models);
            EXPECT_EQ(changedBytes(image, after), (std::map<int, int>{}));
        }
    }
}

TEST(SelcallMemoriesTest, CodeCellsFillTheLastDigits) {
    struct Case {
        const char* stored;
        const char* cell;
        const char* expected;
    };
    const Case cases[] = {
        {"98765432", "12345", "98712345"}, // the first three digits stay as stored
        {"FFFFFFFF", "FFFFF", "FFFFFFFF"},
        {"98765432", "1 3 5", "98710305"}, // a blank is stored as 0
        {"98765432", "1a*F5", "987100F5"}, // as is anything but 0-9 and A-F
        {"98765432", "123456789", "12345678"},
        {"98765432", "", "98765432"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        EEPROM image;
        image.setHexString(c.stored, 0, 4);
        SelcallMemory entry;
        image.getNibbles(entry.digits, 0, 8);
        EXPECT_EQ(entry.codeText(5), std::string(c.stored).substr(3));
        entry.setCodeText(c.cell);
        image.setNibbles(0, entry.digits, 8);
        EXPECT_EQ(image.getHexString(0, 4), c.expected);
    }
    EXPECT_EQ(clampIdentLength(-3), 0);
    EXPECT_EQ(clampIdentLength(12), 8);
    EXPECT_EQ(clampIdentLength(5), 5);
}

TEST(SelcallMemoriesTest, ClearAllStoresZeroCodesAndEmptyNames) {
    const TradioInfo models = modelsFor(0x2200);
    EEPROM image = test::typicalImage();
    SelcallMemories m = SelcallMemories::load(image, models);
    EXPECT_EQ(m.entries[1].codeText(5), "77101");
    EXPECT_EQ(m.entries[1].tag, "TRUCK");
    m.clear();
    storeCells(m, 5, image, models);
    const int table = qm2200(kVarSelcallMem);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(image.getHexString(table + 8 * i, 4), "00000000") << i;
        EXPECT_EQ(image.getPackedText(table + 8 * i + 4), "") << i;
    }
}

TEST(SelcallMemoriesTest, NamesAreWrittenOnlyWhenChanged) {
    const TradioInfo models = modelsFor(0x2200);
    EEPROM image = test::erasedImage();
    const int tag = qm2200(kVarSelcallMem) + 4;
    SelcallMemories m = SelcallMemories::load(image, models);
    EXPECT_EQ(m.entries[0].tag, "_____");
    m.entries[1].tag = "BASE";
    const EEPROM before = image;
    store(m, image, models);
    const auto changed = changedBytes(before, image);
    EXPECT_EQ(image.getPackedText(tag + 8), "BASE");
    EXPECT_EQ(changed.count(tag), 0u) << "the untouched erased name keeps its bytes";
    EXPECT_EQ(changed.size(), 4u);
}

TEST(SelcallMemoriesTest, AModelWithoutSelcallMemoryReadsAndWritesNothing) {
    // A QM2200 build told by the radio that it is a QM1300, which has no selcall memory.
    const TradioInfo models = modelsFor(0x1300);
    EEPROM image = test::oddImage(0x1300, 1);
    SelcallMemories m = SelcallMemories::load(image, models);
    EXPECT_FALSE(m.present);
    m.entries[0].setCodeText("12345");
    m.entries[0].tag = "X";
    const EEPROM before = image;
    store(m, image, models);
    EXPECT_EQ(changedBytes(before, image), (std::map<int, int>{}));

    // The QM1500 keeps it elsewhere.
    const TradioInfo qm1500 = modelsFor(0x1500);
    EEPROM other = test::erasedImage();
    SelcallMemories q = SelcallMemories::load(other, qm1500);
    q.entries[9].setCodeText("00042");
    store(q, other, qm1500);
    EXPECT_EQ(other.getHexString(mapAddress(AddressMap::QM1500, kVarSelcallMem) + 72, 4),
              "FFF00042");
}

} // namespace
} // namespace kav
