// Scripts read a block of whole lines at a time (split and check of a script
// file): every block size gives the same files and findings, whatever falls
// across a read — a line, a GBK character, a CR LF, a last line without a
// line end.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/commandtable.h"
#include "core/base/lineblocks.h"
#include "core/base/textcodec.h"
#include "core/tools/scriptcheck.h"
#include "core/tools/splitter.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using brindle::test::gbk;
using namespace brindle;
using brindle::test::readFile;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;

namespace fs = std::filesystem;

namespace {

// The block sizes tried: each byte of a short script falls at the end of a
// read for one of them; 0 stands for the size used in earnest.
constexpr std::size_t kBlockSizes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 17, 0};

std::size_t blockSize(std::size_t tried) {
    return tried == 0 ? kLineBlockSize : tried;
}

}  // namespace

TEST(LineBlocks, EachBlockEndsAfterANewlineAndTheLastTakesTheRest) {
    TempDir dir;
    test::writeFile(dir / "s.txt", "ab\ncd\r\nef");
    platform::FileReader file;
    ASSERT_EQ(file.open(dir / "s.txt"), platform::FileContents::State::Read);
    LineBlocks blocks(file, 0, 4);
    std::vector<std::pair<std::string, std::uintmax_t>> seen;
    std::string_view block;
    do {
        ASSERT_TRUE(blocks.next(block));
        seen.emplace_back(block, blocks.offset());
    } while (!block.empty());
    const std::vector<std::pair<std::string, std::uintmax_t>> expected = {
        {"ab\n", 0}, {"cd\r\n", 3}, {"ef", 7}, {"", 9}};
    EXPECT_EQ(seen, expected);
}

TEST(LineBlocks, AStartAndALineLongerThanABlock) {
    TempDir dir;
    test::writeFile(dir / "s.txt",
                    "\xEF\xBB\xBF"
                    "0123456789\nx\n");
    platform::FileReader file;
    ASSERT_EQ(file.open(dir / "s.txt"), platform::FileContents::State::Read);
    LineBlocks blocks(file, 3, 2);
    std::string_view block;
    ASSERT_TRUE(blocks.next(block));
    EXPECT_EQ(block, "0123456789\n");
    EXPECT_EQ(blocks.offset(), 3u);
    ASSERT_TRUE(blocks.next(block));
    EXPECT_EQ(block, "x\n");
    EXPECT_EQ(blocks.offset(), 14u);
    ASSERT_TRUE(blocks.next(block));
    EXPECT_EQ(block, "");
}

TEST(FileReader, MissingAndFolderAreToldApart) {
    TempDir dir;
    platform::FileReader file;
    EXPECT_EQ(file.open(dir / "none.txt"), platform::FileContents::State::Missing);
    EXPECT_EQ(file.open(dir.path()), platform::FileContents::State::Failed);
    char byte = 0;
    EXPECT_FALSE(file.readAt(0, &byte, 1).has_value());
}

// 皚 is B0 7D in GBK: its second byte is "}". A lone "\n" stays inside its
// line, the empty line is dropped, the last line gets its "\r\n".
TEST(SplitFile, EveryBlockSizeWritesTheSameFiles) {
    const std::string ne = gbk("站") + "\xB0\x7D";
    const std::string named = "ADD X:NAME=\"" + gbk("皗") + "\";{" + ne + "}";
    const std::string script =
        gbk("ADD A;{北1}\r\n") + "x\n" + gbk("y;{北1}\r\n\r\n") + named + "\r\n" + gbk("LAST;{南}");
    for (const std::size_t tried : kBlockSizes) {
        SCOPED_TRACE(tried);
        TempDir dir;
        test::writeFile(dir / "s.txt", script);
        platform::FileReader file;
        ASSERT_EQ(file.open(dir / "s.txt"), platform::FileContents::State::Read);
        RecordingFeedback feedback;
        ASSERT_TRUE(tools::splitToFiles(file, "s.txt", dir.path(), "n",
                                        {tools::SplitBy::NeCount, 1}, feedback, blockSize(tried)));
        EXPECT_EQ(readFile(dir / "n_0.txt"), gbk("ADD A;{北1}\r\n"));
        EXPECT_EQ(readFile(dir / "n_1.txt"), "x\n" + gbk("y;{北1}\r\n"));
        EXPECT_EQ(readFile(dir / "n_2.txt"), named + "\r\n");
        EXPECT_EQ(readFile(dir / "n_3.txt"), gbk("LAST;{南}\r\n"));
        EXPECT_FALSE(fs::exists(dir / "n_4.txt"));
        EXPECT_EQ(feedback.texts(),
                  std::vector<std::string>{"脚本分割完成！\r\n共写出4个文件，保存在：" +
                                           platform::utf8Name(dir.path())});
        // Five pieces between "\r\n"s, the empty one among them.
        EXPECT_EQ(feedback.lastPosition, 5);
        EXPECT_EQ(feedback.lastMaximum, 5);

        ASSERT_TRUE(tools::splitToFiles(file, "s.txt", dir.path(), "l",
                                        {tools::SplitBy::LineCount, 2}, feedback,
                                        blockSize(tried)));
        EXPECT_EQ(readFile(dir / "l_0.txt"), gbk("ADD A;{北1}\r\n") + "x\n" + gbk("y;{北1}\r\n"));
        EXPECT_EQ(readFile(dir / "l_1.txt"), named + "\r\n" + gbk("LAST;{南}\r\n"));
        EXPECT_FALSE(fs::exists(dir / "l_2.txt"));
    }
}

