#pragma once
// Answers given before they are asked: by question id, and chosen files in
// order. The command line fills them from its options; tests set them
// before a run or a click, so no dialog ever has to be waited for.

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "core/base/questions.h"

namespace brindle {

struct PresetAnswers {
    std::map<Question, std::deque<Answer>> answers;
    // Files handed out in order; nothing (or an empty queue) stands for a
    // cancelled dialog.
    std::deque<std::optional<std::filesystem::path>> files;
    // Questions asked with no answer set, in order.
    std::vector<Question> unanswered;

    void answer(Question id, bool yes) { answers[id].push_back(yes ? Answer::Yes : Answer::No); }
    // The box closed without an answer (Esc).
    void cancel(Question id) { answers[id].push_back(Answer::Cancelled); }

    // The next answer for `id`; nothing (recorded in `unanswered`) when none is set.
    std::optional<Answer> take(Question id) {
        auto it = answers.find(id);
        if (it == answers.end() || it->second.empty()) {
            unanswered.push_back(id);
            return std::nullopt;
        }
        const Answer given = it->second.front();
        it->second.pop_front();
        return given;
    }

    std::optional<std::filesystem::path> takeFile() {
        if (files.empty()) return std::nullopt;
        auto file = std::move(files.front());
        files.pop_front();
        return file;
    }
};

}  // namespace brindle
