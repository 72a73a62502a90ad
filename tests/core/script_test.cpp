// Script panes and script files: de-duplication, the direct-output save and
// the 4G save.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/base/namelist.h"
#include "core/base/script.h"
#include "recordingfeedback.h"
#include "testsupport.h"

using namespace brindle;
using brindle::test::readFile;
using brindle::test::RecordingFeedback;
using brindle::test::TempDir;
using Lines = std::vector<std::string>;

TEST(Dedup, KeepsFirstOccurrencesInOrderIncludingOneEmptyLine) {
    EXPECT_EQ(dedupLines({"A", "B", "A", "C", "A"}), (Lines{"A", "B", "C"}));
    EXPECT_EQ(dedupLines({"", "A", "", "a"}), (Lines{"", "A", "a"}));
}

// The command line's --dedup and the saves: distinct lines, one empty line
// kept like any other, a last line without its line end given one.
TEST(Dedup, TextRebuiltFromItsDistinctLines) {
    EXPECT_EQ(dedupText("A\r\nB\r\nA\r\n\r\nC\r\n\r\nA"), "A\r\nB\r\n\r\nC\r\n");
    EXPECT_EQ(dedupText("a\r\nA\r\nA\n\r\nA"), "a\r\nA\r\nA\n\r\n");
    EXPECT_EQ(dedupText(""), "");
    EXPECT_EQ(dedupText("\r\n"), "\r\n");
}

TEST(Dedup, PaneRebuildDropsEmptyLinesAndReportsProgress) {
    RecordingFeedback fb;
    EXPECT_EQ(dedupPane("A\r\n\r\nB\r\nA", &fb), "A\r\nB\r\n");
    EXPECT_EQ(fb.lastMaximum, 4);
    EXPECT_EQ(fb.lastPosition, 2);
    EXPECT_EQ(dedupPane(""), "");
}

TEST(ScriptFile, IsGbkWithCrLfAndNoBom) {
    TempDir dir;
    const auto out = dir / "s.txt";
    const Status written = writeScriptFile(out, "RMV X;{城北}\r\n");
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(written.error(), "");
    EXPECT_EQ(readFile(out), "RMV X;{\xB3\xC7\xB1\xB1}\r\n");
}

TEST(ScriptFile, RefusesAnUnencodableCharacterAndWritesNothing) {
    TempDir dir;
    const auto out = dir / "s.txt";
    test::writeFile(out, "old");
    const Status written = writeScriptFile(out, "A\r\nB\r\nC😀\r\n");
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.error(), "第3行含有GBK编码无法表示的字符，未写出任何内容");
    EXPECT_EQ(readFile(out), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A script of several megabytes is converted and written a piece at a time:
// the file is the same as one written whole, and a character GBK cannot hold
// far into the script still names its own line and leaves nothing.
TEST(ScriptFile, ALargeScriptIsWrittenWholeAndARefusalNamesItsLine) {
    TempDir dir;
    const auto out = dir / "s.txt";
    std::string utf8, gbk;
    for (int i = 0; i < 150000; ++i) {
        utf8 += "ADD X:ID=" + std::to_string(i) + ";{城北}\r\n";
        gbk += "ADD X:ID=" + std::to_string(i) + ";{\xB3\xC7\xB1\xB1}\r\n";
    }
    ASSERT_GT(utf8.size(), 3u << 20);
    const Status written = writeScriptFile(out, utf8);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(readFile(out), gbk);

    const std::string refused = utf8 + "C😀\r\n" + utf8;
    const Status failed = writeScriptFile(out, refused);
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), "第150001行含有GBK编码无法表示的字符，未写出任何内容");
    EXPECT_EQ(readFile(out), gbk);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// The saves write a pane's distinct lines a piece at a time: the same file
// as dedupText's, repeats far apart dropped, the last line given its line
// end, and a refused character named by its line in the written text.
TEST(ScriptFile, DistinctLinesAreWrittenInPieces) {
    TempDir dir;
    const auto out = dir / "s.txt";
    std::string utf8, gbk;
    for (int i = 0; i < 150000; ++i) {
        utf8 += "ADD X:ID=" + std::to_string(i) + ";{城北}\r\n\r\n";
        gbk += "ADD X:ID=" + std::to_string(i) + ";{\xB3\xC7\xB1\xB1}\r\n";
        if (i == 0) gbk += "\r\n";  // the first empty line is kept
    }
    ASSERT_GT(utf8.size(), 3u << 20);
    const Status written = writeDistinctLines(out, utf8 + utf8 + "ADD X:ID=0;{城北}\r\nEND");
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(readFile(out), gbk + "END\r\n");

    const Status failed = writeDistinctLines(out, utf8 + utf8 + "C😀\r\n");
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), "第150002行含有GBK编码无法表示的字符，未写出任何内容");
    EXPECT_EQ(readFile(out), gbk + "END\r\n");
    ASSERT_TRUE(writeDistinctLines(out, "").ok());
    EXPECT_EQ(readFile(out), "");
}

TEST(ScriptFile, ReportsAMissingFolderAndAReadOnlyFile) {
    TempDir dir;
    const Status missing = writeScriptFile(dir / "gone" / "s.txt", "A\r\n");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), std::strerror(ENOENT));
    const auto ro = dir / "ro.txt";
    test::writeFile(ro, "keep");
    ::chmod(ro.c_str(), 0444);
    const Status written = writeScriptFile(ro, "A\r\n");
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(writeFailedMessage(written.error()), "写出失败：文件为只读");
    EXPECT_EQ(readFile(ro), "keep");
}

