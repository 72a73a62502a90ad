#include "core/freqplan/profile.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "core/base/messages.h"
#include "core/base/textcodec.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
bool isTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Text saved as UTF-8 rather than GBK. Pure ASCII is both; beyond it, bytes
// that are valid UTF-8 are taken for UTF-8, as text of unknown encoding is
// everywhere in the program: GBK Chinese almost never forms valid UTF-8.
bool isUtf8Text(std::string_view bytes) {
    return !isAscii(bytes) && codec::isValidUtf8(bytes);
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Length of the character starting at bytes[i]: two for a GBK lead byte
// followed by a trail byte, otherwise one. Walking by characters keeps a
// trail byte that happens to be ']' from ending a section name early.
std::size_t charLength(std::string_view bytes, std::size_t i, std::size_t end) {
    if (isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < end &&
        isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
        return 2;
    return 1;
}

std::optional<std::string> encodeGbk(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    return codec::toGbk(utf8).text;
}

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Looking up a name converts it to GBK; a generation run asks for the same
// hundred-odd names hundreds of thousands of times, so the conversions are
// remembered (per thread, so no locking). The reference returned is good
// until the next call.
const std::optional<std::string>& encodeName(std::string_view utf8) {
    thread_local std::unordered_map<std::string, std::optional<std::string>, NameHash,
                                    std::equal_to<>>
        known;
    if (auto it = known.find(utf8); it != known.end()) return it->second;
    if (known.size() >= 4096) known.clear();  // bounds memory against odd callers
    return known.emplace(std::string(utf8), encodeGbk(utf8)).first->second;
}

// GBK to UTF-8, never failing: a file damaged by another tool still reads,
// each character that does not decode becoming U+FFFD.
std::string decodeGbkTolerant(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    if (auto text = codec::fromGbk(bytes)) return std::move(*text);
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += bytes[i++];
            continue;
        }
        const std::size_t len = charLength(bytes, i, bytes.size());
        if (auto one = codec::fromGbk(bytes.substr(i, len)))
            out += *one;
        else
            out += kReplacementChar;
        i += len;
    }
    return out;
}

// Drops the blanks around a raw value, then one pair of matching quotes,
// single or double, wrapping all of it.
std::string_view unquote(std::string_view raw) {
    raw = trimBlanks(raw);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') &&
        raw.back() == raw.front()) {
        raw.remove_prefix(1);
        raw.remove_suffix(1);
    }
    return raw;
}

// One line of a profile file, as offsets into the file's bytes.
struct Line {
    enum class Kind { Other, Section, Entry };
    std::size_t contentEnd = 0;  // before the "\r\n" or "\n"
    std::size_t end = 0;         // after the line break; == contentEnd when there is none
    Kind kind = Kind::Other;
    bool blank = true;           // nothing but blanks
    std::string_view name;       // section or key name, blanks dropped
    std::size_t valueBegin = 0;  // Entry: after the '=' and the blanks that follow it
};

Line scanLine(std::string_view bytes, std::size_t begin, std::size_t contentEnd) {
    Line line;
    line.contentEnd = contentEnd;
    std::size_t first = begin;
    while (first < contentEnd && isBlank(bytes[first])) ++first;
    line.blank = first == contentEnd;
    if (line.blank) return line;

    if (bytes[first] == '[') {
        std::size_t close = first + 1;
        while (close < contentEnd && bytes[close] != ']')
            close += charLength(bytes, close, contentEnd);
        line.kind = Line::Kind::Section;
        line.name = trimBlanks(bytes.substr(first + 1, close - first - 1));
        return line;
    }
    // '=' is never a GBK trail byte, so a plain search is safe.
    const std::size_t eq = bytes.find('=', first);
    if (eq == std::string_view::npos || eq >= contentEnd) return line;
    line.kind = Line::Kind::Entry;
    line.name = trimBlanks(bytes.substr(begin, eq - begin));
    std::size_t v = eq + 1;
    while (v < contentEnd && isBlank(bytes[v])) ++v;
    line.valueBegin = v;
    return line;
}

