// The export tools on the command line, end to end: a program folder with a
// 4G and a 2G library, the two settings files and an export workbook; the
// real brindle-cli run over them.

#include <gtest/gtest.h>

#include <map>

#include "clirun.h"
#include "core/base/textcodec.h"
#include "exportworkbook.h"
#include "testsupport.h"

using brindle::test::gbk;
using namespace brindle;
using brindle::test::readFile;
using brindle::test::runCli;
using brindle::test::TempDir;

namespace {

class CliExport : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        test::makeLibrary(
            dir / "mu" / u8"网.edb", LibraryKind::Lte,
            {
                test::cell4G(1, {"站甲", "甲1", "0", "1001", "1", "38400", "7", "9001"}),
                test::cell4G(2, {"站甲", "甲2", "1", "1001", "2", "38400", "7", "9001"}),
                test::cell4G(3, {"站乙", "乙1", "0", "1002", "1", "1850", "9", "9002"}),
                test::cell4G(4, {"站丙", "丙1", "0", "1003", "1", "38400", "12", "9003"}),
                test::cell4G(5, {"站甲", "新1", "3", "1001", "4", "1850", "30", "9001"}),
            });
        test::makeLibrary(dir / "mu2" / u8"网2G.edb", LibraryKind::Gsm,
                          {test::cell2G(1, {"站G", "G1", "9527", "31001", "60", "3", "5"})});
        test::writeFile(
            dir / "mu" / "EARFCN.ini",
            gbk("[其它项]\r\n最低接收电平=-64\r\n"
                "[频点1设置]\r\n频点=38400\r\n优先级=5\r\n测试带宽=MBW100\r\n切换事件=A4\r\n"
                "[频点2设置]\r\n频点=1850\r\n优先级=6\r\n测试带宽=MBW75\r\n切换事件=A3\r\n"));
        test::writeFile(dir / "mu" / "2G.ini",
                        gbk("[Config]\r\n开始频点=512\r\nBCCH组标识=1\r\nGSM_dcs1800=DCS1800\r\n"
                            "GERAN系统版本信息=GSM_V3\r\n位置区域码配置指示=NOT_CFG\r\n"));
        test::writeExportWorkbook(
            dir / "报文.xlsx",
            {test::intraRelationSheet(
                 {{"站乙", "0", "460", "00", "1001", "1"},
                  {"站丁", "5", "460", "00", "1001", "1"},  // not in the library
                  {"站丙", "0", "460", "00", "1003", "1"}}),
             test::interRelationSheet({{"站丙", "0", "460", "00", "1001", "1"}}),
             test::geranRelationSheet({{"站甲", "0", "460", "00", "9527", "31001"},
                                       {"站甲", "0", "460", "00", "9527", "31002"}}),
             test::externalCellSheet({{"站乙", "460", "00", "1001", "1", "38400", "7"},
                                      {"站丙", "460", "00", "1001", "2", "38400", "7"},
                                      {"站丙", "460", "00", "1001", "3", "38400", "8"}})});
    }

    test::CliResult cli(const std::string& args) {
        return runCli(dir.path(), "--lib4g 网.edb --lib2g 网2G.edb " + args);
    }
};

}  // namespace

TEST_F(CliExport, PciChangeWritesTheBoxOrSavesItDeduplicated) {
    const std::string box =
        "DEA CELL:LOCALCELLID=0;{站甲}\r\n"
        "MOD CELL:LOCALCELLID=0,PHYCELLID=17;{站甲}\r\n"
        "DEA CELL:LOCALCELLID=1;{站甲}\r\n"
        "MOD CELL:LOCALCELLID=1,PHYCELLID=17;{站甲}\r\n"
        "MOD "
        "EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=1,PHYCELLID=20;{站乙}\r\n"
        "MOD "
        "EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=2,PHYCELLID=20;{站丙}\r\n"
        "MOD CELL:LOCALCELLID=0,PHYCELLID=20;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=0;{站甲}\r\n"
        "MOD CELL:LOCALCELLID=1,PHYCELLID=20;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=1;{站甲}\r\n";
    auto r = cli("gen pci-change --export 报文.xlsx --cell1 甲1 --pci1 20 --max 2");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, box + "\r\n");
    EXPECT_EQ(r.err,
              "外部数据库打开成功\n预修改PCI小区2名为空，当前单小区修改！\n修改PCI脚本已生成！\n");

    r = cli("gen pci-change --export 报文.xlsx --cell1 甲1 --pci1 20 --max 2 -o pci.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(dir / "pci.txt"), gbk(box));

    // A main cell the library does not hold stops the run.
    r = cli("gen pci-change --export 报文.xlsx --cell1 甲9 --pci1 20");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("甲9小区不存在！"), std::string::npos) << r.err;
}

