#include "app/Main.h"
#include "app/Popups.h"
#include "gui/GuiTestSupport.h"
#include "service/Align.h"
#include "sim/DemoImage.h"
#include "sim/VirtualRadio.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kav {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kPllFRef = 20; // QM2200 addresses
constexpr int kS1Cal = 22;
constexpr int kRxOffset = 27;
constexpr int kBal = 16;
constexpr int kMod = 14;
constexpr int kT1F1 = 2;
constexpr std::uint8_t kSetPtt = 0x26;

// The delivered main window over a virtual QM2200 on COM1; "Align" opens the window.
class AlignGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        radio.update([](CommandResponder& r) {
            r.eeprom() = demoImage();
            r.eeprom().setByte(kS1Cal, 99);
            r.state().channel = 5;
            r.state().adc[kRssiChannel] = 62;
            r.state().adc[kNoiseChannel] = 41;
        });
        ASSERT_TRUE(radio.start());
        ASSERT_TRUE(QFile::link(QString::fromStdString(radio.slavePath()), dir.filePath("COM1")));
        window = std::make_unique<TfrmMain>(
            ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini")));
        window->startUp();
        script.shown.clear();
    }
    void TearDown() override { window.reset(); }

    // Opens the window with "Align" and runs `act` on it; the window is closed afterwards.
    void align(const std::function<void(TformAlign&)>& act) {
        bool opened = false;
        test::whenOpen<TformAlign>([&](TformAlign& w) {
            opened = true;
            act(w);
        });
        KAV_CLICK(*window, "btnAlign");
        ASSERT_TRUE(opened);
    }
    void setFaults(const std::function<void(VirtualRadioFaults&)>& change) {
        VirtualRadioFaults faults = radio.faults();
        change(faults);
        radio.setFaults(faults);
    }
    int radioByte(int address) const { return radio.snapshot().eeprom().getByte(address); }
    int requestsOf(std::uint8_t command, int sub = -1) const {
        int n = 0;
        for (const Bytes& r : radio.requests()) {
            n += !r.empty() && (r[0] & 0x3F) == command &&
                 (sub < 0 || (r.size() > 1 && r[1] == sub));
        }
        return n;
    }
    static void waitForProcedure(TformAlign& w) {
        for (int i = 0; i < 400 && w.procedureRunning(); ++i) {
            QTest::qWait(20);
        }
        ASSERT_FALSE(w.procedureRunning());
    }
    static QString memo(TformAlign& w) {
        return test::control<QPlainTextEdit>(w, "MemoAlignHelp").toPlainText();
    }
    static QString text(TformAlign& w, const char* name) {
        return test::control<QLineEdit>(w, name).text();
    }
    static void step(TformAlign& w, const char* upDown, bool up) {
        auto buttons = test::control<QWidget>(w, upDown).findChildren<QToolButton*>();
        ASSERT_EQ(buttons.size(), 2);
        buttons[up ? 0 : 1]->click();
    }
    static void enter(TformAlign& w, const char* edit, const QString& typed) {
        auto& e = test::control<QLineEdit>(w, edit);
        e.setText(typed);
        QTest::keyClick(&e, Qt::Key_Return);
    }

    popups::Script script;
    QTemporaryDir dir;
    VirtualRadio radio{0x2200};
    AppContext ctx{BuildConfig::delivered(), 0, PortEnvironment{dir.path().toStdString()}};
    std::unique_ptr<TfrmMain> window;
};

