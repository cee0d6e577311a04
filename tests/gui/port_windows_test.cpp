#include "app/AutoDetectDialog.h"
#include "app/Main.h"
#include "app/Popups.h"
#include "app/PortsDialog.h"
#include "gui/GuiTestSupport.h"
#include "service/Firmware.h"
#include "sim/VirtualRadio.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace kav {
namespace {

QStringList memoLines(QDialog& dialog) {
    return dialog.findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n');
}

// Virtual radios as COM ports in a private ports folder, a fake sysfs in which COM1 sits on a
// USB adapter with a by-id link, and a main window over it all. Nothing is linked before the
// test says so; the window starts with the configured port `configured`.
class PortWindowsTest : public ::testing::Test {
protected:
    PortWindowsTest() {
        QDir root(dir.path());
        root.mkpath("ports");
        root.mkpath("sys/class/tty");
        root.mkpath("by-id");
        env = PortEnvironment{dir.filePath("ports").toStdString(),
                              dir.filePath("sys/class/tty").toStdString(),
                              dir.filePath("by-id").toStdString()};
    }
    void TearDown() override { window.reset(); }

    // A radio of `type` on COM n; a silent one never answers.
    VirtualRadio& radioOn(int n, const std::string& type, bool silent = false) {
        auto radio = std::make_unique<VirtualRadio>(0x2200);
        radio->update([&](CommandResponder& r) { r.state().radioType = type; });
        if (silent) {
            VirtualRadioFaults faults;
            faults.replyLimit = 0;
            radio->setFaults(faults);
        }
        EXPECT_TRUE(radio->start());
        link(n, radio->slavePath());
        radios.push_back(std::move(radio));
        return *radios.back();
    }
    void link(int n, const std::string& device) {
        EXPECT_TRUE(QFile::link(QString::fromStdString(device),
                                dir.filePath(QString("ports/COM%1").arg(n))));
    }
    // The kernel's view of COM n's pty as a USB adapter, and udev's stable link to it.
    void asUsbAdapter(const std::string& device) {
        QDir root(dir.path());
        const QString usb = "sys/devices/usb1/1-2";
        root.mkpath(usb + "/1-2:1.0");
        QFile product(dir.filePath(usb + "/product"));
        product.open(QIODevice::WriteOnly);
        product.write("FT232R USB UART\n");
        QFile vendor(dir.filePath(usb + "/idVendor"));
        vendor.open(QIODevice::WriteOnly);
        vendor.write("0403\n");
        const QString name =
            QFileInfo(QFileInfo(QString::fromStdString(device)).canonicalFilePath()).fileName();
        root.mkpath("sys/class/tty/" + name);
        QFile::link(dir.filePath(usb + "/1-2:1.0"),
                    dir.filePath("sys/class/tty/" + name + "/device"));
        QFile::link(QString::fromStdString(device),
                    dir.filePath("by-id/usb-FTDI_FT232R-if00-port0"));
    }
    void open(int configured) {
        ctx = std::make_unique<AppContext>(BuildConfig::delivered(), 0, env);
        store =
            std::make_unique<SettingsStore>(dir.filePath("user.conf"), dir.filePath("kavprog.ini"));
        PersistedSettings settings = store->load(ctx->config().buildModelMask);
        settings.comPort = configured;
        store->save(settings);
        window = std::make_unique<TfrmMain>(*ctx, *store);
        window->startUp();
    }

