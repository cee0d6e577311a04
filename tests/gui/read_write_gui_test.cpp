#include "app/Main.h"
#include "app/Popups.h"
#include "app/Radio_rw.h"
#include "gui/GuiTestSupport.h"
#include "sim/DemoImage.h"
#include "sim/VirtualRadio.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kav {
namespace {

// A virtual QM2200 reachable as COM1, and a main window over its own context.
class GuiTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        radio.update([](CommandResponder& r) { r.eeprom() = demoImage(); });
        ASSERT_TRUE(radio.start());
        ASSERT_TRUE(QFile::link(QString::fromStdString(radio.slavePath()), dir.filePath("COM1")));
        window = std::make_unique<TfrmMain>(
            ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini")));
        window->startUp(); // the missing default file is reported to the script
    }
    void TearDown() override { window.reset(); }
    // The worker's end steps arrive as queued calls; let them run.
    void settle() {
        ctx.waitForTransfer();
        QApplication::processEvents();
    }

    popups::Script script;
    QTemporaryDir dir;
    VirtualRadio radio{0x2200};
    AppContext ctx{BuildConfig::delivered(), 0, PortEnvironment{dir.path().toStdString()}};
    std::unique_ptr<TfrmMain> window;
};

TEST_F(GuiTransferTest, ReadRadioFillsTheImageAndTheStatusBar) {
    ASSERT_EQ(window->statusPanel(1), "Open");
    script.answer(true); // "All current edit data will be lost."
    KAV_CLICK(*window, "btnReadRadio");
    settle();
    const EEPROM expected = radio.snapshot().eeprom();
    EXPECT_TRUE(std::equal(expected.bytes(), expected.bytes() + 2048, ctx.image().bytes()));
    EXPECT_EQ(window->statusPanel(2), "Radio: QM2200 v2.01");
    EXPECT_EQ(window->statusPanel(3), "Current (or modified) radio data loaded.");
    EXPECT_FALSE(window->progressDialog().isVisible());
    EXPECT_EQ(script.shown.back().text, "All current edit data will be lost.");
}

TEST_F(GuiTransferTest, ClosingTheDialogLetsTheReadRunOnAndBlocksNewCommands) {
    VirtualRadioFaults slow;
    slow.lineRate = 9600; // about five seconds for the whole radio
    radio.setFaults(slow);
    script.answer(true);
    // Close the dialog with its close box (not Cancel) once the transfer is under way.
    QTimer::singleShot(300, window.get(), [this] { window->progressDialog().close(); });
    KAV_CLICK(*window, "btnReadRadio");
    ASSERT_TRUE(ctx.transferRunning());
    const std::size_t popupsBefore = script.shown.size();
    test::click(*window, "btnReadFile"); // refused while the worker runs
    test::click(*window, "btnReadRadio");
    EXPECT_EQ(script.shown.size(), popupsBefore);
    settle();
    EXPECT_FALSE(ctx.transferRunning());
    EXPECT_EQ(window->statusPanel(3), "Current (or modified) radio data loaded.");
    const EEPROM expected = radio.snapshot().eeprom();
    EXPECT_TRUE(std::equal(expected.bytes(), expected.bytes() + 2048, ctx.image().bytes()));
}

} // namespace
} // namespace kav
