// The script checker: one failing and one passing line per rule, the band
// and offset tables walked, the parser's leniency, the script-wide rules and
// the library rules.

#include "core/tools/scriptcheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <set>

#include "core/app/commandtable.h"
#include "core/base/flatindex.h"
#include "core/base/textcodec.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using namespace brindle::check;
using Lines = std::vector<std::string>;

namespace {

// Every finding as the command line prints it, for a script named "s".
Lines found(std::string_view script, const Library* lte = nullptr, const Library* gsm = nullptr) {
    const CheckContext context{&programCommands(), lte, gsm};
    Lines out;
    for (const Finding& f : checkScript(script, context)) out.push_back(formatFinding("s", f));
    return out;
}

// The rule ids found, in order.
Lines ids(std::string_view script, const Library* lte = nullptr, const Library* gsm = nullptr) {
    const CheckContext context{&programCommands(), lte, gsm};
    Lines out;
    for (const Finding& f : checkScript(script, context)) out.emplace_back(f.rule->id);
    return out;
}

// A line as the templates write it, with its parameters in the middle.
std::string external(std::string_view params, std::string_view ne = "站甲") {
    return "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\"," + std::string(params) +
           ",CELLNAME=\"乙1\";{" + std::string(ne) + "}\r\n";
}

Library library(LibraryKind kind, std::vector<Record> records) {
    std::vector<std::int64_t> rowids(records.size());
    for (std::size_t i = 0; i < rowids.size(); ++i) rowids[i] = static_cast<std::int64_t>(i + 1);
    return Library("l.edb", kind, std::move(records), std::move(rowids));
}

// 站甲: two cells on carrier 100 and one on 200 sharing PCI 7 with 甲1 (a
// co-PCI carrier of its sector).
Library network4G() {
    return library(LibraryKind::Lte,
                   {test::cell4G(1, {"站甲", "甲1", "0", "1001", "1", "100", "7", "1"}),
                    test::cell4G(2, {"站甲", "甲2", "1", "1001", "2", "100", "8", "1"}),
                    test::cell4G(3, {"站甲", "甲3", "2", "1001", "3", "200", "7", "1"}),
                    test::cell4G(4, {"站乙", "乙1", "0", "1002", "1", "100", "9", "1"})});
}

Library network2G() {
    return library(LibraryKind::Gsm,
                   {test::cell2G(1, {"站G", "G1", "4501", "10001", "518", "2", "6"})});
}

}  // namespace

TEST(RuleTable, IdsAreUniqueAndEveryRuleHasAReason) {
    std::set<std::string_view> seen;
    for (const Rule& r : rules()) {
        EXPECT_TRUE(seen.insert(r.id).second) << r.id;
        EXPECT_FALSE(r.reason.empty()) << r.id;
        EXPECT_EQ(findRule(r.id), &r);
    }
    EXPECT_EQ(findRule("no-such-rule"), nullptr);
}

TEST(Shape, WellFormedLinesOfTheTemplatesPass) {
    // The blanks before a comma of ADD EUTRANINTERNFREQ are what the network
    // accepts from the program today.
    EXPECT_EQ(found("ADD EUTRANINTERNFREQ:LOCALCELLID=0 ,DLEARFCN=38400,ULEARFCNCFGIND=NOT_CFG,"
                    "INTERFREQHOEVENTTYPE=A4 ,QOFFSETFREQCONN=dB2;{站甲}\r\n"),
              Lines{});
    // A quoted name may hold commas, semicolons, braces and quotes.
    EXPECT_EQ(
        found("ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1,"
              "CELLID=1,LOCALCELLNAME=\"a,b;{c}\",NEIGHBOURCELLNAME=\"x\"y\";{站甲}\r\n"
              "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1,CELLID=1,"
              "DLEARFCN=100,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=0,CELLNAME=\"x\"y\";{站甲}"),
        Lines{});
}

TEST(Shape, BlankLinesCommentsAndAByteOrderMarkAreSkipped) {
    EXPECT_EQ(
        found("\xEF\xBB\xBF\r\n   \r\n// 注释：MOD CELL\r\nACT CELL:LOCALCELLID=1;{站甲}\r\n"),
        Lines{});
    // A "#" line is no comment in MML.
    EXPECT_EQ(ids("# ACT CELL:LOCALCELLID=1;{站甲}\r\n"), Lines{"syntax"});
}

