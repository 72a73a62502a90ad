// The 2G page's eighteen generators. Every expected line is written out by
// hand from the command templates.

#include <gtest/gtest.h>

#include <set>

#include "core/app/generators.h"
#include "core/base/textcodec.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using Lines = std::vector<std::string>;

namespace {

class Geran : public ::testing::Test {
protected:
    test::Workspace ws;
    RecordingFeedback fb;

    void SetUp() override {
        // 基站名, 小区名, 本地小区标识, 基站号, 小区标识, 频点, 物理小区标识, TAC号
        test::useLibrary(
            ws.session, "a.edb", LibraryKind::Lte,
            {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
             test::cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38400", "101", "2002"})});
        // 基站名, 小区名, 小区LAC, 小区CI, BCCH频点, 小区网络色码, 小区基站色码
        test::useLibrary(ws.session, "g.edb", LibraryKind::Gsm,
                         {test::cell2G(1, {"G站", "G1", "4501", "10001", "60", "1", "2"}),
                          test::cell2G(2, {"G站", "G,2\"", "4502", "10002", "61", "3", "4"})});
        writeSettings("3", "GSM_dcs1800");
        ws.session.reload2GSettings();  // as the page change does
    }

    void writeSettings(const std::string& group, const std::string& band) {
        test::writeFile(ws.session.folder.ini2G(),
                        *codec::toGbk("[Config]\r\n开始频点=512\r\nBCCH组标识=" + group +
                                      "\r\nGSM_dcs1800=" + band +
                                      "\r\nGERAN系统版本信息=R99\r\n位置区域码配置指示=CFG\r\n")
                             .text);
    }

    // Runs a generator of the 2G page and gives the pane's text.
    std::string run(std::string_view name, bool oneToMany, const std::string& sources,
                    const std::string& targets, bool* completed = nullptr) {
        const Generator* g = findGenerator(name, oneToMany);
        if (!g) throw std::invalid_argument("no generator " + std::string(name));
        StringSink pane;
        mml::PageInput input;
        input.sourceText = sources;
        input.targetText = targets;
        const bool done = runGenerator(*g, ws.session, input, pane, fb);
        if (completed) *completed = done;
        return pane.text();
    }
};

const std::string kExternal =
    " GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10001,LAC=4501,RACCFGIND=CFG,RAC=0,"
    "BANDINDICATOR=GSM_dcs1800,GERANARFCN=60,NETWORKCOLOURCODE=1,BASESTATIONCOLOURCODE=2,"
    "CELLNAME=\"G1\";{站甲}\r\n";

}  // namespace

// The nine commands of both families for the pair 甲-1 / G1. The families
// differ only in the RMV GERANNCELL line, which one-to-many writes with the
// PLMN.
TEST_F(Geran, EveryCommandOfBothFamilies) {
    const struct {
        const char* name;
        std::string oneToOne;
        std::string oneToMany;
    } cases[] = {
        {"geran-group-add",
         "ADD GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=3,GERANVERSION=R99,STARTINGARFCN=512,"
         "BANDINDICATOR=GSM_dcs1800,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=2,"
         "PMAXGERANCFGIND=NOT_CFG,THRESHXLOW=10,ConnFreqPriority=8;{站甲}\r\n",
         ""},
        {"geran-arfcn-add",
         "ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=3,GERANARFCN=60;{站甲}\r\n", ""},
        {"geran-external-add", "ADD" + kExternal, ""},
        {"geran-ncell-add",
         "ADD GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=10001,"
         "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"甲-1\","
         "NEIGHBOURCELLNAME=\"G1\";{站甲}\r\n",
         ""},
        {"geran-external-mod", "MOD" + kExternal, ""},
        {"geran-ncell-rmv", "RMV GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001;{站甲}\r\n",
         "RMV "
         "GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=10001;{站甲}\r\n"},
        // Both families with the PLMN: the one-to-one line is not left with a
        // bare comma after the colon.
        {"geran-external-rmv",
         "RMV GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10001,LAC=4501;{站甲}\r\n", ""},
        {"geran-arfcn-rmv", "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,GERANARFCN=60;{站甲}\r\n", ""},
        {"geran-group-rmv", "RMV GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=3;{站甲}\r\n", ""},
    };
    std::set<const Generator*> covered;
    for (const auto& c : cases) {
        for (const bool oneToMany : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (oneToMany ? " one-to-many" : " one-to-one"));
            fb.shown.clear();
            bool completed = false;
            const std::string& line = oneToMany && !c.oneToMany.empty() ? c.oneToMany : c.oneToOne;
            EXPECT_EQ(run(c.name, oneToMany, "甲-1", "G1", &completed), line);
            EXPECT_TRUE(completed);
            EXPECT_EQ(fb.texts(), Lines{"脚本生成成功！！"});
            covered.insert(findGenerator(c.name, oneToMany));
        }
    }
    // Driven by the registry: every generator of the 2G page was walked.
    for (const Generator& g : generators()) {
        if (g.page == Page::Geran) {
            EXPECT_TRUE(covered.count(&g)) << g.unit;
        }
    }
}

TEST_F(Geran, OneToOnePairsLineByLineAndOneToManyIsSourceMajor) {
    EXPECT_EQ(run("geran-arfcn-rmv", false, "甲-1\r\n乙-1", "G1\r\nG,2\""),
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,GERANARFCN=60;{站甲}\r\n"
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=1,GERANARFCN=61;{站乙}\r\n");
    EXPECT_EQ(run("geran-ncell-add", true, "甲-1\r\n乙-1", "G1\r\nG,2\""),
              "ADD GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=10001,"
              "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"甲-1\","
              "NEIGHBOURCELLNAME=\"G1\";{站甲}\r\n"
              "ADD GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",LAC=4502,GERANCELLID=10002,"
              "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"甲-1\","
              "NEIGHBOURCELLNAME=\"G,2\"\";{站甲}\r\n"
              "ADD GERANNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",LAC=4501,GERANCELLID=10001,"
              "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"乙-1\","
              "NEIGHBOURCELLNAME=\"G1\";{站乙}\r\n"
              "ADD GERANNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",LAC=4502,GERANCELLID=10002,"
              "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"乙-1\","
              "NEIGHBOURCELLNAME=\"G,2\"\";{站乙}\r\n");
    // The group does not depend on the target: one line per combination.
    const std::string group = "RMV GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=3;{站甲}\r\n";
    EXPECT_EQ(run("geran-group-rmv", true, "甲-1", "G1\r\nG1\r\nG,2\""), group + group + group);
}

// The first missing cell ends the run: lines already made stay, no success
// message follows.
TEST_F(Geran, AMissingCellStopsTheRun) {
    bool completed = true;
    EXPECT_EQ(run("geran-arfcn-rmv", false, "甲-1\r\n无\r\n乙-1", "G1\r\nG1\r\nG1", &completed),
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,GERANARFCN=60;{站甲}\r\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Lines{"无小区不存在！"});

    fb.shown.clear();
    EXPECT_EQ(run("geran-arfcn-rmv", true, "甲-1\r\n乙-1", "G1\r\n无\r\nG1", &completed),
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,GERANARFCN=60;{站甲}\r\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Lines{"无小区不存在！"});
}

// One-to-one with fewer target lines than source lines: the missing target
// is a missing (empty) name, and the run stops there.
TEST_F(Geran, AShortTargetListStopsTheOneToOneRun) {
    bool completed = true;
    EXPECT_EQ(run("geran-arfcn-rmv", false, "甲-1\r\n乙-1", "G1", &completed),
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,GERANARFCN=60;{站甲}\r\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Lines{"小区不存在！"});
}

// With an empty target box one-to-many makes nothing but still looks every
// source up; one-to-one stops at the first source's missing target.
TEST_F(Geran, AnEmptyTargetBox) {
    bool completed = false;
    EXPECT_EQ(run("geran-ncell-add", true, "甲-1\r\n乙-1", "", &completed), "");
    EXPECT_TRUE(completed);
    EXPECT_EQ(fb.texts(), Lines{"脚本生成成功！！"});
    fb.shown.clear();
    EXPECT_EQ(run("geran-ncell-add", true, "甲-1\r\n无", "", &completed), "");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Lines{"无小区不存在！"});
    fb.shown.clear();
    EXPECT_EQ(run("geran-ncell-add", false, "甲-1", "", &completed), "");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Lines{"小区不存在！"});
    fb.shown.clear();
    EXPECT_EQ(run("geran-ncell-add", false, "", "", &completed), "");
    EXPECT_TRUE(completed);
}

