// The settings windows without a window: the boxes and their keys, the load
// and save sequences of the frequency-plan editor and the 2G settings, and
// the 2G record group's edit.

#include <gtest/gtest.h>

#include <set>

#include "core/base/textcodec.h"
#include "core/freqplan/planform.h"
#include "core/freqplan/profile.h"
#include "core/library/record2g.h"
#include "core/library/store.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using brindle::test::gbk;
using namespace brindle;
using brindle::test::readFile;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;
using brindle::test::writeFile;

namespace {

// Every box gets its own name as its text, so a value written under the
// wrong key shows.
std::string ownName(const std::string& box) {
    return "v" + box;
}

}  // namespace

TEST(PlanForm, EditorBindsOneHundredTwentyEightBoxesWithDistinctNames) {
    const auto boxes = planform::editorLoadOrder();
    ASSERT_EQ(boxes.size(), 128u);
    std::set<std::string> names, keys;
    for (const auto& b : boxes) {
        names.insert(b.box);
        keys.insert(std::string(b.section) + "/" + std::string(b.key));
    }
    EXPECT_EQ(names.size(), 128u);
    EXPECT_EQ(keys.size(), 128u);
    EXPECT_EQ(boxes[0].box, "最低接收电平编辑框");
    EXPECT_EQ(boxes[0].section, "其它项");
    EXPECT_EQ(boxes[0].key, "最低接收电平");
    // Band lists in load order: E, A-D, FDD1800, FDD900, F1, F2, 5G.
    const std::vector<std::string> lists = {boxes[1].box, boxes[2].box, boxes[3].box, boxes[4].box,
                                            boxes[5].box, boxes[6].box, boxes[7].box};
    EXPECT_EQ(lists, (std::vector<std::string>{"E频段频点_编辑框", "AD频段频点_编辑框",
                                               "FDD1800频段频点_编辑框", "FDD900频段频点_编辑框",
                                               "F1频段频点_编辑框", "F2频段频点_编辑框",
                                               "G5频段频点_编辑框"}));
    EXPECT_EQ(boxes[3].key, "FDD180频段频点");
    EXPECT_EQ(boxes[3].section, "FDD1800频段频点配置");
    EXPECT_EQ(boxes[7].section, "5G频段频点配置");
    EXPECT_EQ(boxes[7].key, "5G频段频点");
}

TEST(PlanForm, TheEToEColumnIsNamedWithUnderscoresInEveryRow) {
    const auto boxes = planform::editorLoadOrder();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"E_E_异频频点重先优先级", "E-E异频频点重先优先级"},
        {"E_E_异频频点高优先级重选门限", "E-E异频频点高优先级重选门限"},
        {"E_E_异频频点低优先级重选门限", "E_E_异频频点低优先级重选门限"},
        {"E_E_异频切换事件", "E_E_异频切换事件"},
        {"E_E_连接态频率偏置", "E_E_连接态频率偏置"}};
    for (std::size_t row = 0; row < 5; ++row) {
        EXPECT_EQ(boxes[8 + row].box, expected[row].first);
        EXPECT_EQ(boxes[8 + row].key, expected[row].second);
        EXPECT_EQ(boxes[8 + row].section, "E-E频段频点配置");
    }
    // Every other column: the box is named exactly like its key.
    for (std::size_t i = 13; i < boxes.size(); ++i) EXPECT_EQ(boxes[i].box, boxes[i].key);
    EXPECT_EQ(boxes[13].box, "E_A_D_异频频点重先优先级");
    EXPECT_EQ(boxes[127].box, "FDD900_FDD900_连接态频率偏置");
}

