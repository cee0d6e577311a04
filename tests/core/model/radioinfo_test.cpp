#include "model/Radioinfo.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kav {
namespace {

// Reads a tab-separated fixture, skipping comment lines.
std::vector<std::vector<std::string>> readTable(const std::string& name) {
    std::ifstream in(std::string(KAV_TEST_DATA_DIR) + "/" + name);
    EXPECT_TRUE(in.good()) << name;
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) {
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

// Each model row's product ID and the fixture column of its address map.
struct ModelColumn {
    std::uint32_t productId;
    int column;
};
constexpr ModelColumn kColumns[] = {
    {0x2200, 2}, {0x1700, 3}, {0x1400, 3}, {0x5100, 4}, {0x3100, 5},
    {0x1300, 6}, {0x1701, 7}, {0x1500, 8}, {0x3101, 9},
};

TEST(VariableMapTest, EveryModelMatchesTheAddressTable) {
    const auto rows = readTable("variable_map.tsv");
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kVariableCount));
    TradioInfo info;
    for (const ModelColumn& m : kColumns) {
        info.setModelByProductId(m.productId);
        for (const auto& row : rows) {
            const int index = std::stoi(row[0]);
            const std::string& cell = row[static_cast<std::size_t>(m.column)];
            const int expected = cell == "-" ? -1 : std::stoi(cell);
            EXPECT_EQ(info.variableAddress(index), expected)
                << productIdText(m.productId) << " variable " << index << " " << row[1];
        }
    }
}

TEST(VariableMapTest, NamesMatchTheTableAndNothingElseHasOne) {
    const auto rows = readTable("variable_map.tsv");
    for (const auto& row : rows) {
        const int index = std::stoi(row[0]);
        EXPECT_EQ(eeVarNames(index), row[1]) << index;
        EXPECT_LT(eeVarNames(index).size(), 30u);
    }
    for (int index : {-1, 113, 500, 2047, 2048}) {
        EXPECT_EQ(eeVarNames(index), "") << index;
    }
}

TEST(VariableMapTest, NoModelMapHoldsOnlyProductIdAndExtendedMemories) {
    TradioInfo info;
    for (int index = 0; index < kVariableCount; ++index) {
        const int expected = (index == 0 || index >= 108) ? 0 : -1;
        EXPECT_EQ(info.variableAddress(index), expected) << index;
    }
}

TEST(VariableMapTest, IndicesOutsideTheNamedRangeHaveNoAddress) {
    TradioInfo info;
    info.setModelByProductId(0x2200);
    for (int index : {-1, 113, 2047, 2048, 70000}) {
        EXPECT_EQ(info.variableAddress(index), -1) << index;
    }
}

using Query = bool (TradioInfo::*)(std::uint32_t) const;

const std::map<std::string, Query>& queries() {
    static const std::map<std::string, Query> table = {
        {"hasSelcall", &TradioInfo::hasSelcall},
        {"hasRxBanks", &TradioInfo::hasRxBanks},
        {"hasRearMicGain", &TradioInfo::hasRearMicGain},
        {"hidesSquelchLevel", &TradioInfo::hidesSquelchLevel},
        {"hasScrambler", &TradioInfo::hasScrambler},
        {"hasWirelessRemote", &TradioInfo::hasWirelessRemote},
        {"hasAlphaTags", &TradioInfo::hasAlphaTags},
        {"hasTempCo", &TradioInfo::hasTempCo},
        {"hasIntExtMic", &TradioInfo::hasIntExtMic},
        {"hasExtendedCtcss", &TradioInfo::hasExtendedCtcss},
        {"hasNotchTuning", &TradioInfo::hasNotchTuning},
        {"hasPttMicSelect", &TradioInfo::hasPttMicSelect},
        {"hasHighBaudRate", &TradioInfo::hasHighBaudRate},
        {"hasTrawl", &TradioInfo::hasTrawl},
        {"hasScanSkipTime", &TradioInfo::hasScanSkipTime},
        {"hasLcdContrast", &TradioInfo::hasLcdContrast},
        {"hasReliableErrorFlag", &TradioInfo::hasReliableErrorFlag},
        {"hasArrayReadWrite", &TradioInfo::hasArrayReadWrite},
        {"hasUserScanMode", &TradioInfo::hasUserScanMode},
        {"hasRxOnlyChannels", &TradioInfo::hasRxOnlyChannels},
        {"hasReceiverAlignment", &TradioInfo::hasReceiverAlignment},
        {"hasAudioMuteOptions", &TradioInfo::hasAudioMuteOptions},
        {"hasScanMemorySelect", &TradioInfo::hasScanMemorySelect},
        {"hasDualPower", &TradioInfo::hasDualPower},
        {"hasUserMicGain", &TradioInfo::hasUserMicGain},
        {"hasExtendedScanMemories", &TradioInfo::hasExtendedScanMemories},
        {"hasMinVolume", &TradioInfo::hasMinVolume},
        {"hasInternalSpeaker", &TradioInfo::hasInternalSpeaker},
    };
    return table;
}