    std::unique_ptr<popups::Script> script = std::make_unique<popups::Script>();
    QTemporaryDir dir;
    PortEnvironment env;
    std::vector<std::unique_ptr<VirtualRadio>> radios;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<TfrmMain> window;
};

// Ports 1 and 4 present, port 3 configured: both listed, COM1 preselected with the message,
// the tooltip names the adapter; choosing COM4 switches the open port, the status bar and the
// saved settings.
TEST_F(PortWindowsTest, PortDialogListsThePortsAndTheChoiceIsApplied) {
    VirtualRadio& first = radioOn(1, "QM2200");
    radioOn(4, "QM2200");
    asUsbAdapter(first.slavePath());
    open(3);
    script->shown.clear();
    test::whenOpen<TfrmPorts>([&](TfrmPorts& d) {
        auto* ports = d.findChild<QComboBox*>("cbPort");
        ASSERT_EQ(ports->count(), 2);
        EXPECT_EQ(ports->itemText(0), "COM1");
        EXPECT_EQ(ports->itemText(1), "COM4");
        EXPECT_EQ(ports->currentText(), "COM1");
        ASSERT_EQ(script->shown.size(), 1u);
        EXPECT_EQ(script->shown[0].text,
                  "Configured port no longer valid, please select correct port");
        EXPECT_EQ(script->shown[0].caption, "Serial port");
        const QString tip = ports->itemData(0, Qt::ToolTipRole).toString();
        EXPECT_TRUE(tip.contains(QString::fromStdString(first.slavePath()))) << tip.toStdString();
        EXPECT_TRUE(tip.contains("FT232R USB UART")) << tip.toStdString();
        EXPECT_TRUE(tip.contains(dir.filePath("by-id/usb-FTDI_FT232R-if00-port0")))
            << tip.toStdString();
        EXPECT_FALSE(d.findChild<QComboBox*>("cbBaud")->isVisibleTo(&d))
            << "no QM2200 family model transfers faster";
        ports->setCurrentIndex(1);
        test::click(d, "btnOK");
    });
    const int rateBefore = ctx->maxBaudRate();
    KAV_CLICK(*window, "mnCommPort");
    EXPECT_EQ(ctx->comPort(), 4);
    EXPECT_EQ(ctx->maxBaudRate(), rateBefore);
    EXPECT_EQ(window->statusPanel(0), "COM4");
    EXPECT_EQ(window->statusPanel(1), "Open");
    EXPECT_TRUE(ctx->radio().GetVersion()) << "the radio on COM4 answers";
    window->close();
    EXPECT_EQ(store->load(ctx->config().buildModelMask).comPort, 4);
}

TEST_F(PortWindowsTest, CancelAndAnEmptyListChangeNothing) {
    open(2); // no port at all
    script->shown.clear();
    test::whenOpen<TfrmPorts>([&](TfrmPorts& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("cbPort")->count(), 0);
        test::click(d, "btnOK");
    });
    KAV_CLICK(*window, "mnCommPort");
    ASSERT_EQ(script->shown.size(), 1u);
    EXPECT_EQ(script->shown[0].text, "No com ports to select??");
    EXPECT_EQ(script->shown[0].caption, "Invalid serial port");
    EXPECT_EQ(ctx->comPort(), 2);
}

// A port that does not open says why: on the message at start-up, and in the status bar when
// the port dialog chose it.
TEST_F(PortWindowsTest, APortThatWillNotOpenSaysWhy) {
    VirtualRadio& held = radioOn(1, "QM2200");
    SerialPort holder;
    ASSERT_EQ(holder.Open(held.slavePath(), 9600), 1);
    link(2, dir.filePath("gone").toStdString());
    radioOn(3, "QM2200");
    open(1);
    ASSERT_FALSE(script->shown.empty());
    EXPECT_EQ(script->shown[0].text.toStdString(),
              "Unable to open COM1.\n" + held.slavePath() + " is in use by another program");
    EXPECT_EQ(window->statusPanel(1), "Not open");

    // Back to COM3 and then to COM1, which is still held.
    for (const int choice : {3, 1}) {
        test::whenOpen<TfrmPorts>([choice](TfrmPorts& d) {
            auto* ports = d.findChild<QComboBox*>("cbPort");
            ports->setCurrentIndex(ports->findText(QString("COM%1").arg(choice)));
            test::click(d, "btnOK");
        });
        KAV_CLICK(*window, "mnCommPort");
    }
    EXPECT_EQ(window->statusPanel(0), "COM1");
    EXPECT_EQ(window->statusPanel(1), "Not open");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("is in use by another program"))
        << window->statusBar()->currentMessage().toStdString();
}

