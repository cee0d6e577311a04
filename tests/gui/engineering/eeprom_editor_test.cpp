#include "app/Radio_rw.h"
#include "engineering/EEpromEdit.h"
#include "gui/GuiTestSupport.h"
#include "gui/engineering/EngineeringFixture.h"
#include "support/Testsupport.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace kav {
namespace {

class EepromEditorTest : public test::OverVirtualRadio {
protected:
    void SetUp() override {
        OverVirtualRadio::SetUp();
        const auto pattern = test::patternImage(0x2200, 3);
        radio.update([&](CommandResponder& r) { r.eeprom().writeBlock(0, pattern.data(), 2048); });
        ctx.image().fill(0x11);
        ctx.image().setWord(0, 0x2200);
        editor.show();
        QApplication::processEvents();
    }
    void TearDown() override {
        editor.reject();
        OverVirtualRadio::TearDown();
    }
    QTableWidget& grid() { return test::control<QTableWidget>(editor, "sg_eeprom"); }
    QString memo() { return test::control<QPlainTextEdit>(editor, "memoEE").toPlainText(); }
    bool sameAsRadio(int first, int last) {
        const EEPROM r = state().eeprom();
        return std::equal(r.bytes() + first, r.bytes() + last + 1,
                          editor.workingCopy().bytes() + first);
    }
    // Closes the progress dialog once its transfer has ended (it stays open to show a failure).
    void closeProgressWhenEnded() {
        auto* timer = new QTimer(&editor);
        QObject::connect(timer, &QTimer::timeout, &editor, [this, timer] {
            TfrmReadWrite& progress = editor.progressDialog();
            if (progress.isVisible() && !progress.running()) {
                progress.close();
                timer->deleteLater();
            }
        });
        timer->start(20);
    }
    void slowRadio() {
        VirtualRadioFaults slow;
        slow.lineRate = 9600;
        radio.setFaults(slow);
    }

