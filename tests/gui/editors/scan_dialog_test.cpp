#include "editors/Scan.h"
#include "editors/UpDown.h"
#include "gui/editors/EditorHarness.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace kav {
namespace {

using Harness = test::EditorHarness<TfrmScan>;

TEST(TfrmScanTest, ControlsCarryTheirNamesAndCaptions) {
    Harness h;
    TfrmScan& d = h.open();
    EXPECT_EQ(d.windowTitle(), "Scan and Duplex settings");
    const std::pair<const char*, const char*> captions[] = {
        {"chk3Beep", "Enable 3 beeps on Group Scan"},
        {"chkGS_PTT_EXIT", "Transmit on PRI channel in Group Scan"},
        {"chkUserModNSMem", "User can modify Trawl memory"},
        {"chkUserModScanMode", "User can modify Scan mode"},
        {"lblScanMemory", "Scan Memory"},
        {"lblRecallM1", "Priority Channel"},
        {"lblPriCheck", "Priority Check Rate"},
        {"lblChannels", "channels"},
        {"lblScanSkipTime", "Scan Skip Time"},
        {"lblScanSkipSec", "sec"},
        {"btnDupSelectAll", "&Select All"},
        {"btnDupDeselectAll", "&Deselect All"},
        {"rbOS1", "Open Scan"},
        {"rbGS1", "Group Scan"},
        {"rbOS2", "Open Scan"},
        {"rbGS2", "Group Scan"},
        {"btnOsSelectAll", "&Select All"},
        {"btnGsDeselectAll", "&Deselect All"},
        {"btnNsSelectAll", "&Select All"},
        {"OKBtn", "OK"},
        {"CancelBtn", "Cancel"},
        {"chkDup8", "8"},
        {"chkDup41", "41"},
        {"chkOs1", "1"},
        {"chkGs80", "80"},
        {"chkNs47", "47"},
    };
    for (const auto& [name, caption] : captions) {
        QWidget& w = h.find<QWidget>(name);
        const QString text = qobject_cast<QAbstractButton*>(&w)
                                 ? static_cast<QAbstractButton&>(w).text()
                                 : static_cast<QLabel&>(w).text();
        EXPECT_EQ(text, caption) << name;
    }
    EXPECT_EQ(h.find<QGroupBox>("gbScanOptions").title(), "Scan Options");
    EXPECT_EQ(h.find<QGroupBox>("gbDuplex").title(), "Duplex Channels");
    auto& pages = h.find<QTabWidget>("pcScanMem");
    ASSERT_EQ(pages.count(), 3);
    const char* pageNames[] = {"tsScanMem1", "tsScanMem2", "tsTrawlMem"};
    const char* pageCaptions[] = {"Scan Memory 1", "Scan Memory 2", "Trawl Memory"};
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(pages.widget(p)->objectName(), pageNames[p]);
        EXPECT_EQ(pages.tabText(p), pageCaptions[p]);
    }
    // Each page holds its 80 boxes in 8 columns of 10, channel 11 beside channel 1.
    int page = 0;
    for (const char* prefix : {"chkOs", "chkGs", "chkNs"}) {
        pages.setCurrentIndex(page++);
        QApplication::processEvents();
        for (int ch = 1; ch <= 80; ++ch) {
            h.find<QCheckBox>((prefix + std::to_string(ch)).c_str());
        }
        const QRect first = h.find<QCheckBox>((std::string(prefix) + "1").c_str()).geometry();
        const QRect eleventh = h.find<QCheckBox>((std::string(prefix) + "11").c_str()).geometry();
        const QRect second = h.find<QCheckBox>((std::string(prefix) + "2").c_str()).geometry();
        EXPECT_EQ(first.top(), eleventh.top());
        EXPECT_LT(first.left(), eleventh.left());
        EXPECT_EQ(first.left(), second.left());
        EXPECT_LT(first.top(), second.top());
    }
    EXPECT_EQ(h.find<QLineEdit>("edtScanSkipTime").maxLength(), 6);
    h.find<UpDown>("udScanSkipTime");
    h.find<QPlainTextEdit>("memoHelpText");
}

