// The command-line contract: output streams, messages, exit status.

#include <gtest/gtest.h>

#include <barrier>
#include <cstdlib>
#include <thread>

#include "clirun.h"
#include "core/base/textcodec.h"
#include "core/library/store.h"
#include "core/mml/pageunits.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::cell4G;
using brindle::test::CliResult;
using brindle::test::readFile;
using brindle::test::TempDir;

namespace {

class Cli : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        test::makeLibrary(dir / "mu" / u8"北区.edb", LibraryKind::Lte,
                          {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                           cell4G(2, {"站乙", "乙-1", "1", "1002", "21", "38544", "101", "2002"})});
        test::makeLibrary(dir / "mu2" / u8"北区2G.edb", LibraryKind::Gsm,
                          {{1, {"G站", "G1", "4501", "10001", "60", "1", "2"}}});
    }

    CliResult cli(const std::string& args, const std::string& input = "") {
        return test::runCli(dir.path(), args, input);
    }
};

}  // namespace

TEST_F(Cli, ListsLibraries) {
    const auto r = cli("libs");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "4G 北区.edb\n2G 北区2G.edb\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, ShowPrintsRecordsAndReportsMisses) {
    const auto r =
        cli("--lib4g 北区.edb --lib2g 北区2G.edb show 4g --names -", "乙-1\n无\n\n甲-1\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "2\t站乙\t乙-1\t1\t1002\t21\t38544\t101\t2002\n"
              "1\t站甲\t甲-1\t0\t1001\t10\t38400\t100\t2001\n");
    EXPECT_EQ(r.err, "无小区不存在！\n小区不存在！\n");
    const auto g = cli("--lib4g 北区.edb --lib2g 北区2G.edb show 2g --names -", "G1");
    EXPECT_EQ(g.out, "1\tG站\tG1\t4501\t10001\t60\t1\t2\n");
}

TEST_F(Cli, LibraryChecksComeFirst) {
    auto r = cli("show 4g --names -", "甲-1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "请选择4G工参库\n");
    EXPECT_EQ(r.out, "");
    r = cli("--lib4g 北区.edb show 4g --names -", "甲-1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n");
}

TEST_F(Cli, DeleteNeedsYes) {
    auto r = cli("delete 4g 北区.edb");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(std::filesystem::exists(dir / "mu" / u8"北区.edb"));
    r = cli("delete 4g 北区.edb --yes");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "删除成功！\n");  // the question was answered by --yes
    EXPECT_FALSE(std::filesystem::exists(dir / "mu" / u8"北区.edb"));
    r = cli("delete 4g 北区.edb --yes");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "删除文件出错！\n");
}

TEST_F(Cli, GeneratorLinesGoToStdoutWithCrLf) {
    test::writeFile(dir / "s.txt", "甲-1\n甲-1\n");
    test::writeFile(dir / "t.txt", *codec::toGbk("乙-1\r\n乙-1\r\n").text);  // GBK names
    const auto r =
        cli("--lib4g 北区.edb gen neighbour-rmv --source '" + platform::utf8Name(dir / "s.txt") +
            "' --target '" + platform::utf8Name(dir / "t.txt") + "' --two-way");
    EXPECT_EQ(r.status, 0);
    const std::string forward =
        "RMV EUTRANINTERFREQNCELL:LOCALCELLID=0,ENODEBID=1002,CELLID=21;{站甲}\r\n";
    const std::string reverse =
        "RMV EUTRANINTERFREQNCELL:LOCALCELLID=1,ENODEBID=1001,CELLID=10;{站乙}\r\n";
    EXPECT_EQ(r.out, forward + reverse + forward + reverse);
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n删除脚本生成成功！！\n");
}

TEST_F(Cli, OutputFileIsGbkAndDedupRemovesRepeats) {
    test::writeFile(dir / "s.txt", "甲-1\n甲-1\n");
    test::writeFile(dir / "t.txt", "乙-1\n乙-1\n");
    const auto r2 =
        cli("--lib4g 北区.edb gen external-rmv --source '" + platform::utf8Name(dir / "s.txt") +
            "' --target '" + platform::utf8Name(dir / "t.txt") + "' --dedup -o '" +
            platform::utf8Name(dir / "out.txt") + "'");
    EXPECT_EQ(r2.status, 0);
    EXPECT_EQ(r2.out, "");
    EXPECT_EQ(readFile(dir / "out.txt"),
              *codec::toGbk("RMV EUTRANEXTERNALCELL:ENODEBID=1002,CELLID=21;{站甲}\r\n").text);
}

TEST_F(Cli, CarrierAddTakesItsAnswersFromOptions) {
    test::writeFile(dir / "s.txt", "甲-1\n");
    test::writeFile(dir / "t.txt", "乙-1\n");
    const std::string lists = " --source '" + platform::utf8Name(dir / "s.txt") + "' --target '" +
                              platform::utf8Name(dir / "t.txt") + "'";
    auto r = cli("--lib4g 北区.edb gen carrier-add" + lists);
    EXPECT_EQ(r.status, 2);  // the area is required
    r = cli("--lib4g 北区.edb gen carrier-add --area rural" + lists);
    EXPECT_EQ(r.status, 0);
    // The questions are answered by the options; their follow-up message is shown.
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n农村\n频点配置文件不存在：" +
                         platform::utf8Name(dir / "mu" / "EARFCN.ini") +
                         "\n添加频点脚本生成成功！！\n");
}