TEST_F(CliExport, UsageErrorsAndAnExportThatCannotBeOpenedExitTwo) {
    auto r = cli("gen pci-change --cell1 甲1 --pci1 20");  // no --export
    EXPECT_EQ(r.status, 2);
    r = cli("gen inherit --export 报文.xlsx --new 新1");
    EXPECT_EQ(r.status, 2);
    test::writeFile(dir / "坏.xlsx", "not a workbook");
    r = cli("gen freq-change --export 坏.xlsx --cell 甲1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("请安装OFFICE服务或关闭将要打开的EXCEL\n", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(CliExport, PciUpdateWritesTheLibraryAndSaysWhenACellIsMissing) {
    auto r = cli("pci-update --cell1 甲1 --pci1 20");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "修改成功\n");  // box 2 empty: nothing more to look up
    test::writeFile(dir / "n.txt", "甲1\r\n");
    EXPECT_EQ(cli("show 4g --names n.txt").out, "1\t站甲\t甲1\t0\t1001\t1\t38400\t20\t9001\n");

    r = cli("pci-update --cell1 甲1 --pci1 21 --cell2 乙9 --pci2 22");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "修改成功\n查找不到小区\n");
}

TEST_F(CliExport, FrequencyChangeRemovesTheIntraFrequencyRelationsTowardsTheCell) {
    const auto r = cli("gen freq-change --export 报文.xlsx --cell 甲1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1001,CELLID=1;{站乙}\r\n");
    EXPECT_EQ(r.err, "外部数据库打开成功\n数据不配置\n");
}

TEST_F(CliExport, ReductionWithRollbackInItsOwnFile) {
    test::writeFile(dir / "carriers.txt", "38400\r\n1850\r\n");
    const auto r =
        cli("gen reduce --export 报文.xlsx --cell 甲1 --carriers carriers.txt --rollback 回退.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0,ENODEBID=1001,CELLID=1;{站乙}\r\n"
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1001,CELLID=1;{站丙}\r\n"
              "RMV EUTRANINTRAFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=1850;{站甲}\r\n"
              "RMV EUTRANINTERNFREQ:LOCALCELLID=0;{站甲}\r\n"
              "RMV GERANNCELL:LOCALCELLID=0;{站甲}\r\n"
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站甲}\r\n"
              "RMV GERANNFREQGROUPARFCN:LOCALCELLID=0;{站甲}\r\n"
              "RMV GERANRANSHARE:LOCALCELLID=0,BCCHGROUPID=1,MCC=\"460\",MNC=\"00\";{站甲}\r\n"
              "RMV GERANNFREQGROUP:LOCALCELLID=0;{站甲}\r\n"
              "\r\n");
    EXPECT_EQ(readFile(dir / "回退.txt"),
              gbk("ADD GERANNFREQGROUPARFCN:LOCALCELLID=0,BCCHGROUPID=1,GERANARFCN=60;{站甲}\r\n"));
}

