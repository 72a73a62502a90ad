#include "core/tools/splitter.h"

#include <functional>
#include <unordered_set>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/script.h"
#include "core/base/textcodec.h"

namespace brindle::tools {

std::string baseNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(name.substr(0, name.find('.')));
}

bool isGbkScript(std::string_view script) {
    return !codec::isValidUtf8(script);
}

namespace {

// Offset of the first `brace` at or after `from` that is a character of its
// own, or npos.
std::size_t findBrace(std::string_view line, char brace, std::size_t from, bool gbk) {
    for (std::size_t i = from; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (gbk && byte >= 0x81 && byte <= 0xFE && i + 1 < line.size()) {
            ++i;  // a double-byte character: its second byte is no brace
            continue;
        }
        if (line[i] == brace) return i;
    }
    return std::string_view::npos;
}

// Looks NEs up by view, so that a line's NE is copied only when it is new.
struct ViewHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Cuts the pieces of a script (its text between "\r\n"s, in order) into the
// files' contents and hands each one on as soon as it is complete.
class Chunker {
public:
    // `done` takes a finished chunk and says whether the run goes on.
    using Done = std::function<bool(std::string&& chunk)>;

    Chunker(const SplitSettings& settings, bool gbk, long pieces, Feedback* feedback, Done done)
        : settings_(settings),
          gbk_(gbk),
          total_(pieces),
          feedback_(feedback),
          done_(std::move(done)) {}

    // False when the run stops. A stop is heard before a line: the chunk
    // being gathered then never reaches `done`, so only whole files are
    // written.
    bool piece(std::string_view line) {
        if (feedback_ && feedback_->stopRequested()) {
            stopped_ = true;
            return false;
        }
        bool goesOn = true;
        if (!line.empty()) {
            // Only how many distinct NEs a file holds matters, not which.
            if (settings_.by == SplitBy::NeCount) {
                const std::string_view ne = neOfLine(line, gbk_);
                if (nes_.find(ne) == nes_.end()) nes_.emplace(ne);
            }
            ++lineCount_;
            chunk_ += line;
            chunk_ += "\r\n";
            const bool full =
                settings_.limit != 0 &&
                ((settings_.by == SplitBy::NeCount && nes_.size() == settings_.limit) ||
                 (settings_.by == SplitBy::LineCount && lineCount_ == settings_.limit));
            if (full) goesOn = endChunk();
        }
        if (feedback_) feedback_->progress(++done_pieces_, total_);
        return goesOn;
    }

    bool finish() { return chunk_.empty() || endChunk(); }
    // Whether the engineer stopped the run.
    bool stopped() const { return stopped_; }

private:
    bool endChunk() {
        const bool goesOn = done_(std::move(chunk_));
        chunk_.clear();
        nes_.clear();
        lineCount_ = 0;
        return goesOn;
    }

    const SplitSettings& settings_;
    const bool gbk_;
    const long total_;
    Feedback* feedback_;
    Done done_;
    long done_pieces_ = 0;
    bool stopped_ = false;
    std::string chunk_;
    std::unordered_set<std::string, ViewHash, std::equal_to<>> nes_;
    std::size_t lineCount_ = 0;
};

// The pieces of `text` between "\r\n"s, as splitViews gives them (a last
// piece only when it is not empty), without a list of them all.
template <class Piece>
bool forEachPiece(std::string_view text, Piece&& piece) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find("\r\n", start);
        if (at == std::string_view::npos) break;
        if (!piece(text.substr(start, at - start))) return false;
        start = at + 2;
    }
    return start >= text.size() || piece(text.substr(start));
}

long pieceCount(std::string_view text) {
    long count = 0;
    forEachPiece(text, [&](std::string_view) { return ++count; });
    return count;
}

// Writes each chunk as <base>_<n>.txt in `folder`; a failure is told and
// kept in `failure`.
class ChunkWriter {
public:
    ChunkWriter(const std::filesystem::path& folder, std::string_view base, Feedback& feedback)
        : folder_(folder), base_(base), feedback_(feedback) {}

    bool operator()(std::string&& chunk) {
        const std::string name = chunkFileName(base_, next_);
        // The files go beside the script and nowhere else.
        if (base_.find_first_of("/\\") != std::string_view::npos)
            return failed(writeFailedMessage(name + "：" + std::string(msg::kNameHasFolder)));
        const Status written =
            platform::replaceFileAtomically(folder_ / platform::pathFromUtf8(name), chunk);
        if (!written) return failed(writeFailedMessage(name + "：" + written.error()));
        ++next_;
        return true;
    }

    bool failed(std::string text) {
        feedback_.message(text, {}, Icon::Error);
        status_ = fail(std::move(text));
        return false;
    }

