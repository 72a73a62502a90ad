#include "core/base/script.h"

#include <algorithm>
#include <functional>
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
    std::string out;
    out.reserve(text.size() + 2);
    forEachFirst(nameViews(text), [&out](std::string_view line) {
        out += line;
        out += "\r\n";
    });
    return out;
}

std::string dedupPane(std::string_view text, Feedback* feedback) {
    const auto lines = nameViews(text);
    const long total = static_cast<long>(lines.size());
    if (feedback) feedback->progress(0, total);
    std::string out;
    out.reserve(text.size());
    long steps = 0;
    forEachFirst(lines, [&](std::string_view line) {
        if (line.empty()) return;
        out += line;
        out += "\r\n";
        if (feedback) {
            feedback->progress(++steps, total);
            feedback->pumpEvents();
        }
    });
    return out;
}

namespace {

// About this much UTF-8 is converted and written at a time.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// Writes the UTF-8 pieces `next` hands over, in order (an empty one ends
// them), as GBK through a temporary file: a script of many megabytes is
// never held a second time, in GBK. Each piece ends after a line end, which
// no character spans, so a character without a GBK form is named by its
// line in the whole text.
Status writeGbkPieces(const fs::path& path, const std::function<std::string_view()>& next) {
    codec::GbkEncoder encoder;
    std::string gbk;
    return platform::replaceFileAtomically(path, [&](const platform::PieceWriter& write) {
        std::size_t linesBefore = 0;
        for (std::string_view piece = next(); !piece.empty(); piece = next()) {
            gbk.clear();
            std::size_t bad = 0;
            if (!encoder.append(piece, gbk, bad)) {
                return Status(fail(std::string(msg::kNotGbkAtLine) +
                                   std::to_string(linesBefore + codec::lineOfOffset(piece, bad)) +
                                   std::string(msg::kNotGbkTail)));
            }
            write(gbk);
            linesBefore += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
        }
        return Status();
    });
}

}  // namespace

Status writeScriptFile(const fs::path& path, std::string_view utf8) {
    std::size_t start = 0;
    return writeGbkPieces(path, [&] {
        std::size_t end = utf8.size();
        if (utf8.size() - start > kPiece) {
            const std::size_t lineEnd = utf8.find('\n', start + kPiece);
            if (lineEnd != std::string_view::npos) end = lineEnd + 1;
        }
        const std::string_view piece = utf8.substr(start, end - start);
        start = end;
        return piece;
    });
}

Status writeDistinctLines(const fs::path& path, std::string_view text) {
    // dedupText's lines, gathered a piece at a time rather than as a second
    // whole copy of the text.
    std::unordered_set<std::string_view> seen;
    std::size_t start = 0;
    std::string piece;
    return writeGbkPieces(path, [&]() -> std::string_view {
        piece.clear();
        while (start < text.size() && piece.size() < kPiece) {
            std::size_t end = text.find("\r\n", start);
            if (end == std::string_view::npos) end = text.size();
            const std::string_view line = text.substr(start, end - start);
            start = end == text.size() ? end : end + 2;
            if (!seen.insert(line).second) continue;
            piece += line;
            piece += "\r\n";
        }
        return piece;
    });
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
    auto chosen = feedback.chooseSaveFile({std::string(msg::kScriptFilter), {}, {}});
    if (!chosen) return std::nullopt;
    return withTxtExtension(*chosen);
}

}  // namespace

void saveDirectOutput(std::string& buffer, bool directOutputTicked, Feedback& feedback) {
    if (!directOutputTicked) return;
    const auto path = askScriptPath(feedback);
    if (!path) {
        feedback.message(msg::kWriteFailed);
        return;
    }
    const Status written = writeDistinctLines(*path, buffer);
    if (!written) {
        feedback.message(writeFailedMessage(written.error()));
        return;
    }
    buffer.clear();
}

void saveScript(std::string_view paneText, Feedback& feedback) {
    if (paneText.empty()) {
        feedback.message(msg::kNoScriptToSave);
        return;
    }
    const auto path = askScriptPath(feedback);
    if (!path) {
        feedback.message(msg::kWriteFailed);
        return;
    }
    const Status written = writeDistinctLines(*path, paneText);
    feedback.message(written ? std::string(msg::kSaved) : writeFailedMessage(written.error()));
}

std::string saveToolScript(std::string_view boxText, std::string_view proposedName,
                           std::string_view filter, const fs::path& startFolder,
                           Feedback& feedback) {
    std::string text = dedupPane(boxText);
    const auto chosen =
        feedback.chooseSaveFile({std::string(filter), std::string(proposedName), startFolder});
    if (!chosen) {
        feedback.message(msg::kWriteFailed, {}, Icon::Warning);
        return text;
    }
    if (const Status written = writeScriptFile(withTxtExtension(*chosen), text); !written)
        feedback.message(writeFailedMessage(written.error()), {}, Icon::Warning);
    return text;
}

}  // namespace brindle
