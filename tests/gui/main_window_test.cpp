#include "app/Main.h"
#include "app/Popups.h"
#include "app/Radio_rw.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace kav {
namespace {

// A main window over its own context and throw-away settings files.
struct MainWindow {
    explicit MainWindow(const BuildConfig& config, int advanced = 0)
        : ctx(config, advanced),
          window(ctx, SettingsStore(dir.filePath("user.conf"), dir.filePath("kavprog.ini"))) {}

    template <typename T> T* find(const char* name) { return window.findChild<T*>(name); }

    QTemporaryDir dir;
    AppContext ctx;
    TfrmMain window;
};

TEST(TfrmMainTest, FixedBlackPanelWithCaptionAndVersion) {
    struct Case {
        BuildConfig config;
        const char* caption;
        const char* version;
    };
    const Case cases[] = {
        {BuildConfig::delivered(), "KAV QM2100/2200/2400/2500S Programmer  RB0521.2.01 ", "v2.01 "},
        {BuildConfig::engineering(), "KAV QM2100/2200/2400/2500S Programmer  RB0521E.2.01 ",
         "v2.01  (Engineering)"},
    };
    for (const Case& c : cases) {
        MainWindow m(c.config);
        m.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m.window));
        EXPECT_EQ(m.window.windowTitle().toStdString(), c.caption);
        EXPECT_EQ(m.window.centralWidget()->height() + m.window.statusBar()->height(), 624);
        EXPECT_EQ(m.window.width(), 800);
        EXPECT_EQ(m.window.minimumSize(), m.window.maximumSize());
        auto* label = m.find<QLabel>("lblVersion");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), c.version);
        EXPECT_TRUE(m.window.centralWidget()->rect().contains(label->geometry()));
    }
}

TEST(TfrmMainTest, ButtonsFollowTheBuildAndItsCapabilities) {
    struct Case {
        const char* what;
        BuildConfig config;
        int advanced;
        std::vector<const char*> shown;
        std::vector<const char*> hidden;
    };
    const Case cases[] = {
        {"QM2200",
         BuildConfig::delivered(),
         0,
         {"btnSelcall", "btnChannelData", "btnScan", "btnAlign"},
         {"btnAdvanced", "btnEEPROM", "btnDevelopment"}},
        {"QM2200 /a", BuildConfig::delivered(), 1, {"btnAdvanced"}, {"btnEEPROM"}},
        {"QM1300", {0x1300, 32, 0}, 0, {"btnScan"}, {"btnSelcall", "btnChannelData"}},
        {"engineering",
         BuildConfig::engineering(),
         1,
         {"btnEEPROM", "btnDevelopment", "btnAdvanced"},
         {}},
        // Every model accepted: nothing is switched by capability.
        {"mask 511", {0x1300, 511, 0}, 0, {"btnSelcall", "btnChannelData"}, {"btnEEPROM"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindow m(c.config, c.advanced);
        for (const char* name : c.shown) {
            auto* b = m.find<QPushButton>(name);
            ASSERT_NE(b, nullptr) << name;
            EXPECT_FALSE(b->isHidden()) << name;
            EXPECT_TRUE(b->isEnabled()) << name;
        }
        for (const char* name : c.hidden) {
            EXPECT_TRUE(m.find<QPushButton>(name)->isHidden()) << name;
        }
    }
}

TEST(TfrmMainTest, VisibleButtonsNeverOverlapAndStayInside) {
    const BuildConfig configs[] = {BuildConfig::delivered(),
                                   BuildConfig::engineering(),
                                   {0x1300, 32, 0},
                                   {0x2200, 511, 0},
                                   {0x3101, 256, 1}};
    for (const BuildConfig& config : configs) {
        SCOPED_TRACE(config.buildModelMask);
        MainWindow m(config, config.engineeringBuild);
        m.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m.window));
        std::vector<QRect> placed;
        for (QPushButton* b : m.window.centralWidget()->findChildren<QPushButton*>()) {
            if (b->isHidden()) {
                continue;
            }
            EXPECT_TRUE(m.window.centralWidget()->rect().contains(b->geometry()))
                << b->objectName().toStdString();
            for (const QRect& other : placed) {
                EXPECT_FALSE(other.intersects(b->geometry())) << b->objectName().toStdString();
            }
            placed.push_back(b->geometry());
        }
        EXPECT_GE(placed.size(), 9u); // the QM1300 has the fewest: 4 commands and 5 editors
    }
}

