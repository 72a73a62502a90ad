#pragma once
// Everything the program asks of the operating system, in one place. Each
// system has one implementation file (platform_posix.cpp, platform_windows.cpp)
// and no other file includes a header of the system or calls it directly, so
// porting the program means writing that one file. Nothing of a system shows
// in this header: what an implementation keeps lives behind a pointer or a
// handle.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/result.h"

namespace brindle::platform {

// ---- names of files ----------------------------------------------------------
// The core keeps text, file names included, as UTF-8. A path is built from
// such a name, and turned back into one, only through these two: on Windows
// std::filesystem::path reads a std::string in the ANSI code page and keeps
// UTF-16, so `path(std::string)`, `path / std::string` and `path.string()`
// garble every name that is not ASCII. C libraries that take a file name
// (SQLite, libzip) take it as utf8Name(path) on every system.
inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}
inline std::string utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(reinterpret_cast<const char*>(name.data()), name.size());
}

// ---- text in the system's code pages -----------------------------------------

// Bytes in a Windows code page (by its number) as UTF-8, for the code pages
// the core has no table of its own for (textcodec.h): the system's converter
// (iconv's CP<number>, 10000 as MACINTOSH; MultiByteToWideChar on Windows).
// Nothing when the system does not know the code page or the bytes are not
// valid in it.
std::optional<std::string> decodeCodePage(std::string_view bytes, int codePage);

// ---- the process's own streams and arguments --------------------------------

// Called once at the start of main, before anything is read or printed:
// standard output and error take bytes as they are (no CR inserted before
// LF, so a script piped to a file keeps CR LF), and a console shows UTF-8.
void prepareStandardStreams();

// The command line's arguments as UTF-8, whatever code page the system
// handed them over in (argv itself on systems whose arguments are bytes).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// ---- replacing a file -------------------------------------------------------
// Replacing a file so that a crash, a full disk or a power cut leaves either
// the old file or the new one, never half of one.

// Writes `bytes` to a temporary file beside `path`, flushes it and renames it
// over `path`. An existing file keeps its permission bits (and its owner,
// where the process may set it); a symbolic link is followed and the file it
// names is replaced. A read-only file (no write permission bit, whoever we
// run as) and anything but a plain file are refused. On failure nothing is
// left behind and the error says why (msg::kReadOnlyFile, msg::kNotAPlainFile,
// msg::kNameTooLong or the system's reason).
//
// On Windows a file has no permission bits: read-only is its read-only
// attribute, and a replaced file keeps its hidden and system attributes. Its
// owner and access list are those any new file of the folder gets. A file
// another process holds open, even only to read it, cannot be replaced
// there until it is closed: the save fails with the system's reason and the
// file stays as it was.
//
// Temporary files have short names of one pattern, ".brindle-<process>-<n>.tmp",
// whatever the target is called: a target whose name is near the file
// system's limit can still be written. Temporaries an interrupted save left
// in the folder are removed first: those whose process is gone, and those a
// quarter of an hour old (the process of that number is another), but never
// one a running save still has open.
Status replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The same replacement driven from outside, for bytes that come while other
// work runs (a script streamed to its file as a generator makes it): open()
// makes the temporary file, write() adds to it, restart() empties it, and
// commit() gives it the target's name. Dropped without commit() (or on
// abandon()), the temporary file is removed and the target stays as it was.
class FileReplacement {
public:
    FileReplacement();
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The checks of replaceFileAtomically (read-only, not a plain file), then
    // a new temporary file beside the target. Fails with the same reasons.
    [[nodiscard]] Status open(const std::filesystem::path& path);
    bool isOpen() const { return open_ != nullptr; }
    // Appends `piece`. A failed write is remembered and reported by commit().
    void write(std::string_view piece);
    // Drops everything written so far (and a write failure with it).
    void restart();
    // Flushes the file and renames it over the target; on failure nothing is
    // left behind and the error says why.
    [[nodiscard]] Status commit();
    // Removes the temporary file; the target is untouched.
    void abandon();

private:
    // The temporary file and what commit() needs to know of the target; each
    // system's implementation file defines it. Null while nothing is open.
    struct Open;
    std::unique_ptr<Open> open_;
};

// The permission check of replaceFileAtomically, for callers that want to
// refuse before doing any work (on Windows: the read-only attribute). False
// when the file does not exist.
bool isReadOnlyFile(const std::filesystem::path& path);

// ---- making a new file -----------------------------------------------------
// A new file is built under a temporary name beside its place and then given
// its name in one step, so that two processes making the same file never see
// half of one and never take each other's.

// Creates a new empty file beside `path`, under a temporary name of the
// pattern above, that did not exist before, and gives back its name.
Result<std::filesystem::path> createTemporaryFileBeside(const std::filesystem::path& path);

// Gives the file `from` the name `to`, failing with msg::kFileExists + `to` when
// something is already there (it is never replaced). On failure `from` is
// left as it was.
Status renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether the file system holding `path`'s folder takes a file name as long
// as `path`'s: files a program keeps beside another under a longer name (a
// database's journal) may not fit although the file itself does.
bool fileNameFits(const std::filesystem::path& path);

