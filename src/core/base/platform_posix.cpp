// The platform module on POSIX systems (Linux): the only file of the core
// that calls the system directly.

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/platform_shared.h"

namespace brindle::platform {

namespace fs = std::filesystem;

// ---- text in the system's code pages -----------------------------------------

std::optional<std::string> decodeCodePage(std::string_view bytes, int codePage) {
    if (codePage <= 0) return std::nullopt;
    const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
    const iconv_t cd = ::iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 4 + 16, '\0');  // no code page needs more per byte
    char* src = const_cast<char*>(bytes.data());
    std::size_t srcLeft = bytes.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const bool converted =
        ::iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) &&
        ::iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    if (!converted) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
}

namespace {

// ---- replacing a file -------------------------------------------------------

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

// A file without any write permission bit is read-only whoever we run as:
// root would otherwise write straight through the protection the engineer
// set on the file.
bool mayWrite(const fs::path& file, const struct stat& st) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(file.c_str(), W_OK) == 0;
}

Failure systemFailure(int err) {
    // The system's own words for this one are English and name no limit.
    if (err == ENAMETOOLONG) return fail(std::string(msg::kNameTooLong));
    return fail(std::strerror(err));
}

// Opens a new temporary file in `folder`.
int openTemporary(const fs::path& folder, bool replacing, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder / detail::temporaryName(static_cast<std::uint32_t>(::getpid()), counter++);
        // A new file gets the usual permissions (umask applies); a
        // replacement starts private and takes the original's bits.
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

std::int64_t nanoseconds(const struct timespec& t);

// A temporary file of a save that never finished (the program was killed,
// the machine lost power) stays in its folder. The next save into the folder
// removes those whose process is gone, and those old enough that the process
// of that number must be another one. A save of this process is never
// touched, nor one still open in another: an open replacement holds a lock on
// its temporary file, which also keeps a save of another machine sharing the
// folder (whose process numbers mean nothing here) from losing its file.
void removeStaleTemporaries(const fs::path& folder) {
    const std::int64_t now = [] {
        struct timespec t {};
        ::clock_gettime(CLOCK_REALTIME, &t);
        return nanoseconds(t);
    }();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::optional<std::uint32_t> owner =
            detail::temporaryOwner(it->path().filename().native());
        if (!owner || *owner == static_cast<std::uint32_t>(::getpid())) continue;
        const auto pid = static_cast<pid_t>(*owner);
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const bool gone = pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH);
        if (!gone && nanoseconds(st.st_mtim) + detail::kStaleTemporaryNs >= now) continue;
        // Only a lock held elsewhere spares it; where the lock cannot be
        // looked at (another user's private file, a file system that does
        // not lock) the process number and the age decide alone.
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno != EACCES) continue;
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            ::unlink(it->path().c_str());
        if (fd >= 0) ::close(fd);
    }
}

// ---- telling states of a file apart -----------------------------------------

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// ---- folders ----------------------------------------------------------------

// The desktop the user's XDG folders name: the last XDG_DESKTOP_DIR line of
// user-dirs.dirs, a shell assignment of a quoted "$HOME/..." or absolute
// path (the form xdg-user-dirs writes, backslash escapes included). Its name
// follows the desktop's language ("$HOME/桌面"), so "Desktop" is only a guess.
std::optional<fs::path> xdgDesktop(const fs::path& home) {
    const char* configName = std::getenv("XDG_CONFIG_HOME");
    fs::path config = configName && *configName ? pathFromUtf8(configName) : fs::path();
    if (!config.is_absolute()) config = home / ".config";  // a relative one is to be ignored
    const FileContents dirs = readWholeFile(config / "user-dirs.dirs", 1 << 20);
    if (dirs.state != FileContents::State::Read) return std::nullopt;
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
    std::optional<fs::path> desktop;
    std::string_view rest = dirs.bytes;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == rest.npos ? rest.size() : end + 1);
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (!line.starts_with(kKey)) continue;
        line.remove_prefix(kKey.size());
        std::string value;
        bool closed = false;
        for (std::size_t i = 0; i < line.size() && !closed; ++i) {
            if (line[i] == '"')
                closed = true;
            else if (line[i] == '\\' && i + 1 < line.size())
                value += line[++i];
            else
                value += line[i];
        }
        if (!closed) continue;
        while (value.size() > 1 && value.ends_with('/')) value.pop_back();
        if (value == "$HOME")
            desktop = home;
        else if (value.starts_with("$HOME/"))
            desktop = home / pathFromUtf8(std::string_view(value).substr(6));
        else if (value.starts_with('/'))
            desktop = pathFromUtf8(value);
    }
    return desktop;
}

}  // namespace