TEST_F(AlignGuiTest, OpensOnlineWithTheRadiosCalibrationAndChannel) {
    align([&](TformAlign& w) {
        EXPECT_FALSE(w.offline());
        EXPECT_EQ(w.windowTitle(), "Alignment");
        EXPECT_FALSE(test::control<QLabel>(w, "lblOffline").isVisible());
        EXPECT_EQ(text(w, "editChannel"), "05");
        EXPECT_EQ(test::control<QLabel>(w, "lblBank").text(), "CB");
        EXPECT_EQ(test::control<QLabel>(w, "lblRxFreq").text(), "476.5250");
        EXPECT_EQ(test::control<QLabel>(w, "lblChannelAlpha").text(), "CB-05");
        EXPECT_EQ(text(w, "editS1"), "99"); // read from the radio before showing
        auto& pages = test::control<QTabWidget>(w, "PageControl1");
        const std::vector<std::pair<const char*, bool>> tabs{
            {"TabSheetFrequency", true}, {"TabSheetTransmit", true}, {"TabSheetReceiver", true},
            {"TabSheetSquelch", true},   {"TabSheetSMeter", true},   {"TabSheetBattery", false}};
        for (int i = 0; i < pages.count(); ++i) {
            EXPECT_EQ(pages.widget(i)->objectName(), tabs[static_cast<std::size_t>(i)].first);
            EXPECT_EQ(pages.isTabVisible(i), tabs[static_cast<std::size_t>(i)].second) << i;
            if (pages.isTabVisible(i)) {
                pages.setCurrentIndex(i);
                QApplication::processEvents();
                test::expectLaidOutCleanly(w);
            }
        }
        // The QM2200 build: T1-T3 without the notch, high power only, no engineering controls.
        EXPECT_FALSE(test::control<QLabel>(w, "lblNotch").isVisibleTo(&w));
        EXPECT_FALSE(test::control<QWidget>(w, "grpSelectPowerOutput").isVisibleTo(&w));
        EXPECT_FALSE(test::control<QWidget>(w, "gbMicGains").isVisibleTo(&w));
        EXPECT_FALSE(test::control<QWidget>(w, "gbSetVolume").isVisibleTo(&w)); // firmware 2
        test::click(w, "btnClose");
    });
    EXPECT_EQ(ctx.image().getByte(kS1Cal), 99);
    EXPECT_EQ(radio.snapshot().state().rfLevel, 0); // Close leaves high power
}

// A QM2200 from firmware 3 on has the volume group; reopening the window after the slider
// moved turns the radio's volume back to 0.
TEST_F(AlignGuiTest, VolumeFromFirmwareThreeAndBackToZeroOnReopening) {
    radio.update([](CommandResponder& r) { r.state().firmwareMajor = 3; });
    align([&](TformAlign& w) {
        EXPECT_TRUE(test::control<QWidget>(w, "gbSetVolume").isVisible());
        auto& slider = test::control<QSlider>(w, "tbVolume");
        EXPECT_EQ(slider.value(), 31);
        slider.setValue(21);
        EXPECT_EQ(radio.snapshot().state().volume, 10);
        EXPECT_EQ(text(w, "edtVolume"), "10");
        EXPECT_EQ(memo(w), "Set volume...\nOK");
        w.close();
    });
    align([&](TformAlign& w) {
        EXPECT_EQ(radio.snapshot().state().volume, 0);
        EXPECT_EQ(text(w, "edtVolume"), "0");
        w.close();
    });
}