TEST_F(CliExport, InheritanceGivesTheNewCellEveryRelationOfTheOldOne) {
    const auto r = cli("gen inherit --export 报文.xlsx --new 新1 --from 甲1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        // frequencies
        "ADD EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=1850,ULEARFCNCFGIND=NOT_CFG,"
        "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
        "MEASBANDWIDTH=MBW75,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
        "QQUALMINCFGIND=NOT_CFG;{站乙}\r\n"
        "ADD EUTRANINTERNFREQ:LOCALCELLID=3,DLEARFCN=1850,ULEARFCNCFGIND=NOT_CFG,"
        "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
        "MEASBANDWIDTH=MBW75,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
        "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
        "ADD EUTRANINTERNFREQ:LOCALCELLID=0,DLEARFCN=1850,ULEARFCNCFGIND=NOT_CFG,"
        "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=6,SPEEDDEPENDSPCFGIND=NOT_CFG,"
        "MEASBANDWIDTH=MBW75,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA3,"
        "QQUALMINCFGIND=NOT_CFG;{站丙}\r\n"
        "ADD EUTRANINTERNFREQ:LOCALCELLID=3,DLEARFCN=38400,ULEARFCNCFGIND=NOT_CFG,"
        "CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=5,SPEEDDEPENDSPCFGIND=NOT_CFG,"
        "MEASBANDWIDTH=MBW100,QRXLEVMIN=-64,PMAXCFGIND=NOT_CFG,INTERFREQHOEVENTTYPE=EventA4,"
        "QQUALMINCFGIND=NOT_CFG;{站甲}\r\n"
        // external cells
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=4,DLEARFCN=1850,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=30,TAC=9001,CELLNAME=\"新1\";{站乙}\r\n"
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,DLEARFCN=1850,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=9,TAC=9002,CELLNAME=\"乙1\";{站甲}\r\n"
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=4,DLEARFCN=1850,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=30,TAC=9001,CELLNAME=\"新1\";{站丙}\r\n"
        "ADD EUTRANEXTERNALCELL:MCC=\"460\",MNC=\"00\",ENODEBID=1003,CELLID=1,DLEARFCN=38400,"
        "ULEARFCNCFGIND=NOT_CFG,PHYCELLID=12,TAC=9003,CELLNAME=\"丙1\";{站甲}\r\n"
        // LTE relations
        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=4,"
        "LOCALCELLNAME=\"乙1\",NEIGHBOURCELLNAME=\"新1\";{站乙}\r\n"
        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=3,MCC=\"460\",MNC=\"00\",ENODEBID=1002,CELLID=1,"
        "LOCALCELLNAME=\"新1\",NEIGHBOURCELLNAME=\"乙1\";{站甲}\r\n"
        "ADD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1001,CELLID=4,"
        "LOCALCELLNAME=\"丙1\",NEIGHBOURCELLNAME=\"新1\";{站丙}\r\n"
        "ADD EUTRANINTERFREQNCELL:LOCALCELLID=3,MCC=\"460\",MNC=\"00\",ENODEBID=1003,CELLID=1,"
        "LOCALCELLNAME=\"新1\",NEIGHBOURCELLNAME=\"丙1\";{站甲}\r\n"
        // GSM
        "ADD GERANNFREQGROUP:LOCALCELLID=3,BCCHGROUPID=1,GERANVERSION=GSM_V3,STARTINGARFCN=512,"
        "BANDINDICATOR=DCS1800,CELLRESELPRIORITYCFGIND=CFG,CELLRESELPRIORITY=2,"
        "PMAXGERANCFGIND=NOT_CFG,THRESHXLOW=10,ConnFreqPriority=8;{站甲}\r\n"
        "ADD GERANNFREQGROUPARFCN:LOCALCELLID=3,BCCHGROUPID=1,GERANARFCN=60;{站甲}\r\n"
        "ADD GERANEXTERNALCELL:MCC=\"460\",MNC=\"00\",GERANCELLID=31001,LAC=9527,RACCFGIND=CFG,"
        "RAC=0,BANDINDICATOR=DCS1800,GERANARFCN=60,NETWORKCOLOURCODE=3,"
        "BASESTATIONCOLOURCODE=5,CELLNAME=\"G1\";{站甲}\r\n"
        "ADD GERANNCELL:LOCALCELLID=3,MCC=\"460\",MNC=\"00\",LAC=9527,GERANCELLID=31001,"
        "NORMVFLAG=FORBID_RMV_ENUM,BLINDHOPRIORITY=30,LOCALCELLNAME=\"新1\","
        "NEIGHBOURCELLNAME=\"G1\";{站甲}\r\n");
    EXPECT_EQ(r.err, "外部数据库打开成功\n数据不配置\n31002或9527不存在！\n扩容脚本已经生成！\n");
}