TEST(PlanForm, TabsHoldTheirServingGroupsColumns) {
    const auto columns = [](ServingGroup g) {
        std::vector<std::string> out;
        for (const Family* f : planform::familiesOf(g)) out.emplace_back(f->prefix);
        return out;
    };
    EXPECT_EQ(columns(ServingGroup::E),
              (std::vector<std::string>{"E-E", "E_A_D_", "E_FDD1800_F_", "E_FDD900_"}));
    EXPECT_EQ(
        columns(ServingGroup::AD),
        (std::vector<std::string>{"A_D_E_", "A_D_A_D_", "A_D_F1_CQ", "A_D_F2_CQ", "A_D_FDD1800_CQ",
                                  "A_D_FDD900_CQ", "F1_F2_FDD1800_NC", "A_D_FDD900_NC"}));
    EXPECT_EQ(columns(ServingGroup::F).size(), 5u);
    EXPECT_EQ(columns(ServingGroup::FDD900).size(), 7u);
    EXPECT_EQ(planform::tabCaption(ServingGroup::F), "FDD1800/F1/F2频段");
    EXPECT_EQ(planform::tabCaption(ServingGroup::FDD900), "FDD900");
}

TEST(PlanForm, SaveGroupsFollowTheSaveOrder) {
    const auto groups = planform::editorSaveGroups();
    ASSERT_EQ(groups.size(), 32u);
    std::vector<std::string> singles;
    for (std::size_t i = 0; i < 8; ++i) {
        ASSERT_EQ(groups[i].size(), 1u);
        singles.push_back(groups[i][0].box);
    }
    EXPECT_EQ(singles, (std::vector<std::string>{"最低接收电平编辑框", "E频段频点_编辑框",
                                                 "AD频段频点_编辑框", "F1频段频点_编辑框",
                                                 "F2频段频点_编辑框", "FDD1800频段频点_编辑框",
                                                 "FDD900频段频点_编辑框", "G5频段频点_编辑框"}));
    for (std::size_t i = 8; i < 32; ++i) EXPECT_EQ(groups[i].size(), 5u);
    EXPECT_EQ(groups[8][0].box, "E_E_异频频点重先优先级");
    EXPECT_EQ(groups[31][4].box, "FDD900_FDD900_连接态频率偏置");
}

TEST(PlanForm, SavingAFileMissingKeysWritesEveryBoundKey) {
    TempDir dir;
    const auto ini = dir / "EARFCN.ini";
    writeFile(ini, gbk("[E频段频点配置]\r\nE频段频点=38400|38544\r\n[频点1设置]\r\n频点=100\r\n"));
    RecordingFeedback feedback;
    const auto textOf = [](const std::string& box) {
        // The E->E column's offset stays empty: an empty box writes an empty value.
        return box == "E_E_连接态频率偏置" ? std::string() : ownName(box);
    };
    EXPECT_TRUE(planform::saveEditor(ini, textOf, feedback));
    EXPECT_EQ(feedback.texts(), std::vector<std::string>{"配置数据写入成功！"});
    for (const auto& b : planform::editorLoadOrder())
        EXPECT_EQ(readProfile(ini, b.section, b.key), textOf(b.box)) << b.box;
    const std::string bytes = readFile(ini);
    EXPECT_NE(bytes.find(gbk("E_E_连接态频率偏置=\r\n")), std::string::npos);
    // What no box is bound to stays as it was.
    EXPECT_EQ(readProfile(ini, "频点1设置", "频点"), "100");
    EXPECT_EQ(
        bytes.rfind(
            gbk("[E频段频点配置]\r\nE频段频点=vE频段频点_编辑框\r\n[频点1设置]\r\n频点=100\r\n["
                "其它项]\r\n最低接收电平=v最低接收电平编辑框\r\n[A-D频段频点配置]\r\n"),
            0),
        0u);
    // Loading gives back what was saved.
    const auto loaded = planform::load(ini, planform::editorLoadOrder());
    ASSERT_EQ(loaded.size(), 128u);
    EXPECT_EQ(loaded.at("E_E_异频频点重先优先级"), "vE_E_异频频点重先优先级");
    EXPECT_EQ(loaded.at("FDD1800频段频点_编辑框"), "vFDD1800频段频点_编辑框");
}