bool detail::sameEntryName(const fs::path& a, const fs::path& b) {
    return a == b;
}

struct FileReplacement::Open {
    int fd = -1;
    int writeError = 0;  // errno of the first failed write or truncation
    bool replacing = false;
    mode_t mode = 0;  // the replaced file's
    uid_t owner = 0;
    gid_t group = 0;
    fs::path temp;
    fs::path target;
    fs::path folder;
};

FileReplacement::FileReplacement() = default;

FileReplacement::~FileReplacement() {
    abandon();
}

bool isReadOnlyFile(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !mayWrite(path, st);
}

Status FileReplacement::open(const fs::path& path) {
    abandon();
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        target = fs::canonical(path, ec);
        if (ec) return fail(ec.message());  // a dangling link: nothing sensible to create
    }
    struct stat original {};
    const bool exists = ::stat(target.c_str(), &original) == 0;
    if (!exists && errno != ENOENT) return systemFailure(errno);
    if (exists && !S_ISREG(original.st_mode)) return fail(std::string(msg::kNotAPlainFile));
    if (exists && !mayWrite(target, original)) return fail(std::string(msg::kReadOnlyFile));

    auto file = std::make_unique<Open>();
    file->folder = detail::folderOf(target);
    removeStaleTemporaries(file->folder);
    file->fd = openTemporary(file->folder, exists, file->temp);
    if (file->fd < 0) return systemFailure(errno);
    // Tells the clean-up of other processes that this one is in use.
    static_cast<void>(::flock(file->fd, LOCK_EX | LOCK_NB));
    file->replacing = exists;
    file->mode = original.st_mode & 07777;
    file->owner = original.st_uid;
    file->group = original.st_gid;
    file->target = std::move(target);
    open_ = std::move(file);
    return {};
}

void FileReplacement::write(std::string_view piece) {
    if (open_ && open_->writeError == 0 && !writeAll(open_->fd, piece)) open_->writeError = errno;
}

void FileReplacement::restart() {
    if (!open_) return;
    open_->writeError = 0;
    if (::ftruncate(open_->fd, 0) != 0 || ::lseek(open_->fd, 0, SEEK_SET) != 0)
        open_->writeError = errno;
}

void FileReplacement::abandon() {
    if (!open_) return;
    ::close(open_->fd);
    ::unlink(open_->temp.c_str());
    open_.reset();
}

Status FileReplacement::commit() {
    if (!open_) return systemFailure(EBADF);
    const std::unique_ptr<Open> file = std::move(open_);
    const int fd = file->fd;
    bool ok = file->writeError == 0;
    if (!ok) errno = file->writeError;
    if (ok && file->replacing) {
        if (file->owner != ::geteuid() || file->group != ::getegid()) {
            // Keeping the owner needs privileges; the permission bits matter more.
            [[maybe_unused]] const int kept = ::fchown(fd, file->owner, file->group);
        }
        ok = ::fchmod(fd, file->mode) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    int err = errno;
    // A failed close can be the first news of a failed write (NFS reports
    // errors late), so it fails the replacement with its own reason.
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(file->temp.c_str(), file->target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(file->temp.c_str());
        return systemFailure(err);
    }
    // Make the rename itself durable; the data is already safe either way.
    const int dirFd = ::open(file->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

Result<fs::path> createTemporaryFileBeside(const fs::path& path) {
    const fs::path folder = detail::folderOf(path);
    fs::path temp;
    const int fd = openTemporary(folder, false, temp);
    if (fd < 0) return systemFailure(errno);
    ::close(fd);
    return temp;
}

bool fileNameFits(const fs::path& path) {
    const fs::path folder = detail::folderOf(path);
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return path.filename().native().size() <=
           static_cast<std::size_t>(limit > 0 ? limit : NAME_MAX);
}

Status FileLock::lock(const fs::path& path) {
    unlock();
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        // The lock belongs with the file that is replaced, wherever the link
        // is: a save through the link and one of the file itself take turns.
        const fs::path resolved = fs::canonical(path, ec);
        if (!ec) target = resolved;
    }
    const fs::path folder = detail::folderOf(target);
    const fs::path file = folder / ".brindle.lock";
    // Read access is all that locking needs, so a lock file made by another
    // user of a shared folder serves too. O_NONBLOCK keeps a FIFO of that
    // name from hanging the save.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return systemFailure(errno);
    for (;;) {
        if (::flock(fd, LOCK_EX) == 0) break;
        if (errno == EINTR) continue;
        const int err = errno;
        ::close(fd);
        return systemFailure(err);
    }
    handle_ = fd;
    return {};
}

void FileLock::unlock() {
    if (handle_ < 0) return;
    ::close(static_cast<int>(handle_));  // closing the file drops its lock
    handle_ = -1;
}

Status renameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno == EEXIST) return fail(std::string(msg::kFileExists) + utf8Name(to));
    if (errno != EINVAL && errno != ENOSYS) return systemFailure(errno);
    // A file system without the flag: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) return fail(std::string(msg::kFileExists) + utf8Name(to));
        return systemFailure(errno);
    }
    ::unlink(from.c_str());
    return {};
}

