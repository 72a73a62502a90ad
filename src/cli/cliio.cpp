#include "cli/cliio.h"

#include <cstdio>
#include <iostream>

#include "core/base/namelist.h"
#include "core/base/platform.h"
#include "core/base/script.h"

namespace brindle::cli {

namespace {

// A message may hold line breaks of its own; stderr carries one per line.
std::string oneLine(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

std::unique_ptr<RecordingFeedback> makeFeedback() {
    auto feedback = std::make_unique<RecordingFeedback>();
    feedback->onMessage = [](const RecordingFeedback::Shown& shown) {
        std::cerr << oneLine(shown.text) << '\n' << std::flush;
    };
    if (platform::stderrIsTerminal()) {
        feedback->onProgress = [](long position, long maximum) {
            std::fprintf(stderr, "\r%ld/%ld\r", position, maximum);
            if (position >= maximum) std::fputs("\x1b[K", stderr);
        };
    }
    return feedback;
}

int emitScript(const std::string& text, const std::string& outputFile, bool dedup,
               RecordingFeedback& feedback) {
    const std::string script = dedup ? joinLines(dedupLines(nameList(text))) : text;
    if (outputFile.empty()) {
        std::cout << script << std::flush;
        return kCompleted;
    }
    const Status written = writeScriptFile(outputFile, script);
    if (!written) {
        feedback.message(writeFailedMessage(written.error()), {}, Icon::Error);
        return kEndedEarly;
    }
    return kCompleted;
}

}  // namespace brindle::cli
