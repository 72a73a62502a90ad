// The load-balancing page ("负载均衡优化工具"): its one generator copies the
// script to the clipboard. Every expected line is written out by hand from
// the command templates.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/app/generators.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::RecordingFeedback;
using Texts = std::vector<std::string>;

namespace {

// A clipboard that keeps what it is given, or refuses it.
class TestClipboard : public Clipboard {
public:
    bool refuses = false;
    int calls = 0;
    std::string text = "earlier";
    bool setText(std::string_view copied) override {
        ++calls;
        if (refuses) return false;
        text = copied;
        return true;
    }
};

constexpr const char* kWithNe = "负载均衡优化_选择框_是否带基站";
constexpr const char* kCellSwitch = "负载均衡优化_选择框_小区负载均衡开关";
constexpr const char* kModeSwitch = "负载均衡优化_选择框_模式开关";
constexpr const char* kUeMode = "负载均衡优化_单选框_用户数模式";
constexpr const char* kPrbMode = "负载均衡优化_单选框_PRB模式";
constexpr const char* kOverlap = "负载均衡优化_选择框_等覆盖脚本";

class LoadBalancing : public ::testing::Test {
protected:
    test::Workspace ws;
    RecordingFeedback fb;
    TestClipboard clipboard;
    std::set<std::string> ticked;
    // The threshold boxes, each with a value of its own so a wrong box shows.
    std::map<std::string, std::string> boxes = {
        {"负载均衡优化其它_编辑框_用户数门限", "51"},
        {"负载均衡优化其它_编辑框_能力缩放因子", "11"},
        {"负载均衡优化F1_编辑框_用户数门限", "41"},
        {"负载均衡优化F2_编辑框_用户数门限", "21"},
        {"负载均衡优化F2_编辑框_能力缩放因子", ""},
        {"负载均衡优化D_编辑框_用户数门限", "52"},
        {"负载均衡优化FDDG_编辑框_用户数门限", "42"},
        // The boxes the run never reads.
        {"负载均衡优化FDDD_编辑框_用户数门限", "99"},
        {"负载均衡优化F2_编辑框_用户偏置", "98"},
    };

    void SetUp() override {
        // 基站名, 小区名, 本地小区标识, 基站号, 小区标识, 频点, 物理小区标识, TAC号
        test::useLibrary(
            ws.session, "a.edb", LibraryKind::Lte,
            {test::cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
             test::cell4G(2, {"站甲", "甲-2", "1", "1001", "11", "38544", "101", "2001"}),
             test::cell4G(3, {"站乙", "乙-FDDD1", "2", "1002", "20", "1825", "102", "2002"}),
             test::cell4G(4, {"站丙", "丙-D", "3", "1003", "30", "37900", "103", "2003"}),
             test::cell4G(5, {"站丙", "丙-D2", "4", "1003", "31", "38098", "104", "2003"}),
             test::cell4G(6, {"站丙", "丙-D3", "5", "1003", "32", "40936", "105", "2003"}),
             test::cell4G(7, {"站丁", "丁-G", "6", "1004", "40", "3683", "106", "2004"}),
             test::cell4G(8, {"站戊", "戊-fddd", "7", "1005", "50", "38400", "107", "2005"})});
    }

    // Presses "生成脚本" with `names` in the name box; gives what was copied.
    std::string run(const std::string& names, bool* completed = nullptr,
                    Clipboard* board = nullptr) {
        const Generator* g = findGenerator("mlb");
        if (!g) throw std::invalid_argument("no generator mlb");
        StringSink pane;
        mml::PageInput input;
        input.sourceText = names;
        input.text = [this](std::string_view unit) {
            const auto it = boxes.find(std::string(unit));
            return it == boxes.end() ? std::string() : it->second;
        };
        input.ticked = [this](std::string_view unit) {
            return ticked.count(std::string(unit)) > 0;
        };
        const bool done = runGenerator(*g, ws.session, input, pane, fb, board ? board : &clipboard);
        if (completed) *completed = done;
        EXPECT_EQ(pane.text(), "");  // never a pane
        return clipboard.text;
    }
};

const std::string kCopied = "复制成功,直接粘贴！";

}  // namespace