// A plan file that reads as empty or garbled is told once, before the run.
TEST_F(Cli, CarrierAddTellsOnceWhyThePlanIsEmpty) {
    test::writeFile(dir / "s.txt", "甲-1\n甲-1\n");
    test::writeFile(dir / "t.txt", "乙-1\n乙-1\n");
    const std::string run = "--lib4g 北区.edb gen carrier-add --area rural --source '" +
                            platform::utf8Name(dir / "s.txt") + "' --target '" +
                            platform::utf8Name(dir / "t.txt") + "'";
    const auto ini = dir / "mu" / "EARFCN.ini";
    const auto warning = [&](const CliResult& r, std::string_view head) {
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n农村\n" + std::string(head) +
                             platform::utf8Name(ini) + "\n添加频点脚本生成成功！！\n");
    };
    test::writeFile(ini, "[E频段频点配置]\r\nE频段频点=38400|38544\r\n");  // UTF-8
    warning(cli(run), "频点配置文件不是GBK编码：");
    std::filesystem::remove(ini);
    std::filesystem::create_directory(ini);
    warning(cli(run), "频点配置文件无法读取：");
    std::filesystem::remove(ini);
    test::writeFile(ini, "");  // empty: every key is missing, as before
    EXPECT_EQ(cli(run).err, "没有选择2G工参库，只能生成4G脚本！\n农村\n添加频点脚本生成成功！！\n");
}

// Output that cannot be written is an error, not a complete script.
TEST_F(Cli, FailedWritesToStandardOutputEndTheCommand) {
    BRINDLE_POSIX_ONLY("a device that is always full (/dev/full) and the shell's redirections");
    test::writeFile(dir / "s.txt", "甲-1\n");
    test::writeFile(dir / "t.txt", "乙-1\n");
    // The redirections the test adds after the arguments are cut off by "#".
    const std::string full = "' >/dev/full 2>'" + platform::utf8Name(dir / "full-err") + "' #";
    auto r = cli("gen --list >/dev/full 2>'" + platform::utf8Name(dir / "full-err") + "' #");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readFile(dir / "full-err"), "无法写出到标准输出\n");
    r = cli("--lib4g 北区.edb gen external-rmv --source '" + platform::utf8Name(dir / "s.txt") +
            "' --target '" + platform::utf8Name(dir / "t.txt") + full);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(readFile(dir / "full-err").find("无法写出到标准输出\n"), std::string::npos);
}

TEST_F(Cli, WrongUsageAndUnreadableInputExitWithTwo) {
    EXPECT_EQ(cli("frobnicate").status, 2);
    EXPECT_EQ(cli("--lib4g 北区.edb gen no-such --source - --target -").status, 2);
    EXPECT_EQ(cli("--lib4g 北区.edb gen neighbour-add --source /nonexistent --target -").status, 2);
    test::writeFile(dir / "bad.txt", "\xFF\xFF\xFF");
    EXPECT_EQ(cli("--lib4g 北区.edb show 4g --names '" + platform::utf8Name(dir / "bad.txt") + "'")
                  .status,
              2);
}

TEST_F(Cli, GenListPrintsOneTableRowPerRegistryRow) {
    const auto r = cli("gen --list");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    // Header, rule, then one row per generator; no library is needed.
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "| Generator | Page | Button | Unit | Shape | Options |");
    EXPECT_NE(
        r.out.find("| `carrier-add` | 4G小区操作 | 添加频点 | `按钮_4G小区操作_添加频点按钮` | "
                   "own run | `--area urban\\|rural`, `--reduced` |\n"),
        std::string::npos);
    EXPECT_NE(
        r.out.find("| `external-mod` | 4G小区操作 | 修改外部 | `按钮_4G小区操作_修改外部按钮` | "
                   "pairwise 4G×4G |  |\n"),
        std::string::npos);
}

// The README's table is the whole block after its header, up to the next
// paragraph: a stray row after a blank line belongs to it too.
TEST_F(Cli, TheReadmeShowsTheRegistryAsGenListPrintsIt) {
    const auto r = cli("gen --list");
    const std::string readme = readFile(BRINDLE_README);
    const std::size_t start = readme.find(r.out.substr(0, r.out.find('\n') + 1));
    ASSERT_NE(start, std::string::npos) << "README.md has no generator table";
    std::size_t end = start;
    std::size_t rows = start;  // just past the block's last table row
    while (end < readme.size()) {
        const std::size_t next = std::min(readme.find('\n', end), readme.size() - 1) + 1;
        const std::string_view line(readme.data() + end, next - end);
        if (line.starts_with("|"))
            rows = next;
        else if (line.find_first_not_of(" \r\n") != std::string_view::npos)
            break;  // the next paragraph
        end = next;
    }
    EXPECT_EQ(readme.substr(start, rows - start), r.out)
        << "README.md's generator table is out of date; paste `brindle-cli gen --list`:\n"
        << r.out;
}