TEST(Shape, MalformedLinesSayWhatIsWrong) {
    EXPECT_EQ(
        found("ACT CELL LOCALCELLID=1;{站甲}\r\n"
              "ACT CELL:LOCALCELLID=1{站甲}\r\n"
              "ACT CELL:LOCALCELLID;{站甲}\r\n"
              "ADD GERANEXTERNALCELL:CELLNAME=\"甲;{站甲}\r\n"
              "ACT CELL:LOCALCELLID=1;{站甲}x\r\n"
              "ACT CELL:LOCALCELLID=1;站甲\r\n"
              "ACT CELL:LOCALCELLID=1;{站甲\r\n"
              ":LOCALCELLID=1;{站甲}\r\n"
              "ACT :LOCALCELLID=1;{站甲}\r\n"
              "ACT CELL:=1;{站甲}\r\n"),
        (Lines{
            "s:1: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：对象名后缺少“:”",
            "s:2: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：参数表后缺少“;”",
            "s:3: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：参数缺少“=”："
            "LOCALCELLID",
            "s:4: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：引号没有闭合",
            "s:5: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：“}”后有多余内容",
            "s:6: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：“;”后应为{网元名}",
            "s:7: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：网元名缺少“}”",
            "s:8: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}："
            "行首应为命令字（ADD、MOD、RMV…）",
            "s:9: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：命令字后应为对象名",
            "s:10: error syntax: 行格式不对，应为 命令 对象:参数=值,…;{网元名}：“=”前缺少参数名",
        }));
}

TEST(Shape, LineEndsMustBeCrLfButTheLastLineMayHaveNone) {
    EXPECT_EQ(found("ACT CELL:LOCALCELLID=1;{站甲}\nACT CELL:LOCALCELLID=2;{站甲}"),
              Lines{"s:1: error line-end: 行尾不是回车换行（CR LF）"});
    EXPECT_EQ(found("ACT CELL:LOCALCELLID=1;{站甲}\r\nACT CELL:LOCALCELLID=2;{站甲}\r\n"), Lines{});
}

TEST(Shape, TheNeSuffix) {
    EXPECT_EQ(found("ACT CELL:LOCALCELLID=1;{}\r\nMOD RRCCONNSTATETIMER:T320FORLOADBALANCE=min180;"
                    "\r\nMOD RRCCONNSTATETIMER:T320FORLOADBALANCE=min180;{站甲}\r\n"),
              (Lines{"s:1: error empty-ne: 网元名为空（工参库中缺少基站名）",
                     "s:2: warning no-ne: 行末没有{网元名}，只能在已连接该网元的窗口中执行"}));
}

TEST(Shape, CommandsAndParametersComeFromTheTemplates) {
    EXPECT_EQ(
        found("ADD CELL:LOCALCELLID=1;{站甲}\r\n"
              "ACT CELL:LOCALCELLID=1,CELLNAME=\"x\";{站甲}\r\n"
              "ACT CELL:LOCALCELLID=1,LOCALCELLID=2;{站甲}\r\n"
              "act CELL:LOCALCELLID=3;{站甲}\r\n"),
        (Lines{"s:1: warning unknown-command: Brindle不生成这条命令，未核对它的参数：ADD CELL",
               "s:2: warning unknown-parameter: 这条命令不带这个参数，请核对参数名：CELLNAME",
               "s:3: error duplicate-parameter: 同一个参数在一行中出现两次：LOCALCELLID",
               "s:4: warning unknown-command: Brindle不生成这条命令，未核对它的参数：act CELL"}));
    const CommandTable& table = programCommands();
    EXPECT_TRUE(table.knows("RMV", "GERANRANSHARE"));
    EXPECT_FALSE(table.knows("ADD", "CELL"));
    // Both forms of a command are learnt: the overlap parameters of ADD.
    const auto* add = table.parameters("ADD", "EUTRANINTRAFREQNCELL");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(*add,
              (std::set<std::string, std::less<>>{
                  "CELLID", "CELLINDIVIDUALOFFSET", "ENODEBID", "LOCALCELLID", "LOCALCELLNAME",
                  "MCC", "MNC", "NEIGHBOURCELLNAME", "OVERLAPIND", "OVERLAPRANGE"}));
}