TEST(SplitFile, AScriptEndingInALoneLineFeedOrEmptyWritesWhatItHolds) {
    TempDir dir;
    test::writeFile(dir / "lf.txt", "A;{1}\r\nB;{2}\n");
    test::writeFile(dir / "empty.txt", "");
    platform::FileReader lf, empty;
    ASSERT_EQ(lf.open(dir / "lf.txt"), platform::FileContents::State::Read);
    ASSERT_EQ(empty.open(dir / "empty.txt"), platform::FileContents::State::Read);
    RecordingFeedback feedback;
    ASSERT_TRUE(tools::splitToFiles(lf, "lf.txt", dir.path(), "lf", {tools::SplitBy::LineCount, 1},
                                    feedback, 3));
    EXPECT_EQ(readFile(dir / "lf_0.txt"), "A;{1}\r\n");
    EXPECT_EQ(readFile(dir / "lf_1.txt"), "B;{2}\n\r\n");
    ASSERT_TRUE(tools::splitToFiles(empty, "empty.txt", dir.path(), "e", {}, feedback, 3));
    EXPECT_FALSE(fs::exists(dir / "e_0.txt"));
}

namespace {

// Every finding of a script file, as the command line prints it for "s".
std::vector<std::string> fileFindings(const fs::path& path, std::size_t tried) {
    const check::CheckContext context{&programCommands(), nullptr, nullptr};
    std::vector<std::string> told;
    const auto all = check::checkScriptFile(
        path, context,
        [&](const check::Finding& f) { told.push_back(check::formatFinding("s", f)); }, nullptr,
        blockSize(tried));
    EXPECT_TRUE(all);
    if (!all) return {all.error()};
    EXPECT_EQ(all->size(), told.size());
    return told;
}

}  // namespace

// A mark, a lone "\n", a line repeated (the repeat found by reading the
// first one again from the file), a bad value, a last line without a line
// end: the same findings as the script read whole, in GBK and in UTF-8.
TEST(CheckFile, EveryBlockSizeFindsTheSame) {
    const std::string utf8 =
        "ACT CELL:LOCALCELLID=1;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=1;{站甲}\n"
        "ACT CELL:LOCALCELLID=x;{站甲}\r\n"
        "\r\n"
        "ACT CELL:LOCALCELLID=2;{站甲}\r\n"
        "ACT CELL:LOCALCELLID=1;{站甲}";
    const std::vector<std::string> expected = {
        "s:2: error line-end: 行尾不是回车换行（CR LF）",
        "s:2: warning duplicate-line: 与前面的一行完全相同：第1行",
        "s:3: error not-number: 参数值应为整数：LOCALCELLID=x",
        "s:6: warning duplicate-line: 与前面的一行完全相同：第1行",
    };
    TempDir dir;
    test::writeFile(dir / "gbk.txt", "\xEF\xBB\xBF" + gbk(utf8));
    test::writeFile(dir / "utf8.txt", "\xEF\xBB\xBF" + utf8);
    test::writeFile(dir / "twice.txt", "\xEF\xBB\xBF\xEF\xBB\xBF" + utf8);
    for (const std::size_t tried : kBlockSizes) {
        SCOPED_TRACE(tried);
        EXPECT_EQ(fileFindings(dir / "gbk.txt", tried), expected);
        EXPECT_EQ(fileFindings(dir / "utf8.txt", tried), expected);
        // A second mark is part of the text, and skipped as the whole read does.
        EXPECT_EQ(fileFindings(dir / "twice.txt", tried), expected);
    }
}

