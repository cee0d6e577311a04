#include "workflow/CommandLine.h"
#include "workflow/StatusBar.h"
#include "workflow/Version.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(StatusbarTest, PanelTexts) {
    EXPECT_EQ(portPanelText(1), "COM1");
    EXPECT_EQ(portPanelText(256), "COM256");
    EXPECT_EQ(openPanelText(true), "Open");
    EXPECT_EQ(openPanelText(false), "Not open");
    EXPECT_EQ(radioPanelText(true, "QM2200", "v2.01"), "Radio: QM2200 v2.01");
    EXPECT_EQ(radioPanelText(false, "QM2200", ""), "");
    // The demo's radio never reads as a real one.
    EXPECT_EQ(radioPanelText(true, "QM2200", "v2.01", true), "Virtual radio: QM2200 v2.01");
    EXPECT_EQ(radioPanelText(false, "", "", true), "Virtual radio (demo)");
    EXPECT_EQ(dataPanelText(DataSource::Nothing, "a.mem"), "No data loaded.");
    EXPECT_EQ(dataPanelText(DataSource::Radio, ""), "Current (or modified) radio data loaded.");
}

TEST(StatusbarTest, FilePanelKeepsTheLast85Characters) {
    const std::string path85 = "/home/" + std::string(75, 'd') + ".mem";
    ASSERT_EQ(path85.size(), 85u);
    EXPECT_EQ(dataPanelText(DataSource::File, path85), "File: " + path85);
    const std::string path86 = "q" + path85;
    EXPECT_EQ(dataPanelText(DataSource::File, path86), "File: ..." + path85);
    EXPECT_EQ(dataPanelText(DataSource::File, ""), "File: ");
}

TEST(StatusbarTest, OpenPanelSaysWhenTheLineIsLost) {
    EXPECT_EQ(openPanelText(false), "Not open");
    EXPECT_EQ(openPanelText(true), "Open");
    EXPECT_EQ(openPanelText(true, true), "Lost");
    EXPECT_EQ(openPanelText(false, true), "Not open");
}

TEST(CommandLineTest, AdvancedModeOnlyFromTheFirstParameter) {
    using Args = std::vector<std::string>;
    EXPECT_TRUE(advancedModeRequested(Args{"kavprog", "/a"}));
    EXPECT_TRUE(advancedModeRequested(Args{"kavprog", "/A", "x"}));
    EXPECT_FALSE(advancedModeRequested(Args{"kavprog", "x", "/a"}));
    EXPECT_FALSE(advancedModeRequested(Args{"kavprog"}));
    EXPECT_FALSE(advancedModeRequested(Args{"kavprog", "/ab"}));
}

TEST(CommandLineTest, SimulateSwitchIsTakenFromAnywhereSoSlashAStaysFirst) {
    std::vector<std::string> args{"kavprog", "--simulate", "/a"};
    EXPECT_TRUE(takeSimulateSwitch(args));
    EXPECT_EQ(args, (std::vector<std::string>{"kavprog", "/a"}));
    EXPECT_TRUE(advancedModeRequested(args));
    EXPECT_FALSE(takeSimulateSwitch(args));
}

TEST(CommandLineTest, HelpAndVersionAreAskedForAnywhere) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(printRequested(Args{"kavprog", "--help"}), PrintRequest::Help);
    EXPECT_EQ(printRequested(Args{"kavprog", "/a", "-h"}), PrintRequest::Help);
    EXPECT_EQ(printRequested(Args{"kavprog", "--simulate", "--version"}), PrintRequest::Version);
    EXPECT_EQ(printRequested(Args{"kavprog", "/a", "--simulate"}), PrintRequest::None);
    EXPECT_EQ(printRequested(Args{"--help"}), PrintRequest::None) << "the program's own name";
    EXPECT_EQ(versionLine("kavprog", BuildConfig::delivered()),
              "kavprog 2.01 (KAV QM2200 Programmer, RB0521.2.01)");
    EXPECT_EQ(versionLine("kavprog-eng", BuildConfig::engineering()),
              "kavprog-eng 2.01 (KAV QM2200 Programmer, RB0521E.2.01)");
}

} // namespace
} // namespace kav
