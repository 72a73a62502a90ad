// The 4G page's generators. Every expected line is written out by hand from
// the command templates.

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "core/app/generators.h"
#include "core/base/textcodec.h"
#include "core/freqplan/plankeys.h"
#include "core/library/store.h"
#include "core/mml/templates.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::cell4G;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;
using Lines = std::vector<std::string>;

namespace {

// 基站名, 小区名, 本地小区标识, 基站号, 小区标识, 频点, 物理小区标识, TAC号
std::vector<Record> cells() {
    return {
        cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
        cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38400", "101", "2002"}),
        cell4G(3,
               {"站甲", "甲-11", "3", "1001", "13", "38544", "100", "2001"}),  // same site and PCI
        cell4G(4, {"站甲", "甲-2", "1", "1001", "11", "38400", "102", "2001"}),  // same site
        cell4G(5,
               {"站丙", "丙-1", "0", "1003", "30", "38400 ", "100", "2003"}),  // same PCI elsewhere
        cell4G(6, {"站丁", "丁-1", "2", "1004", "42", "38400.0", "7", "2004"}),
        cell4G(7, {"", "无名-1", "5", "1005", "50", "1300", "8", "2005"}),
        cell4G(8, {"站戊", "戊,1\"", "0", "1006", "60", "37900", "9", "2006"}),
        cell4G(9, {"站己", "己-1", "0", "1007", "70", "38950", "11", "2007"}),
        cell4G(10, {"站己", "己-11", "1", "1007", "71", "39148", "12", "2007"}),
        cell4G(11, {"站庚", "庚-1", "0", "1008", "80", "1425", "13", "2008"}),
        cell4G(12, {"站辛", "辛-1", "0", "1009", "90", "3683", "14", "2009"}),
        cell4G(13, {"站壬", "壬-1", "0", "1010", "91", "36275", "15", "2010"}),
        cell4G(14, {"站癸", "癸-1", "0", "1011", "92", "99999", "16", "2011"}),  // in no band list
        cell4G(15, {"站子", "子-1", "0", "1012", "93", "abc", "17", "2012"}),
        cell4G(16, {"站丑", "丑-1", "0", "1013", "94", "ABC", "18", "2013"}),
    };
}

// Every family gets values naming it, so a line shows which family it used.
std::string familySection(const std::string& prefix) {
    return "[" + prefix + "频段频点配置]\r\n" + prefix + "异频频点重先优先级=" + prefix + "P\r\n" +
           prefix + "异频频点高优先级重选门限=" + prefix + "H\r\n" + prefix +
           "异频频点低优先级重选门限=" + prefix + "L\r\n" + prefix + "异频切换事件=" + prefix +
           "E\r\n" + prefix + "连接态频率偏置=" + prefix + "O\r\n";
}

std::string earfcnIni() {
    std::string ini =
        "[E频段频点配置]\r\nE频段频点=38950|39148\r\n"
        "[A-D频段频点配置]\r\nA-D频段频点=37900|36275\r\n"
        "[F1频段频点配置]\r\nF1频段频点=38400|1425\r\n"
        "[F2频段频点配置]\r\nF2频段频点=38544\r\n"
        "[FDD1800频段频点配置]\r\nFDD180频段频点=1300|1425\r\n"
        "[FDD900频段频点配置]\r\nFDD900频段频点=3683\r\n"
        // The E->E family: hyphen in the first two keys, E_E_ in the last three.
        "[E-E频段频点配置]\r\nE-E异频频点重先优先级=7\r\nE-E异频频点高优先级重选门限=12\r\n"
        "E_E_异频频点低优先级重选门限=10\r\nE_E_异频切换事件=EventA3\r\nE_E_连接态频率偏置=2\r\n"
        // Only two keys of this family are in the file.
        "[F_E_频段频点配置]\r\nF_E_异频频点重先优先级=6\r\nF_E_连接态频率偏置=-2\r\n";
    for (const char* prefix :
         {"E_A_D_",        "E_FDD1800_F_",  "E_FDD900_",      "A_D_E_",        "A_D_A_D_",
          "A_D_F1_CQ",     "A_D_F2_CQ",     "A_D_FDD1800_CQ", "A_D_FDD900_CQ", "F1_F2_FDD1800_NC",
          "A_D_FDD900_NC", "F_A_D_",        "F_F_",           "F_FDD900_CQ",   "F_FDD900_NC",
          "FDD900_E_",     "FDD900_A_D_",   "FDD900_F1_CQ",   "FDD900_F2_CQ",  "FDD900_FDD1800_CQ",
          "FDD900_F_NC",   "FDD900_FDD900_"})
        ini += familySection(prefix);
    return *codec::toGbk(ini).text;
}

class Generators : public ::testing::Test {
protected:
    TempDir dir;
    Session session{dir.path()};
    RecordingFeedback fb;
    bool twoWay = false;
    bool direct = false;