TEST(Values, EmptyValues) {
    EXPECT_EQ(found("RMV EUTRANINTERNFREQ:LOCALCELLID=,DLEARFCN=;{站甲}\r\n"),
              (Lines{"s:1: error empty-value: 参数值为空：LOCALCELLID=",
                     "s:1: error empty-value: 参数值为空：DLEARFCN="}));
    EXPECT_EQ(found("RMV EUTRANINTERNFREQ:LOCALCELLID=0 , DLEARFCN= 100 ;{站甲}\r\n"), Lines{});
}

TEST(Values, NumbersWhereNumbersAreNeeded) {
    EXPECT_EQ(found("MOD CELL:LOCALCELLID=1a,PHYCELLID=1.5;{站甲}\r\n"
                    "MOD CELL:LOCALCELLID=+1,PHYCELLID=0x1;{站甲}\r\n"),
              (Lines{"s:1: error not-number: 参数值应为整数：LOCALCELLID=1a",
                     "s:1: error not-number: 参数值应为整数：PHYCELLID=1.5",
                     "s:2: error not-number: 参数值应为整数：LOCALCELLID=+1",
                     "s:2: error not-number: 参数值应为整数：PHYCELLID=0x1"}));
}

TEST(Values, RangesAtTheirEdges) {
    struct Case {
        std::string params;
        bool ok;
    };
    // One parameter a row: each edge inside and just outside.
    const Case cases[] = {
        {"LOCALCELLID=0,PHYCELLID=0", true},    {"LOCALCELLID=255,PHYCELLID=503", true},
        {"LOCALCELLID=-1,PHYCELLID=0", false},  {"LOCALCELLID=256,PHYCELLID=0", false},
        {"LOCALCELLID=0,PHYCELLID=504", false}, {"LOCALCELLID=0,PHYCELLID=-1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ids("MOD CELL:" + c.params + ";{站甲}\r\n").empty(), c.ok) << c.params;
    const Case externals[] = {
        {"ENODEBID=0,CELLID=0,DLEARFCN=0,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=0", true},
        {"ENODEBID=1048575,CELLID=255,DLEARFCN=0,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=65535",
         true},
        {"ENODEBID=1048576,CELLID=0,DLEARFCN=0,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=0", false},
        {"ENODEBID=0,CELLID=256,DLEARFCN=0,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=0", false},
        {"ENODEBID=0,CELLID=0,DLEARFCN=0,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=65536", false},
        {"ENODEBID=0,CELLID=0,DLEARFCN=0,ULEARFCNCFGIND=NOT_CFG,PHYCELLID=0,TAC=-1", false},
    };
    for (const Case& c : externals) EXPECT_EQ(ids(external(c.params)).empty(), c.ok) << c.params;
    const auto gsm = [](std::string_view params) {
        return "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\"," + std::string(params) +
               ",RACCFGIND=CFG,RAC=0,BANDINDICATOR=GSM_dcs1800,GERANARFCN=600,CELLNAME=\"G\";{站甲}"
               "\r\n";
    };
    const Case gsms[] = {
        {"GERANCELLID=0,LAC=1,NETWORKCOLOURCODE=0,BASESTATIONCOLOURCODE=0", true},
        {"GERANCELLID=65535,LAC=65533,NETWORKCOLOURCODE=7,BASESTATIONCOLOURCODE=7", true},
        {"GERANCELLID=65536,LAC=1,NETWORKCOLOURCODE=0,BASESTATIONCOLOURCODE=0", false},
        {"GERANCELLID=0,LAC=0,NETWORKCOLOURCODE=0,BASESTATIONCOLOURCODE=0", false},
        {"GERANCELLID=0,LAC=65534,NETWORKCOLOURCODE=0,BASESTATIONCOLOURCODE=0", false},
        {"GERANCELLID=0,LAC=1,NETWORKCOLOURCODE=8,BASESTATIONCOLOURCODE=0", false},
        {"GERANCELLID=0,LAC=1,NETWORKCOLOURCODE=0,BASESTATIONCOLOURCODE=8", false},
    };
    for (const Case& c : gsms) EXPECT_EQ(ids(gsm(c.params)).empty(), c.ok) << c.params;
    EXPECT_EQ(found("MOD CELL:LOCALCELLID=0,PHYCELLID=504;{站甲}\r\n"),
              Lines{"s:1: error range: 参数值超出取值范围：PHYCELLID=504（0–503）"});
}

TEST(Values, EveryEarfcnBandAtItsEdges) {
    const auto line = [](long earfcn) {
        return "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=" + std::to_string(earfcn) +
               ";{站甲}\r\n";
    };
    const auto covered = [](long earfcn) {
        for (const EarfcnBand& b : earfcnBands())
            if (b.first <= earfcn && earfcn <= b.last) return true;
        return false;
    };
    // Some bands' downlink EARFCN ranges as TS 36.101 table 5.7.3-1 gives
    // them: the checker's table holds each, and each edge passes.
    const std::array<long, 3> spots[] = {
        {1, 0, 599},        {3, 1200, 1949},    {7, 2750, 3449},    {11, 4750, 4949},
        {12, 5010, 5179},   {32, 9920, 10359},  {33, 36000, 36199}, {38, 37750, 38249},
        {40, 38650, 39649}, {41, 39650, 41589}, {53, 60140, 60254}, {65, 65536, 66435},
        {88, 70596, 70645},
    };
    for (const auto& [band, first, last] : spots) {
        const auto row = std::find_if(earfcnBands().begin(), earfcnBands().end(),
                                      [&](const EarfcnBand& b) { return b.band == band; });
        ASSERT_NE(row, earfcnBands().end()) << "band " << band;
        EXPECT_EQ((std::array<long, 2>{row->first, row->last}), (std::array<long, 2>{first, last}))
            << "band " << band;
        for (long inside : {first, first + 1, last - 1, last})
            EXPECT_EQ(ids(line(inside)), Lines{}) << inside;
    }
    // Every row of the checker's own table holds at its edges.
    for (const EarfcnBand& b : earfcnBands()) {
        EXPECT_EQ(ids(line(b.first)), Lines{}) << "band " << b.band;
        EXPECT_EQ(ids(line(b.last)), Lines{}) << "band " << b.band;
        if (!covered(b.first - 1)) {
            EXPECT_EQ(ids(line(b.first - 1)), Lines{"earfcn-band"}) << "band " << b.band;
        }
        if (!covered(b.last + 1)) {
            EXPECT_EQ(ids(line(b.last + 1)), Lines{"earfcn-band"}) << "band " << b.band;
        }
    }
    // Landmarks written from the table by hand: the carriers of this network,
    // the reserved bands 15/16 and the gap before the TDD bands.
    for (long ok : {38400L, 38544L, 37900L, 38098L, 40936L, 38950L, 39292L, 1250L, 1850L, 3683L,
                    100L, 36275L, 65536L, 67400L, 70645L})
        EXPECT_EQ(ids(line(ok)), Lines{}) << ok;
    // Just outside the bands above where no other band begins (below band 1,
    // between 11 and 12, 32 and 33, after 53, before 65, after 88), and in
    // the gaps of the reserved bands 15/16 and before band 23.
    for (long bad :
         {-1L, 4950L, 5000L, 5009L, 5500L, 7450L, 10360L, 35999L, 60255L, 65535L, 70646L})
        EXPECT_EQ(ids(line(bad)), Lines{"earfcn-band"}) << bad;
    EXPECT_EQ(
        found(line(10360)),
        Lines{"s:1: error earfcn-band: 频点不在3GPP TS 36.101的任何E-UTRA频段内：DLEARFCN=10360"});
}

TEST(Values, GsmArfcnBands) {
    const auto line = [](long arfcn) {
        return "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,GERANARFCN=" + std::to_string(arfcn) +
               ";{站甲}\r\n";
    };
    for (long ok : {0L, 1L, 124L, 512L, 885L, 955L, 975L, 1023L})
        EXPECT_EQ(ids(line(ok)), Lines{}) << ok;
    for (long bad : {-1L, 125L, 511L, 886L, 954L, 1024L})
        EXPECT_EQ(ids(line(bad)), Lines{"arfcn-band"}) << bad;
    EXPECT_EQ(found(line(125)), Lines{"s:1: error arfcn-band: GSM频点不在GSM 900（P/E/R-GSM）或"
                                      "DCS 1800频段内：GERANARFCN=125"});
}

TEST(Values, OffsetsFromTheDbEnumeration) {
    const std::set<int> valid = {-24, -22, -20, -18, -16, -14, -12, -10, -8, -6, -5,
                                 -4,  -3,  -2,  -1,  0,   1,   2,   3,   4,  5,  6,
                                 8,   10,  12,  14,  16,  18,  20,  22,  24};
    for (int db = -30; db <= 30; ++db) {
        const std::string offset = "dB" + std::to_string(db);
        const std::string script =
            "MOD EUTRANINTERFREQNCELL:LOCALCELLID=0,ENODEBID=1,CELLID=0,"
            "CELLINDIVIDUALOFFSET=" +
            offset + ";{站甲}\r\n";
        EXPECT_EQ(ids(script).empty(), valid.contains(db)) << offset;
    }
    EXPECT_EQ(
        found("ADD EUTRANINTERNFREQ:LOCALCELLID=0 ,DLEARFCN=100,QOFFSETFREQCONN=dB;{站甲}\r\n"
              "ADD EUTRANINTERNFREQ:LOCALCELLID=0 ,DLEARFCN=100,QOFFSETFREQCONN=-2;{站甲}\r\n"
              "ADD EUTRANINTERNFREQ:LOCALCELLID=0 ,DLEARFCN=100,QOFFSETFREQCONN=DB2;{站甲}\r\n"),
        (Lines{"s:1: error db-value: 偏置值不在dB-24至dB24的取值之内：QOFFSETFREQCONN=dB",
               "s:2: error db-value: 偏置值不在dB-24至dB24的取值之内：QOFFSETFREQCONN=-2",
               "s:3: error db-value: 偏置值不在dB-24至dB24的取值之内：QOFFSETFREQCONN=DB2"}));
}

TEST(Script, DuplicateLines) {
    EXPECT_EQ(found("ACT CELL:LOCALCELLID=1;{站甲}\r\nACT CELL:LOCALCELLID=2;{站甲}\r\n"
                    "ACT CELL:LOCALCELLID=1;{站甲}\r\n"),
              Lines{"s:3: warning duplicate-line: 与前面的一行完全相同：第1行"});
    EXPECT_EQ(found("ACT CELL:LOCALCELLID=1;{站甲}\r\nACT CELL:LOCALCELLID=1;{站乙}\r\n"), Lines{});
}

TEST(Script, AddAndRemoveOfOneObject) {
    const std::string add = external("ENODEBID=1,CELLID=2,DLEARFCN=100,PHYCELLID=0,TAC=0");
    EXPECT_EQ(found(add + "RMV EUTRANEXTERNALCELL:ENODEBID=1,CELLID=2;{站甲}\r\n"),
              Lines{"s:2: warning add-and-remove: 同一对象在脚本中既被ADD又被RMV：第1行"});
    // Another cell, another NE, or a removal of every relation of a cell.
    EXPECT_EQ(found(add + "RMV EUTRANEXTERNALCELL:ENODEBID=1,CELLID=3;{站甲}\r\n" +
                    "RMV EUTRANEXTERNALCELL:ENODEBID=1,CELLID=2;{站乙}\r\n"
                    "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1,CELLID=2;{站甲}\r\n"
                    "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站甲}\r\n"),
              Lines{});
}

TEST(Script, NeighboursNeedAnExternalCellOrTheSameNe) {
    const Library lte = network4G();
    const auto relation = [](std::string_view enodeb) {
        return "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=" + std::string(enodeb) +
               ",CELLID=2;{站甲}\r\n";
    };
    const auto gsm = [](std::string_view ne) {
        return "ADD GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001;{" + std::string(ne) +
               "}\r\n";
    };
    const std::string gsmExternal =
        "ADD GERANEXTERNALCELL:GERANCELLID=10001,LAC=4501,GERANARFCN=518;{站甲}\r\n";
    // Declared later in the script is declared; declared on another NE is not.
    EXPECT_EQ(found(gsm("站甲") + gsmExternal), Lines{});
    EXPECT_EQ(found(gsmExternal + gsm("站乙")),
              Lines{"s:2: warning unknown-neighbour: 邻区既不在本网元，也没有在脚本中声明为外部小区"
                    "（可能已在网中）"});
    // Without a library the NE's own eNodeB is unknown: LTE relations are not judged.
    EXPECT_EQ(ids(relation("2002")), Lines{});
    EXPECT_EQ(ids(relation("1001"), &lte), Lines{});
    EXPECT_EQ(ids(relation("2002"), &lte), Lines{"unknown-neighbour"});
    EXPECT_EQ(
        ids(external("ENODEBID=2002,CELLID=2,DLEARFCN=100,PHYCELLID=0,TAC=0") + relation("2002"),
            &lte),
        (Lines{"cell-mismatch", "cell-mismatch"}));  // 乙1 is 1002/1 in the library
}

TEST(Script, PciChangesLeavingTwoCellsOfOneSiteOnOnePci) {
    const Library lte = network4G();
    const auto mod = [](std::string_view local, std::string_view pci) {
        return "MOD CELL:LOCALCELLID=" + std::string(local) + ",PHYCELLID=" + std::string(pci) +
               ";{站甲}\r\n";
    };
    // 甲2 moved onto 甲1's PCI on the same carrier; the temporary PCI before it
    // does not count, only where each cell is left.
    EXPECT_EQ(found(mod("1", "503") + mod("1", "7"), &lte),
              Lines{"s:2: error pci-collision: 同一基站同频点的两个小区PCI相同：网元{站甲} "
                    "LOCALCELLID=0 PHYCELLID=7"});
    // 甲3 shares 甲1's PCI on another carrier: a co-PCI carrier, no collision;
    // 甲1 and 甲2 swap their PCIs.
    EXPECT_EQ(found(mod("1", "503") + mod("0", "8") + mod("1", "7"), &lte), Lines{});
    EXPECT_EQ(ids(mod("2", "9"), &lte), Lines{});
    // Without a library the carriers are unknown.
    EXPECT_EQ(
        found(mod("0", "5") + mod("2", "5")),
        Lines{"s:2: warning pci-shared: 同一基站的两个小区被改为相同PCI（不知频点，请核对是否同频）"
              "：网元{站甲} LOCALCELLID=0 PHYCELLID=5"});
    EXPECT_EQ(ids(mod("0", "5") + mod("2", "6")), Lines{});
}

// The script-wide rules and the library lookups compare keys, not hashes:
// with every hash equal (each key meeting every other in the tables), a
// script gives the findings it gives otherwise, from a text and from a file.
TEST(Script, KeysNotTheirHashesDecide) {
    const std::string script =
        external("ENODEBID=1002,CELLID=1,DLEARFCN=100,PHYCELLID=9,TAC=1") +
        "RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=2;{站甲}\r\n"
        "ADD GERANEXTERNALCELL:GERANCELLID=10001,LAC=4501,GERANARFCN=518;{站甲}\r\n"
        "ADD GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001;{站乙}\r\n"
        "ACT CELL:LOCALCELLID=1;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=2;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=2;{站甲}\r\n"
        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=1,ENODEBID=1001,CELLID=3,"
        "LOCALCELLNAME=\"甲2\",NEIGHBOURCELLNAME=\"甲3\";{站甲}\r\n"
        "RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=1;{站甲}\r\n";
    const Lines expected = {
        "s:7: warning duplicate-line: 与前面的一行完全相同：第6行",
        "s:9: warning add-and-remove: 同一对象在脚本中既被ADD又被RMV：第1行",
        "s:4: warning unknown-neighbour: 邻区既不在本网元，也没有在脚本中声明为外部小区"
        "（可能已在网中）",
    };
    test::TempDir dir;
    test::writeFile(dir / "s.txt", script);
    const auto fromFile = [&](const Library& lte) {
        const CheckContext context{&programCommands(), &lte, nullptr};
        Lines out;
        for (const Finding& f : checkScriptFile(dir / "s.txt", context).value())
            out.push_back(formatFinding("s", f));
        return out;
    };
    {
        const Library lte = network4G();
        EXPECT_EQ(found(script, &lte), expected);
    }
    const EqualHashesForTest equal;
    const Library lte = network4G();  // indexed with the equal hashes
    EXPECT_EQ(found(script, &lte), expected);
    EXPECT_EQ(fromFile(lte), expected);
}

TEST(Library, CellNamesAndTheirIdentifiers) {
    const Library lte = network4G(), gsm = network2G();
    const std::string good =
        external("ENODEBID=1002,CELLID=1,DLEARFCN=100,PHYCELLID=9,TAC=1") +
        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,"
        "LOCALCELLNAME=\"甲1\",NEIGHBOURCELLNAME=\"乙1\";{站甲}\r\n"
        "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=10001,LAC=4501,"
        "GERANARFCN=518,CELLNAME=\"G1\";{站甲}\r\n"
        "ADD GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001,LOCALCELLNAME=\"甲1\","
        "NEIGHBOURCELLNAME=\"G1\";{站甲}\r\n";
    EXPECT_EQ(found(good, &lte, &gsm), Lines{});
    // Without the libraries nothing is compared.
    EXPECT_EQ(found("ADD GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001,LOCALCELLNAME=\"无\","
                    "NEIGHBOURCELLNAME=\"无\";{站甲}\r\n"),
              Lines{"s:1: warning unknown-neighbour: 邻区既不在本网元，也没有在脚本中声明为外部小区"
                    "（可能已在网中）"});
    EXPECT_EQ(found("ADD EUTRANINTRAFREQNCELL:LOCALCELLID=1,ENODEBID=1002,CELLID=2,"
                    "LOCALCELLNAME=\"甲1\",NEIGHBOURCELLNAME=\"丙1\";{站乙}\r\n"
                    "ADD GERANEXTERNALCELL:GERANCELLID=10002,LAC=4502,CELLNAME=\"G1\";{站甲}\r\n",
                    &lte, &gsm),
              (Lines{"s:1: warning cell-mismatch: 行中的标识与工参库中该小区的记录不一致："
                     "甲1：LOCALCELLID=1，工参库为0",
                     "s:1: warning cell-mismatch: 行中的标识与工参库中该小区的记录不一致："
                     "甲1：网元{站乙}，工参库为站甲",
                     "s:1: warning unknown-cell: 工参库中没有这个小区名：NEIGHBOURCELLNAME=\"丙1\"",
                     "s:2: warning cell-mismatch: 行中的标识与工参库中该小区的记录不一致："
                     "G1：GERANCELLID=10002，工参库为10001",
                     "s:2: warning cell-mismatch: 行中的标识与工参库中该小区的记录不一致："
                     "G1：LAC=4502，工参库为4501"}));
}

TEST(Check, FindingsAreToldAsFoundInLineOrderThenTheScriptWideOnes) {
    const std::string script =
        "ADD GERANNCELL:LOCALCELLID=0,LAC=1,GERANCELLID=1;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=x;{站甲}\r\n";
    std::vector<std::size_t> told;
    const CheckContext context{&programCommands(), nullptr, nullptr};
    const auto all =
        checkScript(script, context, [&](const Finding& f) { told.push_back(f.line); });
    EXPECT_EQ(told, (std::vector<std::size_t>{2, 1}));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].rule->id, "not-number");
    // Without a command table nothing is unknown.
    EXPECT_EQ(checkScript("FOO BAR:X=1;{站甲}\r\n", CheckContext{}).size(), 0u);
}