// A silent port, a radio of another family, then the build's radio: found on COM3, which
// becomes the configured port and stays open.
TEST_F(PortWindowsTest, AutoDetectFindsTheRadioOnALaterPort) {
    radioOn(1, "QM2200", true);
    radioOn(2, "QM5100");
    radioOn(3, "QM2200 TEST");
    open(1);
    QStringList seenOnCom2;
    test::whenOpen<TfrmAutoDetect>([&](TfrmAutoDetect& d) {
        for (int i = 0; i < 300 && d.scanning(); ++i) {
            QTest::qWait(10);
            if (memoLines(d).value(0) == "Radio found on COM2") {
                seenOnCom2 = memoLines(d);
            }
        }
        EXPECT_FALSE(d.scanning());
        EXPECT_EQ(d.findChild<QPushButton*>("btnClose")->text(), "Close");
        EXPECT_EQ(memoLines(d),
                  QStringList({"Radio found on COM3", "QM2200 TEST", "Firmware: v2.01"}));
        test::click(d, "btnClose");
    });
    KAV_CLICK(*window, "mnAutoDetect");
    EXPECT_EQ(seenOnCom2.value(1), "QM5100") << "another family is shown and passed by";
    EXPECT_EQ(ctx->comPort(), 3);
    EXPECT_EQ(window->statusPanel(0), "COM3");
    EXPECT_EQ(window->statusPanel(1), "Open");
    std::string type;
    ASSERT_TRUE(ctx->radio().ReadRadioType(type));
    EXPECT_EQ(type, "QM2200 TEST");
}

// A scan that finds nothing, or is cancelled, or whose dialog is closed with the close box,
// leaves the port on the configured one (here COM1, a radio of another family), never on the
// last port probed; after a close nothing is probed any more.
TEST_F(PortWindowsTest, AutoDetectWithoutAFindPutsThePortBack) {
    radioOn(1, "QM5100");
    VirtualRadio& later = radioOn(2, "QM2200", true);
    open(1);
    enum class End { NotFound, Cancel, CloseBox };
    for (const End end : {End::NotFound, End::Cancel, End::CloseBox}) {
        test::whenOpen<TfrmAutoDetect>([&](TfrmAutoDetect& d) {
            if (end == End::NotFound) {
                for (int i = 0; i < 300 && d.scanning(); ++i) {
                    QTest::qWait(10);
                }
                EXPECT_EQ(memoLines(d).mid(0, 3),
                          QStringList({"Radio not found.", "Ensure radio is switched on.",
                                       "Check programming leads."}));
                test::click(d, "btnClose");
                return;
            }
            for (int i = 0; i < 300 && memoLines(d).value(0) != "Radio found on COM1"; ++i) {
                QTest::qWait(5);
            }
            EXPECT_EQ(d.findChild<QPushButton*>("btnClose")->text(), "Cancel");
            if (end == End::Cancel) {
                test::click(d, "btnClose");
            } else {
                d.close();
            }
            EXPECT_FALSE(d.scanning());
        });
        const auto probesBefore = later.requests().size();
        KAV_CLICK(*window, "mnAutoDetect");
        if (end != End::NotFound) {
            QTest::qWait(300);
            EXPECT_EQ(later.requests().size(), probesBefore) << "COM2 was probed after the close";
        }
        EXPECT_EQ(window->findChild<TfrmAutoDetect*>()->GetDetectedPort(), 0);
        EXPECT_EQ(ctx->comPort(), 1);
        EXPECT_EQ(window->statusPanel(1), "Open");
        std::string type;
        ASSERT_TRUE(ctx->radio().ReadRadioType(type));
        EXPECT_EQ(type, "QM5100") << "the port is back on COM1";
    }
}