    void SetUp() override {
        test::makeLibrary(session.folder.mu() / "a.edb", LibraryKind::Lte, cells());
        session.library4G = store::load(session.folder.mu() / "a.edb", LibraryKind::Lte).value();
        test::writeFile(session.folder.earfcnIni(), earfcnIni());
    }

    // Runs a generator of the registry over the two boxes and gives the pane's text.
    std::string run(std::string_view name, const std::string& sources, const std::string& targets,
                    std::function<bool()> twoWayNow = {}) {
        StringSink pane;
        const Generator* g = findGenerator(name);
        if (!g) throw std::invalid_argument("no generator " + std::string(name));
        if (!twoWayNow) twoWayNow = [this] { return twoWay; };
        runGenerator(*g, session, {sources, targets, twoWayNow, [this] { return direct; }, {}, {}},
                     pane, fb);
        return pane.text();
    }

    // The add-carrier run with its two answers.
    std::string addCarrier(bool urban, bool reduced, const std::string& s, const std::string& t) {
        fb.answer(Question::UrbanArea, urban);
        fb.answer(Question::ReducedMeasurement, reduced);
        return run("carrier-add", s, t);
    }

    const std::string& general() { return *session.buffer(OutputBuffer::General); }
    const std::string& carrier() { return *session.buffer(OutputBuffer::Carrier); }
};

const std::string kAddIntra =
    "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=21,"
    "LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"乙-1\";{站甲}\r\n";
const std::string kAddIntraReverse =
    "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=10,"
    "LOCALCELLNAME=\"乙-1\",NEIGHBOURCELLNAME=\"甲-1\";{站乙}\r\n";

}  // namespace

TEST_F(Generators, NeighbourAddPairsLineByLine) {
    EXPECT_EQ(run("neighbour-add", "甲-1\r\n乙-1", "乙-1\r\n甲-1\r\n"),
              kAddIntra + kAddIntraReverse);
    EXPECT_EQ(fb.texts(), Lines{"添加邻区脚本生成成功！！"});
}

TEST_F(Generators, TwoWayAlternatesForwardAndReverse) {
    twoWay = true;
    const std::string out = run("neighbour-add", "甲-1\r\n甲-1", "乙-1\r\n乙-1");
    EXPECT_EQ(out, kAddIntra + kAddIntraReverse + kAddIntra + kAddIntraReverse);
}

TEST_F(Generators, CoSitedSamePciPairGetsOffsetAndOverlapBothWays) {
    twoWay = true;
    EXPECT_EQ(
        run("neighbour-mod", "甲-1", "甲-11"),
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=13,"
        "CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"甲-11\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;{站甲}\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=3,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=10,"
        "CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-11\",NEIGHBOURCELLNAME=\"甲-1\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;{站甲}\r\n");
    EXPECT_EQ(fb.texts(), Lines{"修改邻区脚本生成成功！！"});
}

TEST_F(Generators, SameSiteOrSamePciAloneGetsNeitherPiece) {
    const std::string out = run("neighbour-add", "甲-1\r\n甲-1", "甲-2\r\n丙-1");
    EXPECT_EQ(
        out,
        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=11,"
        "LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"甲-2\";{站甲}\r\n"
        "ADD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1003,CELLID=30,"
        "LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"丙-1\";{站甲}\r\n");
}

