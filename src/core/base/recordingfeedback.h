#pragma once
// A Feedback with given answers that records everything it is told. The
// command line uses it headless; the tests use it to check every message.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/base/feedback.h"

namespace brindle {

class RecordingFeedback : public Feedback {
public:
    struct Shown {
        std::string text;
        std::string title;
        Icon icon = Icon::None;
    };

    // Answers handed out in order; when a queue is empty the default applies.
    std::deque<bool> answers;
    bool defaultAnswer = false;
    std::deque<std::optional<std::filesystem::path>> files;

    // Called for every message as it is shown (the command line prints them).
    std::function<void(const Shown&)> onMessage;
    std::function<void(long, long)> onProgress;

    std::vector<Shown> shown;  // messages and questions, in order
    std::vector<FileRequest> fileRequests;
    long lastPosition = 0;
    long lastMaximum = 0;
    long pumps = 0;

    std::vector<std::string> texts() const;

    void message(std::string_view text, std::string_view title = {},
                 Icon icon = Icon::None) override;
    bool askYesNo(std::string_view text, std::string_view title = {}) override;
    bool askOkCancel(std::string_view text, std::string_view title = {}) override;
    std::optional<std::filesystem::path> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileRequest& request) override;
    void progress(long position, long maximum) override;
    void pumpEvents() override { ++pumps; }

private:
    bool answer(std::string_view text, std::string_view title);
    std::optional<std::filesystem::path> file(const FileRequest& request);
};

}  // namespace brindle