TEST_F(LoadBalancing, TheRegistryRow) {
    const Generator* g = findGenerator("mlb");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->unit, "负载均衡优化_生成按钮");
    EXPECT_EQ(g->caption, "生成脚本");
    EXPECT_EQ(g->page, Page::LoadBalancing);
    EXPECT_EQ(g->success, "");
    EXPECT_EQ(g->names, Generator::Names::List);
    EXPECT_EQ(shapeName(g->shape), "own run");
    EXPECT_EQ(generatorForUnit("负载均衡优化_生成按钮"), g);
}

// Three names with only 等覆盖脚本: one line per ordered pair, in list order.
TEST_F(LoadBalancing, OverlapLinesForEveryOrderedPair) {
    ticked = {kOverlap};
    bool completed = false;
    const std::string copied = run("甲-1\r\n甲-2\r\n乙-FDDD1\r\n", &completed);
    EXPECT_TRUE(completed);
    EXPECT_EQ(
        copied,
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1001,"
        "CELLID=11,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"甲-2\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1002,"
        "CELLID=20,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"乙-FDDD1\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1001,"
        "CELLID=10,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-2\",NEIGHBOURCELLNAME=\"甲-1\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1002,"
        "CELLID=20,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-2\",NEIGHBOURCELLNAME=\"乙-FDDD1\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",ENODEBID=1001,"
        "CELLID=10,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"乙-FDDD1\",NEIGHBOURCELLNAME=\"甲-1\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=2,MCC=\"460\",MNC=\"00\",ENODEBID=1001,"
        "CELLID=11,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"乙-FDDD1\",NEIGHBOURCELLNAME=\"甲-2\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n");
    EXPECT_EQ(fb.texts(), Texts{kCopied});
    EXPECT_EQ(clipboard.calls, 1);
}

// A name listed twice is never paired with itself; the other names pair with
// each of its entries.
TEST_F(LoadBalancing, ANameListedTwiceIsNotItsOwnNeighbour) {
    ticked = {kOverlap, kWithNe};
    const std::string toSecond =
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=11,"
        "CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-1\",NEIGHBOURCELLNAME=\"甲-2\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;{站甲}\r\n";
    const std::string toFirst =
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=10,"
        "CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-2\",NEIGHBOURCELLNAME=\"甲-1\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;{站甲}\r\n";
    EXPECT_EQ(run("甲-1\r\n甲-2\r\n甲-1"), toSecond + toFirst + toFirst + toSecond);
    // The same name twice and nothing else: no pair at all.
    bool completed = true;
    run("甲-1\r\n甲-1\r\n", &completed);
    EXPECT_FALSE(completed);
    EXPECT_EQ(clipboard.calls, 1);
    EXPECT_EQ(fb.texts(), (Texts{kCopied, "没有脚本，复制个啥子嘛！！"}));
}

// An empty line is a name of its own: it is looked up, and the run ends.
TEST_F(LoadBalancing, AnEmptyLineEndsTheRunWithNothingCopied) {
    ticked = {kCellSwitch, kOverlap};
    bool completed = true;
    EXPECT_EQ(run("甲-1\r\n\r\n甲-2\r\n", &completed), "earlier");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Texts{"小区不存在！"});
    EXPECT_EQ(clipboard.calls, 0);
    // Alone, it is looked up as the cell of its own line.
    fb.shown.clear();
    EXPECT_EQ(run("\r\n", &completed), "earlier");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Texts{"小区不存在！"});
}

// Lines made before a missing name are dropped with it; the other names are
// looked up even when 等覆盖脚本 is not ticked.
TEST_F(LoadBalancing, AMissingNameEndsTheRunWhereverItIsListed) {
    ticked = {kCellSwitch};
    bool completed = true;
    EXPECT_EQ(run("甲-1\r\n甲-2\r\n无此小区\r\n", &completed), "earlier");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Texts{"无此小区小区不存在！"});
    fb.shown.clear();
    EXPECT_EQ(run("无此小区\r\n甲-1\r\n", &completed), "earlier");
    EXPECT_EQ(fb.texts(), Texts{"无此小区小区不存在！"});
    EXPECT_EQ(clipboard.calls, 0);
}