// Buttons that reload read mu/2G.ini anew; the others use the values in
// memory, which the last reload (or page change) left there.
TEST_F(Geran, ReloadingButtonsAgainstValuesInMemory) {
    writeSettings("7", "GSM900");
    EXPECT_EQ(run("geran-group-rmv", false, "甲-1", "G1"),
              "RMV GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=3;{站甲}\r\n");
    EXPECT_NE(run("geran-external-add", false, "甲-1", "G1").find(",BANDINDICATOR=GSM_dcs1800,"),
              std::string::npos);
    // One-to-many ADD GERANEXTERNALCELL reloads, one-to-one does not.
    EXPECT_NE(run("geran-external-add", true, "甲-1", "G1").find(",BANDINDICATOR=GSM900,"),
              std::string::npos);
    EXPECT_EQ(run("geran-group-rmv", false, "甲-1", "G1"),
              "RMV GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=7;{站甲}\r\n");

    // No 2G.ini: a reload leaves every value empty, which the lines show as such.
    std::filesystem::remove(ws.session.folder.ini2G());
    EXPECT_EQ(run("geran-group-add", false, "甲-1", "G1"),
              "ADD GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=,GERANVERSION=,STARTINGARFCN=,"
              "BANDINDICATOR=,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=2,"
              "PMAXGERANCFGIND=NOT_CFG,THRESHXLOW=10,ConnFreqPriority=8;{站甲}\r\n");
    // The reload flags of both tables.
    const std::set<std::pair<std::string_view, bool>> reloading = {{"geran-group-add", false},
                                                                   {"geran-arfcn-add", false},
                                                                   {"geran-group-add", true},
                                                                   {"geran-arfcn-add", true},
                                                                   {"geran-external-add", true}};
    for (const Generator& g : generators()) {
        if (g.page == Page::Geran) {
            EXPECT_EQ(g.reloads2G, reloading.count({g.name, isOneToMany(g)}) == 1) << g.unit;
        }
    }
}
