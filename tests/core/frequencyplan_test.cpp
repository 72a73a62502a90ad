#include "core/freqplan/frequencyplan.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app/layout.h"
#include "core/base/textcodec.h"
#include "core/freqplan/plankeys.h"
#include "core/freqplan/settings2g.h"
#include "testsupport.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class FrequencyPlanTest : public ::testing::Test {
protected:
    test::TempDir temp_;

    void SetUp() override {
        home_ = temp_.path();
        fs::create_directory(home_ / "mu");
        ini_ = home_ / "mu" / "EARFCN.ini";
    }

    // Writes UTF-8 test text to the file as GBK.
    static void put(const fs::path& path, std::string_view utf8) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << *codec::toGbk(utf8).text;
    }
    void putPlan(std::string_view utf8) const { put(ini_, utf8); }

    fs::path home_, ini_;
};

TEST(PlanKeys, NamesKeepTheirIrregularSpelling) {
    const ProgramFolder folder{"/opt/b"};
    EXPECT_EQ(folder.earfcnIni(), fs::path("/opt/b/mu/EARFCN.ini"));
    EXPECT_EQ(folder.ini2G(), fs::path("/opt/b/mu/2G.ini"));
    EXPECT_EQ(folder.libraries(LibraryKind::Gsm), fs::path("/opt/b/mu2"));
    EXPECT_EQ(plankeys::bandListKey(Band::FDD1800).section, "FDD1800频段频点配置");
    EXPECT_EQ(plankeys::bandListKey(Band::FDD1800).key, "FDD180频段频点");
    EXPECT_EQ(plankeys::frequencySettingsSection(13), "频点13设置");
    EXPECT_THROW(plankeys::frequencySettingsSection(0), std::out_of_range);

    const Family& ee = plankeys::familyAt(0);
    EXPECT_EQ(ee.section, "E-E频段频点配置");
    EXPECT_EQ(ee.threshHighKey, "E-E异频频点高优先级重选门限");
    EXPECT_EQ(ee.threshLowKey, "E_E_异频频点低优先级重选门限");
    EXPECT_EQ(ee.connOffsetKey, "E_E_连接态频率偏置");

    const Family* f = plankeys::findFamily("A_D_F1_CQ");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->section, "A_D_F1_CQ频段频点配置");
    EXPECT_EQ(f->reselPriorityKey, "A_D_F1_CQ异频频点重先优先级");
    EXPECT_EQ(f->hoEventKey, "A_D_F1_CQ异频切换事件");
    EXPECT_EQ(f->column, "城区F1");
    EXPECT_EQ(plankeys::findFamily("FDD900_F_NC")->column, "农村F1\\F2\\FDD1800");
    EXPECT_EQ(plankeys::findFamily("E_E_"), nullptr);
}

TEST(PlanKeys, TwentyFourDistinctFamiliesInEditorOrder) {
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
    ASSERT_EQ(plankeys::kFamilyCount, prefixes.size());
    std::set<std::string_view> sections, keys;
    for (std::size_t i = 0; i < plankeys::kFamilyCount; ++i) {
        const Family& f = plankeys::familyAt(i);
        EXPECT_EQ(f.prefix, prefixes[i]);
        const ServingGroup group = i < 4    ? ServingGroup::E
                                   : i < 12 ? ServingGroup::AD
                                   : i < 17 ? ServingGroup::F
                                            : ServingGroup::FDD900;
        EXPECT_EQ(f.serving, group) << f.prefix;
        sections.insert(f.section);
        keys.insert(
            {f.reselPriorityKey, f.threshHighKey, f.threshLowKey, f.hoEventKey, f.connOffsetKey});
    }
    EXPECT_EQ(sections.size(), 24u);
    EXPECT_EQ(keys.size(), 24u * 5);
}