// Every option of a page unit is offered by `gen`, a value box's with the
// default the window opens it with.
TEST_F(Cli, EveryPageUnitOptionIsOfferedWithTheWindowsDefault) {
    const auto r = cli("gen --help");
    EXPECT_EQ(r.status, 0);
    for (const mml::PageUnit* row : mml::kPageUnits) {
        if (row->option.empty()) continue;
        const std::size_t at = r.out.find("\n  " + std::string(row->option) + " ");
        ASSERT_NE(at, std::string::npos) << row->option;
        const std::string line = r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
        switch (row->kind) {
            case mml::UnitKind::ValueBox:
                EXPECT_NE(line.find("(default " +
                                    (row->initial.empty() ? std::string("empty")
                                                          : std::string(row->initial)) +
                                    ")"),
                          std::string::npos)
                    << line;
                break;
            case mml::UnitKind::RadioButton:
                EXPECT_NE(
                    line.find(std::string(row->word) + " (" + std::string(row->caption) + ")"),
                    std::string::npos)
                    << line;
                break;
            case mml::UnitKind::CheckBox:
                break;
        }
    }
}

TEST_F(Cli, AnAnswerThatHasNoDefaultIsRequiredBeforeAnythingIsRead) {
    const auto r = cli("--lib4g 北区.edb gen carrier-add --source /nonexistent --target -");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "carrier-add 需要 --area urban|rural（是为城区，否为农村）\n");
    EXPECT_EQ(cli("--lib4g 北区.edb gen --source - --target -").status, 2);  // no generator named
}

TEST_F(Cli, AFolderGivenAsANameFileIsRefused) {
    const auto r = cli("--lib4g 北区.edb show 4g --names '" + platform::utf8Name(dir.path()) + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "无法读取文件：" + platform::utf8Name(dir.path()) + "\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(Cli, DeleteTakesOnlyListedLibraries) {
    test::writeFile(dir / "mu" / "EARFCN.ini", "[其它项]\r\n");
    auto r = cli("delete 4g EARFCN.ini --yes");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "删除文件出错！\n");
    r = cli("delete 2g ../mu/北区.edb --yes");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "mu" / "EARFCN.ini"));
    EXPECT_TRUE(std::filesystem::exists(dir / "mu" / u8"北区.edb"));
}

TEST_F(Cli, GeranGeneratorsOfBothFamilies) {
    test::writeFile(dir / "s.txt", "甲-1\n乙-1\n");
    test::writeFile(dir / "t.txt", "G1\n");
    const std::string libs = "--lib4g 北区.edb --lib2g 北区2G.edb ";
    const std::string lists = " --source '" + platform::utf8Name(dir / "s.txt") + "' --target '" +
                              platform::utf8Name(dir / "t.txt") + "'";
    auto r = cli(libs + "gen geran-ncell-rmv --one-to-many" + lists);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "RMV GERANNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\","
              "LAC=4501,GERANCELLID=10001;{站甲}\r\n"
              "RMV GERANNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\","
              "LAC=4501,GERANCELLID=10001;{站乙}\r\n");
    EXPECT_EQ(r.err, "脚本生成成功！！\n");
    // One-to-one: the second source has no target line, which stops the run.
    r = cli(libs + "gen geran-ncell-rmv" + lists);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "RMV GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001;{站甲}\r\n");
    EXPECT_EQ(r.err, "小区不存在！\n");
    // The 2G settings of mu/2G.ini are read when the command starts.
    test::writeFile(dir / "mu" / "2G.ini", "[Config]\r\nBCCH\xD7\xE9\xB1\xEA\xCA\xB6=5\r\n");
    r = cli(libs + "gen geran-group-rmv" + " --source '" + platform::utf8Name(dir / "s.txt") +
            "' --target '" + platform::utf8Name(dir / "s.txt") + "'");
    EXPECT_EQ(r.status, 1);  // 乙-1 is no GSM cell
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "甲-1小区不存在！\n");
    r = cli(libs + "gen geran-group-rmv" + lists.substr(0, lists.find(" --target")) +
            " --target '" + platform::utf8Name(dir / "t.txt") + "'");
    EXPECT_EQ(r.out.substr(0, r.out.find('\r')),
              "RMV GERANNFREQGROUP:LOCALCELLID=0,BCCHGROUPID=5;{站甲}");
}