TEST_F(AlignGuiTest, SilentRadioOpensOfflineOrNotAtAll) {
    setFaults([](VirtualRadioFaults& f) { f.replyLimit = 0; });
    script.answer(false);
    test::click(*window, "btnAlign");
    EXPECT_EQ(script.shown.back().text, kUnableToReadCalibration);
    EXPECT_EQ(window->editorWindow(Editor::Align)->isVisible(), false);

    script.answer(true);
    align([&](TformAlign& w) {
        radio.clearRecords();
        EXPECT_TRUE(w.offline());
        EXPECT_TRUE(test::control<QLabel>(w, "lblOffline").isVisible());
        EXPECT_EQ(text(w, "editChannel"), "01");
        // Offline the squelch button toggles BUSY by itself and writes go nowhere.
        test::click(w, "btnSquelch");
        EXPECT_TRUE(test::control<QLabel>(w, "lblSQL").isVisible());
        test::click(w, "btnSquelch");
        EXPECT_FALSE(test::control<QLabel>(w, "lblSQL").isVisible());
        step(w, "udPLL_Freq", true);
        EXPECT_EQ(memo(w), "");

        // Holding a channel key steps at once, again after 500 ms, then every 100 ms.
        auto& down = test::control<QAbstractButton>(w, "BitBtnDown");
        auto& up = test::control<QAbstractButton>(w, "BitBtnUp");
        down.pressed();
        down.released();
        down.pressed();
        down.released();
        EXPECT_EQ(text(w, "editChannel"), "79");
        auto& keyTimer = test::control<QTimer>(w, "KeyTimer");
        up.pressed();
        EXPECT_EQ(text(w, "editChannel"), "80");
        EXPECT_EQ(keyTimer.interval(), 500);
        QTest::qWait(560);
        EXPECT_EQ(text(w, "editChannel"), "01");
        EXPECT_EQ(keyTimer.interval(), 100);
        // A lost mouse-up: hiding the window stops the stepping.
        w.close();
        EXPECT_FALSE(keyTimer.isActive());
        EXPECT_EQ(requestsOf(0x29) + requestsOf(0x2A) + requestsOf(0x21) + requestsOf(0x05), 0);
    });
}

TEST_F(AlignGuiTest, ValuesReachTheRadioAndTheImageOnlyWhenAccepted) {
    align([&](TformAlign& w) {
        step(w, "udPLL_Freq", true);
        EXPECT_EQ(radioByte(kPllFRef), 86);
        EXPECT_EQ(ctx.image().getByte(kPllFRef), 86);
        EXPECT_EQ(memo(w), "Write... \nOK");

        enter(w, "txtTuneFreq1T1", "300");
        EXPECT_EQ(text(w, "txtTuneFreq1T1"), "255");
        EXPECT_EQ(radioByte(kT1F1), 255);
        enter(w, "txtTuneFreq1T1", "");
        EXPECT_EQ(radioByte(kT1F1), 0);

        // Modulation with the balance tracking it: references Mod 12, Bal 10.
        w.findChild<QCheckBox*>("chkTrackMod")->setChecked(false);
        enter(w, "editMod_dB", "0");
        enter(w, "editBal_dB", "1");
        EXPECT_EQ(radioByte(kBal), 10);
        w.findChild<QCheckBox*>("chkTrackMod")->setChecked(true);
        for (int i = 0; i < 12; ++i) {
            step(w, "udMod_dB", false);
        }
        EXPECT_EQ(radioByte(kMod), 24);
        EXPECT_EQ(text(w, "editMod_dB"), "-6.0");
        EXPECT_EQ(radioByte(kBal), 20);
        // The arrow keys step without tracking: Up raises the level.
        QTest::keyClick(&test::control<QLineEdit>(w, "editMod_dB"), Qt::Key_Up);
        EXPECT_EQ(radioByte(kMod), 23);
        EXPECT_EQ(text(w, "editMod_dB"), "-5.5");
        EXPECT_EQ(radioByte(kBal), 20);
        enter(w, "editMod_dB", "1.2.3");
        EXPECT_EQ(script.shown.back().text, "Invalid modulation value");
        EXPECT_EQ(radioByte(kMod), 23);

        setFaults([](VirtualRadioFaults& f) { f.nackCodes[0x21] = true; });
        step(w, "udRxOffset", false);
        EXPECT_EQ(memo(w), "Write... \nfail");
        EXPECT_EQ(ctx.image().getByte(kRxOffset), radioByte(kRxOffset));
    });
}

TEST_F(AlignGuiTest, FailedPttKeepsThePanelAndClosingUnkeys) {
    align([&](TformAlign& w) {
        auto& panel = test::control<QLabel>(w, "panelTxRx");
        setFaults([](VirtualRadioFaults& f) { f.nackCodes[kSetPtt] = true; });
        test::click(w, "btnPTT");
        EXPECT_EQ(panel.text(), "RECEIVE");
        EXPECT_TRUE(memo(w).endsWith("failed"));
        setFaults([](VirtualRadioFaults& f) { f.nackCodes[kSetPtt] = false; });
        test::click(w, "btnPTT");
        EXPECT_EQ(panel.text(), "TRANSMIT");
        EXPECT_EQ(radio.snapshot().state().ptt, 1);
        w.close();
    });
    EXPECT_EQ(radio.snapshot().state().ptt, 0);
}

