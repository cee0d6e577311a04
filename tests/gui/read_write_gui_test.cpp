#include "app/Main.h"
#include "app/Popups.h"
#include "app/Radio_rw.h"
#include "gui/GuiTestSupport.h"
#include "sim/DemoImage.h"
#include "sim/VirtualRadio.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace kav {
namespace {

// The builds the window is tried in.
struct Delivered {
    static BuildConfig config() { return BuildConfig::delivered(); }
};
struct Engineering {
    static BuildConfig config() { return BuildConfig::engineering(); }
};
struct AnyModel {
    static BuildConfig config() { return {0x2200, kAnyModelMask, 0}; }
};

// A virtual QM2200 reachable as COM1, and a main window of the build over its own context.
template <typename Build> class WindowOverRadio : public ::testing::Test {
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
    AppContext ctx{Build::config(), Build::config().engineeringBuild,
                   PortEnvironment{dir.path().toStdString()}};
    std::unique_ptr<TfrmMain> window;
};

using GuiTransferTest = WindowOverRadio<Delivered>;

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
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("still running"))
        << "a refused command says why";
    settle();
    EXPECT_FALSE(ctx.transferRunning());
    EXPECT_EQ(window->statusPanel(3), "Current (or modified) radio data loaded.");
    const EEPROM expected = radio.snapshot().eeprom();
    EXPECT_TRUE(std::equal(expected.bytes(), expected.bytes() + 2048, ctx.image().bytes()));
}

// Esc on the progress dialog is Cancel: the read stops, the radio is reset, and nothing runs on
// unseen in the background.
TEST_F(GuiTransferTest, EscapeCancelsTheTransfer) {
    VirtualRadioFaults slow;
    slow.lineRate = 9600;
    radio.setFaults(slow);
    script.answer(true);
    QTimer::singleShot(300, window.get(),
                       [this] { QTest::keyClick(&window->progressDialog(), Qt::Key_Escape); });
    const auto start = std::chrono::steady_clock::now();
    KAV_CLICK(*window, "btnReadRadio");
    settle();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    const auto requests = radio.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().front() & 0x3F, 0x3F) << "the radio was reset";
    EXPECT_TRUE(ctx.imageFromIncompleteRead());
}

// Closing the main window during a transfer cancels it before waiting for it.
TEST_F(GuiTransferTest, ClosingTheWindowCancelsARunningTransfer) {
    VirtualRadioFaults slow;
    slow.lineRate = 9600;
    radio.setFaults(slow);
    script.answer(true);
    QTimer::singleShot(300, window.get(), [this] { window->progressDialog().close(); });
    KAV_CLICK(*window, "btnReadRadio");
    ASSERT_TRUE(ctx.transferRunning());
    const auto start = std::chrono::steady_clock::now();
    window->close();
    window.reset(); // waits for the worker
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(ctx.transferRunning());
    EXPECT_EQ(radio.requests().back().front() & 0x3F, 0x3F);
}

// Real message boxes, answered by a person who clicks OK on whatever box is in front: the end
// steps of a read whose reset failed on an old radio show "Comms Error", and only after its
// OK "Radio version check", never two boxes at once.
TEST(GuiEndSteps, MessagesComeOneAfterAnotherInOrder) {
    QTemporaryDir dir;
    VirtualRadio radio{0x2200};
    radio.update([](CommandResponder& r) {
        r.eeprom() = demoImage();
        r.state().firmwareMajor = 1; // too old for the newest features: a warning after a read
    });
    VirtualRadioFaults faults;
    faults.nackCodes[0x3F] = true; // the closing reset goes unanswered
    radio.setFaults(faults);
    ASSERT_TRUE(radio.start());
    ASSERT_TRUE(QFile::link(QString::fromStdString(radio.slavePath()), dir.filePath("COM1")));
    AppContext ctx{BuildConfig::delivered(), 0, PortEnvironment{dir.path().toStdString()}};
    TfrmMain window(ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini")));
    {
        popups::Script quiet; // the missing default file at start-up
        window.startUp();
    }

    std::vector<std::string> seen;
    int mostAtOnce = 0;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        std::vector<QMessageBox*> shown;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
                shown.push_back(box);
            }
        }
        mostAtOnce = std::max(mostAtOnce, static_cast<int>(shown.size()));
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back(box->windowTitle().toStdString());
            box->button(QMessageBox::Ok)->click();
        }
    });
    person.start(100);
    KAV_CLICK(window, "btnReadRadio");
    ctx.waitForTransfer();
    QTest::qWait(1500); // the end steps' boxes come and are answered
    person.stop();

    EXPECT_EQ(mostAtOnce, 1);
    const std::vector<std::string> expected{"Read From Radio?", "Comms Error",
                                            "Radio version check"};
    EXPECT_EQ(seen, expected);
}

// From the demo, in each build: read the radio, edit in the Scan/Duplex, Selcall and Selcall
// memory editors, write the radio, read it back: the edits are in the radio and show again.
template <typename Build> class GuiEditorsTest : public WindowOverRadio<Build> {};
using Builds = ::testing::Types<Delivered, Engineering, AnyModel>;
TYPED_TEST_SUITE(GuiEditorsTest, Builds);

TYPED_TEST(GuiEditorsTest, EditsMadeInTheEditorsReachTheRadio) {
    TfrmMain& main = *this->window;
    this->script.answer(true); // "All current edit data will be lost."
    KAV_CLICK(main, "btnReadRadio");
    this->settle();
    ASSERT_NE(test::onModalOpenedBy(main, "btnScan",
                                    [](QDialog& scan) {
                                        test::click(scan, "chkDup5");
                                        test::click(scan, "OKBtn");
                                    }),
              nullptr);
    const auto editMemories = [](QDialog& memories) {
        test::control<QTableWidget>(memories, "sgSelcallMemory").item(4, 2)->setText("YARD");
        test::click(memories, "OKBtn");
    };
    ASSERT_NE(test::onModalOpenedBy(main, "btnSelcall",
                                    [&](QDialog& selcall) {
                                        auto& ident =
                                            test::control<QLineEdit>(selcall, "MaskEditRadioIdent");
                                        ident.selectAll();
                                        QTest::keyClicks(&ident, "54321");
                                        test::onModalOpenedBy(selcall, "btnSelcallMem",
                                                              editMemories);
                                        test::click(selcall, "OKBtn");
                                    }),
              nullptr);
    KAV_CLICK(main, "btnWriteRadio");
    this->settle();
    const EEPROM written = this->radio.snapshot().eeprom();
    EXPECT_TRUE(std::equal(written.bytes(), written.bytes() + 2048, this->ctx.image().bytes()));
    EXPECT_EQ(written.getByte(52) & 0x10, 0) << "duplex on channel 5 cleared";
    EXPECT_EQ(written.getHexString(904, 4), "00054321");
    EXPECT_EQ(written.getPackedText(824 + 8 * 3 + 4), "YARD");

    this->ctx.image().fill(0xFF);
    this->script.answer(true);
    KAV_CLICK(main, "btnReadRadio");
    this->settle();
    test::onModalOpenedBy(main, "btnScan", [](QDialog& scan) {
        EXPECT_FALSE(test::control<QCheckBox>(scan, "chkDup5").isChecked());
        EXPECT_TRUE(test::control<QCheckBox>(scan, "chkDup6").isChecked());
    });
}

} // namespace
} // namespace kav
