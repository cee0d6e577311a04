#include "engineering/Engineering.h"
#include "engineering/SamplesChart.h"
#include "gui/GuiTestSupport.h"
#include "gui/engineering/EngineeringFixture.h"
#include "link/Event.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace kav {
namespace {

class PanelTest : public test::OverVirtualRadio {
protected:
    void SetUp() override {
        OverVirtualRadio::SetUp();
        panel.show();
        QApplication::processEvents();
        radio.clearRecords();
    }
    void TearDown() override {
        panel.hide();
        OverVirtualRadio::TearDown();
    }
    void type(const char* edit, const QString& text) {
        test::control<QLineEdit>(panel, edit).setText(text);
    }
    QString text(const char* edit) { return test::control<QLineEdit>(panel, edit).text(); }
    QString memo() { return test::control<QPlainTextEdit>(panel, "memoEng").toPlainText(); }
    std::vector<std::uint8_t> lastRequest() {
        const auto all = radio.requests();
        return all.empty() ? std::vector<std::uint8_t>{} : all.back();
    }

    TfrmEngineering panel{ctx};
};

TEST_F(PanelTest, CommandsReachTheRadio) {
    // One press of plus with the 10 MHz step from 504 MHz.
    test::control<QComboBox>(panel, "cbFreqStep").setCurrentIndex(4);
    test::click(panel, "btn_504");
    test::click(panel, "btnFreqInc");
    EXPECT_EQ(panel.frequency(), 514000000);
    EXPECT_EQ(text("editFreq"), "514.000000");
    EXPECT_EQ(state().state().pllSteps, 41120);
    EXPECT_EQ(memo(), "Update PLL...\nOK");

    test::control<QCheckBox>(panel, "chkAlignT1").setChecked(true);
    test::control<QCheckBox>(panel, "chkAlignT3").setChecked(true);
    test::click(panel, "btnAutoAlign");
    EXPECT_EQ(state().state().autoAlign, (std::array<std::uint8_t, 4>{5, 0, 255, 16}));

    radio.update([](CommandResponder& r) { r.setRamByte(0x1234, 0x0F); });
    type("edit_memaddr", "1234");
    test::click(panel, "btnMemRead");
    EXPECT_EQ(text("edit_memdata"), "0F");
    EXPECT_EQ(memo(), "Read memory...\nOK");

    const std::array<std::uint8_t, 8> id{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    radio.update([&](CommandResponder& r) { r.state().radioId = id; });
    test::click(panel, "btnReadID");
    EXPECT_EQ(text("edtID"), "0123456789ABCDEF");
    radio.update([](CommandResponder& r) { r.state().radioId = {}; });
    test::click(panel, "btnWriteID");
    EXPECT_EQ(state().state().radioId, id);

    // The array write writes exactly the bytes asked for.
    radio.update([](CommandResponder& r) { r.eeprom().fill(0xEE); });
    type("edtArrayAddress", " 100");
    type("edtArrayNumBytes", "16");
    test::click(panel, "btnWriteArray");
    const EEPROM written = state().eeprom();
    EXPECT_EQ(written.getByte(100), 0);
    EXPECT_EQ(written.getByte(115), 15);
    EXPECT_EQ(written.getByte(116), 0xEE);
    EXPECT_EQ(text("edtArrayAddress"), "100");
    EXPECT_EQ(script.shown.back().text, "Wrote 16 bytes\n");

    test::click(panel, "btnReadArray");
    EXPECT_TRUE(script.shown.back().text.startsWith("Got 16 bytes\n 00 01 02"));

    radio.clearRecords();
    type("edtSendKAVII", "26 01");
    test::click(panel, "btnSendKAVIICommand");
    ASSERT_TRUE(radio.waitForRequests(1, 1000));
    const auto packet = lastRequest();
    ASSERT_EQ(packet.size(), 2U);
    EXPECT_EQ(packet[0] & 0x7F, 0x26);
    EXPECT_EQ(packet[1], 0x01);
}

// Each typed value outside what its command carries is refused with a reason; nothing is sent.
TEST_F(PanelTest, RefusedInputsSendNothing) {
    struct Case {
        const char* edit;
        const char* text;
        const char* button;
    };
    const Case cases[] = {
        {"edit_memaddr", "G1", "btnMemRead"},         {"edit_memdata", "XY", "btnMemWrite"},
        {"editAlignStop", "256", "btnAutoAlign"},     {"editAlignStart", "x", "btnAutoAlign"},
        {"edtArrayNumBytes", "129", "btnReadArray"},  {"edtArrayAddress", "70000", "btnWriteArray"},
        {"edtSendKAVII", "1", "btnSendKAVIICommand"}, {"edtID", "0123", "btnWriteID"},
    };
    for (const Case& c : cases) {
        type("edit_memaddr", "10");
        type("edit_memdata", "00");
        type("edit_memmask", "FF");
        type("editAlignStart", "0");
        type("editAlignStop", "255");
        type("edtArrayAddress", "0");
        type("edtArrayNumBytes", "16");
        type(c.edit, c.text);
        radio.clearRecords();
        script.shown.clear();
        test::click(panel, c.button);
        EXPECT_TRUE(nothingSent()) << c.edit;
        ASSERT_EQ(script.shown.size(), 1U) << c.edit;
        EXPECT_EQ(script.shown[0].kind, popups::Kind::Warning) << c.edit;
        EXPECT_TRUE(script.shown[0].text.contains("nothing was sent")) << c.edit;
    }
}

// On the QM2200 "LCD Contrast" has no address: nothing is read for it and it cannot be set.
TEST_F(PanelTest, ContrastOnlyWhereTheModelHasIt) {
    EXPECT_FALSE(test::control<QPushButton>(panel, "btnSetContrast").isEnabled());
    panel.hide();
    ctx.models().setModelByProductId(0x5100);
    radio.update([](CommandResponder& r) { r.eeprom().setByte(62, 6); });
    radio.clearRecords();
    panel.show();
    EXPECT_TRUE(test::control<QPushButton>(panel, "btnSetContrast").isEnabled());
    EXPECT_EQ(text("edtLCDContrast"), "06");
    test::click(panel, "btnSetContrast");
    EXPECT_TRUE(memo().endsWith("Wrote contrast - now reset radio"));
    EXPECT_EQ(ctx.image().getByte(62), 6);
}

TEST_F(PanelTest, PollingShowsReadingsAndStopsOnCloseAndDuringATransfer) {
    auto& polling = test::control<QCheckBox>(panel, "chkADPolling");
    auto& timer = test::control<QTimer>(panel, "ADPollTimer");
    polling.click();
    ASSERT_TRUE(waitFor([&] { return !text("editRSSI").isEmpty(); }));
    EXPECT_EQ(text("editRSSI"), "60");
    EXPECT_EQ(text("editNoisevolts"), "40");

    // A transfer owns the radio: the ticks leave it alone.
    Event release;
    ASSERT_TRUE(ctx.startWorker([&] { release.wait(5000); }));
    radio.clearRecords();
    QTest::qWait(3 * TfrmEngineering::kPollMs);
    EXPECT_TRUE(timer.isActive());
    EXPECT_TRUE(radio.requests().empty());
    release.set();
    ctx.waitForTransfer();

    // Closed by the close box (not "Close"): the timer stops all the same.
    panel.close();
    EXPECT_FALSE(timer.isActive());
    radio.clearRecords();
    QTest::qWait(2 * TfrmEngineering::kPollMs);
    EXPECT_TRUE(radio.requests().empty());
    panel.show();
    EXPECT_FALSE(polling.isChecked());
}

TEST_F(PanelTest, ATransmitterKeyedHereIsUnkeyedOnClose) {
    test::click(panel, "btnPTT");
    EXPECT_EQ(state().state().ptt, 1);
    EXPECT_EQ(test::control<QLabel>(panel, "lblTxRx").text(), "TRANSMIT");
    panel.close();
    EXPECT_EQ(state().state().ptt, 0);
}

TEST_F(PanelTest, AudioSamplesFeedTheChart) {
    radio.update([](CommandResponder& r) { r.state().audioSamples = {-300, 0, 250, 1000}; });
    int points = 0;
    QPointF third;
    test::whenOpen<TfrmSamplesChart>([&](TfrmSamplesChart& chart) {
        points = static_cast<int>(chart.series().count());
        third = chart.series().at(2);
        test::click(chart, "btnClose");
    });
    test::click(panel, "btnAudioSamples");
    EXPECT_EQ(points, 126);
    EXPECT_EQ(third, QPointF(2, 250));
    EXPECT_TRUE(memo().startsWith("Read audio samples...\nSamples:\n0:-300 1:0 2:250 3:1000 "));
    EXPECT_TRUE(memo().endsWith("\nOK"));
}

} // namespace
} // namespace kav