TEST_F(LoadBalancing, CellSwitchLinesWithAndWithoutTheNe) {
    ticked = {kCellSwitch};
    const std::string plain =
        "MOD "
        "CELLALGOSWITCH:LOCALCELLID=3,MLBALGOSWITCH=InterFreqMlbSwitch-1&InterFreqIdleMlbSwitch-1,"
        "ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1;\r\n"
        "MOD "
        "INTERFREQHOGROUP:LOCALCELLID=3,INTERFREQHOGROUPID=0,INTERFREQLOADBASEDHOA4THDRSRP=-108;"
        "\r\n";
    EXPECT_EQ(run("丙-D"), plain);
    ticked.insert(kWithNe);
    EXPECT_EQ(run("丙-D\r\n"),
              "MOD CELLALGOSWITCH:LOCALCELLID=3,MLBALGOSWITCH=InterFreqMlbSwitch-1&"
              "InterFreqIdleMlbSwitch-1,ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1;{站丙}\r\n"
              "MOD INTERFREQHOGROUP:LOCALCELLID=3,INTERFREQHOGROUPID=0,"
              "INTERFREQLOADBASEDHOA4THDRSRP=-108;{站丙}\r\n");
    EXPECT_EQ(fb.texts(), (Texts{kCopied, kCopied}));
}

// 用户数模式: the threshold and scale factor of the cell's band, as typed; F2
// has its own (empty by default) scale factor.
TEST_F(LoadBalancing, UserNumberModeTakesTheBoxesOfTheCellsBand) {
    ticked = {kModeSwitch, kUeMode};
    auto line = [](const char* id, const char* ue, const char* scale) {
        return std::string("MOD CELLMLB:LOCALCELLID=") + id +
               ",MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=" + ue +
               ",MLBUENUMOFFSET=5,MLBMAXUENUM=20,MLBUESELECTPRBTHD=99,UENUMDIFFTHD=5,"
               "INTERFREQUETRSFTYPE=IdleUE-1,INTERFREQIDLEMLBUENUMTHD=55,INTERFREQLOADEVALPRD=5,"
               "LOADBALANCENCELLSCOPE=ADAPTIVE,MLBUESELECTPUNISHTIMER=60,"
               "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,CELLCAPACITYSCALEFACTOR=" +
               scale + ";\r\n";
    };
    EXPECT_EQ(run("甲-1\r\n甲-2\r\n乙-FDDD1\r\n丙-D\r\n丙-D2\r\n丙-D3\r\n丁-G\r\n"),
              line("0", "41", "11") + line("1", "21", "") + line("2", "51", "11") +
                  line("3", "52", "11") + line("4", "52", "11") + line("5", "52", "11") +
                  line("6", "42", "11"));
    // The F2 line, whole, with the empty default scale factor.
    EXPECT_EQ(run("甲-2"),
              "MOD CELLMLB:LOCALCELLID=1,MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=21,"
              "MLBUENUMOFFSET=5,MLBMAXUENUM=20,MLBUESELECTPRBTHD=99,UENUMDIFFTHD=5,"
              "INTERFREQUETRSFTYPE=IdleUE-1,INTERFREQIDLEMLBUENUMTHD=55,INTERFREQLOADEVALPRD=5,"
              "LOADBALANCENCELLSCOPE=ADAPTIVE,MLBUESELECTPUNISHTIMER=60,"
              "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,CELLCAPACITYSCALEFACTOR=;\r\n");
    // The boxes as typed, nothing trimmed.
    boxes["负载均衡优化F2_编辑框_能力缩放因子"] = " 7";
    EXPECT_EQ(run("甲-2"), line("1", "21", " 7"));
    // With both radio buttons selected, 用户数模式 wins.
    ticked.insert(kPrbMode);
    EXPECT_EQ(run("丁-G"), line("6", "42", "11"));
}

