#include "editors/Selc_mem.h"
#include "editors/Selcall.h"
#include "editors/UpDown.h"
#include "gui/editors/EditorHarness.h"

#include <QClipboard>
#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace kav {
namespace {

using Harness = test::EditorHarness<TfrmSelcall>;
using test::qm2200;

// The bytes a new name changes in the typical image.
std::map<int, int> nameBytes(const char* name) {
    const EEPROM before = test::typicalImage();
    EEPROM after = before;
    after.setPackedText(qm2200(kVarSelcallIdent) + 4, name);
    return test::changedBytes(before, after);
}

void typeInto(QLineEdit& edit, const char* keys) {
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, keys);
}

TEST(TfrmSelcallTest, ControlsCarryTheirNamesAndCaptions) {
    Harness h;
    TfrmSelcall& d = h.open();
    EXPECT_EQ(d.windowTitle(), "Selcall Options");
    EXPECT_EQ(d.size(), QSize(674, 694));
    const std::pair<const char*, const char*> captions[] = {
        {"blbRadioIdent", "Radio Ident:"},
        {"Label5", "Radio Name:"},
        {"chkAlertIndividualCall", "Alert Tones for Individual Calls"},
        {"chkAlertGroupCall", "Alert Tones for Group Calls"},
        {"chkBeepAlarms", "Enable Alert Slow Beeps"},
        {"chkBeepAckEnable", "Enable Beep Acknowledge"},
        {"chkUnmuteOnSelcall", "Unmute on receipt of Selcall"},
        {"chkReenterQuiet", "Re-enter Quiet if no operator response"},
        {"chkAcceptGroupCalls", "Accept Group Calls"},
        {"lblRxGroupSize", "Group size:"},
        {"lblAlertDuration", "Alert Duration / Response Timeout"},
        {"chkAppendAni", "Append ANI on CALL-TO"},
        {"chkLeadInDelay", "Lead-in delay "},
        {"lblLeadInDelayl", "Lead in delay length:"},
        {"chkLead_In_Tone", "Lead-in tone"},
        {"chkSendGroupCalls", "Send Group Calls"},
        {"lblTxGroupSize", "Group Size:"},
        {"btnSelcallMem", "Edit Selcall Memories"},
        {"chkUserModifyOwnIdent", "Enable User Modify Radio Ident"},
        {"editUserModifyMemory", "Enable User Modify Selcall Memory"},
        {"lblTonePeriod", "Tone period:"},
        {"Label8", "ms"},
        {"btnSelectAll", "Select All"},
        {"btnDeselectAll", "Deselect All"},
        {"OKBtn", "OK"},
        {"CancelBtn", "Cancel"},
        {"chkGs1", "1"},
        {"chkGs40", "40"},
        {"chkQuiet41", "41"},
        {"chkQuiet80", "80"},
    };
    for (const auto& [name, caption] : captions) {
        QWidget& w = h.find<QWidget>(name);
        const QString text = qobject_cast<QAbstractButton*>(&w)
                                 ? static_cast<QAbstractButton&>(w).text()
                                 : static_cast<QLabel&>(w).text();
        EXPECT_EQ(text, caption) << name;
    }
    const std::pair<const char*, const char*> groups[] = {{"GroupBox2", "Receive Options"},
                                                          {"GroupBox3", "Transmit Options"},
                                                          {"gbGeneralOptions", "General Options"},
                                                          {"gbQuietMem", "Quiet Memory"}};
    for (const auto& [name, title] : groups) {
        EXPECT_EQ(h.find<QGroupBox>(name).title(), title);
    }
    for (const char* list : {"comboRxGrpSize", "comboTxGrpSize"}) {
        auto& combo = h.find<QComboBox>(list);
        ASSERT_EQ(combo.count(), 3);
        EXPECT_EQ(combo.itemText(2), "1000");
    }
    EXPECT_EQ(h.find<UpDown>("udAlertDuration").maximum(), 25);
    EXPECT_EQ(h.find<UpDown>("udLeadInDelay").singleStep(), 100);
    EXPECT_TRUE(h.find<QLineEdit>("editAlertDuration").isReadOnly());
    EXPECT_TRUE(h.find<QLineEdit>("editLeadInDelay").isReadOnly());
    EXPECT_EQ(h.find<QLineEdit>("editRadioAlpha").maxLength(), 5);
    EXPECT_EQ(h.find<QLineEdit>("MaskEditRadioIdent").displayText(), "12345");
    EXPECT_EQ(h.find<QLineEdit>("editRadioAlpha").text(), "BASE1");
    EXPECT_EQ(h.find<QLineEdit>("editLeadInDelay").text(), "300");
    // The tone period belongs to engineering builds.
    EXPECT_FALSE(h.find<QComboBox>("comboTonePeriod").isVisibleTo(&d));
    test::expectLaidOutCleanly(d);

    test::EditorHarness<TfrmSelcall> eng(BuildConfig::engineering(), 0x2200, test::typicalImage());
    eng.open();
    EXPECT_TRUE(eng.find<QComboBox>("comboTonePeriod").isVisibleTo(&eng.dialog));
    EXPECT_TRUE(eng.find<QLabel>("Label8").isVisibleTo(&eng.dialog));
    EXPECT_EQ(eng.find<QComboBox>("comboTonePeriod").currentText(), "40");
    test::expectLaidOutCleanly(eng.dialog);
}