TEST(CheckFile, SameHashDifferentTextIsNoDuplicate) {
    // Lines that differ only past a read boundary are read back whole.
    TempDir dir;
    test::writeFile(dir / "s.txt",
                    gbk("ACT CELL:LOCALCELLID=1;{站甲}\r\nACT CELL:LOCALCELLID=1;{站乙}\r\n"));
    for (const std::size_t tried : kBlockSizes)
        EXPECT_TRUE(fileFindings(dir / "s.txt", tried).empty());
}

TEST(CheckFile, NotTextHalfWayTellsNothing) {
    TempDir dir;
    test::writeFile(dir / "bad.txt", gbk("ACT CELL:LOCALCELLID=x;{站甲}\r\n") + "\x81\x20\r\n");
    test::writeFile(dir / "dir.txt", "");
    fs::remove(dir / "dir.txt");
    fs::create_directories(dir / "dir.txt");
    const check::CheckContext context{&programCommands(), nullptr, nullptr};
    for (const std::size_t tried : kBlockSizes) {
        std::size_t told = 0;
        const auto result = check::checkScriptFile(
            dir / "bad.txt", context, [&](const check::Finding&) { ++told; }, nullptr,
            blockSize(tried));
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error(),
                  "脚本文件既不是UTF-8也不是GBK编码：" + platform::utf8Name(dir / "bad.txt"));
        EXPECT_EQ(told, 0u);
    }
    EXPECT_EQ(check::checkScriptFile(dir / "none.txt", context).error(),
              "脚本文件不存在：" + platform::utf8Name(dir / "none.txt"));
    EXPECT_EQ(check::checkScriptFile(dir / "dir.txt", context).error(),
              "脚本文件无法读取：" + platform::utf8Name(dir / "dir.txt"));
}

// The duplicate-line table is sized up front by the lines of the first read:
// a script whose first read is one long comment grows the table past that
// guess many times over, and one whose first read is short comments sizes it
// far beyond its few commands; each repeat still names its first line.
TEST(CheckFile, RepeatsAreFoundHoweverTheFirstReadMisjudgesTheLines) {
    std::string commands;
    for (int i = 0; i < 3000; ++i)
        commands += "ACT CELL:LOCALCELLID=1;{NE" + std::to_string(i) + "}\r\n";
    const std::string repeats =
        "ACT CELL:LOCALCELLID=1;{NE0}\r\n"
        "ACT CELL:LOCALCELLID=1;{NE1499}\r\n"
        "ACT CELL:LOCALCELLID=1;{NE2999}\r\n";
    const std::string longFirst = "//" + std::string(4000, 'x') + "\r\n" + commands + repeats;
    std::string shortFirst;
    for (int i = 0; i < 3000; ++i) shortFirst += "//\r\n";
    shortFirst += "ACT CELL:LOCALCELLID=1;{NE7}\r\nACT CELL:LOCALCELLID=1;{NE7}\r\n";

    TempDir dir;
    test::writeFile(dir / "long.txt", longFirst);
    test::writeFile(dir / "short.txt", shortFirst);
    const std::vector<std::string> longExpected = {
        "s:3002: warning duplicate-line: 与前面的一行完全相同：第2行",
        "s:3003: warning duplicate-line: 与前面的一行完全相同：第1501行",
        "s:3004: warning duplicate-line: 与前面的一行完全相同：第3001行",
    };
    const std::vector<std::string> shortExpected = {
        "s:3002: warning duplicate-line: 与前面的一行完全相同：第3001行",
    };
    for (const std::size_t tried : {std::size_t(64), std::size_t(0)}) {
        SCOPED_TRACE(tried);
        EXPECT_EQ(fileFindings(dir / "long.txt", tried), longExpected);
        EXPECT_EQ(fileFindings(dir / "short.txt", tried), shortExpected);
    }
    const check::CheckContext context{&programCommands(), nullptr, nullptr};
    const auto whole = [&](std::string_view script) {
        std::vector<std::string> told;
        for (const check::Finding& f : check::checkScript(script, context))
            told.push_back(check::formatFinding("s", f));
        return told;
    };
    EXPECT_EQ(whole(longFirst), longExpected);
    EXPECT_EQ(whole(shortFirst), shortExpected);
}