TEST(ScriptFile, ChosenNameWithoutExtensionGetsTxt) {
    EXPECT_EQ(withTxtExtension("/d/北区"), "/d/北区.txt");
    EXPECT_EQ(withTxtExtension("/d/北区.TXT"), "/d/北区.TXT");
}

TEST(DirectOutput, DoesNothingUnlessTicked) {
    RecordingFeedback fb;
    std::string buffer = "A\r\n";
    saveDirectOutput(buffer, false, fb);
    EXPECT_TRUE(fb.shown.empty());
    EXPECT_TRUE(fb.fileRequests.empty());
    EXPECT_EQ(buffer, "A\r\n");
}

TEST(DirectOutput, CancelledSaveKeepsLinesForTheNextSave) {
    TempDir dir;
    RecordingFeedback fb;
    std::string buffer = "L1\r\nL2\r\n";
    fb.preset.files.push_back(std::nullopt);  // first save cancelled
    saveDirectOutput(buffer, true, fb);
    EXPECT_EQ(fb.texts(), Lines{"写出失败"});
    EXPECT_EQ(fb.fileRequests.at(0).filter, "文本文档（*.TXT）|*.TXT");
    buffer += "L2\r\nL3\r\n";
    fb.preset.files.push_back(dir / "out");
    saveDirectOutput(buffer, true, fb);
    EXPECT_EQ(readFile(dir / "out.txt"), "L1\r\nL2\r\nL3\r\n");
    EXPECT_EQ(buffer, "");
    EXPECT_EQ(fb.texts().size(), 1u);  // no message after a save
}

TEST(DirectOutput, FailedWriteKeepsTheBufferAndSaysWhy) {
    TempDir dir;
    RecordingFeedback fb;
    std::string buffer = "L1\r\n";
    fb.preset.files.push_back(dir / "missing" / "x.txt");
    saveDirectOutput(buffer, true, fb);
    EXPECT_EQ(buffer, "L1\r\n");
    ASSERT_EQ(fb.shown.size(), 1u);
    EXPECT_EQ(fb.shown[0].text.rfind("写出失败：", 0), 0u);
}

TEST(DirectOutput, EmptyBufferWritesAnEmptyFile) {
    TempDir dir;
    RecordingFeedback fb;
    std::string buffer;
    fb.preset.files.push_back(dir / "e.txt");
    saveDirectOutput(buffer, true, fb);
    EXPECT_TRUE(std::filesystem::exists(dir / "e.txt"));
    EXPECT_EQ(readFile(dir / "e.txt"), "");
}

TEST(SaveScript, SavesDedupedLinesAndLeavesThePaneAlone) {
    TempDir dir;
    RecordingFeedback fb;
    fb.preset.files.push_back(dir / "s.TXT");
    saveScript("X\r\nY\r\nX\r\nZ\r\nX", fb);
    EXPECT_EQ(readFile(dir / "s.TXT"), "X\r\nY\r\nZ\r\n");
    EXPECT_EQ(fb.texts(), Lines{"复制完成"});
}

TEST(SaveScript, EmptyPaneAndCancelHaveTheirMessages) {
    RecordingFeedback fb;
    saveScript("", fb);
    fb.preset.files.push_back(std::nullopt);
    saveScript("X\r\n", fb);
    EXPECT_EQ(fb.texts(), (Lines{"没有脚本，复制失败！", "写出失败"}));
    EXPECT_EQ(fb.fileRequests.size(), 1u);
}

// The tool windows' save: the box is rebuilt first, whatever is chosen; the
// dialog proposes the name in the given folder; the file is the rebuilt text.
TEST(ToolSave, RebuildsTheBoxThenSavesItUnderTheProposedName) {
    TempDir dir;
    RecordingFeedback fb;
    fb.preset.files.push_back(dir / "站甲_PCI修改脚本");
    EXPECT_EQ(saveToolScript("DEA CELL:LOCALCELLID=1;{站甲}\r\n\r\nMOD X;{站甲}\r\nDEA "
                             "CELL:LOCALCELLID=1;{站甲}\r\n",
                             "站甲_PCI修改脚本", "文本|*.txt", dir.path(), fb),
              "DEA CELL:LOCALCELLID=1;{站甲}\r\nMOD X;{站甲}\r\n");
    ASSERT_EQ(fb.fileRequests.size(), 1u);
    EXPECT_EQ(fb.fileRequests[0].proposedName, "站甲_PCI修改脚本");
    EXPECT_EQ(fb.fileRequests[0].startFolder, dir.path());
    EXPECT_EQ(fb.fileRequests[0].filter, "文本|*.txt");
    EXPECT_EQ(readFile(dir / "站甲_PCI修改脚本.txt"),
              "DEA CELL:LOCALCELLID=1;{\xD5\xBE\xBC\xD7}\r\nMOD X;{\xD5\xBE\xBC\xD7}\r\n");
    EXPECT_TRUE(fb.shown.empty());  // a successful save says nothing
}

TEST(ToolSave, CancelWarnsAndAFailedWriteSaysWhy) {
    TempDir dir;
    RecordingFeedback fb;
    EXPECT_EQ(saveToolScript("A\r\nA\r\n", "x", "脚本文件|*.txt", dir.path(), fb),
              "A\r\n");  // no file queued: Cancel
    ASSERT_EQ(fb.shown.size(), 1u);
    EXPECT_EQ(fb.shown[0].text, "写出失败");
    EXPECT_EQ(fb.shown[0].icon, Icon::Warning);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    fb.preset.files.push_back(dir / "missing" / "x.txt");
    EXPECT_EQ(saveToolScript("A\r\n", "x", "脚本文件|*.txt", dir.path(), fb), "A\r\n");
    EXPECT_EQ(fb.shown.back().text.rfind("写出失败：", 0), 0u) << fb.shown.back().text;
}