// PRB模式 with the NE: the eNodeB lines for every cell, the FDDD variant by
// the listed name (case-sensitive), the carrier line only on 38400.
TEST_F(LoadBalancing, PrbModeAndItsFdddVariant) {
    ticked = {kModeSwitch, kPrbMode, kWithNe};
    const std::string common =
        "MOD ENODEBALGOSWITCH:CALBALGOSWITCH=DlCaLbAlgoSwitch-1;{站甲}\r\n"
        "MOD CELLMLBHO:LOCALCELLID=0,MLBMATCHOTHERFEATUREMODE=HoAdmitSwitch-1;{站甲}\r\n"
        "MOD RRCCONNSTATETIMER:T320FORLOADBALANCE=min180;{站甲}\r\n";
    const std::string mlb =
        "MOD CELLMLB:LOCALCELLID=0,INTERFREQMLBTHD=35,LOADOFFSET=0,LOADDIFFTHD=2,"
        "LOADTRANSFERFACTOR=0,MLBTRIGGERMODE=PRB_ONLY,MLBMAXUENUM=10,MLBUESELECTPRBTHD=0,"
        "MLBMINUENUMTHD=0,MLBMINUENUMOFFSET=0,"
        "INTERFREQUETRSFTYPE=SynchronizedUE-1&IdleUE-1&PrbMlbSynchronizedUE-1&PrbMlbIdleUE-1,"
        "INTERFREQLOADEVALPRD=5,FREQSELECTSTRATEGY=FAIRSTRATEGY,LOADBALANCENCELLSCOPE=ALL,"
        "IDLEUESELFREQSCOPE=ALLFREQ,PRBLOADCALCMETHOD=PRB_USAGE,MLBUESELECTPUNISHTIMER=45,"
        "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,MULTIRRUMODE=PrbUsage-1,"
        "INTERFREQOFFLOADOFFSET=0,MLBTRIGJUDGEPERIOD=5,INTERFREQMLBULTHD=30;{站甲}\r\n"
        "MOD CELLMLBUESEL:LOCALCELLID=0,UESELECTPRBPRIO=0,UESELECTQCIPRIO=0,UESELECTARPPRIO=0,"
        "UESELECTDLMCSPRIO=0;{站甲}\r\n";
    const std::string carrier =
        "MOD EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=38544,INTERFREQMLBDLPRBOFFSET=10,"
        "INTERFREQMLBULPRBOFFSET=10;{站甲}\r\n";
    EXPECT_EQ(run("甲-1"), common + mlb + carrier);
    // Not on 38400: no carrier line.
    EXPECT_EQ(run("甲-2"),
              "MOD ENODEBALGOSWITCH:CALBALGOSWITCH=DlCaLbAlgoSwitch-1;{站甲}\r\n"
              "MOD CELLMLBHO:LOCALCELLID=1,MLBMATCHOTHERFEATUREMODE=HoAdmitSwitch-1;{站甲}\r\n"
              "MOD RRCCONNSTATETIMER:T320FORLOADBALANCE=min180;{站甲}\r\n"
              "MOD CELLMLB:LOCALCELLID=1,INTERFREQMLBTHD=35,LOADOFFSET=0,LOADDIFFTHD=2,"
              "LOADTRANSFERFACTOR=0,MLBTRIGGERMODE=PRB_ONLY,MLBMAXUENUM=10,MLBUESELECTPRBTHD=0,"
              "MLBMINUENUMTHD=0,MLBMINUENUMOFFSET=0,"
              "INTERFREQUETRSFTYPE=SynchronizedUE-1&IdleUE-1&PrbMlbSynchronizedUE-1&PrbMlbIdleUE-1,"
              "INTERFREQLOADEVALPRD=5,FREQSELECTSTRATEGY=FAIRSTRATEGY,LOADBALANCENCELLSCOPE=ALL,"
              "IDLEUESELFREQSCOPE=ALLFREQ,PRBLOADCALCMETHOD=PRB_USAGE,MLBUESELECTPUNISHTIMER=45,"
              "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,MULTIRRUMODE=PrbUsage-1,"
              "INTERFREQOFFLOADOFFSET=0,MLBTRIGJUDGEPERIOD=5,INTERFREQMLBULTHD=30;{站甲}\r\n"
              "MOD CELLMLBUESEL:LOCALCELLID=1,UESELECTPRBPRIO=0,UESELECTQCIPRIO=0,"
              "UESELECTARPPRIO=0,UESELECTDLMCSPRIO=0;{站甲}\r\n");
    EXPECT_EQ(run("乙-FDDD1"),
              "MOD ENODEBALGOSWITCH:CALBALGOSWITCH=DlCaLbAlgoSwitch-1;{站乙}\r\n"
              "MOD CELLMLBHO:LOCALCELLID=2,MLBMATCHOTHERFEATUREMODE=HoAdmitSwitch-1;{站乙}\r\n"
              "MOD RRCCONNSTATETIMER:T320FORLOADBALANCE=min180;{站乙}\r\n"
              "MOD CELLMLB:LOCALCELLID=2,INTERFREQMLBTHD=65,LOADOFFSET=0,LOADDIFFTHD=2,"
              "LOADTRANSFERFACTOR=0,MLBTRIGGERMODE=PRB_ONLY,MLBMAXUENUM=20,MLBUESELECTPRBTHD=0,"
              "MLBMINUENUMTHD=0,MLBMINUENUMOFFSET=0,"
              "INTERFREQUETRSFTYPE=SynchronizedUE-1&IdleUE-1&PrbMlbSynchronizedUE-1&PrbMlbIdleUE-1,"
              "INTERFREQLOADEVALPRD=5,FREQSELECTSTRATEGY=FAIRSTRATEGY,LOADBALANCENCELLSCOPE=ALL,"
              "IDLEUESELFREQSCOPE=ALLFREQ,PRBLOADCALCMETHOD=PRB_USAGE,MLBUESELECTPUNISHTIMER=45,"
              "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,MULTIRRUMODE=PrbUsage-1,"
              "INTERFREQOFFLOADOFFSET=0,MLBTRIGJUDGEPERIOD=5,INTERFREQMLBULTHD=30,"
              "UEDLPRBLOWTHDOFFSET=100,UEULPRBLOWTHDOFFSET=100;{站乙}\r\n"
              "MOD CELLMLBUESEL:LOCALCELLID=2,UESELECTPRBPRIO=255;{站乙}\r\n");
    // "fddd" is not "FDDD": the ordinary lines, and the 38400 carrier line.
    const std::string lower = run("戊-fddd");
    EXPECT_NE(lower.find("INTERFREQMLBTHD=35,"), std::string::npos);
    EXPECT_NE(lower.find("MOD EUTRANINTERNFREQ:LOCALCELLID=7,DLEARFCN=38544,"
                         "INTERFREQMLBDLPRBOFFSET=10,INTERFREQMLBULPRBOFFSET=10;{站戊}\r\n"),
              std::string::npos);
    EXPECT_EQ(lower.find("FDDD"), std::string::npos);
}