    // Success ends the run with "脚本分割完成！" and, on a line of its own,
    // how many files went into which folder: the names are relative to the
    // script, which the engineer may have chosen from anywhere. A stopped
    // run says nothing.
    Status result(bool stopped) {
        if (stopped && status_) return fail(std::string(msg::kStopped));
        if (status_) {
            std::error_code ec;
            const std::filesystem::path shown = std::filesystem::absolute(folder_, ec);
            feedback_.message(std::string(msg::kSplitDone) + "\r\n" +
                              std::string(msg::kSplitWrote) + std::to_string(next_) +
                              std::string(msg::kSplitWroteFiles) +
                              platform::utf8Name(ec ? folder_ : shown));
        }
        return std::move(status_);
    }

private:
    const std::filesystem::path& folder_;
    std::string_view base_;
    Feedback& feedback_;
    std::size_t next_ = 0;
    Status status_;
};

}  // namespace

std::string_view neOfLine(std::string_view line, bool gbk) {
    const std::size_t open = findBrace(line, '{', 0, gbk);
    if (open == std::string_view::npos) return {};
    const std::size_t close = findBrace(line, '}', open + 1, gbk);
    if (close == std::string_view::npos) return {};
    return line.substr(open + 1, close - open - 1);
}

std::vector<std::string> splitScript(std::string_view script, const SplitSettings& settings,
                                     Feedback* feedback) {
    std::vector<std::string> chunks;
    Chunker chunker(settings, isGbkScript(script), pieceCount(script), feedback,
                    [&](std::string&& chunk) {
                        chunks.push_back(std::move(chunk));
                        return true;
                    });
    forEachPiece(script, [&](std::string_view line) { return chunker.piece(line); });
    chunker.finish();
    return chunks;
}

std::string chunkFileName(std::string_view base, std::size_t n) {
    return std::string(base) + "_" + std::to_string(n) + ".txt";
}

Status splitToFiles(std::string_view script, const std::filesystem::path& folder,
                    std::string_view base, const SplitSettings& settings, Feedback& feedback) {
    ChunkWriter writer(folder, base, feedback);
    Chunker chunker(settings, isGbkScript(script), pieceCount(script), &feedback, std::ref(writer));
    if (forEachPiece(script, [&](std::string_view line) { return chunker.piece(line); }))
        chunker.finish();
    return writer.result(chunker.stopped());
}

Status splitToFiles(const platform::FileReader& script, std::string_view shownName,
                    const std::filesystem::path& folder, std::string_view base,
                    const SplitSettings& settings, Feedback& feedback, std::size_t blockSize) {
    const auto unreadable = [&] {
        const std::string text = std::string(msg::kScriptUnreadable) + std::string(shownName);
        feedback.message(text, {}, Icon::Error);
        return fail(text);
    };
    // A first pass learns what the whole script decides: whether it is GBK,
    // and how many pieces the progress counts. Blocks end after a "\n", so a
    // "\r\n" is never cut in two and UTF-8 is checked block by block.
    bool utf8 = true;
    long pieces = 0;
    bool endsInCrLf = true;  // or is empty: no last piece without "\r\n"
    {
        LineBlocks blocks(script, 0, blockSize);
        std::string_view block;
        for (;;) {
            if (feedback.stopRequested()) return fail(std::string(msg::kStopped));
            if (!blocks.next(block)) return unreadable();
            if (block.empty()) break;
            if (utf8) utf8 = codec::isValidUtf8(block);
            for (std::size_t at = block.find("\r\n"); at != std::string_view::npos;
                 at = block.find("\r\n", at + 2))
                ++pieces;
            endsInCrLf = block.ends_with("\r\n");
        }
    }
    if (!endsInCrLf) ++pieces;

    ChunkWriter writer(folder, base, feedback);
    Chunker chunker(settings, !utf8, pieces, &feedback, std::ref(writer));
    const auto piece = [&](std::string_view line) { return chunker.piece(line); };
    // The text after a block's last "\r\n" (a line with a lone "\n" in it)
    // goes on in the next block.
    std::string carried;
    LineBlocks blocks(script, 0, blockSize);
    std::string_view block;
    for (;;) {
        if (!blocks.next(block)) return unreadable();
        if (block.empty()) break;
        const std::size_t last = block.rfind("\r\n");
        if (last == std::string_view::npos) {
            carried += block;
            continue;
        }
        std::string_view whole = block.substr(0, last + 2);
        if (!carried.empty()) {
            const std::size_t first = whole.find("\r\n");
            carried += whole.substr(0, first);
            if (!piece(carried)) return writer.result(chunker.stopped());
            carried.clear();
            whole.remove_prefix(first + 2);
        }
        // `whole` ends in "\r\n": every piece of it is complete.
        if (!forEachPiece(whole, piece)) return writer.result(chunker.stopped());
        carried.assign(block.substr(last + 2));
    }
    if (!carried.empty() && !piece(carried)) return writer.result(chunker.stopped());
    chunker.finish();
    return writer.result(false);
}

}  // namespace brindle::tools