TEST(PlanForm, SavingWithoutAFileCreatesItInSaveOrder) {
    TempDir dir;
    const auto ini = dir / "EARFCN.ini";
    RecordingFeedback feedback;
    ASSERT_TRUE(planform::saveEditor(
        ini, [](const std::string&) { return std::string("1"); }, feedback));
    const std::string head =
        gbk("[其它项]\r\n最低接收电平=1\r\n[E频段频点配置]\r\nE频段频点=1\r\n[A-D频段频点配置]"
            "\r\nA-D频段频点="
            "1\r\n[F1频段频点配置]\r\nF1频段频点=1\r\n[F2频段频点配置]\r\nF2频段频点=1\r\n["
            "FDD1800频段频点"
            "配置]\r\nFDD180频段频点=1\r\n[FDD900频段频点配置]\r\nFDD900频段频点=1\r\n["
            "5G频段频点配置]\r\n5"
            "G频段频点=1\r\n[E-E频段频点配置]\r\nE-E异频频点重先优先级=1\r\nE-"
            "E异频频点高优先级重选门限=1\r\n"
            "E_E_异频频点低优先级重选门限=1\r\nE_E_异频切换事件=1\r\nE_E_连接态频率偏置=1\r\n[E_A_"
            "D_频段频点配置]"
            "\r\n");
    EXPECT_EQ(readFile(ini).substr(0, head.size()), head);
}

TEST(PlanForm, AReadOnlyFileGivesOneFailureMessageAndStaysAsItWas) {
    TempDir dir;
    const auto ini = dir / "EARFCN.ini";
    const std::string before = gbk("[其它项]\r\n最低接收电平=-64\r\n");
    writeFile(ini, before);
    std::filesystem::permissions(ini, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::group_read |
                                          std::filesystem::perms::others_read);
    RecordingFeedback feedback;
    EXPECT_FALSE(planform::saveEditor(ini, ownName, feedback));
    // Told once, with why; no success is claimed after failed writes.
    EXPECT_EQ(feedback.texts(), std::vector<std::string>{"写入失败，请重新写入：文件为只读"});
    EXPECT_EQ(readFile(ini), before);
}

TEST(PlanForm, AFailedWriteOfAnyKeyOfAFamilyIsReported) {
    TempDir dir;
    const auto ini = dir / "EARFCN.ini";
    RecordingFeedback feedback;
    // A line break cannot be stored; it sits in the third key of one family.
    const auto textOf = [](const std::string& box) {
        return box == "A_D_F2_CQ异频频点低优先级重选门限" ? std::string("2\r\n3")
                                                          : std::string("7");
    };
    EXPECT_FALSE(planform::saveEditor(ini, textOf, feedback));
    EXPECT_EQ(feedback.texts(), std::vector<std::string>{
                                    "写入失败，请重新写入：值含有换行或空字符，无法写入配置文件"});
    // The other keys, those of that family included, were still written.
    EXPECT_EQ(readProfile(ini, "A_D_F2_CQ频段频点配置", "A_D_F2_CQ连接态频率偏置"), "7");
    EXPECT_EQ(readProfile(ini, "A_D_F2_CQ频段频点配置", "A_D_F2_CQ异频频点低优先级重选门限"), "");
    EXPECT_EQ(readProfile(ini, "FDD900_FDD900_频段频点配置", "FDD900_FDD900_连接态频率偏置"), "7");
}

TEST(PlanForm, Settings2GSaveWritesTheFiveKeysAndLeavesTheLoadedSettings) {
    test::Workspace ws;
    std::filesystem::create_directories(ws.session.folder.mu());
    writeFile(ws.session.folder.ini2G(), gbk("[Config]\r\nGSM_dcs1800=GSM_dcs1800\r\n"));
    ws.session.reload2GSettings();
    RecordingFeedback feedback;
    const std::map<std::string, std::string> texts = {{"开始频点编辑框", "1"},
                                                      {"BCCH组标识编辑框", "2"},
                                                      {"GSM_dcs1800编辑框", "GSM_dcs1900"},
                                                      {"GERAN系统版本编辑框", ""},
                                                      {"位置区域码配置指示编辑框", "FALSE"}};
    EXPECT_TRUE(planform::saveSettings2G(
        ws.session.folder.ini2G(), [&](const std::string& box) { return texts.at(box); },
        feedback));
    EXPECT_EQ(feedback.texts(), std::vector<std::string>{"数据保存成功"});
    EXPECT_EQ(readFile(ws.session.folder.ini2G()),
              gbk("[Config]\r\nGSM_dcs1800=GSM_dcs1900\r\n开始频点=1\r\nBCCH组标识=2\r\nGERAN系统版"
                  "本信息=\r\n位置区域码配置指示=FALSE\r\n"));
    // Not reloaded by the save.
    EXPECT_EQ(ws.session.settings2G.bandIndicator, "GSM_dcs1800");
    const auto loaded = planform::load(ws.session.folder.ini2G(), planform::settings2GOrder());
    EXPECT_EQ(loaded, texts);
}

