#include "cli/streamfeedback.h"

#include "core/base/platform.h"

#include <cstdio>
#include <iostream>

namespace brindle::cli {

namespace {

// A message may hold line breaks of its own; they are printed as plain line
// breaks, so each message ends at its own '\n'.
std::string plainLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

StreamFeedback::StreamFeedback() : terminal_(platform::stderrIsTerminal()) {}

void StreamFeedback::message(std::string_view text, std::string_view, Icon) {
    std::cerr << plainLineBreaks(text) << '\n' << std::flush;
}

void StreamFeedback::detailedMessage(std::string_view text, std::string_view) {
    message(text);
}

Answer StreamFeedback::ask(Question id, std::string_view detail) {
    if (const auto answer = preset.take(id)) return *answer;
    const QuestionText& q = questionText(id);
    message(std::string(q.text) + std::string(detail));
    message(q.buttons == Buttons::YesNo ? "（未给出回答，按“否”处理）"
                                        : "（未给出回答，按“取消”处理）");
    return Answer::No;
}

std::optional<std::filesystem::path> StreamFeedback::chooseOpenFile(const FileRequest&) {
    return preset.takeFile();
}

std::optional<std::filesystem::path> StreamFeedback::chooseSaveFile(const FileRequest&) {
    return preset.takeFile();
}

void StreamFeedback::progress(long position, long maximum) {
    if (!terminal_) return;
    std::fprintf(stderr, "\r%ld/%ld\r", position, maximum);
    if (position >= maximum) std::fputs("\x1b[K", stderr);
}

}  // namespace brindle::cli
