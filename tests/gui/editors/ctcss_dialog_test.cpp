#include "editors/Ctcss.h"
#include "gui/editors/EditorHarness.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace kav {
namespace {

using Harness = test::EditorHarness<TfrmCtcss>;
using test::qm2200;

constexpr int kLegacy50 = 0x81; // legacy numbering, CTCSS on
constexpr int kLegacy38 = 0xC1;

EEPROM ctcssImage(int options5, int cbTone, int trawlTone = 0) {
    EEPROM image = test::typicalImage();
    image.setByte(qm2200(kVarOptions5), options5);
    image.setByte(qm2200(kVarOptions9), 0x00);
    image.setByte(qm2200(kVarTxCtcssTone), cbTone);
    image.setByte(qm2200(kVarRxCtcssTone), cbTone);
    image.setByte(qm2200(kVarTrawlCtcssTone), trawlTone);
    for (int a = 0; a < 10; ++a) {
        image.setByte(qm2200(kVarSilentMem) + a, 0); // channels 1-80 clear
    }
    return image;
}

QString shown(Harness& h, const char* list) {
    return h.find<QComboBox>(list).currentText();
}

TEST(TfrmCtcssTest, ShowsTheLoadedSetUpUnderItsNames) {
    Harness h(ctcssImage(0x21, 39, 60)); // extended numbering, CTCSS on, busy lockout
    TfrmCtcss& d = h.open();
    EXPECT_EQ(d.windowTitle(), "CTCSS Setup");
    EXPECT_EQ(d.size(), QSize(626, 473));
    test::expectLaidOutCleanly(d);
    EXPECT_EQ(h.find<QGroupBox>("GroupBox1").title(), "CTCSS options");
    EXPECT_EQ(h.find<QGroupBox>("gbCtcssMem").title(), "Silent Channel Memory");
    EXPECT_EQ(h.find<QPushButton>("btnCtcssSelectAll").text(), "&Select All");
    EXPECT_EQ(h.find<QCheckBox>("chkCtcss80").text(), "80");
    EXPECT_TRUE(h.find<QCheckBox>("chkEnableCbCtcss").isChecked());
    EXPECT_TRUE(h.find<QCheckBox>("chkBusyLockout").isChecked());
    EXPECT_TRUE(h.find<QCheckBox>("chkCTCSS_RPK").isChecked());
    EXPECT_EQ(shown(h, "cmbTxCtcss"), "CTC39 - 69.4Hz");
    EXPECT_EQ(shown(h, "cmbTrawlTone"), "DT010 - 053");
    EXPECT_FALSE(h.find<QComboBox>("cbCTCSSToneSet").isVisible());
    EXPECT_FALSE(h.find<QLabel>("lblCTCSSToneSet").isVisible());

    h.find<QComboBox>("cmbTxCtcss").setFocus();
    QApplication::processEvents();
    EXPECT_EQ(h.find<QPlainTextEdit>("memoHelpText").toPlainText(),
              "Set the CTCSS tone to use for CB channels");
}

TEST(TfrmCtcssTest, OkStoresWhatWasChangedAndCancelNothing) {
    Harness h(ctcssImage(0x21, 39));
    h.open();
    h.choose("cmbTxCtcss", "DT001 - 023");
    h.find<QCheckBox>("chkCtcss12").setChecked(true);
    KAV_CLICK(h.dialog, "CancelBtn");
    EXPECT_TRUE(h.changed().empty());

    h.open();
    EXPECT_EQ(shown(h, "cmbTxCtcss"), "CTC39 - 69.4Hz") << "a new showing loads again";
    h.choose("cmbTxCtcss", "DT001 - 023");
    h.find<QCheckBox>("chkCtcss12").setChecked(true);
    h.find<QCheckBox>("chkCTCSS_SilentTail").setChecked(false);
    KAV_CLICK(h.dialog, "OKBtn");
    const int silent = qm2200(kVarSilentMem);
    EXPECT_EQ(h.changed(), (std::map<int, int>{{qm2200(kVarTxCtcssTone), 51},
                                               {qm2200(kVarRxCtcssTone), 51},
                                               {silent + 1, 0x08},
                                               {qm2200(kVarOptions9), 0x02}}));
}

// Boxes that cannot be changed (no CTCSS on the duplex channels; 5 and 35 barred) keep their
// state through Select All and Deselect All, and are stored as they show.
TEST(TfrmCtcssTest, SelectAllChangesOnlyTheBoxesThatCanBeChanged) {
    EEPROM image = ctcssImage(0x07, 0); // on, 5 and 35 barred, no CTCSS on duplex channels
    const int silent = qm2200(kVarSilentMem);
    image.setByte(silent, 0x01); // channel 1
    Harness h(image);
    h.open();
    EXPECT_FALSE(h.find<QCheckBox>("chkCtcss1").isEnabled());
    EXPECT_FALSE(h.find<QCheckBox>("chkCtcss35").isEnabled());
    EXPECT_TRUE(h.find<QCheckBox>("chkCtcss9").isEnabled());

    KAV_CLICK(h.dialog, "btnCtcssSelectAll");
    EXPECT_TRUE(h.find<QCheckBox>("chkCtcss1").isChecked());
    EXPECT_FALSE(h.find<QCheckBox>("chkCtcss2").isChecked());
    EXPECT_FALSE(h.find<QCheckBox>("chkCtcss35").isChecked());
    EXPECT_TRUE(h.find<QCheckBox>("chkCtcss36").isChecked());
    KAV_CLICK(h.dialog, "OKBtn");
    // Channels 1 (kept), 9-34, 36-40 and 49-80: not 2-8, 35 or 41-48.
    EXPECT_EQ(h.changed(), (std::map<int, int>{{silent + 1, 0xFF},
                                               {silent + 2, 0xFF},
                                               {silent + 3, 0xFF},
                                               {silent + 4, 0xFB},
                                               {silent + 6, 0xFF},
                                               {silent + 7, 0xFF},
                                               {silent + 8, 0xFF},
                                               {silent + 9, 0xFF}}));

    // With CTCSS off every box and both buttons are disabled.
    h.open();
    h.find<QCheckBox>("chkEnableCbCtcss").setChecked(false);
    EXPECT_FALSE(h.find<QPushButton>("btnCtcssDeselectAll").isEnabled());
    EXPECT_FALSE(h.find<QCheckBox>("chkCtcss36").isEnabled());
    EXPECT_FALSE(h.find<QComboBox>("cmbTxCtcss").isEnabled());
}

TEST(TfrmCtcssTest, ToneSetChangeConvertsBothLists) {
    Harness h(ctcssImage(kLegacy50, 52, 45));
    h.open();
    EXPECT_TRUE(h.find<QComboBox>("cbCTCSSToneSet").isVisible());
    EXPECT_EQ(shown(h, "cbCTCSSToneSet"), "CTCSS 1-50");
    EXPECT_EQ(shown(h, "cmbTrawlTone"), "CTC45 - 225.7Hz");
    h.choose("cbCTCSSToneSet", "CTCSS 1-38");
    EXPECT_EQ(shown(h, "cmbTxCtcss"), "DT002 - 025");
    EXPECT_EQ(h.find<QComboBox>("cmbTxCtcss").currentIndex(), 40);
    EXPECT_EQ(shown(h, "cmbTrawlTone"), "CTC35 - 225.7Hz");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{{qm2200(kVarOptions5), kLegacy38},
                                               {qm2200(kVarTrawlCtcssTone), 35}}));
}

