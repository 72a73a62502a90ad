// The checker against the program's own output, and `brindle-cli check` end
// to end. Every generator of the registry and every export tool runs over
// the sample workspace; what they write must pass without an error and
// without a command or parameter the command table does not know, so a new
// template that is not learnt, or that breaks the line shape, fails here.

#include <gtest/gtest.h>

#include "clirun.h"
#include "core/app/commandtable.h"
#include "core/app/generators.h"
#include "core/app/workflows.h"
#include "core/base/clipboard.h"
#include "core/base/textcodec.h"
#include "core/tools/scriptcheck.h"
#include "recordingfeedback.h"
#include "sampleworkspace.h"
#include "testsupport.h"

namespace fs = std::filesystem;
using namespace brindle;
using brindle::test::runCli;
using brindle::test::SampleWorkspace;
using Lines = std::vector<std::string>;

namespace {

// The findings that say the program wrote a line the checker does not
// accept: errors, and commands or parameters the table does not know.
Lines rejected(std::string_view script, const Library* lte, const Library* gsm) {
    const check::CheckContext context{&programCommands(), lte, gsm};
    Lines out;
    for (const check::Finding& f : check::checkScript(script, context))
        if (f.rule->severity == check::Severity::Error || f.rule->id == "unknown-command" ||
            f.rule->id == "unknown-parameter")
            out.push_back(check::formatFinding("", f));
    return out;
}

}  // namespace

TEST(GeneratorsPassTheChecker, EveryGeneratorOfTheRegistry) {
    SampleWorkspace ws;
    Session session(ws.dir.path());
    session.current4G = session.folder.mu() / u8"示例网络.edb";
    session.current2G = session.folder.mu2() / u8"示例网络2G.edb";
    test::RecordingFeedback feedback;
    ASSERT_TRUE(openChosenLibraries(session, feedback));
    const std::string cells4G = "LF_城北大厦-1\r\nLF_南湖公园-1\r\nLF_城北大厦-2\r\n";
    const std::string targets4G = "LF_城北大厦-2\r\nLF_城北大厦-3\r\nLF_南湖公园-1\r\n";
    const std::string targets2G = "城北大厦G1\r\n城北大厦G2\r\n城北大厦G1\r\n";
    std::size_t runs = 0;
    // Every check box ticked, every box holding a number; the load-balancing
    // page once in each of its two modes.
    for (std::string_view skipped :
         {"负载均衡优化_单选框_PRB模式", "负载均衡优化_单选框_用户数模式"}) {
        for (const Generator& g : generators()) {
            // The capacity-expansion page writes band labels, no commands.
            if (g.page == Page::Expansion) continue;
            mml::PageInput input;
            const bool gsm = std::holds_alternative<Pairwise<Cell4G, Cell2G>>(g.shape) ||
                             std::holds_alternative<OneToMany<Cell4G, Cell2G>>(g.shape);
            input.sourceText = cells4G;
            input.targetText = gsm ? targets2G : targets4G;
            input.twoWay = [] { return true; };
            input.text = [](std::string_view) { return std::string("20"); };
            input.ticked = [skipped](std::string_view unit) { return unit != skipped; };
            for (Question q : g.questions) feedback.answer(q, true);
            StringSink pane;
            test::CapturingClipboard clipboard;
            runGenerator(g, session, input, pane, feedback, &clipboard);
            const std::string script = pane.text() + clipboard.text;
            EXPECT_FALSE(script.empty()) << g.name;
            EXPECT_EQ(rejected(script, session.library4G.get(), session.library2G.get()), Lines{})
                << g.name << ":\n"
                << script;
            ++runs;
        }
    }
    EXPECT_GT(runs, 2 * (generators().size() - 2));
}

TEST(GeneratorsPassTheChecker, EveryExportTool) {
    SampleWorkspace ws;
    test::writeFile(ws.dir / "carriers.txt", "38400\r\n38950\r\n");
    const std::string libs = "--lib4g 示例网络.edb --lib2g 示例网络2G.edb ";
    const std::string book = "--export workbooks/示例网络MML报文.xlsx ";
    const std::vector<std::string> runs = {
        "gen pci-change " + book +
            "--cell1 LF_城北大厦-1 --pci1 20 --cell2 LF_城北大厦-2 --pci2 21",
        "gen inherit " + book + "--new LF_城北大厦-2 --from LF_城北大厦-1",
        "gen reduce " + book + "--cell LF_城北大厦-1 --carriers carriers.txt --rollback 回退.txt",
        "gen freq-change " + book + "--cell LF_大学城西-2",
    };
    Session session(ws.dir.path());
    session.current4G = session.folder.mu() / u8"示例网络.edb";
    session.current2G = session.folder.mu2() / u8"示例网络2G.edb";
    test::RecordingFeedback feedback;
    ASSERT_TRUE(openChosenLibraries(session, feedback));
    for (const std::string& args : runs) {
        const auto r = runCli(ws.dir.path(), libs + args);
        ASSERT_EQ(r.status, 0) << args << "\n" << r.err;
        EXPECT_NE(r.out.find(";{"), std::string::npos) << args;
        EXPECT_EQ(rejected(r.out, session.library4G.get(), session.library2G.get()), Lines{})
            << args << ":\n"
            << r.out;
    }
    const auto rollback = check::readScript(ws.dir / "回退.txt");
    ASSERT_TRUE(rollback) << rollback.error();
    EXPECT_EQ(rejected(*rollback, session.library4G.get(), session.library2G.get()), Lines{});
}

