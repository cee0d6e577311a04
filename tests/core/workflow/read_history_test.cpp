#include "support/Testsupport.h"
#include "workflow/ReadHistory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kav {
namespace {

namespace fs = std::filesystem;

TEST(ReadHistoryTest, FolderFollowsTheDataHome) {
    EXPECT_EQ(historyFolder("/data", "/home/u"), "/data/Kav/history");
    EXPECT_EQ(historyFolder(nullptr, "/home/u"), "/home/u/.local/share/Kav/history");
    EXPECT_EQ(historyFolder("relative", "/home/u"), "/home/u/.local/share/Kav/history");
    EXPECT_EQ(historyFolder(nullptr, nullptr), "");
}

TEST(ReadHistoryTest, NamesSortByTimeAndAReadInTheSameSecondGetsItsOwnFile) {
    test::TempDir scratch("kav-history");
    const std::string folder = (scratch.path() / "history").string();
    EEPROM image;
    image.setWord(0, 0x2200);
    const std::time_t when = 1'800'000'000;
    const auto first = keepInHistory(image, 0x2200, folder, when);
    const auto second = keepInHistory(image, 0x2200, folder, when);
    ASSERT_TRUE(first && second);
    const std::string name = historyFileName(when, 0x2200);
    EXPECT_EQ(fs::path(*first).filename(), name);
    EXPECT_EQ(fs::path(*second).filename(), name.substr(0, name.size() - 4) + "-2.mem");
    EXPECT_EQ(name.size(), std::string("2027-01-15_08-00-00_2200.mem").size());
    EXPECT_LT(historyFileName(when, 0x2200), historyFileName(when + 1, 0x1700));
}

// The newest 200 stay; whatever else lives in the folder is never touched.
TEST(ReadHistoryTest, KeepsTheNewest200AndNothingElseIsRemoved) {
    test::TempDir scratch("kav-history");
    const fs::path folder = scratch.path();
    std::ofstream(folder / "notes.txt") << "mine";
    std::ofstream(folder / "fleet.mem") << "mine";
    EEPROM image;
    const std::time_t start = 1'800'000'000;
    for (int i = 0; i < 205; ++i) {
        ASSERT_TRUE(keepInHistory(image, 0x2200, folder.string(), start + i * 60));
    }
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        kept += entry.path().filename().string().ends_with("_2200.mem") ? 1 : 0;
    }
    EXPECT_EQ(kept, kHistoryKept);
    EXPECT_FALSE(fs::exists(folder / historyFileName(start + 4 * 60, 0x2200)));
    EXPECT_TRUE(fs::exists(folder / historyFileName(start + 5 * 60, 0x2200)));
    EXPECT_TRUE(fs::exists(folder / "notes.txt"));
    EXPECT_TRUE(fs::exists(folder / "fleet.mem"));
}

TEST(ReadHistoryTest, AFolderThatCannotBeMadeFails) {
    test::TempDir scratch("kav-history");
    std::ofstream(scratch.path() / "file") << "x";
    EXPECT_FALSE(keepInHistory(EEPROM(), 0x2200, (scratch.path() / "file" / "h").string(), 0));
}

} // namespace
} // namespace kav