TEST_F(AlignGuiTest, PollingStopsWithTheWindowAndWhileTheWorkerUsesTheRadio) {
    QTimer* poll = nullptr;
    align([&](TformAlign& w) {
        poll = &test::control<QTimer>(w, "TimerRSSI");
        test::click(w, "chk_rssipolling2");
        QTest::qWait(500);
        EXPECT_EQ(text(w, "editRSSI"), "62");
        EXPECT_EQ(text(w, "editNoisevolts"), "41");

        Event release;
        ASSERT_TRUE(ctx.startWorker([&release] { release.wait(2000); }));
        radio.clearRecords();
        QTest::qWait(900);
        EXPECT_EQ(requestsOf(0x34, 0x08), 0) << "polled during a transfer";
        release.set();
        ctx.waitForTransfer();
        w.close();
    });
    ASSERT_NE(poll, nullptr);
    EXPECT_FALSE(poll->isActive());
    radio.clearRecords();
    QTest::qWait(500);
    EXPECT_EQ(requestsOf(0x34, 0x08), 0) << "polled after closing";
}

TEST_F(AlignGuiTest, AutoOffsetAndSMeterRunOnTheWorker) {
    radio.update([](CommandResponder& r) {
        r.state().status = kStatusCarrierBit;
        r.state().frequencyError = -275;
        r.state().frequencyErrorOffsetAddress = kRxOffset;
        r.eeprom().setByte(kRxOffset, 0);
    });
    align([&](TformAlign& w) {
        test::click(w, "btnAutoRxOffset");
        EXPECT_TRUE(w.procedureRunning());
        EXPECT_FALSE(test::control<QWidget>(w, "PageControl1").isEnabled());
        waitForProcedure(w);
        EXPECT_EQ(text(w, "editRxOffset"), "5");
        EXPECT_EQ(text(w, "editFreqError"), "-275");
        EXPECT_FALSE(test::control<QCheckBox>(w, "chkAfcDisable").isChecked());
        EXPECT_EQ(radioByte(kRxOffset), 5);
        EXPECT_EQ(radio.snapshot().state().modeBits, 1);

        test::control<QTabWidget>(w, "PageControl1").setCurrentIndex(4);
        test::click(w, "btnSetS1");
        waitForProcedure(w);
        EXPECT_EQ(text(w, "editS1"), "62");
        EXPECT_EQ(radioByte(kS1Cal), 62);
        EXPECT_TRUE(test::control<QPushButton>(w, "btnSetS1").isEnabled());

        // Close cancels a procedure under way: nothing is written, AFC is back on.
        setFaults([](VirtualRadioFaults& f) { f.replyDelayMs = 60; });
        radio.update([](CommandResponder& r) { r.eeprom().setByte(kRxOffset, 0); });
        radio.clearRecords();
        test::control<QTabWidget>(w, "PageControl1").setCurrentIndex(0);
        test::click(w, "btnAutoRxOffset");
        QTest::qWait(150);
        test::click(w, "btnClose");
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.procedureRunning());
    });
    EXPECT_FALSE(ctx.transferRunning());
    EXPECT_EQ(requestsOf(0x21), 0);
    EXPECT_EQ(radio.snapshot().state().modeBits, 1);
}

TEST_F(AlignGuiTest, AutoOffsetWithoutASignalSaysSo) {
    align([&](TformAlign& w) {
        test::click(w, "btnAutoRxOffset");
        waitForProcedure(w);
        EXPECT_EQ(script.shown.back().text,
                  "No received signal.\nCheck signal is on and BUSY displayed.");
        EXPECT_EQ(requestsOf(0x34, 0x8D), 0);
    });
}

} // namespace
} // namespace kav