// '\n' is never a GBK trail byte either, so lines split cleanly at it.
std::vector<Line> scanLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t nl = bytes.find('\n', begin);
        std::size_t end = nl == std::string_view::npos ? bytes.size() : nl + 1;
        std::size_t contentEnd = nl == std::string_view::npos ? bytes.size() : nl;
        if (nl != std::string_view::npos && contentEnd > begin && bytes[contentEnd - 1] == '\r')
            --contentEnd;
        Line line = scanLine(bytes, begin, contentEnd);
        line.end = end;
        lines.push_back(line);
        begin = end;
    }
    return lines;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Names that would not read back as themselves are refused rather than
// written into a line that no later read could find.
bool isWritableName(std::string_view name) {
    return !name.empty() && !isBlank(name.front()) && !isBlank(name.back()) &&
           !hasLineBreakOrNul(name);
}

bool isWritableSection(std::string_view section) {
    return isWritableName(section) && section.find(']') == std::string_view::npos;
}

bool isWritableKey(std::string_view key) {
    return isWritableName(key) && key.find('=') == std::string_view::npos && key.front() != '[';
}

// The file's bytes with `key` in `section` set to `value` (all GBK).
std::string editProfile(std::string_view bytes, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::vector<Line> lines = scanLines(bytes);
    std::size_t sectionLine = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Kind::Section && lines[i].name == section) {
            sectionLine = i;
            break;
        }
    }

    std::string out;
    out.reserve(bytes.size() + section.size() + key.size() + value.size() + 8);
    if (sectionLine == lines.size()) {
        out.append(bytes);
        if (!out.empty() && out.back() != '\n') out.append(kCrLf);
        out.append("[").append(section).append("]").append(kCrLf);
        out.append(key).append("=").append(value).append(kCrLf);
        return out;
    }

    std::size_t lastFilled = sectionLine;
    for (std::size_t i = sectionLine + 1; i < lines.size() && lines[i].kind != Line::Kind::Section;
         ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Kind::Entry && line.name == key) {
            out.append(bytes.substr(0, line.valueBegin));
            out.append(value);
            out.append(bytes.substr(line.contentEnd));
            return out;
        }
        if (!line.blank) lastFilled = i;
    }

    const Line& after = lines[lastFilled];
    out.append(bytes.substr(0, after.end));
    if (after.end == after.contentEnd) out.append(kCrLf);  // last line had no line break
    out.append(key).append("=").append(value).append(kCrLf);
    out.append(bytes.substr(after.end));
    return out;
}

// Writes within this process are serialised, so two threads editing the same
// file cannot lose one another's change between read and rename.
std::mutex& writeMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

namespace {

std::atomic<std::uint64_t> writeCount{0};

// Counts a write when it is over, whatever its outcome: a reader that saw
// the count before the write began reads the file again.
struct CountedWrite {
    ~CountedWrite() { writeCount.fetch_add(1, std::memory_order_release); }
};

}  // namespace

std::uint64_t profileWriteCount() {
    return writeCount.load(std::memory_order_acquire);
}

std::string readProfile(const fs::path& file, std::string_view section, std::string_view key) {
    return ProfileFile::load(file).value(section, key);
}

