// The script tools: the splitter and the site-type builder.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/textcodec.h"
#include "core/tools/boxnumber.h"
#include "core/tools/sitetype.h"
#include "core/tools/splitter.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using brindle::test::gbk;
using namespace brindle;
using namespace brindle::tools;
using brindle::test::cell4G;
using brindle::test::readFile;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;

namespace fs = std::filesystem;

namespace {

std::string numberedLines(int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i) out += "LST CELL:LOCALCELLID=" + std::to_string(i) + ";\r\n";
    return out;
}

}  // namespace

// ---- count boxes ------------------------------------------------------------

TEST(BoxNumber, DigitsOnlyElseZero) {
    EXPECT_EQ(boxNumber("200"), 200u);
    EXPECT_EQ(boxNumber(" 15 "), 15u);
    EXPECT_EQ(boxNumber(""), 0u);
    EXPECT_EQ(boxNumber("abc"), 0u);
    EXPECT_EQ(boxNumber("12a"), 0u);
    EXPECT_EQ(boxNumber("-3"), 0u);
    EXPECT_EQ(boxNumber("1.5"), 0u);
    EXPECT_EQ(boxNumber("99999999999999999999"), 0u);
}

// ---- splitter -----------------------------------------------------------------

TEST(Splitter, BaseNameIsTheFileNameBeforeItsFirstDot) {
    EXPECT_EQ(baseNameOf("C:\\Users\\工程师\\Desktop\\北区.v2.txt"), "北区");
    EXPECT_EQ(baseNameOf("/home/a/脚本/南区.txt"), "南区");
    EXPECT_EQ(baseNameOf("plain"), "plain");
    EXPECT_EQ(baseNameOf("/x/.hidden.txt"), "");
}

TEST(Splitter, TwoThousandFiveHundredLinesByThousand) {
    const std::string script = numberedLines(1, 2500);
    RecordingFeedback feedback;
    const auto chunks = splitScript(script, {SplitBy::LineCount, 1000}, &feedback);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0], numberedLines(1, 1000));
    EXPECT_EQ(chunks[1], numberedLines(1001, 2000));
    EXPECT_EQ(chunks[2], numberedLines(2001, 2500));
    EXPECT_EQ(feedback.lastPosition, 2500);
    EXPECT_EQ(feedback.lastMaximum, 2500);
    EXPECT_EQ(feedback.stopChecks, 2500);  // asked before every line
}

TEST(Splitter, ExactMultipleLeavesNoEmptyFile) {
    const auto chunks = splitScript(numberedLines(1, 4), {SplitBy::LineCount, 2});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1], numberedLines(3, 4));
}

TEST(Splitter, EmptyLinesAreDroppedAndNotCounted) {
    const std::string script = "A;{甲}\r\n\r\n\r\nB;{甲}\r\n\r\nC;{乙}\r\n\r\n";
    const auto chunks = splitScript(script, {SplitBy::LineCount, 2});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0], "A;{甲}\r\nB;{甲}\r\n");
    EXPECT_EQ(chunks[1], "C;{乙}\r\n");
}

TEST(Splitter, LastLineWithoutLineEndGetsOne) {
    const auto chunks = splitScript("A;{甲}\r\nB;{乙}", {});
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0], "A;{甲}\r\nB;{乙}\r\n");
}

TEST(Splitter, ALoneLineFeedStaysInsideItsLine) {
    const auto chunks = splitScript("A\nB;{甲}\r\nC;{甲}\r\n", {SplitBy::LineCount, 1});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0], "A\nB;{甲}\r\n");
}

// The file ends right after the first line of the N-th distinct NE; the rest
// of that NE opens the next file, where it counts again.
TEST(Splitter, ByNeCountWithARepeatedNe) {
    const std::string script =
        "1;{甲}\r\n2;{甲}\r\n3;{乙}\r\n4;{乙}\r\n5;{甲}\r\n6;{丙}\r\n7;{丁}\r\n";
    const auto chunks = splitScript(script, {SplitBy::NeCount, 2});
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0], "1;{甲}\r\n2;{甲}\r\n3;{乙}\r\n");
    EXPECT_EQ(chunks[1], "4;{乙}\r\n5;{甲}\r\n");
    EXPECT_EQ(chunks[2], "6;{丙}\r\n7;{丁}\r\n");
}