TEST(TfrmMainTest, ButtonAndMenuItemOpenTheSameEditor) {
    popups::Script script; // editors not built yet say so instead of opening
    MainWindow m(BuildConfig::engineering(), 1);
    m.ctx.setComPort(256); // no device: the same on every machine, whatever its serial ports
    QSignalSpy requested(&m.window, &TfrmMain::editorRequested);
    QObject::connect(&m.window, &TfrmMain::editorRequested, [](Editor editor) {
        if (editorFactories().count(editor) != 0) {
            test::whenModal<QDialog>([](QDialog& window) { window.reject(); });
        }
    });
    const std::pair<const char*, const char*> pairs[] = {
        {"btnScan", "mnuEditScan"},       {"btnChannelData", "mnuEditChannelData"},
        {"btnSelcall", "mnuEditSelcall"}, {"btnCTCSS", "mnuEditCTCSS"},
        {"btnSquelch", "mnuEditSquelch"}, {"btnOptions", "mnuEditOptions"},
        {"btnAlign", "mnuEditAlign"},     {"btnAdvanced", "mnuEditEngineering"},
        {"btnEEPROM", "mnuEditEeprom"},   {"btnDevelopment", "mnuEditDevelopment"},
    };
    const auto close = [](QDialog&) {
    }; // closed with Cancel once it is up
    for (const auto& [buttonName, actionName] : pairs) {
        SCOPED_TRACE(buttonName);
        if (std::string_view(buttonName) == "btnAlign") {
            script.answers = {true, true}; // without a radio: "Continue in offline mode?"
        }
        QDialog* byButton = test::onModalOpenedBy(m.window, buttonName, close);
        QDialog* byItem = test::onModalOpenedBy(m.window, actionName, close);
        ASSERT_EQ(requested.count(), 2);
        EXPECT_EQ(requested[0][0], requested[1][0]);
        const auto editor = requested[0][0].value<Editor>();
        requested.clear();
        if (editorFactories().count(editor) == 0) {
            EXPECT_EQ(byButton, nullptr);
            EXPECT_EQ(byItem, nullptr);
            // The tools that open the port first may also have said it did not open.
            std::vector<popups::Shown> notAvailable;
            for (const popups::Shown& shown : script.shown) {
                if (shown.text == "Not available in this version yet") {
                    notAvailable.push_back(shown);
                }
            }
            script.shown.clear();
            ASSERT_EQ(notAvailable.size(), 2u);
            EXPECT_EQ(notAvailable[0].caption, notAvailable[1].caption);
        } else {
            ASSERT_NE(byButton, nullptr) << "a built editor opens modally";
            EXPECT_EQ(byButton, byItem) << "one window, made on first use and kept";
            EXPECT_EQ(byButton, m.window.editorWindow(editor));
        }
    }
    EXPECT_EQ(m.window.editorWindow(Editor::Scan)->objectName(), "TfrmScan");
    EXPECT_EQ(m.window.editorWindow(Editor::Selcall)->objectName(), "TfrmSelcall");
}

TEST(TfrmMainTest, StartUpReportsTheMissingDefaultFileAndPort) {
    popups::Script script;
    MainWindow m(BuildConfig::delivered());
    m.ctx.setComPort(256); // no such device here
    m.window.startUp();
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[0].text,
              "Unable to open COM256.\nno device is assigned to this COM number");
    EXPECT_EQ(script.shown[0].caption, "Error");
    EXPECT_EQ(script.shown[1].text, "Unable to open file defqm2200.mem");
    EXPECT_EQ(script.shown[1].caption, "File Open Error");
    EXPECT_EQ(m.window.statusPanel(0), "COM256");
    EXPECT_EQ(m.window.statusPanel(1), "Not open");
    EXPECT_EQ(m.window.statusPanel(2), "");
    EXPECT_EQ(m.window.statusPanel(3), "No data loaded.");
}

TEST(TfrmMainTest, ReadFileShowsTheFileInTheStatusBar) {
    popups::Script script;
    MainWindow m(BuildConfig::delivered());
    EEPROM image;
    image.setWord(0, 0x2200);
    const QString path = m.dir.filePath("dealer.mem");
    ASSERT_EQ(image.saveToFile(path.toStdString()), 2048);
    script.nextFile(path);
    test::click(m.window, "btnReadFile");
    ASSERT_EQ(script.shown.size(), 1u) << "the file dialog and nothing else";
    EXPECT_EQ(script.shown[0].kind, popups::Kind::OpenFile);
    EXPECT_EQ(m.window.statusPanel(3), "File: " + path);
    EXPECT_EQ(m.ctx.image().getWord(0), 0x2200);
}

// The demo's folder goes when the program ends: a file saved where a dialog proposes must not
// land there.
TEST(TfrmMainTest, TheDemoSaysSoAndItsFileDialogsStartOutsideItsFolder) {
    popups::Script script;
    MainWindow m(BuildConfig::delivered());
    QTemporaryDir demo;
    m.window.setDemo(demo.path());
    EXPECT_EQ(m.window.windowTitle().toStdString(),
              "KAV QM2100/2200/2400/2500S Programmer  RB0521.2.01 - demo (virtual radio)");
    EXPECT_EQ(m.window.statusPanel(2), "Virtual radio (demo)");

    EEPROM image;
    image.setWord(0, 0x2200);
    const QString inDemo = demo.filePath("defqm2200.mem");
    ASSERT_EQ(image.saveToFile(inDemo.toStdString()), 2048);
    script.nextFile(inDemo);
    test::click(m.window, "btnReadFile");
    ASSERT_EQ(m.window.statusPanel(3), "File: " + inDemo);
    test::click(m.window, "btnWriteFile"); // cancelled: no file scripted
    ASSERT_EQ(script.shown.size(), 2u);
    const QString start = script.shown[1].initial;
    EXPECT_FALSE(start.startsWith(demo.path())) << start.toStdString();
    EXPECT_TRUE(start.endsWith("/defqm2200.mem")) << start.toStdString();

    // Outside the demo a dialog starts at the current file.
    MainWindow real(BuildConfig::delivered());
    script.nextFile(inDemo);
    test::click(real.window, "btnReadFile");
    test::click(real.window, "btnWriteFile");
    EXPECT_EQ(script.shown.back().initial, inDemo);
}

} // namespace
} // namespace kav
