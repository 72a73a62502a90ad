#include "freqplan/frequencyplan.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/textcodec.h"
#include "freqplan/plankeys.h"
#include "freqplan/settings2g.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string gbk(std::string_view utf8) {
    auto result = codec::toGbk(utf8);
    if (!result.text) throw std::runtime_error("test text has no GBK form");
    return *result.text;
}

class FrequencyPlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "brindle-plan-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home_ = pattern;
        fs::create_directory(home_ / "mu");
        ini_ = home_ / "mu" / "EARFCN.ini";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(home_, ec);
    }

    // Writes UTF-8 text to the file as GBK.
    static void put(const fs::path& path, std::string_view utf8) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << gbk(utf8);
    }
    void putPlan(std::string_view utf8) const { put(ini_, utf8); }

    fs::path home_;
    fs::path ini_;
};

// ---- names -----------------------------------------------------------------

TEST(PlanKeys, PathsLiveInMuFolder) {
    EXPECT_EQ(plankeys::earfcnIniPath("/opt/brindle"), fs::path("/opt/brindle/mu/EARFCN.ini"));
    EXPECT_EQ(plankeys::settings2GIniPath("/opt/brindle"), fs::path("/opt/brindle/mu/2G.ini"));
}

TEST(PlanKeys, BandListNamesKeepTheirIrregularSpelling) {
    EXPECT_EQ(plankeys::bandListKey(Band::FDD1800).section, "FDD1800频段频点配置");
    EXPECT_EQ(plankeys::bandListKey(Band::FDD1800).key, "FDD180频段频点");
    EXPECT_EQ(plankeys::bandListKey(Band::AD).section, "A-D频段频点配置");
    EXPECT_EQ(plankeys::bandListKey(Band::AD).key, "A-D频段频点");
    EXPECT_EQ(plankeys::bandListKey(Band::G5).section, "5G频段频点配置");
    EXPECT_EQ(plankeys::bandListKey(Band::G5).key, "5G频段频点");
}

TEST(PlanKeys, TwentyFourFamiliesWithDistinctNames) {
    const auto families = plankeys::families();
    ASSERT_EQ(families.size(), 24u);
    std::set<std::string_view> sections, prefixes, keys;
    for (const Family& f : families) {
        sections.insert(f.section);
        prefixes.insert(f.prefix);
        for (auto key :
             {f.reselPriorityKey, f.threshHighKey, f.threshLowKey, f.hoEventKey, f.connOffsetKey})
            keys.insert(key);
    }
    EXPECT_EQ(sections.size(), 24u);
    EXPECT_EQ(prefixes.size(), 24u);
    EXPECT_EQ(keys.size(), 24u * 5);
}

TEST(PlanKeys, FamiliesInEditorOrderGroupedByServingBand) {
    const auto families = plankeys::families();
    const std::vector<std::string_view> prefixes = {"E-E",
                                                    "E_A_D_",
                                                    "E_FDD1800_F_",
                                                    "E_FDD900_",
                                                    "A_D_E_",
                                                    "A_D_A_D_",
                                                    "A_D_F1_CQ",
                                                    "A_D_F2_CQ",
                                                    "A_D_FDD1800_CQ",
                                                    "A_D_FDD900_CQ",
                                                    "F1_F2_FDD1800_NC",
                                                    "A_D_FDD900_NC",
                                                    "F_E_",
                                                    "F_A_D_",
                                                    "F_F_",
                                                    "F_FDD900_CQ",
                                                    "F_FDD900_NC",
                                                    "FDD900_E_",
                                                    "FDD900_A_D_",
                                                    "FDD900_F1_CQ",
                                                    "FDD900_F2_CQ",
                                                    "FDD900_FDD1800_CQ",
                                                    "FDD900_F_NC",
                                                    "FDD900_FDD900_"};
    ASSERT_EQ(prefixes.size(), families.size());
    for (std::size_t i = 0; i < prefixes.size(); ++i) EXPECT_EQ(families[i].prefix, prefixes[i]);

    const int perGroup[] = {4, 8, 5, 7};
    const ServingGroup groups[] = {ServingGroup::E, ServingGroup::AD, ServingGroup::F,
                                   ServingGroup::FDD900};
    std::size_t at = 0;
    for (int g = 0; g < 4; ++g)
        for (int n = 0; n < perGroup[g]; ++n) EXPECT_EQ(families[at++].serving, groups[g]) << at;
}