TEST(Splitter, LinesWithoutBracesShareOneEmptyNe) {
    const std::string script = "x\r\ny\r\nz{\r\nw}\r\nA;{甲}\r\nB;{乙}\r\n";
    const auto chunks = splitScript(script, {SplitBy::NeCount, 2});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0], "x\r\ny\r\nz{\r\nw}\r\nA;{甲}\r\n");
    EXPECT_EQ(chunks[1], "B;{乙}\r\n");
}

TEST(Splitter, NeIsBetweenTheFirstOpenAndTheFirstCloseAfterIt) {
    EXPECT_EQ(neOfLine("ADD X:A=1;{站甲}", false), "站甲");
    EXPECT_EQ(neOfLine("} a {b}{c}", false), "b");
    EXPECT_EQ(neOfLine("{}", false), "");
    EXPECT_EQ(neOfLine("no braces", false), "");
    EXPECT_EQ(neOfLine("open {only", false), "");
}

TEST(Splitter, BraceBytesInsideGbkCharactersAreNoBraces) {
    // 皚 is B0 7D in GBK, 皗 is B0 7B: their second bytes are "}" and "{".
    const std::string ne1 = gbk("站") + "\xB0\x7D";
    const std::string line1 = "ADD X:NAME=\"" + gbk("皗") + "\";{" + ne1 + "}";
    const std::string line2 = "MOD X:A=1;{" + ne1 + "}";
    const std::string line3 = "MOD X:A=2;{" + gbk("北") + "}";
    ASSERT_TRUE(codec::fromGbk(line1 + line3).has_value());
    const std::string script = line1 + "\r\n" + line2 + "\r\n" + line3 + "\r\n";
    ASSERT_TRUE(isGbkScript(script));
    EXPECT_EQ(neOfLine(line1, true), ne1);
    const auto chunks = splitScript(script, {SplitBy::NeCount, 1});
    ASSERT_EQ(chunks.size(), 3u);
    // Line 1 and 2 share one NE, so the NE limit 1 ends a file after each
    // first line of a new NE: written byte for byte as read.
    EXPECT_EQ(chunks[0], line1 + "\r\n");
    EXPECT_EQ(chunks[1], line2 + "\r\n");
    EXPECT_EQ(chunks[2], line3 + "\r\n");
    const auto byTwo = splitScript(script, {SplitBy::NeCount, 2});
    ASSERT_EQ(byTwo.size(), 1u);
    EXPECT_EQ(byTwo[0], line1 + "\r\n" + line2 + "\r\n" + line3 + "\r\n");
}

TEST(Splitter, Utf8ScriptIsReadBytewise) {
    // In UTF-8 the last byte of 中 (E4 B8 AD) followed by "{" would pair
    // as GBK; a UTF-8 script is not read as GBK.
    const std::string script = "A;{中}\r\nB;{乙}\r\nC;{乙}\r\n";
    EXPECT_FALSE(isGbkScript(script));
    EXPECT_EQ(neOfLine("A;{中}", false), "中");
    const auto chunks = splitScript(script, {SplitBy::NeCount, 2});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0], "A;{中}\r\nB;{乙}\r\n");
    EXPECT_EQ(chunks[1], "C;{乙}\r\n");
}

TEST(Splitter, ZeroNeverEndsAFile) {
    const std::string script = numberedLines(1, 5);
    EXPECT_EQ(splitScript(script, {SplitBy::LineCount, 0}), std::vector<std::string>{script});
    EXPECT_EQ(splitScript(script, {SplitBy::NeCount, 0}), std::vector<std::string>{script});
    EXPECT_EQ(splitScript(script, {SplitBy::Whole, 1}), std::vector<std::string>{script});
}