TEST_F(FrequencyPlanTest, BandListsSplitAtBar) {
    putPlan(
        "[E频段频点配置]\r\nE频段频点=38400|38544\r\n[A-D频段频点配置]\r\nA-D频段频点=\r\n"
        "[F1频段频点配置]\r\nF1频段频点=38350||38400|\r\n"
        "[F2频段频点配置]\r\nF2频段频点= 38350 | 38400 \r\n"
        "[FDD1800频段频点配置]\r\nFDD1800频段频点=1850\r\n[5G频段频点配置]\r\n5G频段频点="
        "504990\r\n");
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.bandList(Band::E), (Strings{"38400", "38544"}));
    EXPECT_EQ(plan.bandList(Band::AD), Strings{});
    EXPECT_EQ(plan.bandList(Band::FDD900), Strings{});
    EXPECT_EQ(plan.bandList(Band::F1), (Strings{"38350", "", "38400"}));
    EXPECT_EQ(plan.bandList(Band::F2), (Strings{"38350 ", " 38400"}));  // pieces untrimmed
    EXPECT_EQ(plan.bandList(Band::FDD1800), Strings{});                 // the key is FDD180...
    EXPECT_EQ(plan.bandList(Band::G5), Strings{"504990"});
    putPlan("[FDD1800频段频点配置]\r\nFDD180频段频点=1850|1825\r\n");
    EXPECT_EQ(plan.bandList(Band::FDD1800), (Strings{"1850", "1825"}));
}

TEST_F(FrequencyPlanTest, FamiliesReadTheirOwnFiveKeys) {
    putPlan(
        "[E-E频段频点配置]\r\nE-E异频频点重先优先级=5\r\nE-E异频频点高优先级重选门限=10\r\n"
        "E-E异频频点低优先级重选门限=4\r\nE-E异频切换事件=A3\r\nE-E连接态频率偏置=0\r\n"
        "[A_D_F1_CQ频段频点配置]\r\nA_D_F1_CQ异频频点重先优先级=6\r\n"
        "A_D_F1_CQ异频频点高优先级重选门限=12\r\nA_D_F1_CQ异频频点低优先级重选门限=8\r\n"
        "A_D_F1_CQ异频切换事件=A4\r\nA_D_F1_CQ连接态频率偏置=-2\r\n");
    FrequencyPlan plan(ini_);
    const Family& ee = plankeys::familyAt(0);
    EXPECT_EQ(plan.family(ee), (FamilyValues{"5", "10", "", "", ""}));
    EXPECT_EQ(plan.family(*plankeys::findFamily("A_D_F1_CQ")),
              (FamilyValues{"6", "12", "8", "A4", "-2"}));
    EXPECT_EQ(plan.family(*plankeys::findFamily("A_D_F2_CQ")), FamilyValues{});

    putPlan(
        "[E-E频段频点配置]\r\nE-E异频频点重先优先级=5\r\nE-E异频频点高优先级重选门限=10\r\n"
        "E_E_异频频点低优先级重选门限=4\r\nE_E_异频切换事件=A3\r\nE_E_连接态频率偏置=0\r\n");
    EXPECT_EQ(plan.family(ee), (FamilyValues{"5", "10", "4", "A3", "0"}));
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
    EXPECT_THROW(plan.frequencySettings(14), std::out_of_range);
}

TEST_F(FrequencyPlanTest, ReadsNeverSeeAStaleFile) {
    FrequencyPlan plan(ini_);
    EXPECT_EQ(plan.source(), ProfileFile::Source::Missing);
    putPlan("[其它项]\r\n最低接收电平=-120\r\n");
    EXPECT_EQ(plan.minRxLevel(), "-120");
    const auto before = plan.snapshot();
    const auto stamp = fs::last_write_time(ini_);

    putPlan("[其它项]\r\n最低接收电平=-124\r\n");  // same size, same time
    fs::last_write_time(ini_, stamp);
    EXPECT_EQ(plan.minRxLevel(), "-124");
    EXPECT_EQ(before->value("其它项", "最低接收电平"), "-120");

    const fs::path other = home_ / "mu" / "other.ini";
    put(other, "[其它项]\r\n最低接收电平=-110\r\n");
    fs::last_write_time(other, stamp);
    fs::rename(other, ini_);
    EXPECT_EQ(plan.minRxLevel(), "-110");

    const Status written = plan.write("其它项", "最低接收电平", "-100");
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(plan.minRxLevel(), "-100");
    EXPECT_EQ(plan.write("其它项", "最低接收电平", "two\r\nlines").error(),
              "值含有换行或空字符，无法写入配置文件");
    EXPECT_EQ(plan.minRxLevel(), "-100");
    fs::remove(ini_);
    EXPECT_EQ(plan.minRxLevel(), "");
}