// Codes 39-50 stand for no tone of the 38-tone set: shown as unknown and stored back unless
// a tone is chosen.
TEST(TfrmCtcssTest, AnUnknownLegacyCodeIsKeptUntilAToneIsChosen) {
    Harness h(ctcssImage(kLegacy38, 40));
    h.open();
    EXPECT_EQ(shown(h, "cmbTxCtcss"), "??? (code 40)");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_TRUE(h.changed().empty());

    h.open();
    h.choose("cmbTxCtcss", "DT001 - 023");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(),
              (std::map<int, int>{{qm2200(kVarTxCtcssTone), 51}, {qm2200(kVarRxCtcssTone), 51}}));
}

// The hidden tone-set list keeps whatever an earlier showing left in it; the extended
// numbering stores the tone-set bit as loaded.
TEST(TfrmCtcssTest, ExtendedNumberingKeepsTheToneSetBit) {
    Harness h(ctcssImage(kLegacy38, 5));
    h.open();
    EXPECT_EQ(shown(h, "cbCTCSSToneSet"), "CTCSS 1-38");
    KAV_CLICK(h.dialog, "CancelBtn");

    h.ctx.image() = ctcssImage(0x01, 5); // extended numbering, bit 6 clear
    h.before = h.ctx.image();
    h.open();
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_TRUE(h.changed().empty());
}

TEST(TfrmCtcssTest, HandheldHidesTheEnableBox) {
    EEPROM image = test::oddImage(0x5100, 2);
    Harness h({0x5100, 8, 0}, 0x5100, image);
    h.open();
    EXPECT_FALSE(h.find<QCheckBox>("chkEnableCbCtcss").isVisible());
    EXPECT_TRUE(h.find<QCheckBox>("chkEnableCbCtcss").isChecked());
    EXPECT_TRUE(h.find<QComboBox>("cmbTxCtcss").isEnabled());
}

} // namespace
} // namespace kav