TEST(Splitter, WritesNumberedFilesBesideTheScriptAndSaysDone) {
    TempDir dir;
    const std::string script = gbk("ADD A;{北1}\r\nADD B;{北2}\r\n\r\nADD C;{北3}\r\n");
    test::writeFile(dir / "北区_2.txt", "old");
    RecordingFeedback feedback;
    ASSERT_TRUE(splitToFiles(script, dir.path(), "北区", {SplitBy::NeCount, 1}, feedback));
    EXPECT_EQ(readFile(dir / "北区_0.txt"), gbk("ADD A;{北1}\r\n"));
    EXPECT_EQ(readFile(dir / "北区_1.txt"), gbk("ADD B;{北2}\r\n"));
    EXPECT_EQ(readFile(dir / "北区_2.txt"), gbk("ADD C;{北3}\r\n"));
    EXPECT_FALSE(fs::exists(dir / "北区_3.txt"));
    EXPECT_EQ(feedback.texts(),
              std::vector<std::string>{"脚本分割完成！\r\n共写出3个文件，保存在：" +
                                       platform::utf8Name(dir.path())});
}

TEST(Splitter, NothingLoadedWritesNothingAndSaysDone) {
    TempDir dir;
    RecordingFeedback feedback;
    ASSERT_TRUE(splitToFiles("", dir.path(), "", {SplitBy::LineCount, 1000}, feedback));
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_EQ(feedback.texts(),
              std::vector<std::string>{"脚本分割完成！\r\n共写出0个文件，保存在：" +
                                       platform::utf8Name(dir.path())});
}

TEST(Splitter, AnUnwritableFileIsNamedAndStopsTheRun) {
    TempDir dir;
    test::writeFile(dir / "s_1.txt", "keep");
    fs::permissions(dir / "s_1.txt", fs::perms::owner_read | fs::perms::group_read);
    RecordingFeedback feedback;
    const Status status =
        splitToFiles(numberedLines(1, 3), dir.path(), "s", {SplitBy::LineCount, 1}, feedback);
    EXPECT_FALSE(status);
    EXPECT_EQ(readFile(dir / "s_0.txt"), numberedLines(1, 1));
    EXPECT_EQ(readFile(dir / "s_1.txt"), "keep");
    EXPECT_FALSE(fs::exists(dir / "s_2.txt"));
    ASSERT_EQ(feedback.texts().size(), 1u);
    EXPECT_EQ(feedback.texts()[0], "写出失败：s_1.txt：文件为只读");
    EXPECT_EQ(status.error(), feedback.texts()[0]);
    fs::permissions(dir / "s_1.txt", fs::perms::owner_all);
}

// A stop between two lines keeps the files written, each whole; the lines
// gathered for the next file are never written as a file of their own.
TEST(Splitter, AStoppedRunLeavesOnlyWholeFiles) {
    const std::string script = numberedLines(1, 5);
    struct Case {
        long linesDone;  // before the stop
        int files;
    };
    for (const bool fromFile : {false, true}) {
        for (const Case c : {Case{0, 0}, Case{1, 0}, Case{2, 1}, Case{3, 1}, Case{4, 2}}) {
            SCOPED_TRACE(std::to_string(c.linesDone) + (fromFile ? " from the file" : ""));
            TempDir dir;
            test::writeFile(dir / "script.txt", script);
            RecordingFeedback feedback;
            // From a file the run first reads it through, asking before each
            // block: the one block and the empty one that ends it.
            feedback.stopFrom = c.linesDone + (fromFile ? 2 : 0);
            const SplitSettings settings{SplitBy::LineCount, 2};
            platform::FileReader reader;
            ASSERT_EQ(reader.open(dir / "script.txt"), platform::FileContents::State::Read);
            const Status status =
                fromFile ? splitToFiles(reader, "script.txt", dir.path(), "s", settings, feedback)
                         : splitToFiles(script, dir.path(), "s", settings, feedback);
            EXPECT_EQ(status.error(), "已停止");
            EXPECT_EQ(feedback.texts(), std::vector<std::string>{});
            for (int n = 0; n < 3; ++n) {
                const fs::path file = dir / ("s_" + std::to_string(n) + ".txt");
                if (n < c.files)
                    EXPECT_EQ(readFile(file), numberedLines(2 * n + 1, 2 * n + 2));
                else
                    EXPECT_FALSE(fs::exists(file)) << n;
            }
            // The script and the whole files: no temporary either.
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), c.files + 1);
        }
    }
}