// With -o the lines go to the file as they come. A run stopped by a missing
// cell writes what it made before the stop and exits with 1; a character GBK
// cannot hold fails the save naming its line and leaves the old file as it
// was, with nothing beside it.
TEST_F(Cli, OutputFileOfARunStoppedEarlyOrRefused) {
    test::writeFile(dir / "s.txt", "甲-1\n乙-1\n");
    test::writeFile(dir / "t.txt", "G1\n");
    const auto out = dir / "out.txt";
    test::writeFile(out, "old");
    auto r = cli("--lib4g 北区.edb --lib2g 北区2G.edb gen geran-ncell-rmv --source '" +
                 platform::utf8Name(dir / "s.txt") + "' --target '" +
                 platform::utf8Name(dir / "t.txt") + "' -o '" + platform::utf8Name(out) + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "小区不存在！\n");
    EXPECT_EQ(readFile(out),
              "RMV GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001;{\xD5\xBE"
              "\xBC\xD7}\r\n");

    test::makeLibrary(dir / "mu" / u8"南区.edb", LibraryKind::Lte,
                      {cell4G(1, {"站甲", "甲-1", "0", "1001", "10", "38400", "100", "2001"}),
                       cell4G(2, {"站😀", "丙-1", "1", "1002", "21", "38544", "101", "2002"}),
                       cell4G(3, {"站乙", "乙-1", "2", "1003", "22", "38544", "102", "2003"})});
    test::writeFile(dir / "n.txt", "甲-1\n丙-1\n乙-1\n");
    const std::string names = " --names '" + platform::utf8Name(dir / "n.txt") + "'";
    r = cli("--lib4g 南区.edb gen cell-act" + names + " -o '" + platform::utf8Name(out) + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "没有选择2G工参库，只能生成4G脚本！\n激活脚本已生成！\n"
              "写出失败：第2行含有GBK编码无法表示的字符，未写出任何内容\n");
    EXPECT_EQ(readFile(out),
              "RMV GERANNCELL:LOCALCELLID=0,LAC=4501,GERANCELLID=10001;{\xD5\xBE"
              "\xBC\xD7}\r\n");
    std::size_t outputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (platform::utf8Name(entry.path().filename()).find("out.txt") != std::string::npos)
            ++outputs;
    EXPECT_EQ(outputs, 1u);
    // A page whose run copies its script: a run that copied nothing leaves
    // an empty file.
    test::writeFile(dir / "m.txt", "甲-1\n无此\n");
    r = cli("--lib4g 北区.edb gen mlb --cell-switch --names '" + platform::utf8Name(dir / "m.txt") +
            "' -o '" + platform::utf8Name(out) + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n无此小区不存在！\n");
    EXPECT_EQ(readFile(out), "");
    // With --dedup the whole text is gathered first, with the same outcome.
    r = cli("--lib4g 南区.edb gen cell-act --dedup" + names + " -o '" + platform::utf8Name(out) +
            "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("写出失败：第2行"), std::string::npos);
}

TEST_F(Cli, CellCommandsFromANameList) {
    test::writeFile(dir / "n.txt", "甲-1\n无\n乙-1\n");
    const std::string names = " --names '" + platform::utf8Name(dir / "n.txt") + "'";
    auto r = cli("--lib4g 北区.edb gen cell-power" + names);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "MOD PDSCHCFG:LOCALCELLID=0,REFERENCESIGNALPWR=122;{站甲}\r\n"
              "MOD PDSCHCFG:LOCALCELLID=1,REFERENCESIGNALPWR=122;{站乙}\r\n");
    EXPECT_EQ(r.err,
              "没有选择2G工参库，只能生成4G脚本！\n无小区不存在！\n修改功率脚本已生成！\n"
              "共生成2行脚本，1个小区不存在。\n");
    r = cli("--lib4g 北区.edb gen cell-power --power ''" + names);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n功率值为空，请添写功率值！\n");
    r = cli("--lib4g 北区.edb gen cell-act --power 5" + names);
    EXPECT_EQ(r.out, "ACT CELL:LOCALCELLID=0;{站甲}\r\nACT CELL:LOCALCELLID=1;{站乙}\r\n");
    EXPECT_EQ(cli("--lib4g 北区.edb gen cell-act").status, 2);  // no --names
}

TEST_F(Cli, ExpansionBandsPrintsOneLinePerFoundName) {
    test::writeFile(dir / "n.txt", "甲-1\n无\n乙-1\n");
    const std::string names = " --names '" + platform::utf8Name(dir / "n.txt") + "'";
    auto r = cli("--lib4g 北区.edb gen expansion-bands" + names);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "甲-1|F1\r\n乙-1|F2\r\n");
    EXPECT_EQ(r.err,
              "没有选择2G工参库，只能生成4G脚本！\n无小区名不存在！\n好了\n"
              "共生成2行脚本，1个小区不存在。\n");
    r = cli("--lib4g 北区.edb gen expansion-bands" + names + " -o '" +
            platform::utf8Name(dir / "out.txt") + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(dir / "out.txt"), *codec::toGbk("甲-1|F1\r\n乙-1|F2\r\n").text);
    EXPECT_EQ(cli("--lib4g 北区.edb gen expansion-bands --source -").status, 2);  // no --names
}