// 负载模式开关 with neither radio button selected, or a radio button without
// the switch: no mode lines, so nothing to copy.
TEST_F(LoadBalancing, NoModeLinesWithoutSwitchAndRadioButton) {
    ticked = {kModeSwitch};
    bool completed = true;
    EXPECT_EQ(run("甲-1\r\n", &completed), "earlier");
    EXPECT_FALSE(completed);
    ticked = {kUeMode, kPrbMode};
    EXPECT_EQ(run("甲-1\r\n", &completed), "earlier");
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), (Texts{"没有脚本，复制个啥子嘛！！", "没有脚本，复制个啥子嘛！！"}));
    EXPECT_EQ(clipboard.calls, 0);
}

TEST_F(LoadBalancing, AnEmptyListHasNothingToCopy) {
    ticked = {kCellSwitch, kOverlap};
    bool completed = true;
    run("", &completed);
    EXPECT_FALSE(completed);
    EXPECT_EQ(fb.texts(), Texts{"没有脚本，复制个啥子嘛！！"});
}

// A clipboard that refuses, or none at all, is a failure and is reported.
TEST_F(LoadBalancing, ARefusedCopyIsReportedAsAFailure) {
    ticked = {kCellSwitch};
    clipboard.refuses = true;
    bool completed = true;
    EXPECT_EQ(run("甲-1", &completed), "earlier");
    EXPECT_FALSE(completed);
    EXPECT_EQ(clipboard.calls, 1);

    const Generator* g = findGenerator("mlb");
    ASSERT_TRUE(g);
    StringSink pane;
    mml::PageInput input;
    input.sourceText = "甲-1";
    input.ticked = [](std::string_view unit) { return unit == kCellSwitch; };
    EXPECT_FALSE(runGenerator(*g, ws.session, input, pane, fb, nullptr));
    EXPECT_EQ(fb.texts(), (Texts{"复制内容失败", "复制内容失败"}));
}

