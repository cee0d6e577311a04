#include "editors/Squelch.h"
#include "editors/UpDown.h"
#include "gui/editors/EditorHarness.h"

#include <QGroupBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace kav {
namespace {

using Harness = test::EditorHarness<TfrmSquelch>;
using test::qm2200;

TEST(TfrmSquelchTest, ControlsCarryTheirNamesCaptionsAndTheLoadedValues) {
    EEPROM image = test::typicalImage();
    image.setByte(qm2200(kVarSqlLevel), 0);
    image.setByte(qm2200(kVarSqlOpenDebounce), 20);
    image.setByte(qm2200(kVarSqlMinOpen), 15);
    Harness h(image);
    TfrmSquelch& d = h.open();
    EXPECT_EQ(d.windowTitle(), "Squelch");
    EXPECT_EQ(d.size(), QSize(422, 170));
    EXPECT_EQ(h.find<QGroupBox>("gbSquelchLevel").title(), "Squelch Level");
    EXPECT_EQ(h.find<QGroupBox>("GroupBox1").title(), "Squelch Timing");
    EXPECT_EQ(h.find<QLineEdit>("editSqlLevel").text(), "1") << "level 0 shows 1";
    EXPECT_EQ(h.find<QLineEdit>("editMuteDebounce").text(), "20");
    EXPECT_EQ(h.find<QLineEdit>("editMuteOpen").text(), "150");
    EXPECT_EQ(h.find<UpDown>("udMuteOpen").singleStep(), 10);
    EXPECT_EQ(h.find<UpDown>("udSqlLevel").maximum(), 9);
}

TEST(TfrmSquelchTest, OkStoresWhatWasChangedAndCancelNothing) {
    Harness h;
    h.open();
    h.find<UpDown>("udSqlLevel").stepBy(1);
    QLineEdit& minOpen = h.find<QLineEdit>("editMuteOpen");
    minOpen.selectAll();
    QTest::keyClicks(&minOpen, "125");
    KAV_CLICK(h.dialog, "btnCancel");
    EXPECT_TRUE(h.changed().empty());

    h.open();
    const int level = h.find<UpDown>("udSqlLevel").position();
    h.find<UpDown>("udSqlLevel").stepBy(1);
    minOpen.selectAll();
    QTest::keyClicks(&minOpen, "125");
    KAV_CLICK(h.dialog, "btnOK");
    EXPECT_EQ(h.changed(), (std::map<int, int>{{qm2200(kVarSqlLevel), level + 1},
                                               {qm2200(kVarSqlMinOpen), 12}}));
}

TEST(TfrmSquelchTest, Qm3100BuildHidesTheLevelAndLeavesIt) {
    EEPROM image = test::oddImage(0x3100, 4);
    Harness h({0x3100, 4, 0}, 0x3100, image);
    h.open();
    EXPECT_FALSE(h.find<QGroupBox>("gbSquelchLevel").isVisible());
    KAV_CLICK(h.dialog, "btnOK");
    EXPECT_EQ(h.changed().count(mapAddress(AddressMap::QM3100, kVarSqlLevel)), 0u);
}

} // namespace
} // namespace kav