TEST(TfrmSelcallTest, OneChangeAndOkWritesExactlyItsBytes) {
    struct Case {
        const char* what;
        std::function<void(Harness&)> change;
        std::map<int, int> changed; // over the typical QM2200 image
    };
    const Case cases[] = {
        {"ident",
         [](Harness& h) { typeInto(h.find<QLineEdit>("MaskEditRadioIdent"), "54321"); },
         {{905, 0x05}, {906, 0x43}, {907, 0x21}}},
        {"ident with letters typed",
         [](Harness& h) { typeInto(h.find<QLineEdit>("MaskEditRadioIdent"), "5a4B3"); },
         {{905, 0x05}, {906, 0x43}, {907, 0xFF}}},
        {"name typed in lower case",
         [](Harness& h) { typeInto(h.find<QLineEdit>("editRadioAlpha"), "c@ar-2"); },
         nameBytes("CAR-2")},
        {"pasting into the name is refused",
         [](Harness& h) {
             QApplication::clipboard()->setText("x@y");
             auto& name = h.find<QLineEdit>("editRadioAlpha");
             name.selectAll();
             QTest::keyClick(&name, Qt::Key_V, Qt::ControlModifier);
             EXPECT_EQ(name.text(), "BASE1");
         },
         {}},
        {"individual alert off",
         [](Harness& h) { test::click(h.dialog, "chkAlertIndividualCall"); },
         {{37, 0x86}}},
        {"alert duration up",
         [](Harness& h) { QTest::keyClick(&h.find<QLineEdit>("editAlertDuration"), Qt::Key_Up); },
         {{64, 11}}},
        {"lead-in delay up",
         [](Harness& h) { QTest::keyClick(&h.find<QLineEdit>("editLeadInDelay"), Qt::Key_Up); },
         {{59, 40}}},
        {"lead-in tone off",
         [](Harness& h) { test::click(h.dialog, "chkLead_In_Tone"); },
         {{37, 0xC4}}},
        {"accept group calls off",
         [](Harness& h) { test::click(h.dialog, "chkAcceptGroupCalls"); },
         {{36, 0x41}}},
        {"accepted size 1000",
         [](Harness& h) { h.choose("comboRxGrpSize", "1000"); },
         {{36, 0x79}}},
        {"send group calls off",
         [](Harness& h) { test::click(h.dialog, "chkSendGroupCalls"); },
         {{36, 0x58}}},
        {"append ANI off", [](Harness& h) { test::click(h.dialog, "chkAppendAni"); }, {{36, 0x19}}},
        {"user may edit memories",
         [](Harness& h) { test::click(h.dialog, "editUserModifyMemory"); },
         {{39, 0x3E}}},
        {"quiet channel 80 off",
         [](Harness& h) { test::click(h.dialog, "chkQuiet80"); },
         {{185, 0x7F}}},
        {"quiet channel 1 off", [](Harness& h) { test::click(h.dialog, "chkGs1"); }, {{176, 0xFE}}},
        {"quiet memory cleared",
         [](Harness& h) { test::click(h.dialog, "btnDeselectAll"); },
         {{176, 0},
          {177, 0},
          {178, 0},
          {179, 0},
          {180, 0},
          {181, 0},
          {182, 0},
          {183, 0},
          {184, 0},
          {185, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h;
        h.open();
        c.change(h);
        KAV_CLICK(h.dialog, "OKBtn");
        EXPECT_FALSE(h.dialog.isVisible());
        EXPECT_EQ(h.changed(), c.changed);
    }

    test::EditorHarness<TfrmSelcall> eng(BuildConfig::engineering(), 0x2200, test::typicalImage());
    eng.open();
    eng.choose("comboTonePeriod", "70");
    KAV_CLICK(eng.dialog, "OKBtn");
    EXPECT_EQ(eng.changed(), (std::map<int, int>{{69, 70}}));
}

TEST(TfrmSelcallTest, CancelStoresNothing) {
    Harness h;
    h.open();
    for (const char* name : {"btnDeselectAll", "chkBeepAlarms", "chkSendGroupCalls"}) {
        test::click(h.dialog, name);
    }
    typeInto(h.find<QLineEdit>("MaskEditRadioIdent"), "99999");
    typeInto(h.find<QLineEdit>("editRadioAlpha"), "XYZ");
    KAV_CLICK(h.dialog, "CancelBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{}));
}

TEST(TfrmSelcallTest, ErasedImageUntouchedOkKeepsIdentAndName) {
    Harness h(test::erasedImage());
    h.open();
    EXPECT_EQ(h.find<QLineEdit>("MaskEditRadioIdent").displayText(), "FFFFF");
    EXPECT_EQ(h.find<QLineEdit>("editLeadInDelay").text(), "2000");
    EXPECT_EQ(h.find<QComboBox>("comboRxGrpSize").currentText(), "1000");
    EXPECT_EQ(h.find<QComboBox>("comboTxGrpSize").currentText(), "1000");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{{59, 200}, {64, 25}}));
}

TEST(TfrmSelcallTest, GroupSizeListsStartEmptyWhenTheirBoxIsClear) {
    Harness h;
    h.open(); // shows 100 received and 10 sent
    KAV_CLICK(h.dialog, "CancelBtn");
    h.ctx.image().setByte(qm2200(kVarOptions3), 0x40); // no group calls either way
    h.before = h.ctx.image();
    h.open();
    EXPECT_EQ(h.find<QComboBox>("comboRxGrpSize").currentIndex(), -1);
    EXPECT_EQ(h.find<QComboBox>("comboTxGrpSize").currentIndex(), -1);
    test::click(h.dialog, "chkAcceptGroupCalls"); // ticked, no size chosen: the smallest
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{{36, 0x48}}));
}

