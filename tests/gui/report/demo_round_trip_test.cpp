// A dealer's round with the demo radio: read it, add a receive-only channel, see it in the
// report and its printout, write the radio and read the channel back.
#include "app/Main.h"
#include "app/Popups.h"
#include "editors/RxChannelSettings.h"
#include "editors/Rxchdata.h"
#include "editors/Rxchedit.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDialog.h"
#include "report/Report.h"
#include "sim/DemoImage.h"
#include "sim/VirtualRadio.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(DemoRoundTripTest, AddedChannelReachesReportPrintoutAndRadio) {
    popups::Script script;
    QTemporaryDir dir;
    VirtualRadio radio{0x2200};
    radio.update([](CommandResponder& r) { r.eeprom() = demoImage(); });
    ASSERT_TRUE(radio.start());
    ASSERT_TRUE(QFile::link(QString::fromStdString(radio.slavePath()), dir.filePath("COM1")));
    AppContext ctx{BuildConfig::delivered(), 0, PortEnvironment{dir.path().toStdString()}};
    TfrmMain main(ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini")));
    main.startUp();
    const auto transfer = [&](const char* button) {
        script.answer(true); // "All current edit data will be lost."
        KAV_CLICK(main, button);
        ctx.waitForTransfer();
        QApplication::processEvents();
    };
    transfer("btnReadRadio");

    test::whenModal<TfrmRxChData>([](TfrmRxChData& window) {
        test::whenModal<TfrmRxChEdit>([](TfrmRxChEdit& dialog) {
            auto& channels = *dialog.findChild<QComboBox*>("cbChannel");
            channels.setCurrentIndex(channels.findText("84"));
            dialog.findChild<QLineEdit*>("editFreq")->setText("476.5125");
            dialog.findChild<QLineEdit*>("editAlphaTag")->setText("ROUND");
            dialog.findChild<QCheckBox*>("chkScan1")->setChecked(true);
            test::click(dialog, "btnOK");
        });
        test::click(window, "btnAdd");
        test::click(window, "btnOK");
    });
    KAV_CLICK(main, "btnChannelData");

    const QString line = "CH84     476.5125MHz     ROUND";
    const QString pdf = dir.filePath("report.pdf");
    test::whenModal<TfrmReport>([&](TfrmReport& report) {
        report.findChild<QCheckBox*>("chkRxChannels")->setChecked(true);
        test::click(report, "btnCreate");
        EXPECT_TRUE(report.findChild<QPlainTextEdit*>("memo_report")->toPlainText().contains(line));
        script.nextFile(pdf);
        test::click(report, "btnPrint");
        test::click(report, "btnClose");
    });
    KAV_CLICK(main, "mnuPrint");
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(pdftotext.readAllStandardOutput())
                    .simplified()
                    .contains(line.simplified()));

    transfer("btnWriteRadio");
    const int at = ctx.models().variableAddress(kVarRxOnlyChannels) + 6 * rxSlot(0, 84);
    const EEPROM written = radio.snapshot().eeprom();
    EXPECT_EQ(written.getWord(at), 476512500 / 12500);
    EXPECT_EQ(written.getPackedText(at + 2), "ROUND");

    ctx.image().fill(0xFF);
    transfer("btnReadRadio");
    EXPECT_EQ(ctx.image().getWord(at), 476512500 / 12500);
    EXPECT_EQ(ctx.image().getPackedText(at + 2), "ROUND");
    EXPECT_EQ(loadRxChannels(ctx.image(), ctx.models(), ctx.config()).channel(0, 84).memberFlags,
              kMemberScan1);
}

} // namespace
} // namespace kav