// The load-balancing page: what the run copies is the output; the page's
// check boxes are flags, its boxes options with the window's defaults.
TEST_F(Cli, LoadBalancingCopiesToStdout) {
    test::writeFile(dir / "n.txt", "甲-1\n乙-1\n");
    const std::string names = " --names '" + platform::utf8Name(dir / "n.txt") + "'";
    auto r = cli("--lib4g 北区.edb gen mlb --mode ue --with-ne" + names);
    EXPECT_EQ(r.status, 0);
    const std::string tail =
        ",MLBUENUMOFFSET=5,MLBMAXUENUM=20,MLBUESELECTPRBTHD=99,UENUMDIFFTHD=5,"
        "INTERFREQUETRSFTYPE=IdleUE-1,INTERFREQIDLEMLBUENUMTHD=55,INTERFREQLOADEVALPRD=5,"
        "LOADBALANCENCELLSCOPE=ADAPTIVE,MLBUESELECTPUNISHTIMER=60,"
        "MLBHOCELLSELECTSTRATEGY=PERMIT_NON_STRONGEST_CELL,CELLCAPACITYSCALEFACTOR=";
    EXPECT_EQ(r.out,
              "MOD CELLMLB:LOCALCELLID=0,MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=40" +
                  tail + "10;{站甲}\r\n" +
                  "MOD CELLMLB:LOCALCELLID=1,MLBTRIGGERMODE=UE_NUMBER_ONLY,"
                  "INTERFREQMLBUENUMTHD=20" +
                  tail + ";{站乙}\r\n");
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n复制成功,直接粘贴！\n");

    r =
        cli("--lib4g 北区.edb gen mlb --mode ue --ue-f1 45 --scale-other 7 --ue-f2 25 "
            "--scale-f2 9 --overlap" +
            names);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "MOD CELLMLB:LOCALCELLID=0,MLBTRIGGERMODE=UE_NUMBER_ONLY,INTERFREQMLBUENUMTHD=45" +
                  tail + "7;\r\n" +
                  "MOD EUTRANINTERFREQNCELL:LOCALCELLID=0,MCC=\"460\",MNC=\"00\",ENODEBID=1002,"
                  "CELLID=21,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"甲-1\","
                  "NEIGHBOURCELLNAME=\"乙-1\",OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n"
                  "MOD CELLMLB:LOCALCELLID=1,MLBTRIGGERMODE=UE_NUMBER_ONLY,"
                  "INTERFREQMLBUENUMTHD=25" +
                  tail + "9;\r\n" +
                  "MOD EUTRANINTERFREQNCELL:LOCALCELLID=1,MCC=\"460\",MNC=\"00\",ENODEBID=1001,"
                  "CELLID=10,CELLINDIVIDUALOFFSET=dB-5,LOCALCELLNAME=\"乙-1\","
                  "NEIGHBOURCELLNAME=\"甲-1\",OVERLAPIND=YES,OVERLAPRANGE=SAME;\r\n");

    r = cli("--lib4g 北区.edb gen mlb --cell-switch -o '" + platform::utf8Name(dir / "out.txt") +
            "'" + names);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(
        readFile(dir / "out.txt"),
        *codec::toGbk("MOD CELLALGOSWITCH:LOCALCELLID=0,MLBALGOSWITCH=InterFreqMlbSwitch-1&"
                      "InterFreqIdleMlbSwitch-1,ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1;\r\n"
                      "MOD INTERFREQHOGROUP:LOCALCELLID=0,INTERFREQHOGROUPID=0,"
                      "INTERFREQLOADBASEDHOA4THDRSRP=-108;\r\n"
                      "MOD CELLALGOSWITCH:LOCALCELLID=1,MLBALGOSWITCH=InterFreqMlbSwitch-1&"
                      "InterFreqIdleMlbSwitch-1,ENHANCEDMLBALGOSWITCH=CaUserLoadTransferSw-1;\r\n"
                      "MOD INTERFREQHOGROUP:LOCALCELLID=1,INTERFREQHOGROUPID=0,"
                      "INTERFREQLOADBASEDHOA4THDRSRP=-108;\r\n")
             .text);
}

// Nothing made, or a missing name: nothing comes out and the exit status is 1.
TEST_F(Cli, LoadBalancingWithNothingToCopyExitsWithOne) {
    test::writeFile(dir / "n.txt", "甲-1\n");
    test::writeFile(dir / "m.txt", "甲-1\n无此\n");
    auto r = cli("--lib4g 北区.edb gen mlb --names '" + platform::utf8Name(dir / "n.txt") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n没有脚本，复制个啥子嘛！！\n");
    r = cli("--lib4g 北区.edb gen mlb --cell-switch --names '" + platform::utf8Name(dir / "m.txt") +
            "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n无此小区不存在！\n");
    EXPECT_EQ(cli("--lib4g 北区.edb gen mlb --mode fdd --names '" +
                  platform::utf8Name(dir / "n.txt") + "'")
                  .status,
              2);
}

TEST_F(Cli, FindPrintsTheRowTheQueryWindowSelects) {
    auto r = cli("--lib4g 北区.edb find 2");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\t站乙\t乙-1\t1\t1002\t21\t38544\t101\t2002\n");
    EXPECT_EQ(r.err, "");                  // no 2G library is needed
    r = cli("--lib4g 北区.edb find 100");  // no ID begins with it: 基站号 1001 of row 1
    EXPECT_EQ(r.out, "1\t站甲\t甲-1\t0\t1001\t10\t38400\t100\t2001\n");
    r = cli("--lib4g 北区.edb find 乙");
    EXPECT_EQ(r.out, "2\t站乙\t乙-1\t1\t1002\t21\t38544\t101\t2002\n");
    r = cli("--lib4g 北区.edb find 丙");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    r = cli("find 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "请选择4G工参库\n");
}

TEST_F(Cli, EditWritesNamedFieldsByIdAndKeepsTheRest) {
    auto r = cli("--lib4g 北区.edb edit 4g 2 小区名=乙-9 TAC号= 频点=1850 --force");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "修改成功\n");
    r = cli("--lib4g 北区.edb find 2");
    EXPECT_EQ(r.out, "2\t站乙\t乙-9\t1\t1002\t21\t1850\t101\t\n");
    r = cli("--lib4g 北区.edb find 1");
    EXPECT_EQ(r.out, "1\t站甲\t甲-1\t0\t1001\t10\t38400\t100\t2001\n");
    // A value may hold "=".
    r = cli("--lib4g 北区.edb edit 4g 1 基站名=a=b");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(cli("--lib4g 北区.edb find 1").out, "1\ta=b\t甲-1\t0\t1001\t10\t38400\t100\t2001\n");
}

TEST_F(Cli, EditWritesValuesTheCheckerRejectsOnlyWithForce) {
    const std::string before = readFile(dir / "mu" / u8"北区.edb");
    auto r = cli("--lib4g 北区.edb edit 4g 2 物理小区标识=9x9");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(
        r.err,
        "以下取值不符合脚本检查的规则，仍要修改吗？\n物理小区标识：参数值应为整数：PHYCELLID=9x9\n"
        "（未给出回答，按“否”处理）\n未修改：确认要写入这些值请加 --force\n");
    EXPECT_EQ(readFile(dir / "mu" / u8"北区.edb"), before);
    r = cli("--lib4g 北区.edb edit 4g 2 物理小区标识=9x9 --force");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "修改成功\n");
    EXPECT_EQ(cli("--lib4g 北区.edb find 2").out, "2\t站乙\t乙-1\t1\t1002\t21\t38544\t9x9\t2002\n");
}

