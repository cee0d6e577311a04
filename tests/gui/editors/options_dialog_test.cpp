#include "app/Popups.h"
#include "editors/Options.h"
#include "editors/UpDown.h"
#include "gui/editors/EditorHarness.h"
#include "sim/VirtualRadio.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kav {
namespace {

using Harness = test::EditorHarness<TfrmOptions>;
using test::qm2200;

TEST(TfrmOptionsTest, ControlsCarryTheirNamesAndCaptions) {
    Harness h;
    TfrmOptions& d = h.open();
    EXPECT_EQ(d.windowTitle(), "Radio Options");
    EXPECT_EQ(d.size(), QSize(582, 547));
    const std::pair<const char*, const char*> captions[] = {
        {"chkPTT22_23", "PTT on CH22/23"},
        {"cbDVC", "Enable Dynamic Volume Control"},
        {"cbNarrowbandCB1_40", "Narrow-band receive CB1-40"},
        {"cbBusyLockout", "Busy lockout"},
        {"chkEnableSqlTailMute", "Enable squelch tail mute"},
        {"btnUpdateContrast", "Write contrast"},
        {"OKBtn", "OK"},
        {"CancelBtn", "Cancel"},
    };
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(h.find<QAbstractButton>(name).text(), caption) << name;
    }
    for (const char* group : {"GroupBox3", "gbMicGain", "gbWirelessRemote", "gbDisplayOptions",
                              "gbTimeoutTimer", "gbOtherOptions", "rgDisplayMode"}) {
        h.find<QGroupBox>(group);
    }
    EXPECT_EQ(h.find<QLabel>("lblMicGain").text(), "Mic Gain (internal)"); // no user gain
    h.find<QPlainTextEdit>("memoHelptext");
}

TEST(TfrmOptionsTest, OkStoresOneChangedControlAndCancelNothing) {
    Harness h;
    h.open();
    KAV_CLICK(h.dialog, "cbBusyLockout");
    KAV_CLICK(h.dialog, "CancelBtn");
    EXPECT_TRUE(h.changed().empty());

    h.open();
    const EEPROM loaded = h.ctx.image();
    KAV_CLICK(h.dialog, "cbBusyLockout");
    h.find<UpDown>("udTxTimeOut").setPosition(45);
    KAV_CLICK(h.dialog, "OKBtn");
    const int opt5 = qm2200(kVarOptions5);
    const auto changed = h.changed();
    EXPECT_EQ(changed.at(opt5), loaded.getByte(opt5) ^ 0x20);
    EXPECT_EQ(changed.at(qm2200(kVarTxTimeout)), 45);
}

// Write contrast goes to a QM3100 on the line only after its product ID was checked; the image
// byte follows only what the radio took.
TEST(TfrmOptionsTest, WriteContrastChecksTheRadioAndReportsAFailure) {
    constexpr int kContrastAddress = 62; // LCD Contrast, QM3100 map
    QTemporaryDir dir;
    VirtualRadio radio{0x3100};
    ASSERT_TRUE(radio.start());
    ASSERT_TRUE(QFile::link(QString::fromStdString(radio.slavePath()), dir.filePath("COM1")));
    const BuildConfig qm3100{0x3100, 4, 0};
    AppContext ctx(qm3100, 0, PortEnvironment{dir.path().toStdString()});
    ctx.models().setModelByProductId(0x3100);
    ctx.image() = test::oddImage(0x3100, 6);
    TfrmOptions dialog(ctx);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    test::control<UpDown>(dialog, "udLCDContrast").setPosition(6);

    popups::Script script;
    KAV_CLICK(dialog, "btnUpdateContrast");
    EXPECT_TRUE(script.shown.empty());
    EXPECT_EQ(radio.snapshot().eeprom().getByte(kContrastAddress), 3);
    EXPECT_EQ(ctx.image().getByte(kContrastAddress), 3);
    EXPECT_EQ(radio.requests().back().front() & 0x3F, 0x3F) << "the radio restarts";

    radio.update([](CommandResponder& r) { r.eeprom().setWord(0, 0x2200); });
    test::control<UpDown>(dialog, "udLCDContrast").setPosition(2);
    KAV_CLICK(dialog, "btnUpdateContrast");
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].text, "Incorrect radio type (2200)");
    EXPECT_EQ(radio.snapshot().eeprom().getByte(kContrastAddress), 3) << "nothing written";

    radio.update([](CommandResponder& r) { r.eeprom().setWord(0, 0x3100); });
    VirtualRadioFaults silentWrites;
    silentWrites.nackCodes[0x21] = true;
    radio.setFaults(silentWrites);
    KAV_CLICK(dialog, "btnUpdateContrast");
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[1].text, "Unable to write LCD contrast to radio");
    EXPECT_EQ(ctx.image().getByte(kContrastAddress), 3) << "the image keeps what the radio has";
}

} // namespace
} // namespace kav