class CliCheck : public ::testing::Test {
protected:
    test::TempDir dir;

    void SetUp() override {
        test::makeLibrary(dir / "mu" / u8"网.edb", LibraryKind::Lte,
                          {test::cell4G(1, {"站甲", "甲1", "0", "1001", "1", "100", "7", "1"})});
        // GBK on disk, as the program saves scripts.
        test::writeFile(dir / "好.txt", *codec::toGbk("ACT CELL:LOCALCELLID=0;{站甲}\r\n").text);
        test::writeFile(dir / "坏.txt",
                        "MOD CELL:LOCALCELLID=0,PHYCELLID=504;{站甲}\r\n"
                        "ADD EUTRANINTRAFREQNCELL:LOCALCELLID=0,ENODEBID=1001,CELLID=1,"
                        "LOCALCELLNAME=\"甲9\";{站甲}\r\n");
    }
};

TEST_F(CliCheck, OneLinePerFindingThenTheSummary) {
    auto r = runCli(dir.path(), "check 好.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 个错误，0 个警告\n");
    r = runCli(dir.path(), "check 好.txt 坏.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "坏.txt:1: error range: 参数值超出取值范围：PHYCELLID=504（0–503）\n"
              "1 个错误，0 个警告\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliCheck, WithALibraryTheNamesAreLookedUp) {
    const auto r = runCli(dir.path(), "--lib4g 网.edb check 坏.txt");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
              "坏.txt:1: error range: 参数值超出取值范围：PHYCELLID=504（0–503）\n"
              "坏.txt:2: warning unknown-cell: 工参库中没有这个小区名：LOCALCELLNAME=\"甲9\"\n"
              "1 个错误，1 个警告\n");
    EXPECT_EQ(runCli(dir.path(), "--lib4g 无.edb check 坏.txt").status, 2);
}

TEST_F(CliCheck, JsonForMachines) {
    auto r = runCli(dir.path(), "check --json 好.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"files\":[{\"file\":\"好.txt\",\"findings\":[]}],\"errors\":0,\"warnings\":0}\n");
    // Quotes and backslashes escaped, in the file name and in the reasons
    // (Windows allows no quote in a file name).
#ifndef _WIN32
    test::writeFile(dir / "引\"号.txt", "ACT CELL:LOCALCELLID=\"a\\b\";{}\r\n");
    r = runCli(dir.path(), "check --json '引\"号.txt'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.out,
        "{\"files\":[{\"file\":\"引\\\"号.txt\",\"findings\":["
        "{\"line\":1,\"severity\":\"error\",\"rule\":\"empty-ne\","
        "\"reason\":\"网元名为空（工参库中缺少基站名）\"},"
        "{\"line\":1,\"severity\":\"error\",\"rule\":\"not-number\","
        "\"reason\":\"参数值应为整数：LOCALCELLID=a\\\\b\"}]}],\"errors\":2,\"warnings\":0}\n");
#endif
}

TEST_F(CliCheck, AGbkFileNameIsShownDecoded) {
    BRINDLE_POSIX_ONLY("file names that are bytes (Windows names are UTF-16)");
#ifndef _WIN32
    // 北区.txt as an archive made on Chinese Windows unpacks it.
    test::writeFile(dir / "\xB1\xB1\xC7\xF8.txt",
                    "MOD CELL:LOCALCELLID=0,PHYCELLID=504;{站甲}\r\n");
    const std::string finding =
        "{\"line\":1,\"severity\":\"error\",\"rule\":\"range\","
        "\"reason\":\"参数值超出取值范围：PHYCELLID=504（0–503）\"}";
    auto r = runCli(dir.path(), "check --json '\xB1\xB1\xC7\xF8.txt'");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(codec::isValidUtf8(r.out));
    EXPECT_EQ(r.out, "{\"files\":[{\"file\":\"北区.txt\",\"findings\":[" + finding +
                         "]}],\"errors\":1,\"warnings\":0}\n");
    r = runCli(dir.path(), "check '\xB1\xB1\xC7\xF8.txt'");
    EXPECT_EQ(r.out,
              "北区.txt:1: error range: 参数值超出取值范围：PHYCELLID=504（0–503）\n"
              "1 个错误，0 个警告\n");
    // Neither UTF-8 nor GBK: the bytes are written out.
    test::writeFile(dir / "\xFF.txt", "ACT CELL:LOCALCELLID=0;{站甲}\r\n");
    r = runCli(dir.path(), "check --json '\xFF.txt'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"files\":[{\"file\":\"\\\\xFF.txt\",\"findings\":[]}],\"errors\":0,"
              "\"warnings\":0}\n");
#endif
}

TEST_F(CliCheck, UnreadableFilesAndUsage) {
    auto r = runCli(dir.path(), "check 无.txt 好.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "脚本文件不存在：无.txt\n");
    EXPECT_EQ(r.out, "0 个错误，0 个警告\n");
    r = runCli(dir.path(), "check");
    EXPECT_EQ(r.status, 2);
}
