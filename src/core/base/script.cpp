#include "core/base/script.h"

#include <algorithm>
#include <unordered_set>

#include "core/base/messages.h"
#include "core/base/namelist.h"
#include "core/base/platform.h"
#include "core/base/textcodec.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

// Calls `keep` with every line not equal to an earlier one, in order.
template <class Lines, class Keep>
void forEachFirst(const Lines& lines, Keep keep) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(lines.size());
    for (const auto& line : lines)
        if (seen.insert(line).second) keep(line);
}

}  // namespace

std::vector<std::string> dedupLines(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    forEachFirst(lines, [&kept](const std::string& line) { kept.push_back(line); });
    return kept;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}

std::string dedupText(std::string_view text) {
    StringSink out;
    out.text().reserve(text.size() + 2);
    dedupInto(text, out);
    return std::move(out.text());
}

void dedupInto(std::string_view text, ScriptSink& out) {
    forEachFirst(nameViews(text), [&out](std::string_view line) {
        out.append(line);
        out.append("\r\n");
    });
}

namespace {

// Nothing when `feedback` says the engineer stopped it.
std::optional<std::string> distinctLines(std::string_view text, Feedback* feedback) {
    const auto lines = nameViews(text);
    const long total = static_cast<long>(lines.size());
    if (feedback) feedback->progress(0, total);
    std::string out;
    out.reserve(text.size());
    long steps = 0;
    bool stopped = false;
    forEachFirst(lines, [&](std::string_view line) {
        if (line.empty() || stopped) return;
        if (feedback && feedback->stopRequested()) {
            stopped = true;
            return;
        }
        out += line;
        out += "\r\n";
        if (feedback) feedback->progress(++steps, total);
    });
    if (stopped) return std::nullopt;
    return out;
}

}  // namespace

std::string dedupPane(std::string_view text) {
    return *distinctLines(text, nullptr);
}

std::optional<std::string> dedupPane(std::string_view text, Feedback& feedback) {
    return distinctLines(text, &feedback);
}

namespace {

// Pieces of about a megabyte: large enough that the converter's and the
// system's per-call costs vanish, small enough never to matter in memory.
// Pieces end after a line end, which no character spans.
constexpr std::size_t kPiece = std::size_t{1} << 20;

}  // namespace

ScriptFileSink::ScriptFileSink(const fs::path& path) : opened_(file_.open(path)) {}

void ScriptFileSink::append(std::string_view text) {
    if (text.empty()) return;
    empty_ = false;
    if (!file_.isOpen() || badLine_ != 0) return;  // finish() says why
    if (pending_.empty() && text.size() >= kPiece) {
        pending_ = convertLines(text);
    } else {
        pending_ += text;
        if (pending_.size() < kPiece) return;
        pending_.erase(0, pending_.size() - convertLines(pending_).size());
    }
    if (badLine_ != 0) pending_ = std::string();
}

std::string_view ScriptFileSink::convertLines(std::string_view text) {
    const std::size_t last = text.rfind('\n');
    if (last == std::string_view::npos) return text;
    std::string_view lines = text.substr(0, last + 1);
    while (!lines.empty() && badLine_ == 0) {
        const std::size_t end =
            lines.size() > kPiece ? lines.find('\n', kPiece - 1) + 1 : lines.size();
        convert(lines.substr(0, end));
        lines.remove_prefix(end);
    }
    return text.substr(last + 1);
}

void ScriptFileSink::convert(std::string_view piece) {
    gbk_.clear();
    std::size_t bad = 0;
    if (!codec::appendGbk(piece, gbk_, bad)) {
        badLine_ = linesConverted_ + codec::lineOfOffset(piece, bad);
        return;
    }
    linesConverted_ += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
    file_.write(gbk_);
}

void ScriptFileSink::clear() {
    empty_ = true;
    pending_.clear();
    linesConverted_ = 0;
    badLine_ = 0;
    file_.restart();
}

Status ScriptFileSink::finish() {
    if (!opened_) return opened_;
    if (badLine_ == 0 && !pending_.empty()) convert(pending_);
    pending_ = std::string();
    gbk_ = std::string();
    if (badLine_ != 0) {
        file_.abandon();
        return fail(std::string(msg::kNotGbkAtLine) + std::to_string(badLine_) +
                    std::string(msg::kNotGbkTail));
    }
    return file_.commit();
}

Status writeScriptFile(const fs::path& path, std::string_view utf8) {
    ScriptFileSink file(path);
    file.append(utf8);
    return file.finish();
}

Status writeDistinctLines(const fs::path& path, std::string_view text) {
    // dedupText's lines go to the file as they are found, never gathered
    // into a second whole copy of the text.
    ScriptFileSink file(path);
    dedupInto(text, file);
    return file.finish();
}

fs::path withTxtExtension(fs::path path) {
    if (!path.has_extension()) path += ".txt";
    return path;
}

std::string writeFailedMessage(std::string_view reason) {
    return std::string(msg::kWriteFailed) + "：" + std::string(reason);
}

namespace {

// Asks for a script file name; nothing when the user cancels.
std::optional<fs::path> askScriptPath(Feedback& feedback) {
    auto chosen =
        feedback.chooseSaveFile({std::string(msg::kScriptFilter), {}, {}, FileKind::ScriptSave});
    if (!chosen) return std::nullopt;
    return withTxtExtension(*chosen);
}

}  // namespace

// A cancelled save dialog is the engineer's own choice and says nothing:
// nothing failed, and the script is still where it was.
void saveDirectOutput(std::string& buffer, bool directOutputTicked, Feedback& feedback) {
    if (!directOutputTicked) return;
    const auto path = askScriptPath(feedback);
    if (!path) return;
    const Status written = writeDistinctLines(*path, buffer);
    if (!written) {
        feedback.message(writeFailedMessage(written.error()));
        return;
    }
    buffer.clear();
}

bool saveScript(std::string_view paneText, Feedback& feedback) {
    if (paneText.empty()) {
        feedback.message(msg::kNoScriptToSave);
        return false;
    }
    const auto path = askScriptPath(feedback);
    if (!path) return false;
    const Status written = writeDistinctLines(*path, paneText);
    feedback.message(written ? std::string(msg::kSaved) : writeFailedMessage(written.error()));
    return written.ok();
}

std::string saveToolScript(std::string_view boxText, std::string_view proposedName,
                           std::string_view filter, const fs::path& startFolder, Feedback& feedback,
                           FileKind kind) {
    std::string text = dedupPane(boxText);
    const auto chosen = feedback.chooseSaveFile(
        {std::string(filter), std::string(proposedName), startFolder, kind});
    if (!chosen) return text;
    if (const Status written = writeScriptFile(withTxtExtension(*chosen), text); !written)
        feedback.message(writeFailedMessage(written.error()), {}, Icon::Warning);
    return text;
}

}  // namespace brindle
