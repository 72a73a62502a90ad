#include "recordingfeedback.h"

namespace brindle::test {

std::vector<std::string> RecordingFeedback::texts() const {
    std::vector<std::string> out;
    out.reserve(shown.size());
    for (const auto& s : shown) out.push_back(s.text);
    return out;
}

void RecordingFeedback::message(std::string_view text, std::string_view title, Icon icon) {
    shown.push_back({std::string(text), std::string(title), icon, {}, false});
}

void RecordingFeedback::repeatedMessage(std::string_view text, Repeat) {
    shown.push_back({std::string(text), {}, Icon::None, {}, true});
}

void RecordingFeedback::detailedMessage(std::string_view text, std::string_view details) {
    shown.push_back({std::string(text), {}, Icon::None, std::string(details), false});
}

Answer RecordingFeedback::ask(Question id, std::string_view detail) {
    const QuestionText& q = questionText(id);
    shown.push_back(
        {std::string(q.text) + std::string(detail), std::string(q.title), Icon::None, {}, false});
    asked.push_back(id);
    return preset.take(id).value_or(Answer::No);
}

std::optional<std::filesystem::path> RecordingFeedback::chooseOpenFile(const FileRequest& request) {
    fileRequests.push_back(request);
    return preset.takeFile();
}

std::optional<std::filesystem::path> RecordingFeedback::chooseSaveFile(const FileRequest& request) {
    fileRequests.push_back(request);
    return preset.takeFile();
}

void RecordingFeedback::progress(long position, long maximum) {
    lastPosition = position;
    lastMaximum = maximum;
}

}  // namespace brindle::test
