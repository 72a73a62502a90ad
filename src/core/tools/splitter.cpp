#include "core/tools/splitter.h"

#include <algorithm>

#include "core/base/messages.h"
#include "core/base/namelist.h"
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
    const bool gbk = isGbkScript(script);
    const std::vector<std::string> lines = splitList(script, "\r\n");
    const long total = static_cast<long>(lines.size());
    std::vector<std::string> chunks;
    std::string chunk;
    std::vector<std::string_view> nes;  // distinct, in order of appearance
    std::size_t lineCount = 0;
    const auto endChunk = [&] {
        chunks.push_back(std::move(chunk));
        chunk.clear();
        nes.clear();
        lineCount = 0;
    };
    long done = 0;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            const std::string_view ne = neOfLine(line, gbk);
            if (std::find(nes.begin(), nes.end(), ne) == nes.end()) nes.push_back(ne);
            ++lineCount;
            chunk += line;
            chunk += "\r\n";
            const bool full = settings.limit != 0 &&
                              ((settings.by == SplitBy::NeCount && nes.size() == settings.limit) ||
                               (settings.by == SplitBy::LineCount && lineCount == settings.limit));
            if (full) endChunk();
        }
        if (feedback) {
            feedback->progress(++done, total);
            feedback->pumpEvents();
        }
    }
    if (!chunk.empty()) endChunk();
    return chunks;
}

std::string chunkFileName(std::string_view base, std::size_t n) {
    return std::string(base) + "_" + std::to_string(n) + ".txt";
}

Status splitToFiles(std::string_view script, const std::filesystem::path& folder,
                    std::string_view base, const SplitSettings& settings, Feedback& feedback) {
    const std::vector<std::string> chunks = splitScript(script, settings, &feedback);
    // The files go beside the script and nowhere else.
    if (base.find_first_of("/\\") != std::string_view::npos && !chunks.empty()) {
        const std::string text =
            writeFailedMessage(chunkFileName(base, 0) + "：" + std::string(msg::kNameHasFolder));
        feedback.message(text, {}, Icon::Error);
        return fail(text);
    }
    for (std::size_t n = 0; n < chunks.size(); ++n) {
        const std::string name = chunkFileName(base, n);
        const Status written = platform::replaceFileAtomically(folder / name, chunks[n]);
        if (!written) {
            const std::string text = writeFailedMessage(name + "：" + written.error());
            feedback.message(text, {}, Icon::Error);
            return fail(text);
        }
    }
    feedback.message(msg::kSplitDone);
    return {};
}

}  // namespace brindle::tools
