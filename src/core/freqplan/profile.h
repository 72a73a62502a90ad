#pragma once
// Settings files in the Windows "private profile" (INI) layout, stored in GBK
// with CR LF line ends, read and written with the same rules as the Windows
// profile functions the engineers' other tools use on the same files:
//
//   [section]
//   key=value
//
// - Section and key names are compared byte for byte (case-sensitive) after
//   dropping the spaces and tabs around them. The first matching section,
//   and the first matching key inside it, win.
// - A value loses the spaces and tabs around it, then one pair of matching
//   quotes, single or double, wrapping the whole value (`k= 'a b' ` reads
//   as "a b"). Values are never cut short, however long (Windows cuts them
//   at 10,239 bytes; a cut list would make a wrong script without a word).
// - Lines inside a section that hold no '=' are ignored; lines before the
//   first section never match.
// - A section line may lack its ']': the name then runs to the end of the line.
// - Bytes that are not valid GBK read as U+FFFD (one per character that
//   does not decode), and a write never changes them: writes edit the file at line granularity and
//   copy every byte they do not rewrite.
//
// All strings crossing this interface are UTF-8.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/base/platform.h"
#include "core/base/result.h"

namespace brindle {

// Missing file, section or key read as "".
std::string readProfile(const std::filesystem::path& file, std::string_view section,
                        std::string_view key);

// Sets `key` in `section` to `value`:
// - an existing key has its value replaced in place, the text of the line up
//   to the value kept as it was;
// - a missing key is added after the last non-blank line of its section;
// - a missing section is appended at the end of the file, with no blank line
//   before it;
// - the file is created when its folder exists.
// Every other byte of the file stays as it was. New lines end in CR LF.
// As Windows does, the value is stored without the spaces and tabs around
// it, and reads back as Windows reads it: " 5", "'5'" and "\"5\"" all read
// as "5", "' 5 '" as " 5 ".
//
// Fails, leaving the file untouched and saying why (a reason to follow
// "写出失败："), when: the folder does not exist; the file is read-only (no
// write permission bit set, or not writable by this process) or not a plain
// file; the file is UTF-8 text (see ProfileFile::isUtf8), which a line in
// GBK would turn into neither; a name or the value holds a character GBK cannot hold, a line break
// or a NUL; a name is empty or would read back differently (blanks around
// it, ']' in a section name, '=' in a key name, a key starting with '['); or
// the new file cannot be written. The file is replaced atomically (temporary
// file in the same folder, flushed, renamed over it) keeping its permission
// bits; a symbolic link is followed and the file it names is replaced. From
// the read to the rename the write holds the folder's platform::FileLock, so
// writes of other Brindle processes to the same file are never lost.
Status writeProfile(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view value);

// How many times this process has called writeProfile, on any file: a reader
// that keeps a parsed file knows from a change of this count that Brindle
// itself may have rewritten it.
std::uint64_t profileWriteCount();

// A profile file parsed once for many reads.
class ProfileFile {
public:
    enum class Source {
        Missing,     // no file: every value reads as ""
        Read,        // the file was read
        Unreadable,  // the file exists but could not be read: values read as ""
        NotGbk,      // the file was read, but it is UTF-8 or holds bytes GBK does not
    };

    // A settings file is a few kilobytes; anything past this is not one and
    // reads as unreadable rather than filling memory.
    static constexpr std::uintmax_t kMaxFileBytes = 16 * 1024 * 1024;

    ProfileFile() = default;
    // An empty profile standing for a file that is missing or unreadable.
    explicit ProfileFile(Source source) : source_(source) {}

    static ProfileFile load(const std::filesystem::path& file);
    // Parses the bytes of a profile file (GBK).
    static ProfileFile parse(std::string_view bytes);
    // The Source of a profile made from a read of the file that came to `state`.
    static Source sourceOf(platform::FileContents::State state);

    // The value, or "" when the section or key is missing.
    std::string value(std::string_view section, std::string_view key) const;
    // The value, or nothing when the section or key is missing.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;

    Source source() const { return source_; }
    // The file was saved as UTF-8 (source() is then NotGbk): its values read
    // as garbage, where a file that is GBK but for a few damaged bytes only
    // loses those.
    bool isUtf8() const { return utf8_; }

private:
    // Keyed by the GBK bytes of the names; values already decoded to UTF-8.
    using Keys = std::unordered_map<std::string, std::string>;
    std::unordered_map<std::string, Keys> sections_;
    Source source_ = Source::Missing;
    bool utf8_ = false;
};

}  // namespace brindle