TEST_F(Cli, EditRefusesUnknownFieldsAndIds) {
    const std::string before = readFile(dir / "mu" / u8"北区.edb");
    auto r = cli("--lib4g 北区.edb edit 4g 2 小区名=新 名称=x");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "未知字段，应为 字段名=值：名称=x\n");
    r = cli("--lib4g 北区.edb edit 4g 2 ID=5");  // the ID never changes
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "未知字段，应为 字段名=值：ID=5\n");
    r = cli("--lib4g 北区.edb edit 4g 2 小区名");
    EXPECT_EQ(r.status, 2);
    r = cli("--lib4g 北区.edb edit 2g 1 小区名=x");
    EXPECT_EQ(r.status, 2);
    r = cli("--lib4g 北区.edb edit 4g 3 小区名=x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "查找不到ID\n");
    EXPECT_EQ(readFile(dir / "mu" / u8"北区.edb"), before);
    EXPECT_EQ(cli("--lib4g 北区.edb find 2").out, "2\t站乙\t乙-1\t1\t1002\t21\t38544\t101\t2002\n");
}

// Two edits of different fields of one record, started at the same moment by
// two processes: each keeps the other's change, and both are told "修改成功".
TEST_F(Cli, ConcurrentEditsOfOneRecordKeepBothChanges) {
    // Under Wine 8 two test threads starting processes at once through the C
    // runtime's _wsystem hang now and then, with no process of Brindle left
    // running; the lock the two edits take turns on is tested in one process
    // by Store.ALockedLibraryIsToldAsLocked.
    BRINDLE_POSIX_ONLY("two threads starting processes at once through _wsystem hang under Wine");
    for (int round = 0; round < 30; ++round) {
        const std::string value = std::to_string(round);
        const std::string edits[2] = {"基站名=站" + value, "TAC号=" + value};
        CliResult results[2];
        std::barrier start(2);
        std::vector<std::thread> editors;
        for (int i = 0; i < 2; ++i)
            editors.emplace_back([&, i] {
                start.arrive_and_wait();
                results[i] = test::runCli(dir.path(), "--lib4g 北区.edb edit 4g 1 " + edits[i], "",
                                          std::to_string(i));
            });
        for (auto& editor : editors) editor.join();
        for (const CliResult& r : results) ASSERT_EQ(r.err, "修改成功\n") << round;
        const auto library = store::load(dir / "mu" / u8"北区.edb", LibraryKind::Lte).value();
        ASSERT_EQ(library->at(0).toRecord().fields,
                  (std::vector<std::string>{"站" + value, "甲-1", "0", "1001", "10", "38400", "100",
                                            value}))
            << "round " << round;
    }
}

