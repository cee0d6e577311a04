#include "app/Main.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace kav {
namespace {

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
        TfrmMain window(c.config, false);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.windowTitle().toStdString(), c.caption);
        EXPECT_EQ(window.centralWidget()->height() + window.statusBar()->height(), 624);
        EXPECT_EQ(window.width(), 800);
        EXPECT_EQ(window.minimumSize(), window.maximumSize());
        auto* label = window.findChild<QLabel*>("lblVersion");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), c.version);
        EXPECT_TRUE(window.geometry().contains(label->geometry()));
    }
}

} // namespace
} // namespace kav