TEST_F(Generators, ObjectChoiceComparesEarfcnTextsIgnoringCaseOnly) {
    const std::string out =
        run("neighbour-rmv", "甲-1\r\n甲-1\r\n甲-1\r\n子-1", "乙-1\r\n丙-1\r\n丁-1\r\n丑-1");
    EXPECT_EQ(
        out,
        "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1002,CELLID=21;{站甲}\r\n"
        "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0,ENODEBID=1003,CELLID=30;{站甲}\r\n"    // "38400 "
        "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0,ENODEBID=1004,CELLID=42;{站甲}\r\n"    // 38400.0
        "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1013,CELLID=94;{站子}\r\n");  // abc/ABC
    EXPECT_EQ(fb.texts(), Lines{"删除脚本生成成功！！"});
}

TEST_F(Generators, EmptyNeNameAndOddNamesGoInAsTheyAre) {
    twoWay = true;
    EXPECT_EQ(
        run("external-add", "无名-1", "戊,1\""),
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1006,CELLID=60,DLEARFCN=37900,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=9,TAC=2006,CELLNAME=\"戊,1\"\";{}\r\n"
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1005,CELLID=50,DLEARFCN=1300,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=8,TAC=2005,CELLNAME=\"无名-1\";{站戊}\r\n");
}

TEST_F(Generators, ExternalModSkipsCellsOfTheSameENodeBWithoutAdvancingProgress) {
    twoWay = true;
    EXPECT_EQ(
        run("external-mod", "甲-1\r\n甲-1", "甲-2\r\n乙-1"),
        "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=21,DLEARFCN=38400,"
        "PHYCELLID=101,TAC=2002;{站甲}\r\n"
        "MOD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=10,DLEARFCN=38400,"
        "PHYCELLID=100,TAC=2001;{站乙}\r\n");
    EXPECT_EQ(fb.lastMaximum, 2);
    EXPECT_EQ(fb.lastPosition, 1);
    EXPECT_EQ(fb.texts(), Lines{"脚本生成成功！！"});
    // ADD and RMV write co-sited pairs too.
    twoWay = false;
    EXPECT_EQ(run("external-rmv", "甲-1", "甲-2"),
              "RMV EUTRANEXTERNALCELL:ENODEBID=1001,CELLID=11;{站甲}\r\n");
}

TEST_F(Generators, MissingCellsSkipTheirPairAndTheRunGoesOn) {
    const std::string out = run("external-rmv", "甲-1\r\n不存在\r\n乙-1\r\n\r\n甲-1\r\n甲-1",
                                "乙-1\r\n乙-1\r\n也不存在\r\n乙-1\r\n乙-1");
    EXPECT_EQ(out,
              "RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{站甲}\r\n"
              "RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{站甲}\r\n");
    // The sixth source has no target line: reported like an empty name.
    EXPECT_EQ(fb.texts(),
              (Lines{"不存在小区不存在！", "也不存在小区不存在！", "小区不存在！", "小区不存在！",
                     "删除外部脚本生成成功！！\r\n共生成2行脚本，4个小区不存在。"}));
    EXPECT_EQ(fb.shown.back().details, "「不存在」\r\n「也不存在」\r\n「」\r\n「」\r\n");
    EXPECT_EQ(fb.lastPosition, 6);
}

TEST_F(Generators, EmptySourceBoxStillShowsTheSuccessMessage) {
    EXPECT_EQ(run("carrier-rmv", "", "甲-1"), "");
    EXPECT_EQ(fb.texts(), Lines{"删除频点脚本生成成功！！"});
}

TEST_F(Generators, OptionsAreReadAnewForEveryPair) {
    int asked = 0;
    EXPECT_EQ(run("neighbour-add", "甲-1\r\n甲-1", "乙-1\r\n乙-1", [&] { return ++asked > 1; }),
              kAddIntra + kAddIntra + kAddIntraReverse);
}

TEST_F(Generators, DirectOutputFillsTheGeneralBufferAndSavesAfterTheMessage) {
    direct = true;
    fb.preset.files.push_back(std::nullopt);  // cancelled: the lines wait in the buffer
    EXPECT_EQ(run("neighbour-add", "甲-1\r\n甲-1", "乙-1\r\n乙-1"), "");
    EXPECT_EQ(general(), kAddIntra + kAddIntra);
    EXPECT_EQ(fb.texts(), (Lines{"添加邻区脚本生成成功！！"}));
    fb.preset.files.push_back(dir / "n.txt");
    run("carrier-rmv", "甲-1", "甲-11");
    EXPECT_EQ(general(), "");
    EXPECT_EQ(*codec::fromGbk(test::readFile(dir / "n.txt")),
              kAddIntra + "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38544;{站甲}\r\n");
}