TEST(Splitter, AFolderInTheWayIsNamed) {
    TempDir dir;
    fs::create_directories(dir / "s_0.txt");
    RecordingFeedback feedback;
    EXPECT_FALSE(splitToFiles("A\r\n", dir.path(), "s", {}, feedback));
    ASSERT_EQ(feedback.texts().size(), 1u);
    EXPECT_EQ(feedback.texts()[0].rfind("写出失败：s_0.txt：", 0), 0u) << feedback.texts()[0];
}

TEST(Splitter, ABaseNameNamingAnotherFolderIsRefused) {
    TempDir dir;
    fs::create_directories(dir / "sub");
    RecordingFeedback feedback;
    EXPECT_FALSE(splitToFiles("A\r\n", dir / "sub", "../x", {}, feedback));
    EXPECT_FALSE(fs::exists(dir / "x_0.txt"));
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
    EXPECT_EQ(feedback.texts(),
              std::vector<std::string>{"写出失败：../x_0.txt：文件名不能含有“/”或“\\”"});
}

// ---- site-type builder ----------------------------------------------------------

namespace {

class SiteType : public ::testing::Test {
protected:
    test::Workspace ws;
    const Library* library() const { return ws.session.library4G.get(); }
    void use(const std::vector<Record>& records) {
        test::useLibrary(ws.session, "s.edb", LibraryKind::Lte, records);
    }
    static Record cell(std::int32_t id, const std::string& name, const std::string& earfcn) {
        return cell4G(id, {"站", name, "0", "1", "1", earfcn, "1", "1"});
    }
};

}  // namespace

TEST_F(SiteType, TheAbcExample) {
    use({cell(1, "ABC-1", "38400"), cell(2, "ABC-2", "38400"), cell(3, "ABC-3", "38400"),
         cell(4, "ABC-11", "37900")});
    RecordingFeedback feedback;
    EXPECT_EQ(buildSiteTypes(library(), "ABC", {}, &feedback),
              "ABC|F|S1/1/1/|D|S1/0/0/|E|S0/0/0/|FDD|S0/0/0/\r\n");
    EXPECT_EQ(feedback.lastPosition, 1);
    EXPECT_EQ(feedback.stopChecks, 1);  // asked before every base station
    EXPECT_TRUE(feedback.texts().empty());
}

TEST_F(SiteType, NoCellGivesBareHeads) {
    use({cell(1, "ABC-1", "38400")});
    EXPECT_EQ(buildSiteTypes(library(), "XYZ\r\nABC-\r\n", {}),
              "XYZ|F|S|D|S|E|S|FDD|S\r\nABC-|F|S|D|S|E|S|FDD|S\r\n");
    EXPECT_EQ(buildSiteTypes(nullptr, "ABC", {}), "ABC|F|S|D|S|E|S|FDD|S\r\n");
}

TEST_F(SiteType, TheSitesWithoutCellsAreToldOnceAtTheEnd) {
    use({cell(1, "ABC-1", "38400")});
    RecordingFeedback feedback;
    std::vector<std::string> handed;
    const std::string lines =
        buildSiteTypes(library(), "XYZ\r\nABC\r\n\r\nXYZ\r\n南站\r\n", {}, &feedback,
                       [&](const std::string& line) { handed.push_back(line); });
    EXPECT_EQ(handed.size(), 5u);
    EXPECT_EQ(handed[1], "ABC|F|S1/|D|S0/|E|S0/|FDD|S0/\r\n");
    EXPECT_EQ(lines, handed[0] + handed[1] + handed[2] + handed[3] + handed[4]);
    // Each name once, the empty name being no base station.
    EXPECT_EQ(feedback.texts(),
              std::vector<std::string>{"以下基站在工参库中找不到小区：\r\nXYZ\r\n南站"});
    EXPECT_EQ(feedback.shown[0].icon, Icon::Warning);
}