// From a start on a saved port that is gone, the person finds the radio with Auto Detect
// and reads it, all from the window.
TEST_F(PortWindowsTest, AFreshStartFindsTheRadioAndReadsIt) {
    VirtualRadio& radio = radioOn(2, "QM2200");
    radio.update([](CommandResponder& r) {
        for (int a = 0; a < 2048; ++a) {
            r.eeprom().setByte(a, a == 0 ? 0x22 : a == 1 ? 0x00 : a % 251);
        }
    });
    open(40);
    ASSERT_FALSE(script->shown.empty());
    EXPECT_TRUE(script->shown[0].text.startsWith("Unable to open COM40.\n"));
    test::whenOpen<TfrmAutoDetect>([](TfrmAutoDetect& d) {
        for (int i = 0; i < 300 && d.scanning(); ++i) {
            QTest::qWait(10);
        }
        test::click(d, "btnClose");
    });
    KAV_CLICK(*window, "mnAutoDetect");
    EXPECT_EQ(window->statusPanel(0), "COM2");
    script->answer(true); // "All current edit data will be lost."
    KAV_CLICK(*window, "btnReadRadio");
    ctx->waitForTransfer();
    QApplication::processEvents();
    const EEPROM expected = radio.snapshot().eeprom();
    EXPECT_TRUE(std::equal(expected.bytes(), expected.bytes() + 2048, ctx->image().bytes()));
    EXPECT_EQ(window->statusPanel(3), "Current (or modified) radio data loaded.");
}

TEST_F(PortWindowsTest, FirmwareWindowShowsTheFourFacts) {
    radioOn(1, "QM2200 TEST");
    open(1);
    std::map<std::string, QString> shown;
    test::whenOpen<TfrmFirmware>([&](TfrmFirmware& d) {
        for (int i = 0; i < 200 && d.readCount() == 0; ++i) {
            QTest::qWait(10);
        }
        QTest::qWait(50);
        for (const char* name :
             {"lblRadioTypeInfo", "lblProductIDInfo", "lblPCBRevInfo", "lblFirmwareInfo"}) {
            shown[name] = d.findChild<QLabel*>(name)->text();
        }
        test::click(d, "btnOK");
    });
    KAV_CLICK(*window, "mnuFirmware");
    EXPECT_EQ(shown["lblRadioTypeInfo"], "QM2200 TEST");
    EXPECT_EQ(shown["lblProductIDInfo"], "2200");
    EXPECT_FALSE(shown["lblPCBRevInfo"].isEmpty());
    EXPECT_EQ(shown["lblFirmwareInfo"], "v2.01");
}

// A silent radio: one "Unable to read from radio" box, answered by a person who clicks OK,
// and not a new one each time the window becomes active again after it.
TEST_F(PortWindowsTest, FirmwareWindowOfASilentRadioAsksOnce) {
    radioOn(1, "QM2200", true);
    open(1);
    script.reset(); // real message boxes from here on
    int boxes = 0;
    QTimer person;
    QObject::connect(&person, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(box->text(), "Unable to read from radio");
            ++boxes;
            QWidget* owner = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
            // As a window manager does: the owner of a closed box becomes active again.
            QTimer::singleShot(0, owner, [owner] { QApplication::setActiveWindow(owner); });
        }
    });
    TfrmFirmware* seen = nullptr;
    test::whenOpen<TfrmFirmware>([&](TfrmFirmware& d) {
        seen = &d;
        QTest::qWait(4000);
        EXPECT_TRUE(d.findChild<QLabel*>("lblRadioTypeInfo")->text().isEmpty());
        test::click(d, "btnOK");
    });
    person.start(100);
    KAV_CLICK(*window, "mnuFirmware");
    person.stop();
    EXPECT_EQ(boxes, 1);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->readCount(), 1);
}

} // namespace
} // namespace kav