// With 直出脚本 ticked every generator of the 4G page writes into a
// direct-output buffer, never into the pane: 添加频点 into one of its own,
// every other one into the buffer they share.
TEST_F(Generators, EveryGeneratorOfThe4GPageWritesItsDirectOutputToABuffer) {
    direct = true;
    for (const Generator& g : generators()) {
        if (g.page != Page::Lte) continue;
        session.buffer(OutputBuffer::General)->clear();
        session.buffer(OutputBuffer::Carrier)->clear();
        fb.answer(Question::UrbanArea, true);
        fb.answer(Question::ReducedMeasurement, false);
        fb.preset.files = {std::nullopt};  // the save is put off: the lines wait
        EXPECT_EQ(run(g.name, "甲-1", "己-1"), "") << g.name;
        const bool ownBuffer = g.name == "carrier-add";
        EXPECT_EQ(general().empty(), ownBuffer) << g.name;
        EXPECT_EQ(carrier().empty(), !ownBuffer) << g.name;
    }
}

TEST_F(Generators, CarrierRemovalWritesEveryPairEvenOnTheSameEarfcn) {
    twoWay = true;
    EXPECT_EQ(run("carrier-rmv", "甲-1", "乙-1"),
              "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38400;{站甲}\r\n"
              "RMV EUTRANINTERNFREQ:LOCALCELLID=1,DLEARFCN=38400;{站乙}\r\n");
}

TEST_F(Generators, CarrierAddWritesTheWholeTemplate) {
    EXPECT_EQ(addCarrier(true, false, "己-1", "己-11"),  // E to E: the irregular E->E keys
              "ADD EUTRANINTERNFREQ:LOCALCELLID=0 ,DLEARFCN=39148,ULEARFCNCFGIND=NOT_CFG,"
              "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=7,SPEEDDEPENDSPCFGIND=NOT_CFG,"
              "MEASBANDWIDTH=MBW100,THRESHXHIGH=12,THRESHXLOW=10,QRXLEVMIN=-62,PMAXCFGIND=NOT_CFG,"
              "INTERFREQHOEVENTTYPE=EventA3 ,QOFFSETFREQCONN=dB2,QQUALMINCFGIND=NOT_CFG,"
              "INTERFREQCIOADJLIMITCFGIND=NOT_CFG;{站己}\r\n");
    EXPECT_EQ(fb.shown.at(0).text, "是为城区，否为农村");
    EXPECT_EQ(fb.shown.at(0).title, "城区 OR 农村");
    EXPECT_EQ(fb.shown.at(1).text, "城区");
    EXPECT_EQ(fb.shown.at(2).text, "是否对加频点测量性能要求设置为降低的？");
    EXPECT_EQ(fb.shown.at(2).title, "加频点测量性能要求 降低的");
    EXPECT_EQ(fb.shown.at(3).text, "添加频点脚本生成成功！！");
}

TEST_F(Generators, CarrierAddWithReducedDemandAndMissingKeys) {
    // F2 source, E target: the F_E_ family, of which the file holds two keys only.
    EXPECT_EQ(addCarrier(false, true, "甲-11", "己-1"),
              "ADD EUTRANINTERNFREQ:LOCALCELLID=3 ,DLEARFCN=38950,ULEARFCNCFGIND=NOT_CFG,"
              "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
              "MEASBANDWIDTH=MBW100,THRESHXHIGH=,THRESHXLOW=,QRXLEVMIN=-62,PMAXCFGIND=NOT_CFG,"
              "INTERFREQHOEVENTTYPE= ,QOFFSETFREQCONN=dB-2,QQUALMINCFGIND=NOT_CFG,"
              "INTERFREQCIOADJLIMITCFGIND=NOT_CFG,MEASPERFORMANCEDEMAND=REDUCED;{站甲}\r\n");
    EXPECT_EQ(fb.shown.at(1).text, "农村");
}

namespace {

// The family a carrier line used, from its CELLRESELPRIORITY value "<prefix>P".
Lines familiesOf(const std::string& script) {
    Lines used;
    const std::string key = "CELLRESELPRIORITY=";
    for (std::size_t at = script.find(key); at != std::string::npos;
         at = script.find(key, at + 1)) {
        const std::size_t begin = at + key.size();
        used.push_back(script.substr(begin, script.find(',', begin) - begin));
    }
    return used;
}

}  // namespace

