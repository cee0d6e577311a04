#include "app/Main.h"
#include "app/Popups.h"
#include "gui/GuiTestSupport.h"
#include "service/Engoptions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

namespace kav {
namespace {

// The main window of the delivered build in advanced mode ("/a"), with no radio; the image
// holds known values in the dialog's variables.
class EngOptionsGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.startUp();
        fill();
    }
    void fill() {
        setVar(36, 0x02);
        setVar(85, 122);
        setVar(86, 200);
        setVar(71, 5);
        for (int v = 74; v <= 83; ++v) {
            setVar(v, v);
        }
        script.shown.clear();
    }
    int var(int v) { return ctx.image().getByte(ctx.models().variableAddress(v)); }
    void setVar(int v, int value) { ctx.image().setByte(ctx.models().variableAddress(v), value); }
    // Opens "Advanced", lets `change` work on it and presses OK.
    void okAfter(const std::function<void(TfrmEngOptions&)>& change) {
        test::whenOpen<TfrmEngOptions>([&](TfrmEngOptions& d) {
            change(d);
            test::click(d, "btnOk");
        });
        KAV_CLICK(window, "btnAdvanced");
    }

    popups::Script script;
    QTemporaryDir dir;
    AppContext ctx{BuildConfig::delivered(), 1, PortEnvironment{dir.path().toStdString()}};
    TfrmMain window{ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini"))};
};

TEST_F(EngOptionsGuiTest, EachControlReachesItsVariable) {
    struct Case {
        const char* what;
        std::function<void(TfrmEngOptions&)> change;
        int variable;
        int expected;
    };
    const std::vector<Case> cases{
        {"threshold", [](auto& d) { d.template findChild<QSpinBox*>("udSql_3")->setValue(9); }, 77,
         9},
        {"repeater delay",
         [](auto& d) { d.template findChild<QSpinBox*>("udCTCSS_RPK")->setValue(30); }, 71, 30},
        {"CTCSS deviation typed",
         [](auto& d) { d.template findChild<QLineEdit*>("editCTCSS_Hz")->setText("0"); }, 85, 0},
        {"DCS deviation beyond the register",
         [](auto& d) { d.template findChild<QLineEdit*>("editDCS_Hz")->setText("99999"); }, 86,
         255},
        {"deviation stepped down",
         [](auto& d) { d.template findChild<QToolButton*>("ud_DCS_Hz_Down")->click(); }, 86, 199},
        {"CTCSS on 5/35",
         [](auto& d) { d.template findChild<QCheckBox*>("chkCTCSS_5_35")->setChecked(true); }, 36,
         0x00},
    };
    for (const Case& c : cases) {
        fill();
        okAfter(c.change);
        EXPECT_EQ(var(c.variable), c.expected) << c.what;
        EXPECT_EQ(var(36) & 0x80, 0) << c.what << ": the shown 38-tone box was left as loaded";
    }
}

// Enter takes the number and shows it again in Hz without closing; an emptied edit keeps the
// held value and says so; Cancel stores nothing.
TEST_F(EngOptionsGuiTest, DeviationEditsKeepWhatIsNotANumber) {
    test::whenOpen<TfrmEngOptions>([](TfrmEngOptions& d) {
        auto* edit = d.findChild<QLineEdit*>("editCTCSS_Hz");
        EXPECT_EQ(edit->text(), "500");
        EXPECT_EQ(edit->maxLength(), 4);
        edit->setText("1200");
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible()) << "Enter closed the dialog";
        EXPECT_EQ(edit->text(), "1046");
        d.findChild<QToolButton*>("ud_CTCSS_Hz_Up")->click(); // 255 stays 255
        EXPECT_EQ(edit->text(), "1046");
        test::click(d, "btnCancel");
    });
    KAV_CLICK(window, "btnAdvanced");
    EXPECT_EQ(var(85), 122) << "Cancel stored";

    okAfter([](TfrmEngOptions& d) { d.findChild<QLineEdit*>("editCTCSS_Hz")->clear(); });
    EXPECT_EQ(var(85), 122);
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].text, "CTCSS Deviation: \"\" is not a number; it stays 500 Hz.");
}

// The noise reading polls only while its box is checked and the window is open: closing the
// window by its close box stops it.
TEST_F(EngOptionsGuiTest, NoiseReadingStopsWithTheWindow) {
    QTimer* poll = nullptr;
    test::whenOpen<TfrmEngOptions>([&poll](TfrmEngOptions& d) {
        poll = d.findChild<QTimer*>("Timer1");
        d.findChild<QCheckBox*>("chkAdcPolling")->click();
        QTest::qWait(400);
        EXPECT_EQ(d.findChild<QLineEdit*>("editNoiseVolts")->text(), "???") << "no radio";
        d.close();
    });
    KAV_CLICK(window, "btnAdvanced");
    ASSERT_NE(poll, nullptr);
    EXPECT_FALSE(poll->isActive());
}

} // namespace
} // namespace kav
