#pragma once
// A Feedback that records everything it is told and answers from answers
// set beforehand, by question id. It counts how often a run asks whether to
// stop, and answers yes from call number `stopFrom` on (counted from 0).

#include <optional>
#include <string>
#include <vector>

#include "core/base/clipboard.h"
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
    long stopChecks = 0;
    std::optional<long> stopFrom;  // never stops when unset

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
    bool stopRequested() override {
        const long call = stopChecks++;
        return stopFrom && call >= *stopFrom;
    }
};

// A clipboard that takes every text a run copies, one after the other.
class CapturingClipboard : public Clipboard {
public:
    std::string text;
    bool setText(std::string_view copied) override {
        text += copied;
        return true;
    }
};

}  // namespace brindle::test