// A library without write permission is never written, also by root, who may
// write any file: each command that would write it fails and says why.
TEST_F(Cli, ReadOnlyLibrariesAreNeverWritten) {
    test::writeFile(dir / "北区.csv", "基站名,小区名\n站,新-1,0,1,2,3,4,5\n");
    test::writeFile(dir / "北区2G.csv", "基站名,小区名,小区LAC\nG站,G9,1,2,3,4,5\n");
    const auto lte = dir / "mu" / u8"北区.edb", gsm = dir / "mu2" / u8"北区2G.edb";
    const std::string before[2] = {readFile(lte), readFile(gsm)};
    for (const auto& library : {lte, gsm})
        std::filesystem::permissions(library, std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::others_read);
    const std::string refused = "文件为只读";
    const struct {
        std::string args, err;
    } cases[] = {
        {"edit 4g 1 小区名=x",
         "修改失败，写入失败：工参库无法写入：" + platform::utf8Name(lte) + "\n" + refused},
        {"pci-update --cell1 甲-1 --pci1 7",
         "修改失败，写入失败：工参库无法写入：" + platform::utf8Name(lte) + "\n" + refused},
        {"edit 2g G1 小区CI=1",
         "修改失败，写入失败：工参库无法写入：" + platform::utf8Name(gsm) + "\n" + refused},
        {"import 4g 北区.csv", "工参打开成功！含1条\n打开数据库失败\n工参库无法写入：" +
                                   platform::utf8Name(lte) + "\n" + refused +
                                   "\n请再导入一次试试！"},
        {"import 2g 北区2G.csv", "工参打开成功！含1条\n打开数据库失败\n工参库无法写入：" +
                                     platform::utf8Name(gsm) + "\n" + refused +
                                     "\n请再导入一次试试！"},
    };
    for (const auto& c : cases) {
        const auto r = cli("--lib4g 北区.edb --lib2g 北区2G.edb " + c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.err.find(c.err + "\n"), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_TRUE(readFile(lte) == before[0]);  // not a byte written
    EXPECT_TRUE(readFile(gsm) == before[1]);
}

// ---- script tools -------------------------------------------------------------

TEST_F(Cli, SplitWritesBesideTheScriptByLines) {
    const std::string script = *codec::toGbk("A;{北1}\r\n\r\nB;{北2}\r\nC;{北3}\r\n").text;
    test::writeFile(dir / "脚本" / "北区.v1.txt", script);
    const auto r =
        cli("split '" + platform::utf8Name(dir / "脚本" / "北区.v1.txt") + "' --by-lines 2");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "脚本分割完成！\n共写出2个文件，保存在：" + platform::utf8Name(dir / "脚本") + "\n");
    EXPECT_EQ(readFile(dir / "脚本" / "北区_0.txt"), *codec::toGbk("A;{北1}\r\nB;{北2}\r\n").text);
    EXPECT_EQ(readFile(dir / "脚本" / "北区_1.txt"), *codec::toGbk("C;{北3}\r\n").text);
    EXPECT_FALSE(std::filesystem::exists(dir / "北区_0.txt"));
}

TEST_F(Cli, SplitByNeWithABaseName) {
    test::writeFile(dir / "s.txt", "1;{A}\r\n2;{A}\r\n3;{B}\r\n4;{C}\r\n");
    const auto r = cli("split '" + platform::utf8Name(dir / "s.txt") + "' --by-ne 2 --base 东区");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readFile(dir / "东区_0.txt"), "1;{A}\r\n2;{A}\r\n3;{B}\r\n");
    EXPECT_EQ(readFile(dir / "东区_1.txt"), "4;{C}\r\n");
    // Neither way, or 0: one file.
    EXPECT_EQ(cli("split '" + platform::utf8Name(dir / "s.txt") + "' --by-ne 0 --base 全").status,
              0);
    EXPECT_EQ(readFile(dir / "全_0.txt"), "1;{A}\r\n2;{A}\r\n3;{B}\r\n4;{C}\r\n");
    EXPECT_EQ(cli("split '" + platform::utf8Name(dir / "s.txt") + "'").status, 0);
    EXPECT_EQ(readFile(dir / "s_0.txt"), "1;{A}\r\n2;{A}\r\n3;{B}\r\n4;{C}\r\n");
}

