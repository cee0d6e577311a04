#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "support/FileSizeLimit.h"
#include "support/Testsupport.h"
#include "workflow/ReportText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace kav {
namespace {

constexpr const char* kDate = "05-Mar-2024";

std::string golden(const char* name) {
    std::ifstream in(std::string(KAV_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ReportTest : public ::testing::Test {
protected:
    ReportTest() {
        models.setModelByProductId(0x2200);
        image.setWord(address(kVarProductId), 0x2200);
        input.image = &image;
        input.models = &models;
        input.config = BuildConfig::delivered();
    }

    int address(int variable) const { return models.variableAddress(variable); }
    void setVariable(int variable, int value) { image.setByte(address(variable), value); }

    void setRxChannel(int record, std::uint32_t hz, const char* tag) {
        const int at = address(kVarRxOnlyChannels) + record * EEPROM::kRxChannelBytes;
        image.setWord(at, static_cast<int>(hz / EEPROM::kRxChannelStepHz));
        image.setPackedText(at + 2, tag);
    }

    std::vector<std::string> lines(const ReportOptions& options) const {
        return buildReportLines(input, options, kDate);
    }

    EEPROM image;
    TradioInfo models;
    ReportInput input;
};

TEST_F(ReportTest, FullReportOfAFileMatchesGolden) {
    setVariable(13, 10);  // Mod
    setVariable(15, 20);  // Bal
    setVariable(19, 130); // PLL FRef
    setVariable(21, 40);  // S1 Cal
    setVariable(22, 200); // S10 Cal
    setVariable(17, 250); // RF Power Hi
    setVariable(18, 60);  // RF Power Lo
    setVariable(kVarRxBank, 2);
    setVariable(36, 0x00); // Options-5: extended numbering
    setVariable(53, 39);   // Rx tone: 69.4 Hz in the extended order
    setVariable(52, 154);  // Tx tone: the last DCS code
    setVariable(kVarSqlLevel, 5);
    setVariable(44, 3);
    setVariable(45, 12);
    setRxChannel(2, 476425000, "BASE");
    setRxChannel(19, 476500000, "HIDE"); // the 20th record of a bank is never listed
    setRxChannel(40, 476012500, "");
    setRxChannel(58, 477000000, "RPT");
    input.dataSource = DataSource::File;
    input.currentFileName = "/tmp/radios/base.mem";

    EXPECT_EQ(buildReport(input, {true, true, true}, kDate), golden("report_full.txt"));
}

TEST_F(ReportTest, ReadRadioWithoutChannelsMatchesGolden) {
    setVariable(kVarRxBank, 7); // out of range: bank A
    setVariable(53, 0);
    setVariable(52, 200);
    input.dataSource = DataSource::Radio;
    input.versionText = "2.01";
    input.firmwareMajor = 2;

    EXPECT_EQ(buildReport(input, {false, true, false}, kDate), golden("report_no_rx_channels.txt"));
}

TEST_F(ReportTest, SourceLineFollowsTheDataSource) {
    const auto hasLineStarting = [](const std::vector<std::string>& all, const std::string& head) {
        return std::any_of(all.begin(), all.end(),
                           [&](const std::string& l) { return l.rfind(head, 0) == 0; });
    };
    input.dataSource = DataSource::Nothing;
    input.versionText = "2.01";
    input.currentFileName = "x.mem";
    const auto nothing = lines({});
    EXPECT_FALSE(hasLineStarting(nothing, "File:"));
    EXPECT_FALSE(hasLineStarting(nothing, "Radio:"));

    input.dataSource = DataSource::Radio;
    input.versionText.clear();
    const auto noVersion = lines({});
    EXPECT_NE(std::find(noVersion.begin(), noVersion.end(), "Radio: n/a"), noVersion.end());
}

TEST_F(ReportTest, UnbankedImageListsOneTableAndSectionsTheBuildLacksAreLeftOut) {
    // A QM1700 image on a QM1700 build: no banks, no selcall.
    TradioInfo qm1700;
    qm1700.setModelByProductId(0x1700);
    image.setWord(qm1700.variableAddress(kVarProductId), 0x1700);
    input.models = &qm1700;
    input.config = {0x1700, 1, 0};
    const int table = qm1700.variableAddress(kVarRxOnlyChannels);
    image.setWord(table + 18 * EEPROM::kRxChannelBytes,
                  static_cast<int>(477412500 / EEPROM::kRxChannelStepHz));
    image.setPackedText(table + 18 * EEPROM::kRxChannelBytes + 2, "LAST");

    const auto all = lines({false, true, true});
    const auto at = std::find(all.begin(), all.end(), "Receive Only Channels:");
    ASSERT_NE(at, all.end());
    ASSERT_GE(all.end() - at, 5);
    EXPECT_EQ(at[1], "Active bank: RX-A");
    EXPECT_EQ(at[2], "");
    EXPECT_EQ(at[3], "CH99     477.4125MHz     LAST");
    EXPECT_EQ(at[4], "");
    EXPECT_EQ(std::count_if(all.begin(), all.end(),
                            [](const std::string& l) { return l.rfind("---- Bank", 0) == 0; }),
              0);
    EXPECT_EQ(std::find(all.begin(), all.end(), "Selcall Memories:"), all.end());
}

TEST(ReportDate, DayMonthNameYear) {
    std::tm date{};
    date.tm_mday = 7;
    date.tm_mon = 11;
    date.tm_year = 2025 - 1900;
    EXPECT_EQ(reportDate(date), "07-Dec-2025");
}

TEST(ReportText, SavedLinesEndInCrLf) {
    EXPECT_EQ(joinReportLines({"a", "", "b"}, "\r\n"), "a\r\n\r\nb\r\n");
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ReportText, SaveReplacesTheFileAndAFailedSaveKeepsIt) {
    const test::TempDir dir("kavreport");
    const std::string path = (dir / "report.txt").string();
    ASSERT_TRUE(saveReport(path, {"first", "", "report"}));
    ASSERT_TRUE(saveReport(path, {"second"}));
    EXPECT_EQ(fileText(path), "second\r\n");

    {
        const test::FileSizeLimit fullDisk(4);
        EXPECT_FALSE(saveReport(path, {"a report longer than the disk has room for"}));
    }
    EXPECT_EQ(fileText(path), "second\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left behind";
    EXPECT_FALSE(saveReport((dir / "no/such/folder.txt").string(), {"x"}));
}

TEST(ReportText, PagesHoldEveryLineAndContinueLongOnes) {
    using Pages = std::vector<ReportPage>;
    EXPECT_EQ(reportPages({"abcdefghij", "", "xy", "1234", "z"}, 3, 4),
              (Pages{{"abcd", "efgh", "ij"}, {"", "xy", "1234"}, {"z"}}));
    EXPECT_EQ(reportPages({"ab", "cd"}, 2, 80), (Pages{{"ab", "cd"}}));
    EXPECT_EQ(reportPages({}, 60, 80), Pages{});
}

} // namespace
} // namespace kav
