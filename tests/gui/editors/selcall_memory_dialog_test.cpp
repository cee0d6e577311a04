#include "editors/Selc_mem.h"
#include "gui/editors/EditorHarness.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace kav {
namespace {

using test::qm2200;

struct Harness : test::EditorHarness<TfrmSelcallIdents> {
    using EditorHarness::EditorHarness;

    TfrmSelcallIdents& openWith(int identLength) {
        dialog.setIdentLength(identLength);
        return open();
    }
    QTableWidget& grid() { return find<QTableWidget>("sgSelcallMemory"); }
    // Types into a cell as a person does: the first key opens the cell's editor.
    void type(int row, int column, const QString& keys, bool enter = true) {
        grid().setFocus();
        grid().setCurrentCell(row, column);
        QTest::keyClicks(&grid(), keys.left(1));
        QLineEdit* editor = nullptr;
        for (auto* e : grid().viewport()->findChildren<QLineEdit*>()) {
            editor = e->isVisible() ? e : editor; // closed editors linger until deleted
        }
        ASSERT_NE(editor, nullptr) << "no cell editor opened";
        QTest::keyClicks(editor, keys.mid(1));
        if (enter) {
            QTest::keyClick(editor, Qt::Key_Return);
            QApplication::processEvents(); // the edit is committed after the key
            EXPECT_TRUE(dialog.isVisible()) << "Enter ends the cell's edit, not the dialog";
        }
    }
    std::string code(int entry) {
        return ctx.image().getHexString(qm2200(kVarSelcallMem) + 8 * entry, 4);
    }
};

TEST(TfrmSelcallIdentsTest, GridShowsTheLastDigitsAndTheNames) {
    Harness h;
    TfrmSelcallIdents& d = h.openWith(5);
    EXPECT_EQ(d.windowTitle(), "Selcall Memory");
    EXPECT_EQ(d.size(), QSize(411, 358));
    QTableWidget& grid = h.grid();
    ASSERT_EQ(grid.rowCount(), 11);
    ASSERT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.item(0, 0)->text(), "Mem");
    EXPECT_EQ(grid.item(0, 1)->text(), "Selcall");
    EXPECT_EQ(grid.item(0, 2)->text(), "Alpha Tag");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(grid.item(i + 1, 0)->text(), QString::number(i));
        EXPECT_FALSE(grid.item(i + 1, 0)->flags() & Qt::ItemIsEditable);
    }
    EXPECT_EQ(grid.columnWidth(0), 50);
    EXPECT_EQ(grid.columnWidth(2), 100);
    EXPECT_EQ(grid.rowHeight(10), 20);
    EXPECT_EQ(grid.item(1, 1)->text(), "77100");
    EXPECT_EQ(grid.item(1, 2)->text(), "YARD");
    EXPECT_EQ(grid.item(3, 1)->text(), "00000");
    // Sized to its cells: everything shows without scrolling.
    EXPECT_GE(grid.viewport()->width(), 250);
    EXPECT_GE(grid.viewport()->height(), 220);
    EXPECT_EQ(h.find<QPushButton>("btnClear").text(), "Clear All");
    test::expectLaidOutCleanly(d);

    h.dialog.hide();
    h.openWith(12); // limited to 8
    EXPECT_EQ(grid.item(2, 1)->text(), "00077101");
}

TEST(TfrmSelcallIdentsTest, TypedCodesFillTheLastDigitsAndNamesAreUpperCase) {
    EEPROM image = test::typicalImage();
    image.setHexString("98765432", qm2200(kVarSelcallMem), 4);
    Harness h(image);
    h.openWith(5);
    h.type(1, 1, "12345");
    h.type(3, 2, "z*_-q");
    EXPECT_EQ(h.grid().item(3, 2)->text(), "Z*_-Q");
    h.type(4, 2, "a@b");
    h.type(2, 1, "1b2 a", false); // "b" refused, a blank stays a position; OK takes the edit
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.code(0), "98712345"); // the digits in front stay as stored
    EXPECT_EQ(h.code(1), "000120A0"); // a blank is stored as 0
    EXPECT_EQ(h.ctx.image().getPackedText(qm2200(kVarSelcallMem) + 8 * 2 + 4), "Z*_-Q");
    EXPECT_EQ(h.ctx.image().getPackedText(qm2200(kVarSelcallMem) + 8 * 3 + 4), "AB");
}

TEST(TfrmSelcallIdentsTest, ClearAllThenOkStoresZerosAndNoNames) {
    Harness h;
    h.openWith(5);
    test::click(h.dialog, "btnClear");
    EXPECT_EQ(h.grid().item(1, 1)->text(), "00000");
    EXPECT_EQ(h.grid().item(1, 2)->text(), "");
    KAV_CLICK(h.dialog, "OKBtn");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(h.code(i), "00000000") << i;
        EXPECT_EQ(h.ctx.image().getPackedText(qm2200(kVarSelcallMem) + 8 * i + 4), "") << i;
    }
}

TEST(TfrmSelcallIdentsTest, UntouchedOkAndCancelKeepEveryByte) {
    for (const EEPROM& image : {test::erasedImage(), test::oddImage(0x2200, 6)}) {
        Harness h(image);
        h.openWith(5);
        EXPECT_EQ(h.grid().item(1, 1)->text().size(), 5);
        KAV_CLICK(h.dialog, "OKBtn");
        EXPECT_EQ(h.changed(), (std::map<int, int>{}));
        h.openWith(5);
        test::click(h.dialog, "btnClear");
        h.type(1, 2, "NEW");
        KAV_CLICK(h.dialog, "CancelBtn");
        EXPECT_EQ(h.changed(), (std::map<int, int>{}));
    }
}

TEST(TfrmSelcallIdentsTest, AModelWithoutSelcallMemoryShowsAndWritesNothing) {
    Harness h({0x2200, 511, 0}, 0x1300, test::oddImage(0x1300, 2));
    h.openWith(5);
    EXPECT_FALSE(h.grid().isEnabled());
    EXPECT_FALSE(h.find<QPushButton>("btnClear").isEnabled());
    EXPECT_EQ(h.grid().item(1, 1)->text(), "");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{}));
}

} // namespace
} // namespace kav
