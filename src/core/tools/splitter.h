#pragma once
// The script splitter: a script file written back as numbered files, a
// number of NEs or a number of lines per file. Lines are kept as the bytes
// that were read; nothing is decoded or re-encoded on the way. A file is
// written as soon as it is complete, so only one is held at a time.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/lineblocks.h"
#include "core/base/platform.h"
#include "core/base/result.h"

namespace brindle::tools {

enum class SplitBy { Whole, NeCount, LineCount };

struct SplitSettings {
    SplitBy by = SplitBy::Whole;
    // NEs or lines per file; 0 never ends a file.
    std::size_t limit = 0;
};

// The base name the window proposes for a chosen file: its name (after the
// last slash or backslash) up to its first dot.
std::string baseNameOf(std::string_view path);

// Whether a script's bytes are read as GBK (anything that is not valid
// UTF-8). In GBK a brace byte may be the second byte of a character, and
// then it is no brace.
bool isGbkScript(std::string_view script);

// The NE of a line: the bytes between its first "{" and the first "}" after
// it; empty without such a pair.
std::string_view neOfLine(std::string_view line, bool gbk);

// The files' contents, in order: the script's lines without its empty lines,
// each followed by "\r\n", cut as `settings` says. Reports progress over the
// lines. Stopped by the engineer (asked before each line), it gives the
// files completed so far.
std::vector<std::string> splitScript(std::string_view script, const SplitSettings& settings,
                                     Feedback* feedback = nullptr);

// "<base>_<n>.txt".
std::string chunkFileName(std::string_view base, std::size_t n);

// The whole run of "开始": each chunk written to `folder`/<base>_<n>.txt
// (replacing a file of that name, atomically), then "脚本分割完成！" with a
// line saying how many files were written into which folder. A file
// that cannot be written is reported with its name and the reason, and the
// run stops there; the error is that message. The engineer may stop the run
// between two lines: the files already written stay, each whole, and the
// lines gathered for the next one are dropped, never written as a file of
// their own; nothing is said and the error is msg::kStopped.
Status splitToFiles(std::string_view script, const std::filesystem::path& folder,
                    std::string_view base, const SplitSettings& settings, Feedback& feedback);

// The same run over an open script file, read a block at a time and never
// held whole (the command line's split of a script of a million lines). A
// file that cannot be read to its end is reported as msg::kScriptUnreadable
// with `shownName`, and the run stops there. `blockSize` is the bytes read at
// a time (see LineBlocks).
Status splitToFiles(const platform::FileReader& script, std::string_view shownName,
                    const std::filesystem::path& folder, std::string_view base,
                    const SplitSettings& settings, Feedback& feedback,
                    std::size_t blockSize = kLineBlockSize);

}  // namespace brindle::tools
