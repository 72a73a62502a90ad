#include "app/script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "app/messages.h"
#include "app/namelist.h"
#include "app/textcodec.h"

namespace brindle {

namespace fs = std::filesystem;

std::vector<std::string> dedupLines(const std::vector<std::string>& lines) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(lines.size());
    std::vector<std::string> kept;
    for (const auto& line : lines)
        if (seen.insert(line).second) kept.push_back(line);
    return kept;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}

std::string dedupPane(std::string_view text, Feedback* feedback) {
    const auto lines = nameList(text);
    const long total = static_cast<long>(lines.size());
    if (feedback) feedback->progress(0, total);
    std::unordered_set<std::string_view> seen;
    std::string out;
    out.reserve(text.size());
    long steps = 0;
    for (const auto& line : lines) {
        if (line.empty() || !seen.insert(line).second) continue;
        out += line;
        out += "\r\n";
        if (feedback) {
            feedback->progress(++steps, total);
            feedback->pumpEvents();
        }
    }
    return out;
}

namespace {

std::string systemReason(int err) {
    return std::strerror(err);
}

// Writes all of `bytes` to `fd`.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

WriteOutcome writeScriptFile(const fs::path& path, std::string_view utf8) {
    const auto gbk = codec::toGbk(utf8);
    if (!gbk.text) {
        return {false, std::string(msg::kNotGbkAtLine) +
                           std::to_string(codec::lineOfOffset(utf8, gbk.badOffset)) +
                           std::string(msg::kNotGbkTail)};
    }
    // A read-only script is not replaced behind the engineer's back.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && (existing.st_mode & S_IWUSR) == 0) return {false, "文件为只读"};
    if (exists && !S_ISREG(existing.st_mode)) return {false, "不是普通文件"};

    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return {false, systemReason(errno)};
    const bool written = writeAll(fd, *gbk.text) && ::fsync(fd) == 0 &&
                         ::fchmod(fd, exists ? (existing.st_mode & 07777) : newFileMode()) == 0;
    const int writeErr = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = !written ? writeErr : errno;
        ::unlink(temp.c_str());
        return {false, systemReason(err)};
    }
    return {true, {}};
}

fs::path withTxtExtension(fs::path path) {
    if (!path.has_extension()) path += ".txt";
    return path;
}

std::string writeFailedMessage(const WriteOutcome& outcome) {
    return std::string(msg::kWriteFailed) + "：" + outcome.reason;
}

namespace {

// Asks for a script file name; nothing when the user cancels.
std::optional<fs::path> askScriptPath(Feedback& feedback) {
    auto chosen = feedback.chooseSaveFile({std::string(msg::kScriptFilter), {}, {}});
    if (!chosen) return std::nullopt;
    return withTxtExtension(*chosen);
}

}  // namespace

void saveDirectOutput(std::string& buffer, bool directOutputTicked, Feedback& feedback) {
    if (!directOutputTicked) return;
    const auto path = askScriptPath(feedback);
    if (!path) {
        feedback.message(msg::kWriteFailed);
        return;
    }
    const auto outcome = writeScriptFile(*path, joinLines(dedupLines(nameList(buffer))));
    if (!outcome.ok) {
        feedback.message(writeFailedMessage(outcome));
        return;
    }
    buffer.clear();
}

void saveScript(std::string_view paneText, Feedback& feedback) {
    if (paneText.empty()) {
        feedback.message(msg::kNoScriptToSave);
        return;
    }
    const std::string text = joinLines(dedupLines(nameList(paneText)));
    const auto path = askScriptPath(feedback);
    if (!path) {
        feedback.message(msg::kWriteFailed);
        return;
    }
    const auto outcome = writeScriptFile(*path, text);
    feedback.message(outcome.ok ? std::string(msg::kSaved) : writeFailedMessage(outcome));
}

}  // namespace brindle