const std::vector<std::string> kModelNames = {"QM2200", "QM1700",    "QM5100", "QM3100",   "QM1400",
                                              "QM1300", "QM1700SBT", "QM1500", "QM3100SBT"};

// "QM2200, QM5100", "all but QM1300 and QM1500" or "none" as a set of model names.
std::set<std::string> modelsOf(const std::string& text) {
    std::set<std::string> named;
    std::stringstream words(text);
    for (std::string w; words >> w;) {
        if (!w.empty() && w.back() == ',') {
            w.pop_back();
        }
        if (w.rfind("QM", 0) == 0) {
            named.insert(w);
        }
    }
    if (text.rfind("all but", 0) != 0) {
        return named;
    }
    std::set<std::string> rest;
    for (const auto& m : kModelNames) {
        if (named.count(m) == 0) {
            rest.insert(m);
        }
    }
    return rest;
}

std::uint32_t idOf(const std::string& name) {
    for (const auto& row : radioModels()) {
        if (row.name == name) {
            return row.productId;
        }
    }
    ADD_FAILURE() << name;
    return 0;
}

TEST(CapabilityTest, EveryQueryAnswersAsTheCapabilityTableSays) {
    const auto rows = readTable("capabilities.tsv");
    TradioInfo info;
    std::map<std::string, std::uint32_t> expectedWords;
    std::size_t queried = 0;
    for (const auto& row : rows) {
        const auto bit = static_cast<std::uint32_t>(std::stoul(row[0], nullptr, 16));
        const std::set<std::string> models = modelsOf(row[2]);
        for (const auto& m : models) {
            expectedWords[m] |= bit;
        }
        if (row[1] == "-") {
            continue;
        }
        const auto q = queries().find(row[1]);
        ASSERT_NE(q, queries().end()) << row[1];
        ++queried;
        for (const auto& m : kModelNames) {
            EXPECT_EQ((info.*(q->second))(idOf(m)), models.count(m) == 1) << row[1] << " " << m;
        }
        EXPECT_FALSE((info.*(q->second))(0xFFFF)) << row[1];
        EXPECT_FALSE((info.*(q->second))(0x2201)) << row[1];
        EXPECT_FALSE((info.*(q->second))(0)) << row[1];
    }
    EXPECT_EQ(queried, queries().size());
    for (const auto& row : radioModels()) {
        EXPECT_EQ(row.capabilities, expectedWords[std::string(row.name)]) << row.name;
    }
}

TEST(ModelTableTest, RowsInOrder) {
    struct Row {
        std::uint32_t id;
        std::uint32_t mask;
        const char* name;
    };
    const Row expected[] = {{0xFFFF, 0, ""},         {0x2200, 2, "QM2200"},
                            {0x1700, 1, "QM1700"},   {0x5100, 8, "QM5100"},
                            {0x3100, 4, "QM3100"},   {0x1400, 16, "QM1400"},
                            {0x1300, 32, "QM1300"},  {0x1701, 64, "QM1700SBT"},
                            {0x1500, 128, "QM1500"}, {0x3101, 256, "QM3100SBT"}};
    const auto& rows = radioModels();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].productId, expected[i].id) << i;
        EXPECT_EQ(rows[i].modelMask, expected[i].mask) << i;
        EXPECT_EQ(rows[i].name, expected[i].name) << i;
        EXPECT_FALSE(rows[i].description.empty()) << i;
    }
    EXPECT_EQ(rows[0].description, "-");
    EXPECT_EQ(rows[1].description,
              "80 channel CB land-based transceiver with selcall, compact, 5W");
}