namespace {

// Opens a plain file to read it: Missing when nothing is there, Failed for a
// folder, a device or a FIFO (O_NONBLOCK, so that a FIFO at this path cannot
// hang the program).
FileContents::State openForReading(const fs::path& path, int& fd, struct stat& st) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileContents::State::Missing
                                                   : FileContents::State::Failed;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return FileContents::State::Failed;
    }
    return FileContents::State::Read;
}

}  // namespace

FileReader::~FileReader() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

FileContents::State FileReader::open(const fs::path& path) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
    size_ = 0;
    int fd = -1;
    struct stat st {};
    if (const auto opened = openForReading(path, fd, st); opened != FileContents::State::Read)
        return opened;
    handle_ = fd;
    size_ = static_cast<std::uintmax_t>(st.st_size);
    return FileContents::State::Read;
}

std::optional<std::size_t> FileReader::readAt(std::uintmax_t offset, char* into,
                                              std::size_t length) const {
    if (handle_ < 0) return std::nullopt;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(static_cast<int>(handle_), into + done, length - done,
                                  static_cast<off_t>(offset + done));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::FILE* openPlainFile(const fs::path& path, FileContents::State& state) {
    int fd = -1;
    struct stat st {};
    state = openForReading(path, fd, st);
    if (state != FileContents::State::Read) return nullptr;
    // The flag was for the open alone: the library is handed an ordinary
    // descriptor.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        state = FileContents::State::Failed;
    }
    return file;
}

FileStamp fileStamp(const fs::path& path) {
    FileStamp stamp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.mtimeNs = nanoseconds(st.st_mtim);
    stamp.ctimeNs = nanoseconds(st.st_ctim);
    stamp.size = static_cast<std::uintmax_t>(st.st_size);
    stamp.device = static_cast<std::uintmax_t>(st.st_dev);
    stamp.fileIndex = static_cast<std::uintmax_t>(st.st_ino);
    return stamp;
}

std::int64_t wallClockNs() {
    // CLOCK_REALTIME is the clock the file times are taken from.
    struct timespec t {};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return nanoseconds(t);
}

fs::path executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return detail::currentFolder();
    return exe.parent_path();
}

std::optional<fs::path> userDataFolder() {
    // The XDG base directory rules: a relative $XDG_DATA_HOME is ignored.
    const char* dataName = std::getenv("XDG_DATA_HOME");
    if (dataName && *dataName && pathFromUtf8(dataName).is_absolute())
        return pathFromUtf8(dataName) / "brindle";
    const char* homeName = std::getenv("HOME");
    if (!homeName || !*homeName) return std::nullopt;
    return pathFromUtf8(homeName) / ".local" / "share" / "brindle";
}

fs::path desktopFolder() {
    const char* homeName = std::getenv("HOME");
    if (!homeName || !*homeName) return detail::currentFolder();
    const fs::path home = pathFromUtf8(homeName);
    if (!detail::isFolder(home)) return detail::currentFolder();
    if (std::optional<fs::path> desktop = xdgDesktop(home); desktop && detail::isFolder(*desktop))
        return *desktop;
    const fs::path desktop = home / "Desktop";
    return detail::isFolder(desktop) ? desktop : home;
}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

// POSIX streams already pass bytes through unchanged and a terminal takes
// UTF-8 when its locale says so: nothing to prepare.
void prepareStandardStreams() {}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace brindle::platform