Status writeProfile(const fs::path& file, std::string_view section, std::string_view key,
                    std::string_view value) {
    const CountedWrite counted;
    const auto refused = [](std::string_view reason, std::string_view what = {}) {
        return fail(std::string(reason) + std::string(what));
    };
    if (!isWritableSection(section)) return refused(msg::kBadSectionName, section);
    if (!isWritableKey(key)) return refused(msg::kBadKeyName, key);
    if (hasLineBreakOrNul(value)) return refused(msg::kBadValue);
    const auto gbkSection = encodeGbk(section);
    if (!gbkSection) return refused(msg::kNotGbkSetting, section);
    const auto gbkKey = encodeGbk(key);
    if (!gbkKey) return refused(msg::kNotGbkSetting, key);
    const auto gbkValue = encodeGbk(value);
    if (!gbkValue) return refused(msg::kNotGbkSetting, value);
    // Stored as Windows stores it, without the blanks around it (neither is
    // a GBK trail byte).
    const std::string_view stored = trimBlanks(*gbkValue);

    std::lock_guard lock(writeMutex());
    // Another process (a second command line, the settings windows) may be
    // changing the same file: the lock keeps its change and this one from
    // being made on the same old file. When the lock file cannot be made, the
    // folder takes no new file at all (read-only), and the replacement below
    // fails too, saying why; a file system that cannot lock leaves writes as
    // they always were there. So the lock never makes a write fail.
    platform::FileLock fileLock;
    static_cast<void>(fileLock.lock(file));
    std::error_code ec;
    const bool exists = fs::exists(file, ec);
    std::string bytes;
    if (exists) {
        // Refuse before reading: a read-only file is never rewritten.
        if (!fs::is_regular_file(file, ec)) return refused(msg::kNotAPlainFile);
        if (platform::isReadOnlyFile(file)) return refused(msg::kReadOnlyFile);
        platform::FileContents contents = platform::readWholeFile(file, ProfileFile::kMaxFileBytes);
        if (contents.state != platform::FileContents::State::Read)
            return refused(msg::kFileUnreadable);
        bytes = std::move(contents.bytes);
        if (isUtf8Text(bytes)) return refused(msg::kFileNotGbk);
    } else if (fs::is_symlink(fs::symlink_status(file, ec))) {
        return refused(msg::kDanglingLink);  // nothing sensible to create
    } else {
        const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
        if (!fs::is_directory(folder, ec)) return refused(msg::kNoSuchFolder);
    }

    const std::string updated = editProfile(bytes, *gbkSection, *gbkKey, stored);
    if (exists && updated == bytes) return {};
    return platform::replaceFileAtomically(file, updated);
}

ProfileFile::Source ProfileFile::sourceOf(platform::FileContents::State state) {
    switch (state) {
        case platform::FileContents::State::Read:
            return Source::Read;
        case platform::FileContents::State::Missing:
            return Source::Missing;
        case platform::FileContents::State::Failed:
            break;
    }
    return Source::Unreadable;
}

ProfileFile ProfileFile::load(const fs::path& file) {
    const platform::FileContents contents = platform::readWholeFile(file, kMaxFileBytes);
    const Source source = sourceOf(contents.state);
    return source == Source::Read ? parse(contents.bytes) : ProfileFile(source);
}

ProfileFile ProfileFile::parse(std::string_view bytes) {
    ProfileFile profile;
    // Text that is not GBK still reads (each broken character as U+FFFD), but
    // callers may want to say that the file is not what it should be.
    profile.utf8_ = isUtf8Text(bytes);
    const bool gbk = isAscii(bytes) || (!profile.utf8_ && codec::fromGbk(bytes));
    profile.source_ = gbk ? Source::Read : Source::NotGbk;
    Keys* current = nullptr;  // null before the first section and in repeated sections
    for (const Line& line : scanLines(bytes)) {
        if (line.kind == Line::Kind::Section) {
            auto [it, inserted] = profile.sections_.try_emplace(std::string(line.name));
            current = inserted ? &it->second : nullptr;
        } else if (line.kind == Line::Kind::Entry && current) {
            std::string name(line.name);
            if (current->find(name) != current->end()) continue;
            const std::string_view raw =
                bytes.substr(line.valueBegin, line.contentEnd - line.valueBegin);
            current->emplace(std::move(name), decodeGbkTolerant(unquote(raw)));
        }
    }
    return profile;
}

std::optional<std::string> ProfileFile::find(std::string_view section, std::string_view key) const {
    const auto& gbkSection = encodeName(section);
    if (!gbkSection) return std::nullopt;
    const auto s = sections_.find(*gbkSection);  // before encodeName(key) may drop it
    if (s == sections_.end()) return std::nullopt;
    const auto& gbkKey = encodeName(key);
    if (!gbkKey) return std::nullopt;
    const auto k = s->second.find(*gbkKey);
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string ProfileFile::value(std::string_view section, std::string_view key) const {
    return find(section, key).value_or(std::string());
}

bool ProfileFile::hasSection(std::string_view section) const {
    const auto& gbkSection = encodeName(section);
    return gbkSection && sections_.count(*gbkSection) != 0;
}

}  // namespace brindle