TEST_F(Generators, UrbanAndRuralChooseTheirFamilies) {
    // A-D source on 37900, FDD1800 target on 1300.
    EXPECT_EQ(familiesOf(addCarrier(true, false, "戊,1\"", "无名-1")), Lines{"A_D_FDD1800_CQP"});
    EXPECT_EQ(familiesOf(addCarrier(false, false, "戊,1\"", "无名-1")), Lines{"F1_F2_FDD1800_NCP"});
    // An E source and an F1 target use E_FDD1800_F_ in both areas.
    EXPECT_EQ(familiesOf(addCarrier(true, false, "己-1", "甲-1")), Lines{"E_FDD1800_F_P"});
    EXPECT_EQ(familiesOf(addCarrier(false, false, "己-1", "甲-1")), Lines{"E_FDD1800_F_P"});
    // F1, F2 and FDD1800 sources share the F class.
    EXPECT_EQ(familiesOf(addCarrier(true, false, "无名-1", "辛-1")), Lines{"F_FDD900_CQP"});
    EXPECT_EQ(familiesOf(addCarrier(false, false, "甲-1", "辛-1")), Lines{"F_FDD900_NCP"});
    EXPECT_EQ(familiesOf(addCarrier(true, false, "辛-1", "甲-11")), Lines{"FDD900_F2_CQP"});
}

TEST_F(Generators, ACarrierListedTwiceGivesTwoLines) {
    // 1425 stands in F1 and in FDD1800: urban A-D tries F1 then FDD1800, rural the combined F list.
    EXPECT_EQ(familiesOf(addCarrier(true, false, "戊,1\"", "庚-1")),
              (Lines{"A_D_F1_CQP", "A_D_FDD1800_CQP"}));
    const std::string rural = addCarrier(false, false, "戊,1\"", "庚-1");
    EXPECT_EQ(familiesOf(rural), (Lines{"F1_F2_FDD1800_NCP", "F1_F2_FDD1800_NCP"}));
    EXPECT_NE(rural.find("MEASBANDWIDTH=MBW25"), std::string::npos);
}

TEST_F(Generators, SameCarrierGivesNoAddLine) {
    EXPECT_EQ(addCarrier(true, false, "甲-1", "乙-1"), "");
    EXPECT_EQ(addCarrier(true, false, "子-1", "丑-1"), "");  // abc / ABC: same, ignoring case
}

TEST_F(Generators, TargetIsLookedUpOnlyWhenTheSourceCarrierIsListed) {
    EXPECT_EQ(addCarrier(true, false, "癸-1\r\n甲-1", "不存在\r\n也不存在"), "");
    EXPECT_EQ(fb.texts(), (Lines{"是为城区，否为农村", "城区",
                                 "是否对加频点测量性能要求设置为降低的？", "也不存在小区不存在！",
                                 "添加频点脚本生成成功！！\r\n共生成0行脚本，1个小区不存在。"}));
}

TEST_F(Generators, TwoWayCarrierRunWritesAllForwardLinesFirst) {
    twoWay = true;
    const std::string out = addCarrier(true, false, "甲-1\r\n己-1", "己-1\r\n甲-11\r\n不存在");
    // F_E_ holds "6" as its priority.
    EXPECT_EQ(familiesOf(out), (Lines{"6", "E_FDD1800_F_P", "E_FDD1800_F_P", "6"}));
    // Forward: 甲-1 gets 38950, 己-1 gets 38544; reverse: 己-1 gets 38400, 甲-11 gets 38950.
    EXPECT_NE(out.find("LOCALCELLID=0 ,DLEARFCN=38950"), std::string::npos);
    EXPECT_LT(out.find("{站甲}"), out.find("{站己}"));
    EXPECT_EQ(fb.lastMaximum, 3);  // the reverse pass runs over the target names
    EXPECT_EQ(fb.texts().back(), "添加频点脚本生成成功！！\r\n共生成4行脚本，1个小区不存在。");
    EXPECT_EQ(fb.texts()[3], "不存在小区不存在！");
}