TEST(PlanKeys, EToEFamilyMixesHyphenAndUnderscore) {
    const Family& ee = plankeys::families()[0];
    EXPECT_EQ(ee.section, "E-E频段频点配置");
    EXPECT_EQ(ee.reselPriorityKey, "E-E异频频点重先优先级");
    EXPECT_EQ(ee.threshHighKey, "E-E异频频点高优先级重选门限");
    EXPECT_EQ(ee.threshLowKey, "E_E_异频频点低优先级重选门限");
    EXPECT_EQ(ee.hoEventKey, "E_E_异频切换事件");
    EXPECT_EQ(ee.connOffsetKey, "E_E_连接态频率偏置");
    EXPECT_EQ(ee.column, "E");
}

TEST(PlanKeys, RegularFamiliesAreWrittenOutInFull) {
    const Family* f = plankeys::findFamily("A_D_F1_CQ");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->section, "A_D_F1_CQ频段频点配置");
    EXPECT_EQ(f->reselPriorityKey, "A_D_F1_CQ异频频点重先优先级");
    EXPECT_EQ(f->threshHighKey, "A_D_F1_CQ异频频点高优先级重选门限");
    EXPECT_EQ(f->threshLowKey, "A_D_F1_CQ异频频点低优先级重选门限");
    EXPECT_EQ(f->hoEventKey, "A_D_F1_CQ异频切换事件");
    EXPECT_EQ(f->connOffsetKey, "A_D_F1_CQ连接态频率偏置");
    EXPECT_EQ(f->column, "城区F1");
    EXPECT_EQ(f->serving, ServingGroup::AD);

    f = plankeys::findFamily("F1_F2_FDD1800_NC");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->column, "农村F1\\F2\\FDD1800");
    EXPECT_EQ(f->serving, ServingGroup::AD);
    EXPECT_EQ(f->connOffsetKey, "F1_F2_FDD1800_NC连接态频率偏置");

    f = plankeys::findFamily("FDD900_F_NC");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->column, "农村F1\\F2\\FDD1800");
    EXPECT_EQ(f->serving, ServingGroup::FDD900);

    f = plankeys::findFamily("E_FDD1800_F_");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->column, "FDD1800/F");
    EXPECT_EQ(f->hoEventKey, "E_FDD1800_F_异频切换事件");

    EXPECT_EQ(plankeys::findFamily("E_E_"), nullptr);
    EXPECT_EQ(plankeys::findFamily(""), nullptr);
}

TEST(PlanKeys, FrequencySettingsSectionsOneToThirteen) {
    EXPECT_EQ(plankeys::frequencySettingsSection(1), "频点1设置");
    EXPECT_EQ(plankeys::frequencySettingsSection(13), "频点13设置");
    EXPECT_THROW(plankeys::frequencySettingsSection(0), std::out_of_range);
    EXPECT_THROW(plankeys::frequencySettingsSection(14), std::out_of_range);
}

// ---- band lists ------------------------------------------------------------