TEST(ModelTableTest, LookupFindsTheFirstMatchingRowOrLeavesOutputsAlone) {
    TradioInfo info;
    int index = 99;
    std::uint32_t mask = 99;
    std::string name = "untouched";
    EXPECT_FALSE(info.lookupProductId(0x2201, index, mask, name));
    EXPECT_EQ(index, 99);
    EXPECT_EQ(mask, 99u);
    EXPECT_EQ(name, "untouched");

    EXPECT_TRUE(info.lookupProductId(0xFFFF, index, mask, name));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(name, "");

    EXPECT_TRUE(info.lookupProductId(0x1701, index, mask, name));
    EXPECT_EQ(index, 7);
    EXPECT_EQ(mask, 64u);
    EXPECT_EQ(name, "QM1700SBT");
}

TEST(ModelTableTest, AcceptanceFollowsTheBuildMask) {
    TradioInfo info;
    for (const auto& row : radioModels()) {
        EXPECT_EQ(info.acceptsProductId(row.productId, 2), row.productId == 0x2200) << row.name;
        EXPECT_EQ(info.acceptsProductId(row.productId, 511), row.productId != 0xFFFF) << row.name;
    }
    EXPECT_FALSE(info.acceptsProductId(0x2201, 511));
}

TEST(ModelTableTest, CurrentModelFollowsSetAndReset) {
    TradioInfo info;
    EXPECT_EQ(info.currentIndex(), 0);
    info.setModelByProductId(0x1500);
    EXPECT_EQ(info.currentIndex(), 8);
    EXPECT_EQ(info.variableAddress(kVarRxOnlyChannels), 216);
    info.setModelByProductId(0x4242);
    EXPECT_EQ(info.currentIndex(), 0);
    EXPECT_EQ(info.variableAddress(0), 0);
    EXPECT_EQ(info.variableAddress(kVarSqlLevel), -1);
    info.setModelByProductId(0x1400);
    EXPECT_EQ(info.currentRow().name, "QM1400");
    info.resetModel();
    EXPECT_EQ(info.currentIndex(), 0);
}

class FakeFirmware : public FirmwareVersionSource {
public:
    int firmwareMajorVersion() const override { return major; }
    int major = -1;
};

TEST(ModelTableTest, Qm3100NeedsFirmwareTwoForTrawlAndExtendedCtcss) {
    FakeFirmware firmware;
    TradioInfo info(&firmware);
    struct Case {
        std::uint32_t id;
        int major;
        bool trawl;
        bool extendedCtcss;
    };
    const Case cases[] = {
        {0x3100, -1, false, false}, {0x3100, 1, false, false}, {0x3100, 2, true, true},
        {0x3100, 3, true, true},    {0x2200, -1, true, false}, {0x3101, -1, true, true},
        {0x1500, 2, false, true},   {0x4242, 2, false, false},
    };
    for (const Case& c : cases) {
        firmware.major = c.major;
        EXPECT_EQ(info.supportsTrawl(c.id), c.trawl) << productIdText(c.id) << " " << c.major;
        EXPECT_EQ(info.supportsExtendedCtcss(c.id), c.extendedCtcss)
            << productIdText(c.id) << " " << c.major;
    }
    EXPECT_FALSE(TradioInfo().supportsTrawl(0x3100)); // no source: nothing read yet
}

TEST(ModelTableTest, ProductIdTextIsUppercaseHexWithTwoDigitsAtLeast) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x2200, "2200"}, {0x1701, "1701"}, {0xFFFF, "FFFF"}, {0x5, "05"},
        {0xAB, "AB"},     {0, "00"},        {0xABC, "ABC"}};
    for (const auto& [id, text] : cases) {
        EXPECT_EQ(productIdText(id), text);
    }
}

} // namespace
} // namespace kav
