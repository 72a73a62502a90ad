// Script panes and script files: de-duplication, the direct-output save and
// the 4G save.

#include <gtest/gtest.h>

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
    EXPECT_EQ(dedupPane("A\r\n\r\nB\r\nA", fb), "A\r\nB\r\n");
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
    test::makeReadOnly(ro);
    const Status written = writeScriptFile(ro, "A\r\n");
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(writeFailedMessage(written.error()), "写出失败：文件为只读");
    EXPECT_EQ(readFile(ro), "keep");
}

namespace {

std::size_t filesIn(const TempDir& dir) {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

}  // namespace

// A script streamed to its file as a run makes it: lines come in pieces that
// may end inside a line or a character, and the file is the script as one
// whole write would make it. Until finish() the old file stays, and the
// script sits in one temporary file beside it.
TEST(ScriptFileSink, StreamsPiecesIntoTheFileGivenItsNameAtTheEnd) {
    TempDir dir;
    const auto out = dir / "s.txt";
    test::writeFile(out, "old");
    ScriptFileSink sink(out);
    EXPECT_TRUE(sink.empty());
    sink.append("");
    EXPECT_TRUE(sink.empty());
    const std::string north = "北";  // E5 8C 97: cut between its bytes below
    sink.append("RMV X;{城");
    sink.append(north.substr(0, 1));
    EXPECT_FALSE(sink.empty());
    sink.append(north.substr(1));
    sink.append("}\r\nADD Y;\r");
    sink.append("\nMOD Z;");
    for (int i = 0; i < 120000; ++i) sink.append("ADD X:ID=" + std::to_string(i) + ";{城}\r\n");
    EXPECT_EQ(readFile(out), "old");
    EXPECT_EQ(filesIn(dir), 2u);
    const Status finished = sink.finish();
    ASSERT_TRUE(finished.ok()) << finished.error();
    std::string expected = "RMV X;{\xB3\xC7\xB1\xB1}\r\nADD Y;\r\nMOD Z;";
    for (int i = 0; i < 120000; ++i)
        expected += "ADD X:ID=" + std::to_string(i) + ";{\xB3\xC7}\r\n";
    ASSERT_GT(expected.size(), 2u << 20);  // several pieces went to the file before the end
    EXPECT_EQ(readFile(out), expected);
    EXPECT_EQ(filesIn(dir), 1u);
}

// A character GBK cannot hold, after megabytes already written to the
// temporary file: the save fails naming its line, the old file stays and
// nothing else is left. A sink dropped without finish() leaves nothing either.
TEST(ScriptFileSink, ARefusedCharacterOrAnUnfinishedRunLeavesTheOldFile) {
    TempDir dir;
    const auto out = dir / "s.txt";
    test::writeFile(out, "old");
    {
        ScriptFileSink sink(out);
        for (int i = 0; i < 100000; ++i) sink.append("ADD X:ID=" + std::to_string(i) + ";\r\n");
        sink.append("C😀\r\nD\r\n");
        sink.append("E\r\n");
        const Status finished = sink.finish();
        EXPECT_FALSE(finished.ok());
        EXPECT_EQ(finished.error(), "第100001行含有GBK编码无法表示的字符，未写出任何内容");
    }
    EXPECT_EQ(readFile(out), "old");
    EXPECT_EQ(filesIn(dir), 1u);
    {
        ScriptFileSink sink(out);
        sink.append("A\r\nB😀");  // never converted: the line has no end yet
        const Status finished = sink.finish();
        EXPECT_EQ(finished.error(), "第2行含有GBK编码无法表示的字符，未写出任何内容");
    }
    {
        ScriptFileSink sink(out);
        for (int i = 0; i < 100000; ++i) sink.append("ADD X:ID=" + std::to_string(i) + ";\r\n");
        EXPECT_EQ(filesIn(dir), 2u);
    }
    EXPECT_EQ(readFile(out), "old");
    EXPECT_EQ(filesIn(dir), 1u);
}

// clear() empties the pane: what came before, a refused character among it,
// is gone from the file, and line numbers count from the new start.
TEST(ScriptFileSink, ClearStartsTheFileAfresh) {
    TempDir dir;
    const auto out = dir / "s.txt";
    ScriptFileSink sink(out);
    for (int i = 0; i < 100000; ++i) sink.append("ADD X:ID=" + std::to_string(i) + ";\r\n");
    sink.append("C😀\r\n");
    sink.clear();
    EXPECT_TRUE(sink.empty());
    sink.append("A;{北}\r\n");
    sink.append("B😀\r\n");
    sink.clear();
    sink.append("A;{北}\r\nB;");
    ASSERT_TRUE(sink.finish().ok());
    EXPECT_EQ(readFile(out), "A;{\xB1\xB1}\r\nB;");

    ScriptFileSink again(out);
    again.append("A\r\n");
    again.clear();
    again.append("B\r\nC😀\r\n");
    EXPECT_EQ(again.finish().error(), "第2行含有GBK编码无法表示的字符，未写出任何内容");
    EXPECT_EQ(readFile(out), "A;{\xB1\xB1}\r\nB;");
}

// A target that cannot be written: the lines are taken and dropped, and the
// reason comes at the end, as a whole write gives it.
TEST(ScriptFileSink, AnUnwritableTargetFailsAtTheEnd) {
    TempDir dir;
    const auto ro = dir / "ro.txt";
    test::writeFile(ro, "keep");
    test::makeReadOnly(ro);
    ScriptFileSink sink(ro);
    sink.append("A\r\n");
    EXPECT_FALSE(sink.empty());
    EXPECT_EQ(sink.finish().error(), "文件为只读");
    EXPECT_EQ(readFile(ro), "keep");
    ScriptFileSink missing(dir / "gone" / "s.txt");
    missing.append("A\r\n");
    EXPECT_EQ(missing.finish().error(), std::strerror(ENOENT));
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST(Dedup, IntoASinkAsIntoText) {
    StringSink sink;
    sink.append("X\r\n");
    dedupInto("A\r\nB\r\nA\r\n\r\nC\r\n\r\nA", sink);
    EXPECT_EQ(sink.text(), "X\r\nA\r\nB\r\n\r\nC\r\n");
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
    fb.preset.files.push_back(std::nullopt);  // first save cancelled: nothing failed, nothing said
    saveDirectOutput(buffer, true, fb);
    EXPECT_EQ(fb.texts(), Lines{});
    EXPECT_EQ(fb.fileRequests.at(0).filter, "文本文档（*.TXT）|*.TXT");
    buffer += "L2\r\nL3\r\n";
    fb.preset.files.push_back(dir / "out");
    saveDirectOutput(buffer, true, fb);
    EXPECT_EQ(readFile(dir / "out.txt"), "L1\r\nL2\r\nL3\r\n");
    EXPECT_EQ(buffer, "");
    EXPECT_EQ(fb.texts(), Lines{});  // no message after a save
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
    EXPECT_TRUE(saveScript("X\r\nY\r\nX\r\nZ\r\nX", fb));
    EXPECT_EQ(readFile(dir / "s.TXT"), "X\r\nY\r\nZ\r\n");
    EXPECT_EQ(fb.texts(), Lines{"复制完成"});
}

TEST(SaveScript, AnEmptyPaneSaysSoAndACancelSaysNothing) {
    RecordingFeedback fb;
    EXPECT_FALSE(saveScript("", fb));
    fb.preset.files.push_back(std::nullopt);
    EXPECT_FALSE(saveScript("X\r\n", fb));
    EXPECT_EQ(fb.texts(), (Lines{"没有脚本，复制失败！"}));
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

TEST(ToolSave, CancelSaysNothingAndAFailedWriteSaysWhy) {
    TempDir dir;
    RecordingFeedback fb;
    EXPECT_EQ(saveToolScript("A\r\nA\r\n", "x", "脚本文件|*.txt", dir.path(), fb),
              "A\r\n");  // no file queued: Cancel
    EXPECT_TRUE(fb.shown.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    fb.preset.files.push_back(dir / "missing" / "x.txt");
    EXPECT_EQ(saveToolScript("A\r\n", "x", "脚本文件|*.txt", dir.path(), fb), "A\r\n");
    EXPECT_EQ(fb.shown.back().text.rfind("写出失败：", 0), 0u) << fb.shown.back().text;
}