TEST_F(FrequencyPlanTest, BandListSplitsAtBar) {
    putPlan(
        "[E频段频点配置]\r\nE频段频点=38400|38544\r\n"
        "[A-D频段频点配置]\r\nA-D频段频点=\r\n"
        "[F1频段频点配置]\r\nF1频段频点=38350||38400|\r\n"
        "[F2频段频点配置]\r\nF2频段频点= 38350 | 38400 \r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.bandList(Band::E), (Strings{"38400", "38544"}));
    EXPECT_EQ(plan.bandList(Band::AD), Strings{});
    EXPECT_EQ(plan.bandList(Band::FDD900), Strings{});
    EXPECT_EQ(plan.bandList(Band::F1), (Strings{"38350", "", "38400"}));
    // The value loses its outer blanks; the pieces are kept as written.
    EXPECT_EQ(plan.bandList(Band::F2), (Strings{"38350 ", " 38400"}));
}

TEST_F(FrequencyPlanTest, Fdd1800ListIsReadFromTheFdd180Key) {
    putPlan("[FDD1800频段频点配置]\r\nFDD1800频段频点=1850\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.bandList(Band::FDD1800), Strings{});

    putPlan("[FDD1800频段频点配置]\r\nFDD180频段频点=1850|1825\r\n");
    EXPECT_EQ(plan.bandList(Band::FDD1800), (Strings{"1850", "1825"}));
}

TEST_F(FrequencyPlanTest, EveryBandReadsItsOwnList) {
    putPlan(
        "[E频段频点配置]\r\nE频段频点=1\r\n[A-D频段频点配置]\r\nA-D频段频点=2\r\n"
        "[FDD1800频段频点配置]\r\nFDD180频段频点=3\r\n[FDD900频段频点配置]\r\n"
        "FDD900频段频点=4\r\n[F1频段频点配置]\r\nF1频段频点=5\r\n[F2频段频点配置]\r\n"
        "F2频段频点=6\r\n[5G频段频点配置]\r\n5G频段频点=7\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.bandList(Band::E), Strings{"1"});
    EXPECT_EQ(plan.bandList(Band::AD), Strings{"2"});
    EXPECT_EQ(plan.bandList(Band::FDD1800), Strings{"3"});
    EXPECT_EQ(plan.bandList(Band::FDD900), Strings{"4"});
    EXPECT_EQ(plan.bandList(Band::F1), Strings{"5"});
    EXPECT_EQ(plan.bandList(Band::F2), Strings{"6"});
    EXPECT_EQ(plan.bandList(Band::G5), Strings{"7"});
}

// ---- families, settings, minimum level -------------------------------------

TEST_F(FrequencyPlanTest, EToEFamilyWithHyphenEverywhereLosesLastThree) {
    putPlan(
        "[E-E频段频点配置]\r\n"
        "E-E异频频点重先优先级=5\r\n"
        "E-E异频频点高优先级重选门限=10\r\n"
        "E-E异频频点低优先级重选门限=4\r\n"
        "E-E异频切换事件=A3\r\n"
        "E-E连接态频率偏置=0\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.family(plankeys::families()[0]), (FamilyValues{"5", "10", "", "", ""}));
}

TEST_F(FrequencyPlanTest, EToEFamilyWithItsOwnSpelling) {
    putPlan(
        "[E-E频段频点配置]\r\n"
        "E-E异频频点重先优先级=5\r\n"
        "E-E异频频点高优先级重选门限=10\r\n"
        "E_E_异频频点低优先级重选门限=4\r\n"
        "E_E_异频切换事件=A3\r\n"
        "E_E_连接态频率偏置=0\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.family(plankeys::families()[0]), (FamilyValues{"5", "10", "4", "A3", "0"}));
}

TEST_F(FrequencyPlanTest, IrregularPrefixFamilyReadsPrefixPlusSuffix) {
    putPlan(
        "[A_D_F1_CQ频段频点配置]\r\n"
        "A_D_F1_CQ异频频点重先优先级=6\r\n"
        "A_D_F1_CQ异频频点高优先级重选门限=12\r\n"
        "A_D_F1_CQ异频频点低优先级重选门限=8\r\n"
        "A_D_F1_CQ异频切换事件=A4\r\n"
        "A_D_F1_CQ连接态频率偏置=-2\r\n"
        "[A_D_F2_CQ频段频点配置]\r\n"
        "A_D_F2_CQ_异频频点重先优先级=1\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.family(*plankeys::findFamily("A_D_F1_CQ")),
              (FamilyValues{"6", "12", "8", "A4", "-2"}));
    EXPECT_EQ(plan.family(*plankeys::findFamily("A_D_F2_CQ")), FamilyValues{});
}

TEST_F(FrequencyPlanTest, FrequencySettingsAndMinimumLevel) {
    putPlan(
        "[其它项]\r\n最低接收电平=-124\r\n"
        "[频点1设置]\r\n频点=38400\r\n优先级=7\r\n测试带宽=20\r\n切换事件=A3\r\n"
        "[频点13设置]\r\n频点=1850\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.minRxLevel(), "-124");
    EXPECT_EQ(plan.frequencySettings(1), (FrequencySettings{"38400", "7", "20", "A3"}));
    EXPECT_EQ(plan.frequencySettings(13), (FrequencySettings{"1850", "", "", ""}));
    EXPECT_EQ(plan.frequencySettings(2), FrequencySettings{});
    EXPECT_THROW(plan.frequencySettings(0), std::out_of_range);
    EXPECT_THROW(plan.frequencySettings(14), std::out_of_range);
}

// ---- freshness -------------------------------------------------------------

TEST_F(FrequencyPlanTest, MissingFileReadsEmptyUntilItAppears) {
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.source(), ProfileFile::Source::Missing);
    EXPECT_EQ(plan.minRxLevel(), "");
    putPlan("[其它项]\r\n最低接收电平=-120\r\n");
    EXPECT_EQ(plan.minRxLevel(), "-120");
    EXPECT_EQ(plan.source(), ProfileFile::Source::Read);
    fs::remove(ini_);
    EXPECT_EQ(plan.minRxLevel(), "");
}

TEST_F(FrequencyPlanTest, SameSizeRewriteWithTheSameModificationTimeIsSeen) {
    putPlan("[其它项]\r\n最低接收电平=-120\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.minRxLevel(), "-120");
    const auto stamp = fs::last_write_time(ini_);

    putPlan("[其它项]\r\n最低接收电平=-124\r\n");
    fs::last_write_time(ini_, stamp);
    EXPECT_EQ(plan.minRxLevel(), "-124");

    putPlan("[其它项]\r\n最低接收电平=-128\r\n");
    fs::last_write_time(ini_, stamp - std::chrono::hours(1));
    EXPECT_EQ(plan.minRxLevel(), "-128");
}

TEST_F(FrequencyPlanTest, FileReplacedByRenameIsSeen) {
    putPlan("[其它项]\r\n最低接收电平=-120\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.minRxLevel(), "-120");
    const fs::path other = home_ / "mu" / "other.ini";
    put(other, "[其它项]\r\n最低接收电平=-110\r\n");
    fs::last_write_time(other, fs::last_write_time(ini_));
    fs::rename(other, ini_);
    EXPECT_EQ(plan.minRxLevel(), "-110");
}

TEST_F(FrequencyPlanTest, WriteIsSeenByTheNextRead) {
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.bandList(Band::E), Strings{});
    ASSERT_TRUE(plan.write("E频段频点配置", "E频段频点", "38400|38544"));
    EXPECT_EQ(plan.bandList(Band::E), (Strings{"38400", "38544"}));
    ASSERT_TRUE(plan.write("E频段频点配置", "E频段频点", "38950"));
    EXPECT_EQ(plan.bandList(Band::E), Strings{"38950"});
    EXPECT_FALSE(plan.write("E频段频点配置", "E频段频点", "😀"));
    EXPECT_EQ(plan.bandList(Band::E), Strings{"38950"});
}

TEST_F(FrequencyPlanTest, SnapshotStaysAsItWasWhenTheFileChanges) {
    putPlan("[其它项]\r\n最低接收电平=-120\r\n");
    FrequencyPlan plan(ini_);
    const auto before = plan.snapshot();
    putPlan("[其它项]\r\n最低接收电平=-99\r\n");
    EXPECT_EQ(before->value("其它项", "最低接收电平"), "-120");
    EXPECT_EQ(plan.snapshot()->value("其它项", "最低接收电平"), "-99");
}

// ---- 2G settings -----------------------------------------------------------

TEST_F(FrequencyPlanTest, Settings2GReadsFiveKeys) {
    put(home_ / "mu" / "2G.ini",
        "[Config]\r\n开始频点=512\r\nBCCH组标识=3\r\nGSM_dcs1800=1\r\n"
        "GERAN系统版本信息=R99\r\n位置区域码配置指示=是\r\n");
    Settings2G settings;
    loadSettings2G(home_, settings);
    EXPECT_EQ(settings, (Settings2G{"512", "3", "1", "R99", "是"}));
}

TEST_F(FrequencyPlanTest, Settings2GMissingFileEmptiesEveryField) {
    Settings2G settings{"a", "b", "c", "d", "e"};
    loadSettings2G(home_, settings);
    EXPECT_EQ(settings, Settings2G{});
}

TEST_F(FrequencyPlanTest, Settings2GMissingKeysOverwriteEarlierValues) {
    put(home_ / "mu" / "2G.ini", "[Config]\r\nGSM_dcs1800=0\r\n[config]\r\n开始频点=1\r\n");
    Settings2G settings{"a", "b", "c", "d", "e"};
    loadSettings2G(home_, settings);
    EXPECT_EQ(settings, (Settings2G{"", "", "0", "", ""}));
}

}  // namespace
}  // namespace brindle