TEST(TfrmSelcallTest, StoredValuesTheControlsCannotTypeAreShownAsStored) {
    EEPROM image = test::typicalImage();
    image.setHexString("0001234A", qm2200(kVarSelcallIdent), 4);
    image.setByte(qm2200(kVarLeadToneLength), 5);
    Harness h(image);
    h.open();
    auto& ident = h.find<QLineEdit>("MaskEditRadioIdent");
    EXPECT_EQ(ident.displayText(), "1234A");
    auto& lead = h.find<QLineEdit>("editLeadInDelay");
    EXPECT_EQ(lead.text(), "50");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{})) << "stored 5 and the ident's A kept";

    h.open();
    QTest::keyClick(&lead, Qt::Key_Up);
    EXPECT_EQ(lead.text(), "150");
    ident.setFocus();
    ident.setCursorPosition(4);
    QTest::keyClicks(&ident, "B7"); // B is refused, 7 replaces the A
    EXPECT_EQ(ident.displayText(), "12347");
    KAV_CLICK(h.dialog, "OKBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{{59, 15}, {907, 0x47}}));
}

// A mask-511 build told by the radio that it is a QM1300, which has no ident, name, alert time,
// lead-in or Quiet Memory: nothing of those is written, and the ident cannot be typed.
TEST(TfrmSelcallTest, RecordsTheModelLacksAreNeitherEditedNorWritten) {
    Harness h({0x2200, 511, 0}, 0x1300, test::oddImage(0x1300, 8));
    h.open();
    EXPECT_FALSE(h.find<QLineEdit>("MaskEditRadioIdent").isEnabled());
    EXPECT_FALSE(h.find<QLineEdit>("editRadioAlpha").isEnabled());
    test::click(h.dialog, "btnDeselectAll");
    QTest::keyClick(&h.find<QLineEdit>("editLeadInDelay"), Qt::Key_Up);
    QTest::keyClick(&h.find<QLineEdit>("editAlertDuration"), Qt::Key_Up);
    KAV_CLICK(h.dialog, "OKBtn");
    for (const auto& [address, value] : h.changed()) {
        EXPECT_TRUE(address >= 34 && address <= 39) << "written at " << address;
    }
}

TEST(TfrmSelcallTest, EditSelcallMemoriesOpensTheMemoryEditorWithFiveDigits) {
    Harness h;
    h.open();
    QDialog* opened = test::onModalOpenedBy(h.dialog, "btnSelcallMem", [](QDialog& memories) {
        EXPECT_EQ(memories.windowTitle(), "Selcall Memory");
        auto& grid = test::control<QTableWidget>(memories, "sgSelcallMemory");
        EXPECT_EQ(grid.item(2, 1)->text(), "77101");
        EXPECT_EQ(grid.item(2, 2)->text(), "TRUCK");
        grid.item(2, 2)->setText("VAN");
        test::click(memories, "OKBtn"); // writes at once, whatever the Selcall editor does
    });
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(h.dialog.selcallIdents(), opened);
    EXPECT_EQ(h.dialog.selcallIdents()->identLength(), 5);
    KAV_CLICK(h.dialog, "CancelBtn");
    EXPECT_EQ(h.ctx.image().getPackedText(qm2200(kVarSelcallMem) + 12), "VAN");
}

} // namespace
} // namespace kav