TEST(PlanForm, Settings2GSaveIntoAMissingFolderFailsOnceAndClaimsNoSuccess) {
    TempDir dir;
    RecordingFeedback feedback;
    EXPECT_FALSE(planform::saveSettings2G(
        dir / "无" / "2G.ini", [](const std::string&) { return std::string("x"); }, feedback));
    EXPECT_EQ(feedback.texts(), std::vector<std::string>{"写入失败，请重新写入：文件夹不存在"});
}

TEST(Record2G, ModifyWritesTheFiveRadioFieldsAndSurvivesAReopen) {
    TempDir dir;
    const auto path = dir / "g.edb";
    test::makeLibrary(path, LibraryKind::Gsm,
                      {test::cell2G(7, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                       test::cell2G(8, {"G站", "G1", "9", "9", "9", "9", "9"})});
    auto library = store::load(path, LibraryKind::Gsm);
    ASSERT_TRUE(library);
    RadioValues2G values;
    values[0] = "4600";
    values[1] = "";
    values[2] = "61";
    values[4] = "5";  // NCC not given: kept
    EXPECT_EQ(modifyRadio2G(**library, "G1", values), RadioEdit2G::Modified);
    auto reopened = store::load(path, LibraryKind::Gsm);
    ASSERT_TRUE(reopened);
    EXPECT_EQ((*reopened)->at(0).ID, 7);
    EXPECT_EQ((*reopened)->at(0).toRecord().fields,
              (std::vector<std::string>{"G站", "G1", "4600", "", "61", "1", "5"}));
    // Only the first record of the name is changed.
    EXPECT_EQ((*reopened)->at(1).field(2), "9");
    const auto shown = queryRadio2G(**reopened, "G1");
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, (std::array<std::string, 5>{"4600", "", "61", "1", "5"}));
}

TEST(Record2G, MissingNamesAndFailedWrites) {
    TempDir dir;
    const auto path = dir / "g.edb";
    test::makeLibrary(path, LibraryKind::Gsm,
                      {test::cell2G(1, {"G站", "G1", "4501", "10001", "60", "1", "2"})});
    auto library = store::load(path, LibraryKind::Gsm);
    ASSERT_TRUE(library);
    RadioValues2G values;
    values[0] = "1";
    EXPECT_FALSE(queryRadio2G(**library, "g1"));
    EXPECT_EQ(modifyRadio2G(**library, "g1", values), RadioEdit2G::NotFound);
    // The file gone from under the opened library: the write fails and the
    // record keeps its values.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    std::string reason;
    EXPECT_EQ(modifyRadio2G(**library, "G1", values, &reason), RadioEdit2G::WriteFailed);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ((*queryRadio2G(**library, "G1"))[0], "4501");
}

TEST(Record2G, OnlyTheFiveRadioFieldsAreKnown) {
    EXPECT_EQ(radioField2G("小区LAC"), 0u);
    EXPECT_EQ(radioField2G("小区基站色码"), 4u);
    EXPECT_FALSE(radioField2G("小区名"));
    EXPECT_FALSE(radioField2G("基站名"));
    EXPECT_FALSE(radioField2G("ID"));
    EXPECT_FALSE(radioField2G("小区lac"));
}
