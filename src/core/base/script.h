#pragma once
// Script texts: line de-duplication, pane de-duplication, and script files
// (GBK, CR LF, no byte-order mark, written atomically).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/platform.h"
#include "core/base/result.h"
#include "core/base/textcodec.h"

namespace brindle {

// Where generated lines go: the end of a script pane, or stdout.
class ScriptSink {
public:
    virtual ~ScriptSink() = default;
    virtual void append(std::string_view text) = 0;
    // Empties the pane (the pages whose runs start afresh).
    virtual void clear() = 0;
    // Whether the pane holds no text at all.
    virtual bool empty() const = 0;
};

// A sink that keeps everything in one string.
class StringSink : public ScriptSink {
public:
    void append(std::string_view text) override { text_ += text; }
    void clear() override { text_.clear(); }
    bool empty() const override { return text_.empty(); }
    const std::string& text() const { return text_; }
    std::string& text() { return text_; }

private:
    std::string text_;
};

// A sink that is a script file (GBK, CR LF as given, no byte-order mark),
// written as the lines come so that the script is never held whole: each
// piece is converted and written to a temporary file beside `path`, which
// finish() gives its name. The file holds exactly what writeScriptFile would
// write for the text appended since the last clear(). When the file cannot
// be made or a character has no GBK form, finish() fails with the reason (to
// follow "写出失败：") and nothing is left: an earlier file stays as it was.
class ScriptFileSink : public ScriptSink {
public:
    explicit ScriptFileSink(const std::filesystem::path& path);
    void append(std::string_view text) override;
    void clear() override;
    bool empty() const override { return empty_; }
    // Converts the rest and renames the file over `path`; once only.
    [[nodiscard]] Status finish();

private:
    // Converts the whole lines at the front of `text`, a piece at a time;
    // gives back the unfinished line after them.
    std::string_view convertLines(std::string_view text);
    void convert(std::string_view piece);

    platform::FileReplacement file_;
    Status opened_;
    std::string pending_;  // appended text not converted yet: less than a piece, or a line
    std::string gbk_;
    std::size_t linesConverted_ = 0;  // line ends converted since the last clear()
    std::size_t badLine_ = 0;         // the line of the first character GBK cannot hold
    bool empty_ = true;
};

// Removes every line equal to an earlier one; first occurrences stay, in
// order. Empty lines are lines like any other.
std::vector<std::string> dedupLines(const std::vector<std::string>& lines);

// Each line followed by "\r\n".
std::string joinLines(const std::vector<std::string>& lines);

// joinLines(dedupLines(nameList(text))) in one pass over `text`, no line
// copied but into the result.
std::string dedupText(std::string_view text);
// The same lines appended to `out`, each followed by "\r\n".
void dedupInto(std::string_view text, ScriptSink& out);

// The pane text rebuilt from its distinct non-empty lines, each followed by
// "\r\n".
std::string dedupPane(std::string_view text);
// The same, reporting progress (maximum = number of lines, one step per kept
// line). The engineer may stop it before any kept line: nothing then, for
// half the pane would stand for the whole.
std::optional<std::string> dedupPane(std::string_view text, Feedback& feedback);

// Writes `utf8` as GBK to `path` through a temporary file in the same folder,
// so an interrupted save never leaves half a script. A character that GBK
// cannot hold fails the save (naming its line) and nothing is written. The
// error is the reason, to follow "写出失败：".
Status writeScriptFile(const std::filesystem::path& path, std::string_view utf8);

// writeScriptFile(path, dedupText(text)), without the de-duplicated text
// ever held whole.
Status writeDistinctLines(const std::filesystem::path& path, std::string_view text);

// A chosen name without extension gets ".txt".
std::filesystem::path withTxtExtension(std::filesystem::path path);

// "写出失败：<reason>".
std::string writeFailedMessage(std::string_view reason);

// The save step after a 4G-page run in direct-output mode: asks for a file
// and writes the buffer de-duplicated. The buffer is emptied only when the
// file was written; a cancelled or failed save keeps its lines for the next.
// Cancelling the dialog says nothing; a failed write says why.
void saveDirectOutput(std::string& buffer, bool directOutputTicked, Feedback& feedback);

// "复制脚本内容": saves the 4G pane's lines, de-duplicated, to a chosen file.
// True when the file was written; a cancelled dialog says nothing.
bool saveScript(std::string_view paneText, Feedback& feedback);

// The second step of the tool windows that build a script in their box and
// then save it (PCI change, neighbour inheritance, capacity reduction): the
// box's text is rebuilt from its distinct non-empty lines, then the save
// dialog (with `filter`) proposes `proposedName` in `startFolder` (the
// desktop). Cancel writes nothing and says nothing. Returns the rebuilt
// text, for the box, whatever the engineer chose.
std::string saveToolScript(std::string_view boxText, std::string_view proposedName,
                           std::string_view filter, const std::filesystem::path& startFolder,
                           Feedback& feedback, FileKind kind = FileKind::ToolScriptSave);

}  // namespace brindle
