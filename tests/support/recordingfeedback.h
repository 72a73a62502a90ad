#pragma once
// A Feedback that records everything it is told and answers from answers
// set beforehand, by question id.

#include <string>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/presetanswers.h"

namespace brindle::test {

class RecordingFeedback : public Feedback {
public:
    struct Shown {
        std::string text;
        std::string title;
        Icon icon = Icon::None;
        std::string details;
        bool repeated = false;  // came as a message that can come once per item
    };

    // Answers by question id and files for the file dialogs, set beforehand.
    PresetAnswers preset;
    void answer(Question id, bool yes) { preset.answer(id, yes); }

    std::vector<Shown> shown;     // messages and questions, in order
    std::vector<Question> asked;  // questions, in order
    std::vector<FileRequest> fileRequests;
    long lastPosition = 0;
    long lastMaximum = 0;
    long pumps = 0;

    std::vector<std::string> texts() const;

    void message(std::string_view text, std::string_view title = {},
                 Icon icon = Icon::None) override;
    void repeatedMessage(std::string_view text, Repeat kind) override;
    void detailedMessage(std::string_view text, std::string_view details) override;
    // A question with no answer set is answered No (Cancel) and recorded in
    // preset.unanswered.
    Answer ask(Question id, std::string_view detail = {}) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) override;
    void progress(long position, long maximum) override;
    void pumpEvents() override { ++pumps; }
};

}  // namespace brindle::test