TEST_F(CliExport, AnEmptyCellNameGetsTheWindowsMessage) {
    // Where the window answers an empty name box, so does the command; where
    // it would look the empty name up, the name is a required option.
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {"gen reduce --export 报文.xlsx --cell ''", 1,
         "外部数据库打开成功\n减容小区名不能为空！\n"},
#ifdef _WIN32
        {"gen reduce --export 报文.xlsx --cell '' --sources NUL --cis NUL", 1,
         "外部数据库打开成功\n减容小区名不能为空！\n"},
#else
        {"gen reduce --export 报文.xlsx --cell '' --sources /dev/null --cis /dev/null", 1,
         "外部数据库打开成功\n减容小区名不能为空！\n"},
#endif
        {"gen pci-change --export 报文.xlsx --cell1 '' --pci1 20", 1,
         "外部数据库打开成功\n预修改PCI小区1名不能为空！\n"},
        {"gen inherit --export 报文.xlsx --new '' --from 甲1", 2,
         "inherit 需要 --export 和 --new 和 --from\n"},
        {"gen freq-change --export 报文.xlsx --cell ''", 2,
         "freq-change 需要 --export 和 --cell\n"},
        {"gen reduce --export 报文.xlsx", 2, "reduce 需要 --export 和 --cell\n"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }
}

TEST_F(CliExport, AnOutputNeverOverwritesAnInputOrAnotherOutput) {
    namespace fs = std::filesystem;
    test::writeFile(dir / "carriers.txt", "38400\r\n");
    fs::create_directory(dir / "sub");
#ifndef _WIN32  // symbolic links need privileges on Windows
    fs::create_symlink("报文.xlsx", dir / "link.xlsx");
#endif
    fs::create_hard_link(dir / "mu" / u8"网.edb", dir / "hard.edb");
    // Every file of the program folder but the streams the runs leave.
    const auto files = [&] {
        std::map<std::string, std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            const std::string name = platform::utf8Name(e.path().filename());
            if (e.is_regular_file() && name != "stdin" && name != "stdout" && name != "stderr")
                all[platform::utf8Name(e.path())] = readFile(e.path());
        }
        return all;
    };
    const auto before = files();
    const std::string reduce = "gen reduce --export 报文.xlsx --cell 甲1 --carriers carriers.txt ";
    const std::string inherit = "gen inherit --export 报文.xlsx --new 新1 --from 甲1 ";
    const std::string change = "gen freq-change --export 报文.xlsx --cell 甲1 ";
    const struct {
        std::string args, err;
    } cases[] = {
        {reduce + "-o r.txt --rollback r.txt", "-o 和 --rollback 不能写入同一个文件：r.txt\n"},
        {reduce + "-o r.txt --rollback sub/../r.txt",
         "-o 和 --rollback 不能写入同一个文件：sub/../r.txt\n"},
        {reduce + "-o carriers.txt", "-o 不能覆盖本次要读取的文件：carriers.txt\n"},
        {reduce + "-o r.txt --rollback mu/2G.ini",
         "--rollback 不能覆盖本次要读取的文件：mu/2G.ini\n"},
        {inherit + "-o 报文.xlsx", "-o 不能覆盖本次要读取的文件：报文.xlsx\n"},
#ifndef _WIN32
        {inherit + "-o link.xlsx", "-o 不能覆盖本次要读取的文件：link.xlsx\n"},
#endif
        {change + "-o mu/网.edb", "-o 不能覆盖本次要读取的文件：mu/网.edb\n"},
        {change + "-o hard.edb", "-o 不能覆盖本次要读取的文件：hard.edb\n"},
        {change + "-o mu/EARFCN.ini", "-o 不能覆盖本次要读取的文件：mu/EARFCN.ini\n"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(files(), before) << c.args;  // nothing written, nothing made
    }
}