// A generator run's plan: one state of the file for the whole run, whatever
// is done to it by hand meanwhile; a write of Brindle's own (the plan window
// while a run pauses, through any plan or writeProfile) is seen at the next
// read; the next run's plan sees the file as it is then.
TEST_F(FrequencyPlanTest, ARunSeesOneStateAndBrindlesOwnWrites) {
    putPlan("[其它项]\r\n最低接收电平=-120\r\n");
    FrequencyPlan run(ini_, PlanReads::OneRun);
    EXPECT_EQ(run.minRxLevel(), "-120");
    putPlan("[其它项]\r\n最低接收电平=-1\r\n[频点1设置]\r\n频点=38400\r\n");
    EXPECT_EQ(run.minRxLevel(), "-120");
    EXPECT_EQ(run.frequencySettings(1), FrequencySettings{});
    fs::remove(ini_);
    EXPECT_EQ(run.minRxLevel(), "-120");
    EXPECT_EQ(run.source(), ProfileFile::Source::Read);

    ASSERT_TRUE(writeProfile(ini_, "其它项", "最低接收电平", "-110").ok());
    EXPECT_EQ(run.minRxLevel(), "-110");
    FrequencyPlan window(ini_);
    ASSERT_TRUE(window.write("频点1设置", "频点", "38544").ok());
    EXPECT_EQ(run.frequencySettings(1), (FrequencySettings{"38544", "", "", ""}));
    // A refused write changes nothing, and what is read stays right.
    EXPECT_FALSE(writeProfile(ini_, "其它项", "最低接收电平", "a\nb").ok());
    EXPECT_EQ(run.minRxLevel(), "-110");

    putPlan("[其它项]\r\n最低接收电平=-99\r\n");
    EXPECT_EQ(run.minRxLevel(), "-110");
    EXPECT_EQ(FrequencyPlan(ini_, PlanReads::OneRun).minRxLevel(), "-99");
    EXPECT_EQ(window.minRxLevel(), "-99");

    FrequencyPlan missing(home_ / "mu" / "none.ini", PlanReads::OneRun);
    EXPECT_EQ(missing.source(), ProfileFile::Source::Missing);
    put(home_ / "mu" / "none.ini", "[其它项]\r\n最低接收电平=-98\r\n");
    EXPECT_EQ(missing.minRxLevel(), "");
}

TEST_F(FrequencyPlanTest, Settings2GReplacesEveryField) {
    Settings2G settings{"a", "b", "c", "d", "e"};
    loadSettings2G(home_ / "mu" / "2G.ini", settings);
    EXPECT_EQ(settings, Settings2G{});

    put(home_ / "mu" / "2G.ini",
        "[Config]\r\n开始频点=512\r\nBCCH组标识=3\r\nGSM_dcs1800=1\r\n"
        "GERAN系统版本信息=R99\r\n位置区域码配置指示=是\r\n");
    loadSettings2G(home_ / "mu" / "2G.ini", settings);
    EXPECT_EQ(settings, (Settings2G{"512", "3", "1", "R99", "是"}));

    put(home_ / "mu" / "2G.ini", "[Config]\r\nGSM_dcs1800=0\r\n[config]\r\n开始频点=1\r\n");
    loadSettings2G(home_ / "mu" / "2G.ini", settings);
    EXPECT_EQ(settings, (Settings2G{"", "", "0", "", ""}));
}

}  // namespace
}  // namespace brindle