TEST_F(SiteType, AnEarfcnInNoListCountsZeroEverywhere) {
    use({cell(1, "ABC-1", "100"), cell(2, "ABC-2", "3683")});
    EXPECT_EQ(buildSiteTypes(library(), "ABC", {}), "ABC|F|S0/0/|D|S0/0/|E|S0/0/|FDD|S0/1/\r\n");
}

TEST_F(SiteType, AnEarfcnListedInTwoBandsCountsInBoth) {
    use({cell(1, "ABC-1", "38400")});
    SiteTypeSettings settings;
    settings.earfcns[1] = "37900|38400";
    settings.earfcns[3] = "38400|38400";  // listed twice: counted twice
    EXPECT_EQ(buildSiteTypes(library(), "ABC", settings), "ABC|F|S1/|D|S1/|E|S0/|FDD|S2/\r\n");
}

TEST_F(SiteType, AMissingSectorAddsNothing) {
    use({cell(1, "ABC-1", "38400"), cell(2, "ABC-3", "37900"), cell(3, "ABC-21", "38400"),
         cell(4, "ABC-31", "38950"), cell(5, "ABC-39", "38950"), cell(6, "ABC-30", "38950")});
    // ABC-21 has no ABC-2 to belong to; ABC-30 is no carrier (1 to 9 only).
    EXPECT_EQ(buildSiteTypes(library(), "ABC", {}), "ABC|F|S1/0/|D|S0/1/|E|S0/2/|FDD|S0/0/\r\n");
}

TEST_F(SiteType, TheFirstRecordOfANameCounts) {
    use({cell(1, "ABC-1", "1250"), cell(2, "ABC-1", "38400")});
    EXPECT_EQ(buildSiteTypes(library(), "ABC", {}), "ABC|F|S0/|D|S0/|E|S0/|FDD|S1/\r\n");
}

TEST_F(SiteType, TheBoxesShapeTheLine) {
    use({cell(1, "站A_1", "38400"), cell(2, "站A_2", "40936"), cell(3, "站A_10", "38400")});
    SiteTypeSettings settings;
    settings.bandNames = {"F频", "D频", "", "FDD"};
    settings.head = "";
    settings.connector = "_";
    settings.separator = ",";
    EXPECT_EQ(buildSiteTypes(library(), "站A", settings),
              "站A|F频|1,0,|D频|0,1,||0,0,|FDD|0,0,\r\n");
    settings.maxCells = "10";  // 站A_10 is sector 10 now, and carrier 0 of sector 1 never
    EXPECT_EQ(buildSiteTypes(library(), "站A", settings),
              "站A|F频|1,0,1,|D频|0,1,0,||0,0,0,|FDD|0,0,0,\r\n");
    settings.maxCells = "1";
    EXPECT_EQ(buildSiteTypes(library(), "站A", settings), "站A|F频|1,|D频|0,||0,|FDD|0,\r\n");
    for (const char* none : {"0", "", "九"}) {
        settings.maxCells = none;
        EXPECT_EQ(buildSiteTypes(library(), "站A", settings), "站A|F频||D频||||FDD|\r\n") << none;
    }
}

TEST_F(SiteType, ATrailingBarAddsNoEntryButAnInnerEmptyOneMatchesAnEmptyEarfcn) {
    use({cell(1, "ABC-1", ""), cell(2, "ABC-2", "38400")});
    SiteTypeSettings settings;
    settings.earfcns = {"38400|", "|37900", "", "1250"};
    EXPECT_EQ(buildSiteTypes(library(), "ABC", settings),
              "ABC|F|S0/1/|D|S1/0/|E|S0/0/|FDD|S0/0/\r\n");
}

TEST_F(SiteType, NamesFollowTheNameListRules) {
    use({cell(1, "A-1", "38400")});
    EXPECT_EQ(buildSiteTypes(library(), "", {}), "");
    EXPECT_EQ(
        buildSiteTypes(library(), "A\r\n\r\nA\r\n", {}),
        "A|F|S1/|D|S0/|E|S0/|FDD|S0/\r\n|F|S|D|S|E|S|FDD|S\r\nA|F|S1/|D|S0/|E|S0/|FDD|S0/\r\n");
}
