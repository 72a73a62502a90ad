#pragma once
// The command line's side of the feedback seam: every message-box text goes
// to stderr, one line per message; questions are answered from the
// command's options; file dialogs are cancelled; progress is drawn only
// when stderr is a terminal.

#include "core/base/feedback.h"
#include "core/base/presetanswers.h"

namespace brindle::cli {

class StreamFeedback : public Feedback {
public:
    StreamFeedback();

    // Answers set from the options before a command runs. A question that
    // no option answered is printed and answered No (Cancel).
    PresetAnswers preset;

    void message(std::string_view text, std::string_view title = {},
                 Icon icon = Icon::None) override;
    // The details are left out: the lines above them said each item already
    // (every missing name had its own line).
    void detailedMessage(std::string_view text, std::string_view details) override;
    Answer ask(Question id, std::string_view detail = {}) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) override;
    void progress(long position, long maximum) override;

private:
    bool terminal_ = false;
};

}  // namespace brindle::cli