TEST(TfrmScanTest, BuildsShowWhatTheirModelOffers) {
    struct Case {
        const char* what;
        BuildConfig config;
        std::uint32_t model;
        bool trawlPage;
        bool skipTime;
        bool trawlLock;
        bool scanModeLock;
        int scanMemoryItems;
    };
    const Case cases[] = {
        {"delivered", BuildConfig::delivered(), 0x2200, true, true, true, true, 3},
        {"engineering", BuildConfig::engineering(), 0x2200, true, true, true, true, 3},
        {"QM1500", {0x1500, 128, 0}, 0x1500, false, false, false, false, 2},
        {"QM3100, no firmware read", {0x3100, 4, 0}, 0x3100, false, true, true, false, 3},
        {"QM1300", {0x1300, 32, 0}, 0x1300, true, true, true, true, 3},
        {"mask 511 over a QM1500 map", {0x2200, 511, 0}, 0x1500, true, true, true, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h(c.config, c.model, test::oddImage(static_cast<std::uint16_t>(c.model), 1));
        TfrmScan& d = h.open();
        auto& pages = h.find<QTabWidget>("pcScanMem");
        EXPECT_EQ(pages.isTabVisible(2), c.trawlPage);
        EXPECT_EQ(pages.currentIndex(), 0);
        EXPECT_EQ(h.find<QLineEdit>("edtScanSkipTime").isVisibleTo(&d), c.skipTime);
        EXPECT_EQ(h.find<UpDown>("udScanSkipTime").isVisibleTo(&d), c.skipTime);
        EXPECT_EQ(h.find<QLabel>("lblScanSkipSec").isVisibleTo(&d), c.skipTime);
        EXPECT_EQ(h.find<QCheckBox>("chkUserModNSMem").isVisibleTo(&d), c.trawlLock);
        EXPECT_EQ(h.find<QCheckBox>("chkUserModScanMode").isVisibleTo(&d), c.scanModeLock);
        EXPECT_EQ(h.find<QComboBox>("cbScanMemory").count(), c.scanMemoryItems);
        for (int page = 0; page < pages.count(); ++page) {
            if (pages.isTabVisible(page)) {
                pages.setCurrentIndex(page);
                test::expectLaidOutCleanly(d);
            }
        }
    }
}

TEST(TfrmScanTest, OneChangeAndOkWritesExactlyItsBytes) {
    struct Case {
        const char* what;
        std::function<void(Harness&)> change;
        std::map<int, int> changed; // over the typical QM2200 image
    };
    const Case cases[] = {
        {"duplex 1 off", [](Harness& h) { test::click(h.dialog, "chkDup1"); }, {{52, 0x04}}},
        {"duplex 41 on", [](Harness& h) { test::click(h.dialog, "chkDup41"); }, {{58, 0x81}}},
        {"duplex select all",
         [](Harness& h) { test::click(h.dialog, "btnDupSelectAll"); },
         {{52, 0xFF}, {58, 0xFF}}},
        {"priority RX 83", [](Harness& h) { h.choose("cmbRecallM1", "RX 83"); }, {{51, 83}}},
        {"check rate 7", [](Harness& h) { h.choose("cmbPriChkRate", "7"); }, {{50, 7}}},
        {"ScanWeave memory",
         [](Harness& h) { h.choose("cbScanMemory", "ScanWeave memory"); },
         {{30, 0x20}}},
        {"memory 2 group scan",
         [](Harness& h) {
             h.find<QTabWidget>("pcScanMem").setCurrentIndex(1);
             test::click(h.dialog, "rbGS2");
         },
         {{35, 0x61}}},
        {"memory 1 open scan", [](Harness& h) { test::click(h.dialog, "rbOS1"); }, {{35, 0x01}}},
        {"3 beeps off", [](Harness& h) { test::click(h.dialog, "chk3Beep"); }, {{35, 0x20}}},
        {"PTT exit on", [](Harness& h) { test::click(h.dialog, "chkGS_PTT_EXIT"); }, {{35, 0xA1}}},
        {"scan mode lock off",
         [](Harness& h) { test::click(h.dialog, "chkUserModScanMode"); },
         {{39, 0x2A}}},
        {"Trawl lock off",
         [](Harness& h) { test::click(h.dialog, "chkUserModNSMem"); },
         {{39, 0x32}}},
        {"scan memory 1 cleared",
         [](Harness& h) { test::click(h.dialog, "btnOsDeselectAll"); },
         {{128, 0}, {129, 0}, {130, 0}, {131, 0}, {132, 0}}},
        {"Trawl channel 80 off",
         [](Harness& h) {
             h.find<QTabWidget>("pcScanMem").setCurrentIndex(2);
             test::click(h.dialog, "chkNs80");
         },
         {{929, 0x7F}}},
        {"skip time 3000, Enter",
         [](Harness& h) {
             auto& edit = h.find<QLineEdit>("edtScanSkipTime");
             edit.selectAll();
             QTest::keyClicks(&edit, "3000");
             QTest::keyClick(&edit, Qt::Key_Return);
             EXPECT_TRUE(h.dialog.isVisible()) << "Enter commits the edit, not the dialog";
             EXPECT_EQ(edit.text(), "2540");
         },
         {{85, 254}}},
        {"skip time typed without Enter",
         [](Harness& h) {
             auto& edit = h.find<QLineEdit>("edtScanSkipTime");
             edit.selectAll();
             QTest::keyClicks(&edit, "4x7");
             EXPECT_EQ(edit.text(), "47");
         },
         {{85, 4}}},
        {"skip time one step up",
         [](Harness& h) { QTest::keyClick(&h.find<QLineEdit>("edtScanSkipTime"), Qt::Key_Up); },
         {{85, 13}}},
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
}

TEST(TfrmScanTest, CancelStoresNothingAndTheNextShowingReloads) {
    Harness h;
    h.open();
    for (const char* name : {"btnDupSelectAll", "chk3Beep", "btnOsDeselectAll"}) {
        test::click(h.dialog, name);
    }
    h.find<QTabWidget>("pcScanMem").setCurrentIndex(1);
    for (const char* name : {"rbGS2", "btnGsDeselectAll"}) {
        test::click(h.dialog, name);
    }
    h.choose("cmbRecallM1", "CB 77");
    KAV_CLICK(h.dialog, "CancelBtn");
    EXPECT_EQ(h.changed(), (std::map<int, int>{}));
    h.open();
    EXPECT_EQ(h.find<QComboBox>("cmbRecallM1").currentText(), "RX 82");
    EXPECT_TRUE(h.find<QCheckBox>("chk3Beep").isChecked());
    EXPECT_FALSE(h.find<QCheckBox>("chkDup2").isChecked());
    EXPECT_EQ(h.find<QTabWidget>("pcScanMem").currentIndex(), 0);
    EXPECT_TRUE(h.find<QCheckBox>("chkOs1").isChecked());
}

// Through the dialog's controls as through the model: an untouched OK changes only what the
// load corrected, on an erased image and on a mask-511 build over a model lacking records.
TEST(TfrmScanTest, UntouchedOkChangesOnlyTheLoadCorrections) {
    struct Case {
        const char* what;
        BuildConfig config;
        std::uint32_t model;
        EEPROM image;
        std::map<int, int> changed;
    };
    const Case cases[] = {
        {"erased",
         BuildConfig::delivered(),
         0x2200,
         test::erasedImage(),
         {{51, 1}, {50, 10}, {85, 3}, {30, 0xDF}}},
        {"typical", BuildConfig::delivered(), 0x2200, test::typicalImage(), {}},
        {"mask 511 over a QM1500 map",
         {0x2200, 511, 0},
         0x1500,
         test::oddImage(0x1500, 3),
         {{50, 10}, {51, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h(c.config, c.model, c.image);
        h.open();
        KAV_CLICK(h.dialog, "OKBtn");
        EXPECT_EQ(h.changed(), c.changed);
    }
}

} // namespace
} // namespace kav