// A check the engineer stops (it asks every 8192 lines, and a file's first
// pass before each block) ends with the findings of the lines checked so
// far, told as well as returned, and without the script-wide rules, which
// need the whole script.
TEST(Check, AStoppedCheckKeepsTheFindingsOfTheLinesChecked) {
    // Line 1 names a neighbour no line declares; every other line has a
    // LOCALCELLID that is no number.
    std::string script = "ADD GERANNCELL:LOCALCELLID=0,LAC=1,GERANCELLID=1;{站甲}\r\n";
    for (int n = 2; n <= 20000; ++n)
        script += "ACT CELL:LOCALCELLID=x" + std::to_string(n) + ";{站甲}\r\n";
    test::TempDir dir;
    test::writeFile(dir / "s.txt", script);
    const CheckContext context{&programCommands(), nullptr, nullptr};
    struct Case {
        bool fromFile;
        std::optional<long> stopFrom;
        std::size_t lineFindings;
    };
    for (const Case c : {Case{false, std::nullopt, 19999}, Case{false, 0, 8191},
                         Case{false, 1, 16383}, Case{true, std::nullopt, 19999}, Case{true, 1, 0},
                         Case{true, 2, 8191}, Case{true, 3, 16383}}) {
        SCOPED_TRACE(std::to_string(c.stopFrom.value_or(-1)) + (c.fromFile ? " file" : ""));
        test::RecordingFeedback fb;
        fb.stopFrom = c.stopFrom;
        std::size_t told = 0;
        const auto tell = [&told](const Finding&) { ++told; };
        const std::vector<Finding> all =
            c.fromFile ? checkScriptFile(dir / "s.txt", context, tell, &fb).value()
                       : checkScript(script, context, tell, &fb);
        const bool whole = !c.stopFrom;
        ASSERT_EQ(all.size(), c.lineFindings + (whole ? 1 : 0));
        EXPECT_EQ(told, all.size());
        for (std::size_t i = 0; i < c.lineFindings; ++i) {
            EXPECT_EQ(all[i].rule->id, "not-number");
            EXPECT_EQ(all[i].line, i + 2);
        }
        if (whole) {
            EXPECT_EQ(all.back().rule->id, "unknown-neighbour");
        }
    }
}