    TfrmEEpromEdit editor{ctx};
};

TEST_F(EepromEditorTest, LabelsAndDataOfTheCurrentModel) {
    EXPECT_EQ(grid().item(0, 1)->text(), "Product ID");
    EXPECT_EQ(grid().item(15, 1)->text(), "Status");
    EXPECT_EQ(grid().item(0, 3)->text(), "34"); // 0x22
    EXPECT_EQ(grid().item(8, 4)->text(), "17"); // address 17
    editor.reject();
    ctx.models().setModelByProductId(0x1701);
    editor.show();
    EXPECT_EQ(grid().item(0, 1)->text(), "Product ID");
    EXPECT_EQ(grid().item(0, 2)->text(), "");
}

TEST_F(EepromEditorTest, ACellThatIsNotANumberIsRefusedAndKeepsItsValue) {
    grid().item(8, 4)->setText("300"); // address 17, 8-bit decimal
    test::click(editor, "rgBase_2");   // Hex
    ASSERT_EQ(script.shown.size(), 1U);
    EXPECT_TRUE(script.shown[0].text.contains("Address 17"));
    EXPECT_TRUE(test::control<QRadioButton>(editor, "rgBase_1").isChecked());
    EXPECT_EQ(editor.workingCopy().getByte(17), 0x11);
    EXPECT_EQ(grid().item(8, 4)->text(), "300");

    grid().item(8, 4)->setText("44");
    test::click(editor, "rgBase_2");
    EXPECT_EQ(grid().item(8, 4)->text(), "2C");
    test::click(editor, "rgDataSize_1");
    EXPECT_EQ(grid().item(8, 3)->text(), "112C");
    test::click(editor, "btnOK");
    EXPECT_EQ(ctx.image().getByte(17), 0x2C);
}

TEST_F(EepromEditorTest, SingleLocationReadAndWrite) {
    grid().setCurrentCell(8, 4);
    test::click(editor, "btnReadAddr");
    EXPECT_EQ(memo(), "Reading EEPROM ... OK");
    EXPECT_EQ(editor.workingCopy().getByte(17), state().eeprom().getByte(17));
    grid().item(8, 4)->setText("99");
    test::click(editor, "btnWriteAddr");
    EXPECT_EQ(memo(), "Writing EEPROM ... OK");
    EXPECT_EQ(state().eeprom().getByte(17), 99);
    EXPECT_EQ(ctx.image().getByte(17), 99); // even if the editor is left with Cancel

    grid().setCurrentCell(8, 1);
    script.shown.clear();
    test::click(editor, "btnReadAddr");
    ASSERT_EQ(script.shown.size(), 1U);
    EXPECT_EQ(script.shown[0].text, "Please select data location to read");
}

TEST_F(EepromEditorTest, ReadAllAndWriteAll) {
    test::click(editor, "btnReadAll");
    ASSERT_TRUE(waitFor([&] { return !editor.transferRunning(); }));
    EXPECT_TRUE(sameAsRadio(0, 2047));
    EXPECT_EQ(memo(), "Reading radio EEPROM...OK");
    EXPECT_EQ(grid().item(8, 4)->text(), QString::number(state().eeprom().getByte(17)));

    test::click(editor, "btnErase");
    test::click(editor, "btnWriteAll");
    ASSERT_TRUE(waitFor([&] { return !editor.transferRunning(); }));
    EXPECT_EQ(memo(), "Writing radio EEPROM...OK");
    const EEPROM written = state().eeprom();
    EXPECT_TRUE(std::all_of(written.bytes(), written.bytes() + 2048,
                            [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_GE(state().state().resets, 2);
}

// The fifth block goes unanswered: four blocks stay read, the rest as it was, and the reset
// after it goes unanswered too.
TEST_F(EepromEditorTest, AReadThatFailsKeepsWhatItReadAndSaysSo) {
    VirtualRadioFaults faults;
    faults.replyLimit = 5; // programming mode and four blocks
    radio.setFaults(faults);
    closeProgressWhenEnded();
    test::click(editor, "btnReadAll");
    ASSERT_TRUE(waitFor([&] { return !editor.transferRunning(); }, 5000));
    EXPECT_TRUE(sameAsRadio(0, 63));
    EXPECT_EQ(editor.workingCopy().getByte(64), 0x11);
    EXPECT_EQ(memo(), "Reading radio EEPROM...Fail");
    ASSERT_FALSE(script.shown.empty());
    EXPECT_EQ(script.shown.back().text, "Radio Response Timeout.");
}

TEST_F(EepromEditorTest, CancelStopsTheTransferWithoutOk) {
    slowRadio();
    QTimer::singleShot(300, &editor, [this] { test::click(editor.progressDialog(), "btnCancel"); });
    test::click(editor, "btnReadAll");
    ASSERT_TRUE(waitFor([&] { return !editor.transferRunning(); }, 5000));
    EXPECT_EQ(memo(), "Reading radio EEPROM...Cancelled");
    EXPECT_FALSE(ctx.transferRunning());
}

// The progress dialog closed with its close box leaves the transfer running: the editor
// refuses a second one, and closing the editor cancels it and waits for the worker.
TEST_F(EepromEditorTest, OneTransferAtATimeAndClosingWaitsForTheWorker) {
    slowRadio();
    QTimer::singleShot(300, &editor, [this] { editor.progressDialog().close(); });
    test::click(editor, "btnReadAll");
    ASSERT_TRUE(editor.transferRunning());
    EXPECT_FALSE(test::tryClick(editor, "btnReadAll"));
    EXPECT_FALSE(test::tryClick(editor, "btnOK"));
    EXPECT_FALSE(ctx.startWorker([] {}));
    editor.reject();
    EXPECT_FALSE(ctx.transferRunning());
    EXPECT_FALSE(editor.transferRunning());
    QTest::qWait(50); // steps the worker queued before it ended are ignored
    EXPECT_EQ(state().state().resets, 1);
}

} // namespace
} // namespace kav