TEST_F(Cli, SplitRefusesBadInput) {
    test::writeFile(dir / "s.txt", "1;{A}\r\n");
    auto r = cli("split '" + platform::utf8Name(dir / "s.txt") + "' --by-ne 1 --by-lines 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "s_0.txt"));
    r = cli("split '" + platform::utf8Name(dir / "无.txt") + "' --by-lines 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "脚本文件无法读取：" + platform::utf8Name(dir / "无.txt") + "\n");
    test::writeFile(dir / "s_0.txt", "keep");
    std::filesystem::permissions(dir / "s_0.txt", std::filesystem::perms::owner_read);
    r = cli("split '" + platform::utf8Name(dir / "s.txt") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "写出失败：s_0.txt：文件为只读\n");
    EXPECT_EQ(readFile(dir / "s_0.txt"), "keep");
    std::filesystem::permissions(dir / "s_0.txt", std::filesystem::perms::owner_all);
}

TEST_F(Cli, SplitNeverWritesOverItsScript) {
    // The base name makes the script one of the files, by its name or
    // through a hard link.
    test::writeFile(dir / "x_1.txt", "1;{A}\r\n2;{B}\r\n");
    auto r = cli("split x_1.txt --by-lines 1 --base x");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "split 不能覆盖本次要读取的文件：x_1.txt\n");
    std::filesystem::create_hard_link(dir / "x_1.txt", dir / "Y_0.txt");
    r = cli("split x_1.txt --base Y");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "split 不能覆盖本次要读取的文件：Y_0.txt\n");
    EXPECT_EQ(readFile(dir / "x_1.txt"), "1;{A}\r\n2;{B}\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "x_0.txt"));
    // Another base leaves the script where it is.
    EXPECT_EQ(cli("split x_1.txt --by-lines 1 --base z").status, 0);
    EXPECT_EQ(readFile(dir / "z_1.txt"), "2;{B}\r\n");
}

TEST_F(Cli, AGeneratorNeverWritesOverWhatItReads) {
    test::writeFile(dir / "s.txt", "甲-1\n");
    test::writeFile(dir / "t.txt", "乙-1\n");
    const std::string run = "--lib4g 北区.edb gen neighbour-rmv --source s.txt --target t.txt ";
    const struct {
        std::string options, err;
    } cases[] = {
        {"-o mu/北区.edb", "-o 不能覆盖本次要读取的文件：mu/北区.edb\n"},
        {"-o ./t.txt", "-o 不能覆盖本次要读取的文件：./t.txt\n"},
        {"--dedup -o s.txt", "-o 不能覆盖本次要读取的文件：s.txt\n"},
    };
    const std::string library = readFile(dir / "mu" / u8"北区.edb");
    for (const auto& c : cases) {
        const auto r = cli(run + c.options);
        EXPECT_EQ(r.status, 2) << c.options;
        EXPECT_EQ(r.err, c.err) << c.options;
    }
    EXPECT_EQ(readFile(dir / "mu" / u8"北区.edb"), library);
    EXPECT_EQ(readFile(dir / "s.txt"), "甲-1\n");
    EXPECT_EQ(readFile(dir / "t.txt"), "乙-1\n");
}

TEST_F(Cli, SiteTypeWithDefaultsAndOptions) {
    test::makeLibrary(dir / "mu" / u8"站型.edb", LibraryKind::Lte,
                      {cell4G(1, {"ABC", "ABC-1", "0", "1", "1", "38400", "1", "1"}),
                       cell4G(2, {"ABC", "ABC-2", "1", "1", "2", "38400", "2", "1"}),
                       cell4G(3, {"ABC", "ABC-3", "2", "1", "3", "38400", "3", "1"}),
                       cell4G(4, {"ABC", "ABC-11", "3", "1", "4", "37900", "4", "1"})});
    auto r = cli("--lib4g 站型.edb site-type --names -", "ABC\r\nXYZ\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "ABC|F|S1/1/1/|D|S1/0/0/|E|S0/0/0/|FDD|S0/0/0/\r\n"
              "XYZ|F|S|D|S|E|S|FDD|S\r\n");
    // The start window's checks, as for every command that opens libraries;
    // then the names that found no cell.
    EXPECT_EQ(r.err, "没有选择2G工参库，只能生成4G脚本！\n以下基站在工参库中找不到小区：\nXYZ\n");
    r =
        cli("--lib4g 站型.edb site-type --names - --band1 F1 --earfcns1 '38400|37900' --band4 L "
            "--earfcns4 '' --head '' --separator , --max-cells 2",
            "ABC\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ABC|F1|2,1,|D|1,0,|E|0,0,|L|0,0,\r\n");
}

TEST_F(Cli, SiteTypeNeedsALibrary) {
    const auto r = cli("site-type --names -", "ABC\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "请选择4G工参库\n");
}

// A file name of 81 or 82 Chinese characters (243 and 246 bytes in UTF-8)
// fits the file system's 255 bytes: scripts, settings files and libraries
// of such names are written, with temporary files of short names. A library
// needs room for its journal ("-journal" after its name) and is refused
// before anything is made when there is none; a name past the limit is
// refused saying so.
TEST_F(Cli, LongFileNamesAreWrittenOrRefusedSayingWhy) {
    BRINDLE_POSIX_ONLY("the limit of 255 bytes a name; Windows counts 255 UTF-16 units");
    const auto chinese = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += "中";
        return s;
    };
    const std::string long81 = chinese(81), long82 = chinese(82), tooLong = chinese(86);
    test::writeFile(dir / "n.txt", "甲-1\n");
    auto r = cli("--lib4g 北区.edb gen cell-act --names n.txt -o '" + long82 + ".txt'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir / (long82 + ".txt")), "ACT CELL:LOCALCELLID=0;{\xD5\xBE\xBC\xD7}\r\n");
    r = cli("--lib4g 北区.edb gen cell-act --names n.txt -o '" + tooLong + ".txt'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(r.err.rfind("写出失败")),
              "写出失败：文件名过长，超过了文件系统允许的长度\n");

    r = cli("ini set '" + long82 + ".ini' S k v");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir / (long82 + ".ini")), "[S]\r\nk=v\r\n");

    for (const std::string& name : {long81, long82})
        test::writeFile(dir / (name + ".csv"), "基站名,小区名\n站9,小区9,0,1,2,38544,3,4\n");
    r = cli("import 4g '" + long81 + ".csv'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "mu" / platform::pathFromUtf8(long81 + ".edb")));
    r = cli("import 4g '" + long82 + ".csv'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "工参打开成功！含1条\n工参库文件名过长，请缩短工作簿的文件名：" + long82 + ".edb\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "mu" / platform::pathFromUtf8(long82 + ".edb")));

    for (const auto& folder : {dir.path(), dir / "mu"})
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path();
}