TEST_F(Generators, CarrierAddUsesItsOwnBuffer) {
    direct = true;
    fb.preset.files = {std::nullopt, std::nullopt};
    addCarrier(true, false, "己-1", "己-11");
    run("carrier-rmv", "甲-1", "甲-11");
    EXPECT_NE(carrier().find("ADD EUTRANINTERNFREQ"), std::string::npos);
    EXPECT_EQ(general(), "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38544;{站甲}\r\n");
    fb.preset.files = {dir / "c.txt"};
    fb.answer(Question::UrbanArea, true);
    fb.answer(Question::ReducedMeasurement, false);
    run("carrier-add", "", "");
    EXPECT_EQ(carrier(), "");
    EXPECT_EQ(general().empty(), false);
    EXPECT_EQ(test::readFile(dir / "c.txt").find("RMV"), std::string::npos);
}

TEST(Templates, MeasurementBandwidthByExactEarfcn) {
    EXPECT_EQ(mml::measBandwidth("38544"), "MBW50");
    EXPECT_EQ(mml::measBandwidth("38350"), "MBW50");
    EXPECT_EQ(mml::measBandwidth("39292"), "MBW50");
    EXPECT_EQ(mml::measBandwidth("36275"), "MBW75");
    EXPECT_EQ(mml::measBandwidth("1425"), "MBW25");
    EXPECT_EQ(mml::measBandwidth("3656"), "MBW25");
    EXPECT_EQ(mml::measBandwidth("3683"), "MBW25");
    EXPECT_EQ(mml::measBandwidth("37900"), "MBW100");
    EXPECT_EQ(mml::measBandwidth("3683 "), "MBW100");
    EXPECT_EQ(mml::measBandwidth(""), "MBW100");
}

TEST_F(Generators, CarrierAddSeesThePlanAsItIsNow) {
    EXPECT_EQ(familiesOf(addCarrier(true, false, "己-1", "己-11")), Lines{"7"});
    // The engineer edits the plan between two runs; the size stays the same.
    std::string ini = test::readFile(session.folder.earfcnIni());
    ini.replace(ini.find("=7\r\n"), 4, "=8\r\n");
    test::writeFile(session.folder.earfcnIni(), ini);
    EXPECT_EQ(familiesOf(addCarrier(true, false, "己-1", "己-11")), Lines{"8"});
}

// Every row of the band-pair family table, walked with one carrier per list
// so that exactly one row can apply: the line must carry that row's family
// in the area types the row applies to, and nothing else.
class FamilyTable : public ::testing::Test {
protected:
    TempDir dir;
    Session session{dir.path()};
    RecordingFeedback fb;

    void SetUp() override {
        std::vector<Record> cells;
        std::int32_t id = 0;
        for (const char* earfcn : {"100", "101", "200", "201", "301", "302", "303", "400", "401"})
            cells.push_back(cell4G(++id, {std::string("站") + earfcn, std::string("c") + earfcn,
                                          "0", std::to_string(id), "1", earfcn, "1", "1"}));
        test::useLibrary(session, "f.edb", LibraryKind::Lte, cells);
        std::string ini =
            "[E频段频点配置]\r\nE频段频点=100|101\r\n"
            "[A-D频段频点配置]\r\nA-D频段频点=200|201\r\n"
            "[F1频段频点配置]\r\nF1频段频点=301\r\n"
            "[F2频段频点配置]\r\nF2频段频点=302\r\n"
            "[FDD1800频段频点配置]\r\nFDD180频段频点=303\r\n"
            "[FDD900频段频点配置]\r\nFDD900频段频点=400|401\r\n"
            "[E-E频段频点配置]\r\nE-E异频频点重先优先级=E-EP\r\nE-E异频频点高优先级重选门限=E-"
            "EH\r\n"
            "E_E_异频频点低优先级重选门限=E-EL\r\nE_E_异频切换事件=E-EE\r\nE_E_连接态频率偏置=E-"
            "EO\r\n";
        for (const char* prefix : {"E_A_D_",           "E_FDD1800_F_",   "E_FDD900_",
                                   "A_D_E_",           "A_D_A_D_",       "A_D_F1_CQ",
                                   "A_D_F2_CQ",        "A_D_FDD1800_CQ", "A_D_FDD900_CQ",
                                   "F1_F2_FDD1800_NC", "A_D_FDD900_NC",  "F_E_",
                                   "F_A_D_",           "F_F_",           "F_FDD900_CQ",
                                   "F_FDD900_NC",      "FDD900_E_",      "FDD900_A_D_",
                                   "FDD900_F1_CQ",     "FDD900_F2_CQ",   "FDD900_FDD1800_CQ",
                                   "FDD900_F_NC",      "FDD900_FDD900_"})
            ini += familySection(prefix);
        test::writeFile(session.folder.earfcnIni(), *codec::toGbk(ini).text);
    }

