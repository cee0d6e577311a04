#include "app/Main.h"
#include "engineering/ByteMonitor.h"
#include "engineering/PacketMonitors.h"
#include "gui/GuiTestSupport.h"
#include "gui/engineering/EngineeringFixture.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace kav {
namespace {

class MonitorsTest : public test::OverVirtualRadio {
protected:
    // The monitor's log once the notices so far are painted, without time stamps.
    static QStringList lines(MonitorForm& form) {
        QTest::qWait(30);
        form.flush();
        QStringList out;
        for (QString line : form.log().toPlainText().split('\n')) {
            out << line.remove(QRegularExpression(R"(^\[\d\d:\d\d:\d\d\.\d{3}\] )"));
        }
        return out;
    }
};

TEST_F(MonitorsTest, ByteMonitorLogsSentThenReceivedBytes) {
    TbyteMonitorForm form(ctx.port());
    test::control<QAbstractButton>(form, "chkDecodeASCII").setChecked(true);
    form.show();
    ASSERT_TRUE(ctx.radio().GetVersion());
    QStringList log = lines(form);
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log[0], "------ running ------");
    EXPECT_TRUE(log[1].startsWith("Tx[")) << log[1].toStdString();
    EXPECT_TRUE(log[1].contains("] 7E 02 ")) << log[1].toStdString();
    EXPECT_TRUE(log[1].endsWith("]")) << "decoded text";
    EXPECT_TRUE(log[2].startsWith("Rx[")) << log[2].toStdString();

    test::click(form, "byteMonPause");
    ASSERT_TRUE(ctx.radio().GetVersion());
    ctx.port().SetBaudRate(9600);
    log = lines(form);
    EXPECT_EQ(log.mid(log.size() - 2),
              (QStringList{"------ paused ------", "Baud-rate changed to 9600"}));

    // Closed, it is no longer told anything.
    form.close();
    EXPECT_TRUE(form.paused());
    ctx.port().SetBaudRate(9600);
    EXPECT_EQ(lines(form).size(), log.size());
}

TEST_F(MonitorsTest, ByteMonitorKeepsOnlyTheNewestLines) {
    TbyteMonitorForm form(ctx.port());
    form.show();
    for (int i = 0; i < MonitorForm::kMaxLines + 500; ++i) {
        ctx.port().SetBaudRate(i % 2 == 0 ? 19200 : 9600);
    }
    const QStringList log = lines(form);
    EXPECT_EQ(log.size(), MonitorForm::kMaxLines);
    EXPECT_EQ(log.back(), "Baud-rate changed to 9600");
}

TEST_F(MonitorsTest, KavIIMonitorLogsRequestsRepliesAndRefusals) {
    TkavIIPacketMonitorForm form(ctx.radio().kavII());
    form.show();
    ASSERT_TRUE(ctx.radio().GetVersion());
    VirtualRadioFaults nack;
    nack.nackCodes[0x00] = true;
    radio.setFaults(nack);
    EXPECT_FALSE(ctx.radio().GetVersion());
    const QStringList log = lines(form);
    ASSERT_EQ(log.size(), 7) << log.join('|').toStdString();
    EXPECT_EQ(log[0], "------ running ------");
    EXPECT_EQ(log[1], "Tx[1] 80 ");
    EXPECT_TRUE(log[2].startsWith("Rx[")) << log[2].toStdString();
    EXPECT_TRUE(log[2].contains("] 00 02 01 ")) << log[2].toStdString();
    EXPECT_EQ(log[3], "Tx[1] 80 ");
    EXPECT_EQ(log[4], "Rx[1] 40 "); // the refusal itself
    EXPECT_EQ(log[5], "* NACK *");
    EXPECT_EQ(log[6], "* timeout *");
}

TEST_F(MonitorsTest, KavIMonitorLogsTheFrameAndThePanelReply) {
    TkavIPacketMonitorForm form(ctx.radio().kavI());
    form.show();
    radio.sendKavIFrame(VirtualRadio::kavIFrame(0xAA, 0x09, {0, 0, 0, 0}));
    ASSERT_TRUE(radio.waitForPanelReplies(1, 2000));
    const QStringList log = lines(form);
    ASSERT_EQ(log.size(), 3) << log.join('|').toStdString();
    EXPECT_TRUE(log[1].startsWith("Rx[")) << log[1].toStdString();
    EXPECT_EQ(log[2], "Tx[7] 03 03 01 00 F8 49 CC ");
}

// The Setup menu of the engineering build opens each monitor modeless, once, and keeps it.
TEST_F(MonitorsTest, SetupMenuOpensTheMonitors) {
    TfrmMain window(ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("k.ini")));
    for (const char* item : {"mnuByteMonitor", "mnuKAVIPacketMonitor", "mnuKAVIIPacketMonitor"}) {
        KAV_CLICK(window, item);
        KAV_CLICK(window, item);
    }
    QStringList shown;
    for (QDialog* dialog : window.findChildren<QDialog*>()) {
        if (dynamic_cast<MonitorForm*>(dialog) != nullptr && dialog->isVisible()) {
            EXPECT_FALSE(dialog->isModal());
            shown << dialog->windowTitle();
        }
    }
    shown.sort();
    EXPECT_EQ(shown,
              (QStringList{"Byte Monitor", "KAV I Packet Monitor", "KAV II Packet Monitor"}));
}

} // namespace
} // namespace kav
