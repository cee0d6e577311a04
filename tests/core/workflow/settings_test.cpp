#include "workflow/Settings.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

TEST(SettingsTest, OutOfRangeValuesTakeTheirDefaults) {
    struct Case {
        std::optional<long long> comPort;
        int expectedPort;
        std::optional<long long> rate;
        int expectedRate;
    };
    const Case cases[] = {
        {0, 1, 0, 9600},        {300, 1, 300, 9600},
        {1, 1, 9600, 9600},     {256, 256, 57600, 57600},
        {257, 1, 115200, 9600}, {-5, 1, 4800, 9600},
        {12, 12, 38400, 38400}, {std::nullopt, 1, std::nullopt, 9600},
        {33, 33, -9600, 9600},  {7, 7, 19200, 19200},
    };
    for (const Case& c : cases) {
        const PersistedSettings s = applySettingLimits({c.comPort, c.rate, "x.mem"}, 2);
        EXPECT_EQ(s.comPort, c.expectedPort) << c.comPort.value_or(-1);
        EXPECT_EQ(s.maxBaudRate, c.expectedRate) << c.rate.value_or(-1);
        EXPECT_EQ(s.defaultFileName, "x.mem");
    }
}

TEST(SettingsTest, EmptyDefaultFileBecomesTheFamilyFileUnlessEveryModelIsAccepted) {
    EXPECT_EQ(applySettingLimits({1, 9600, ""}, 2).defaultFileName, "defqm2200.mem");
    EXPECT_EQ(applySettingLimits({1, 9600, std::nullopt}, 2).defaultFileName, "defqm2200.mem");
    EXPECT_EQ(applySettingLimits({1, 9600, ""}, 511).defaultFileName, "");
    EXPECT_EQ(applySettingLimits({1, 9600, "/a/b.mem"}, 511).defaultFileName, "/a/b.mem");
}

TEST(SettingsTest, RecentEntriesAreCutTo199Characters) {
    const RecentFiles trimmed =
        trimRecentFiles({std::string(250, 'a'), "b.mem", "", std::string(199, 'c')});
    EXPECT_EQ(trimmed[0], std::string(199, 'a'));
    EXPECT_EQ(trimmed[1], "b.mem");
    EXPECT_EQ(trimmed[2], "");
    EXPECT_EQ(trimmed[3].size(), 199u);
}

} // namespace
} // namespace kav