TEST(ReadScript, GbkOrUtf8LineEndsKept) {
    test::TempDir dir;
    const std::string utf8 = "ACT CELL:LOCALCELLID=1;{站甲}\r\nACT CELL:LOCALCELLID=2;{站甲}\n";
    test::writeFile(dir / "gbk.txt", *codec::toGbk(utf8).text);
    test::writeFile(dir / "utf8.txt", "\xEF\xBB\xBF" + utf8);
    EXPECT_EQ(*readScript(dir / "gbk.txt"), utf8);
    EXPECT_EQ(*readScript(dir / "utf8.txt"), utf8);
    EXPECT_EQ(readScript(dir / "none.txt").error(),
              "脚本文件不存在：" + platform::utf8Name(dir / "none.txt"));
    EXPECT_EQ(readScript(dir.path()).error(),
              "脚本文件无法读取：" + platform::utf8Name(dir.path()));
    test::writeFile(dir / "bad.txt", "\x81\x20");
    EXPECT_EQ(readScript(dir / "bad.txt").error(),
              "脚本文件既不是UTF-8也不是GBK编码：" + platform::utf8Name(dir / "bad.txt"));
}

TEST(RuleTable, TheReadmeShowsEveryRule) {
    std::string table = "| Rule | Severity | Reason |\n|---|---|---|\n";
    for (const Rule& r : rules())
        table += "| `" + std::string(r.id) + "` | " +
                 (r.severity == Severity::Error ? "error" : "warning") + " | " +
                 std::string(r.reason) + " |\n";
    EXPECT_NE(test::readFile(BRINDLE_README).find(table), std::string::npos)
        << "README.md's rule table is out of date; it should read:\n"
        << table;
}