// All switches at once: per name, the switch lines, the mode lines, then the
// overlap lines, each with the NE of the listed cell.
TEST_F(LoadBalancing, EverySwitchInOrderPerName) {
    ticked = {kCellSwitch, kModeSwitch, kUeMode, kOverlap, kWithNe};
    EXPECT_EQ(
        run("丁-G\r\n甲-2\r\n"),
        "MOD "
        "CELLALGOSWITCH:LOCALCELLID=6,MLBALGOSWITCH=InterFreqMlbSwitch-1&InterFreqIdleMlbSwitch-1,"
        "ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1;{站丁}\r\n"
        "MOD "
        "INTERFREQHOGROUP:LOCALCELLID=6,INTERFREQHOGROUPID=0,INTERFREQLOADBASEDHOA4THDRSRP=-108;"
        "{站丁}\r\n"
        "MOD CELLMLB:LOCALCELLID=6,MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=42,"
        "MLBUENUMOFFSET=5,MLBMAXUENUM=20,MLBUESELECTPRBTHD=99,UENUMDIFFTHD=5,"
        "INTERFREQUETRSFTYPE=IdleUE-1,INTERFREQIDLEMLBUENUMTHD=55,INTERFREQLOADEVALPRD=5,"
        "LOADBALANCENCELLSCOPE=ADAPTIVE,MLBUESELECTPUNISHTIMER=60,"
        "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,CELLCAPACITYSCALEFACTOR=11;{站丁}\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=6,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=11,"
        "CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"丁-G\",NEIGHBOURCELLNAME=\"甲-2\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;{站丁}\r\n"
        "MOD "
        "CELLALGOSWITCH:LOCALCELLID=1,MLBALGOSWITCH=InterFreqMlbSwitch-1&InterFreqIdleMlbSwitch-1,"
        "ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1;{站甲}\r\n"
        "MOD "
        "INTERFREQHOGROUP:LOCALCELLID=1,INTERFREQHOGROUPID=0,INTERFREQLOADBASEDHOA4THDRSRP=-108;"
        "{站甲}\r\n"
        "MOD CELLMLB:LOCALCELLID=1,MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=21,"
        "MLBUENUMOFFSET=5,MLBMAXUENUM=20,MLBUESELECTPRBTHD=99,UENUMDIFFTHD=5,"
        "INTERFREQUETRSFTYPE=IdleUE-1,INTERFREQIDLEMLBUENUMTHD=55,INTERFREQLOADEVALPRD=5,"
        "LOADBALANCENCELLSCOPE=ADAPTIVE,MLBUESELECTPUNISHTIMER=60,"
        "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,CELLCAPACITYSCALEFACTOR=;{站甲}\r\n"
        "MOD EUTRANINTERFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1004,CELLID=40,"
        "CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-2\",NEIGHBOURCELLNAME=\"丁-G\","
        "OVERLAPIND=YES,OVERLAPRANGE=SAME;{站甲}\r\n");
}