    std::string addCarrier(bool urban, const std::string& source, const std::string& target) {
        fb.answer(Question::UrbanArea, urban);
        fb.answer(Question::ReducedMeasurement, false);
        StringSink pane;
        runGenerator(*findGenerator("carrier-add"), session,
                     {"c" + source, "c" + target, {}, {}, {}, {}}, pane, fb);
        return pane.text();
    }
};

std::string familyLine(const std::string& source, const std::string& target,
                       const std::string& prefix) {
    if (prefix.empty()) return "";
    return "ADD EUTRANINTERNFREQ:LOCALCELLID=0 ,DLEARFCN=" + target +
           ",ULEARFCNCFGIND=NOT_CFG,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=" + prefix +
           "P,SPEEDDEPENDSPCFGIND=NOT_CFG,MEASBANDWIDTH=MBW100,THRESHXHIGH=" + prefix +
           "H,THRESHXLOW=" + prefix +
           "L,QRXLEVMIN=-62,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=" + prefix +
           "E ,QOFFSETFREQCONN=dB" + prefix +
           "O,QQUALMINCFGIND=NOT_CFG,INTERFREQCIOADJLIMITCFGIND=NOT_CFG;{站" + source + "}\r\n";
}

TEST_F(FamilyTable, EveryRowGivesItsFamilyInItsAreaTypes) {
    // Serving carrier, target carrier, family in urban areas, family in rural areas.
    // Lists: E 100|101, A-D 200|201, F1 301, F2 302, FDD1800 303, FDD900 400|401.
    const std::array<std::array<const char*, 4>, 22> cases = {{
        {"100", "101", "E-E", "E-E"},
        {"100", "200", "E_A_D_", "E_A_D_"},
        {"100", "301", "E_FDD1800_F_", "E_FDD1800_F_"},
        {"100", "302", "E_FDD1800_F_", "E_FDD1800_F_"},
        {"100", "303", "E_FDD1800_F_", "E_FDD1800_F_"},
        {"100", "400", "E_FDD900_", "E_FDD900_"},
        {"200", "100", "A_D_E_", "A_D_E_"},
        {"200", "201", "A_D_A_D_", "A_D_A_D_"},
        {"200", "301", "A_D_F1_CQ", "F1_F2_FDD1800_NC"},
        {"200", "302", "A_D_F2_CQ", "F1_F2_FDD1800_NC"},
        {"200", "303", "A_D_FDD1800_CQ", "F1_F2_FDD1800_NC"},
        {"200", "400", "A_D_FDD900_CQ", "A_D_FDD900_NC"},
        {"301", "100", "F_E_", "F_E_"},
        {"302", "200", "F_A_D_", "F_A_D_"},
        {"303", "301", "F_F_", "F_F_"},
        {"301", "400", "F_FDD900_CQ", "F_FDD900_NC"},
        {"400", "100", "FDD900_E_", "FDD900_E_"},
        {"400", "200", "FDD900_A_D_", "FDD900_A_D_"},
        {"400", "401", "FDD900_FDD900_", "FDD900_FDD900_"},
        {"400", "301", "FDD900_F1_CQ", "FDD900_F_NC"},
        {"400", "302", "FDD900_F2_CQ", "FDD900_F_NC"},
        {"400", "303", "FDD900_FDD1800_CQ", "FDD900_F_NC"},
    }};
    std::set<std::string> families;
    for (const auto& [source, target, urban, rural] : cases) {
        EXPECT_EQ(addCarrier(true, source, target), familyLine(source, target, urban))
            << source << "->" << target << " urban";
        EXPECT_EQ(addCarrier(false, source, target), familyLine(source, target, rural))
            << source << "->" << target << " rural";
        families.insert({urban, rural});
    }
    EXPECT_EQ(families.size(), plankeys::kFamilyCount);  // all 24 families were reached
}