// The value rules on their own, as the editors hold a value against them.
TEST(Values, OneValueAgainstItsParametersRule) {
    struct Case {
        const char* parameter;
        const char* value;
        const char* rule;  // nullptr: keeps the rule
        const char* detail;
    };
    const Case cases[] = {
        {"PHYCELLID", "503", nullptr, ""},
        {"PHYCELLID", "9x9", "not-number", "PHYCELLID=9x9"},
        {"PHYCELLID", "504", "range", "PHYCELLID=504（0–503）"},
        {"PHYCELLID", "", "empty-value", "PHYCELLID="},
        {"DLEARFCN", "3835O", "not-number", "DLEARFCN=3835O"},
        {"DLEARFCN", "10400", "earfcn-band", "DLEARFCN=10400"},
        {"QOFFSETFREQCONN", "dB7", "db-value", "QOFFSETFREQCONN=dB7"},
        {"QOFFSETFREQCONN", "dB-2", nullptr, ""},
        {"CELLNAME", "", nullptr, ""},  // no value rule
    };
    for (const Case& c : cases) {
        const auto broken = checkValue(c.parameter, c.value);
        ASSERT_EQ(broken.has_value(), c.rule != nullptr) << c.parameter << "=" << c.value;
        if (!broken) continue;
        EXPECT_EQ(broken->rule->id, c.rule) << c.value;
        EXPECT_EQ(broken->detail, c.detail);
    }
}