// ---- locking a file against other processes ----------------------------------
// A read-modify-replace of a file (a setting written into a settings file)
// that two processes run at once loses one change: both read the old file
// and the second rename drops what the first wrote. Holding this lock from
// the read to the rename makes them take turns. It is advisory: every
// Brindle process takes it, other programs do not. (On Windows the lock is
// on the lock file's bytes, which nobody reads, so it binds nobody else
// either.)

class FileLock {
public:
    FileLock() = default;
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits until this process holds the lock that guards changes to the
    // file `path` names (a symbolic link followed): a lock on the file
    // ".brindle.lock" in that file's folder, made when it is not there, so
    // that one lock guards every file of the folder. Fails, holding nothing,
    // when the lock file cannot be opened or the file system does not lock.
    [[nodiscard]] Status lock(const std::filesystem::path& path);
    bool locked() const { return handle_ >= 0; }
    void unlock();

private:
    std::intptr_t handle_ = -1;
};

// ---- reading a file ---------------------------------------------------------

// A whole file read at once. A missing file is an answer, not a failure: the
// settings files read as empty when they are not there.
struct FileContents {
    enum class State {
        Missing,  // no such file (or a folder on the way is missing)
        Read,     // `bytes` holds the whole file
        Failed,   // there is something, but not a plain file that could be read
    };
    State state = State::Failed;
    std::string bytes;  // empty unless Read
};

// Reads a plain file whole. Anything else at the path (a folder, a device, a
// FIFO) fails at once: opening never waits for a writer at the other end of
// a FIFO, so a stray one cannot hang the program. A file larger than
// `maxBytes` fails too, without being read.
FileContents readWholeFile(const std::filesystem::path& path,
                           std::uintmax_t maxBytes = UINTMAX_MAX);

// A plain file read in pieces, for files too large to hold whole: opened as
// readWholeFile opens one (a folder, a device or a FIFO is refused at once),
// then read at any offset, as often as needed.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Missing or Failed as readWholeFile says; Read when the file is open.
    [[nodiscard]] FileContents::State open(const std::filesystem::path& path);
    // The size the file had when it was opened.
    std::uintmax_t size() const { return size_; }
    // Reads up to `length` bytes at `offset` into `into`: fewer only at the
    // end of the file. Nothing on a read error.
    [[nodiscard]] std::optional<std::size_t> readAt(std::uintmax_t offset, char* into,
                                                    std::size_t length) const;

private:
    std::intptr_t handle_ = -1;
    std::uintmax_t size_ = 0;
};

// A plain file opened as readWholeFile opens one (a folder, a device or a
// FIFO is refused at once) and handed over as a C stream, for the libraries
// that read a file through one of their own (libzip, libgsf): a path they
// opened themselves could be a FIFO by then, and opening that waits for a
// writer for ever. The caller owns the stream and closes it with fclose.
// nullptr when there is no plain file to read; `state` then says Missing or
// Failed as readWholeFile would.
std::FILE* openPlainFile(const std::filesystem::path& path, FileContents::State& state);

// ---- telling states of a file apart -----------------------------------------

// What identifies one state of a file without reading it. A symbolic link is
// followed. Times are nanoseconds on the clock of wallClockNs().
struct FileStamp {
    bool exists = false;
    std::int64_t mtimeNs = 0;  // last modification of the content
    std::int64_t ctimeNs = 0;  // last change of the content or the file's attributes
    std::uintmax_t size = 0;
    // The file itself, whatever its name: a file renamed over this one has
    // another id even when its times and size are the same. On Windows the
    // volume's serial number and the file's index on it.
    std::uintmax_t device = 0;
    std::uintmax_t fileIndex = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of `path`; exists == false (every other field 0) when it cannot
// be looked at.
FileStamp fileStamp(const std::filesystem::path& path);

// Whether `a` and `b` name one file, however they are spelt: through "..", a
// symbolic link, a hard link, or (where names ignore case) another case. A
// path where nothing is yet is never an existing file; two such paths are
// one when they name one entry of one folder (on Windows, whose names ignore
// case, two names of one entry may differ in case).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The current wall-clock time in nanoseconds, on the clock of the file times.
std::int64_t wallClockNs();

// ---- folders ----------------------------------------------------------------

// The folder that holds the running executable: the default program folder,
// where `mu/` and `mu2/` live. The current folder when it cannot be found.
std::filesystem::path executableFolder();

// Where the user's own files of this program belong when it is installed
// for all users (its executable's folder is not the user's to write): on
// Linux "brindle" in $XDG_DATA_HOME, or in ~/.local/share when that is
// unset or relative; on Windows "Brindle" in the user's local application
// data (FOLDERID_LocalAppData). The folder need not exist yet. Nothing when
// the system names no such place (no home folder).
std::optional<std::filesystem::path> userDataFolder();

// The user's desktop folder, where tool windows propose to save what they
// make. On Linux the desktop of the user's XDG folders (XDG_DESKTOP_DIR in
// user-dirs.dirs of $XDG_CONFIG_HOME or ~/.config: "~/桌面" on a Chinese
// desktop) when that folder exists, else the home folder's "Desktop" when
// it exists, else the home folder; the current folder when there is no home
// folder. On Windows the shell's Desktop folder, else the user's profile
// folder, else the current folder.
std::filesystem::path desktopFolder();

// ---- terminals --------------------------------------------------------------

// Whether the process's standard error is a terminal (progress is only drawn
// on one). On Windows a console; NUL and pipes are not.
bool stderrIsTerminal();

}  // namespace brindle::platform
