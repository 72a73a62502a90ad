#include "core/base/recordingfeedback.h"

namespace brindle {

std::vector<std::string> RecordingFeedback::texts() const {
    std::vector<std::string> out;
    out.reserve(shown.size());
    for (const auto& s : shown) out.push_back(s.text);
    return out;
}

void RecordingFeedback::message(std::string_view text, std::string_view title, Icon icon) {
    shown.push_back({std::string(text), std::string(title), icon});
    if (onMessage) onMessage(shown.back());
}

bool RecordingFeedback::answer(std::string_view text, std::string_view title) {
    shown.push_back({std::string(text), std::string(title), Icon::None});
    if (answers.empty()) return defaultAnswer;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

bool RecordingFeedback::askYesNo(std::string_view text, std::string_view title) {
    return answer(text, title);
}

bool RecordingFeedback::askOkCancel(std::string_view text, std::string_view title) {
    return answer(text, title);
}

std::optional<std::filesystem::path> RecordingFeedback::file(const FileRequest& request) {
    fileRequests.push_back(request);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
}

std::optional<std::filesystem::path> RecordingFeedback::chooseOpenFile(const FileRequest& request) {
    return file(request);
}

std::optional<std::filesystem::path> RecordingFeedback::chooseSaveFile(const FileRequest& request) {
    return file(request);
}

void RecordingFeedback::progress(long position, long maximum) {
    lastPosition = position;
    lastMaximum = maximum;
    if (onProgress) onProgress(position, maximum);
}

}  // namespace brindle
