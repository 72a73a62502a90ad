#include "core/base/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace brindle {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kReadOnly = "文件为只读";
constexpr std::string_view kNotAFile = "不是普通文件";

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

std::string reason(int err) {
    return std::strerror(err);
}

// Opens a new temporary file beside `target`.
int openTemporary(const fs::path& folder, const fs::path& target, bool replacing,
                  std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                          "." + std::to_string(counter++) + ".tmp"))
                   .string();
        // A new file gets the usual permissions (umask applies); a
        // replacement starts private and takes the original's bits.
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

bool isReadOnlyFile(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !mayWrite(path, st);
}

std::string replaceFileAtomically(const fs::path& path, std::string_view bytes) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        target = fs::canonical(path, ec);
        if (ec) return ec.message();  // a dangling link: nothing sensible to create
    }
    struct stat original {};
    const bool exists = ::stat(target.c_str(), &original) == 0;
    if (!exists && errno != ENOENT) return reason(errno);
    if (exists && !S_ISREG(original.st_mode)) return std::string(kNotAFile);
    if (exists && !mayWrite(target, original)) return std::string(kReadOnly);

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temp;
    const int fd = openTemporary(folder, target, exists, temp);
    if (fd < 0) return reason(errno);

    bool ok = writeAll(fd, bytes);
    if (ok && exists) {
        if (original.st_uid != ::geteuid() || original.st_gid != ::getegid()) {
            // Keeping the owner needs privileges; the permission bits matter more.
            [[maybe_unused]] const int kept = ::fchown(fd, original.st_uid, original.st_gid);
        }
        ok = ::fchmod(fd, original.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    int err = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return reason(err);
    }
    // Make the rename itself durable; the data is already safe either way.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

}  // namespace brindle
