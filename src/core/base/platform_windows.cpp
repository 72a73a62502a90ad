// The platform module on Windows: the only file that calls Win32 directly.
// Paths go to the system as UTF-16 (path::c_str() is wchar_t here), never
// through the ANSI code page, which cannot spell most names.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// After windows.h, which these need.
#include <fcntl.h>
#include <initguid.h>
#include <io.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/base/platform_shared.h"
#include "core/base/textcodec.h"

namespace brindle::platform {

namespace fs = std::filesystem;

namespace {

// ---- handles and errors -------------------------------------------------------

// A handle closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() {
        if (valid()) ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle) {
        if (valid()) ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

std::string utf8(const wchar_t* wide, std::size_t length) {
    return codec::fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide), length));
}

// The reasons a user can act on in the C runtime's words, which are the
// words the Linux build shows; the system's own (in its language) for the
// rest.
Failure systemFailure(DWORD error) {
    int err = 0;
    switch (error) {
        case ERROR_FILENAME_EXCED_RANGE:
            // The system's own words for this one name no limit.
            return fail(std::string(msg::kNameTooLong));
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            err = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
            err = EACCES;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            err = ENOSPC;
            break;
        case ERROR_WRITE_PROTECT:
            err = EROFS;
            break;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            err = EEXIST;
            break;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            err = ENOMEM;
            break;
        default:
            break;
    }
    if (err != 0) return fail(std::strerror(err));
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words = length > 0 ? utf8(text, length) : "Windows error " + std::to_string(error);
    ::LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r')) words.pop_back();
    return fail(std::move(words));
}

Failure lastFailure() {
    return systemFailure(::GetLastError());
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle that only looks at what `path` names (a link followed), a file
// or a folder, without reading it: opening it never waits and never keeps
// another process from writing, renaming or deleting the file.
Handle lookAt(const fs::path& path) {
    return Handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

enum class Kind { PlainFile, Other, Unknown };

// A file on a disk, not a folder, a device (NUL, CON, COM1) or a pipe; what
// the system tells of a plain file in `info`. Unknown when it cannot say.
Kind kindOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    // A device has no file information to give.
    if (::GetFileType(handle) != FILE_TYPE_DISK) return Kind::Other;
    if (!::GetFileInformationByHandle(handle, &info)) return Kind::Unknown;
    return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::Other : Kind::PlainFile;
}

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_DRIVE;
}

std::uintmax_t sizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// The path of the file a symbolic link names; the path itself when it is
// no link. A dangling link fails: there is nothing sensible to create.
Result<fs::path> followLink(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    const Handle file = lookAt(path);
    if (!file.valid()) return lastFailure();
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            file.get(), name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
        if (length == 0) return lastFailure();
        if (length < name.size()) {
            name.resize(length);
            return fs::path(name);
        }
        name.resize(length);
    }
}

// ---- times --------------------------------------------------------------------

// Windows counts 100 ns ticks from 1601; the core counts nanoseconds from 1970.
constexpr std::int64_t kTicksBefore1970 = 116444736000000000LL;

std::int64_t nanoseconds(std::int64_t ticks) {
    return (ticks - kTicksBefore1970) * 100;
}

std::int64_t nanoseconds(const FILETIME& time) {
    return nanoseconds(static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

// ---- replacing a file -------------------------------------------------------

// Opens a new temporary file in `folder`. Other processes may read it but
// never delete it while it is open, which tells their clean-up that a save
// is still writing it.
HANDLE openTemporary(const fs::path& folder, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder / detail::temporaryName(::GetCurrentProcessId(), counter++);
        const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return file;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool processRuns(DWORD id) {
    const Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    // No handle: there is no such process, or one we may not look at (which
    // therefore runs).
    if (!process.valid()) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    // A process that ended stays openable while anyone holds a handle to it.
    DWORD code = 0;
    return !::GetExitCodeProcess(process.get(), &code) || code == STILL_ACTIVE;
}

// A temporary file of a save that never finished (the program was killed,
// the machine lost power) stays in its folder. The next save into the folder
// removes those whose process is gone, and those old enough that the process
// of that number must be another one. A save of this process is never
// touched, nor one still open in another: an open temporary cannot be
// deleted (see openTemporary), which also keeps a save of another machine
// sharing the folder (whose process numbers mean nothing here) from losing
// its file.
void removeStaleTemporaries(const fs::path& folder) {
    const std::int64_t now = wallClockNs();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        // Any name may turn up here, one that is no valid UTF-16 too.
        const std::wstring name = it->path().filename().native();
        const std::optional<std::uint32_t> owner =
            detail::temporaryOwner(utf8(name.data(), name.size()));
        if (!owner || *owner == ::GetCurrentProcessId()) continue;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(it->path().c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        const bool gone = *owner == 0 || !processRuns(*owner);
        if (!gone && nanoseconds(data.ftLastWriteTime) + detail::kStaleTemporaryNs >= now) continue;
        ::DeleteFileW(it->path().c_str());
    }
}

// Opens a plain file to read it: Missing when nothing is there, Failed for a
// folder, a device or a pipe (looked at before it is opened for reading, so
// that nothing at this path can make the program wait). Others may still
// write, rename and delete the file while it is open, as on POSIX; only
// renaming another file over it waits for the reader to close it (Windows
// refuses that with "Permission denied").
FileContents::State openForReading(const fs::path& path, Handle& file, std::uintmax_t& size) {
    const Handle looked = lookAt(path);
    if (!looked.valid())
        return isMissing(::GetLastError()) ? FileContents::State::Missing
                                           : FileContents::State::Failed;
    BY_HANDLE_FILE_INFORMATION info{};
    if (kindOf(looked.get(), info) != Kind::PlainFile) return FileContents::State::Failed;
    // The very file looked at, whatever the path names by now.
    file.reset(::ReOpenFile(looked.get(), GENERIC_READ, kShareAll, 0));
    if (!file.valid()) return FileContents::State::Failed;
    size = sizeOf(info);
    return FileContents::State::Read;
}

}  // namespace

// ---- text in the system's code pages -----------------------------------------

std::optional<std::string> decodeCodePage(std::string_view bytes, int codePage) {
    if (codePage <= 0 || !::IsValidCodePage(static_cast<UINT>(codePage))) return std::nullopt;
    if (bytes.empty()) return std::string();
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS,
                                             bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, bytes.data(), size,
                          wide.data(), length);
    return utf8(wide.data(), wide.size());
}

bool detail::sameEntryName(const fs::path& a, const fs::path& b) {
    // The file system's own rule: letters compared ignoring case, one by one
    // (no locale, no normalisation).
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

struct FileReplacement::Open {
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD writeError = 0;  // of the first failed write or truncation
    DWORD attributes = 0;  // the replaced file's hidden and system attributes
    fs::path temp;
    fs::path target;
};

FileReplacement::FileReplacement() = default;

FileReplacement::~FileReplacement() {
    abandon();
}

bool isReadOnlyFile(const fs::path& path) {
    const Handle file = lookAt(path);
    BY_HANDLE_FILE_INFORMATION info{};
    return file.valid() && kindOf(file.get(), info) == Kind::PlainFile &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
}

Status FileReplacement::open(const fs::path& path) {
    abandon();
    Result<fs::path> target = followLink(path);
    if (!target) return fail(target.error());
    // Windows words a name too long as a missing folder; this says what it is.
    if (!fileNameFits(*target)) return fail(std::string(msg::kNameTooLong));
    auto file = std::make_unique<Open>();
    {
        const Handle original = lookAt(*target);
        BY_HANDLE_FILE_INFORMATION info{};
        if (original.valid()) {
            const Kind kind = kindOf(original.get(), info);
            if (kind == Kind::Unknown) return lastFailure();
            if (kind == Kind::Other) return fail(std::string(msg::kNotAPlainFile));
            if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                return fail(std::string(msg::kReadOnlyFile));
            file->attributes =
                info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
            return lastFailure();
        }
    }
    const fs::path folder = detail::folderOf(*target);
    removeStaleTemporaries(folder);
    file->file = openTemporary(folder, file->temp);
    if (file->file == INVALID_HANDLE_VALUE) return lastFailure();
    file->target = std::move(*target);
    open_ = std::move(file);
    return {};
}

void FileReplacement::write(std::string_view piece) {
    if (!open_ || open_->writeError != 0) return;
    while (!piece.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(open_->file, piece.data(), chunk, &written, nullptr)) {
            open_->writeError = ::GetLastError();
            return;
        }
        piece.remove_prefix(written);
    }
}

void FileReplacement::restart() {
    if (!open_) return;
    open_->writeError = 0;
    if (!::SetFilePointerEx(open_->file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(open_->file))
        open_->writeError = ::GetLastError();
}

void FileReplacement::abandon() {
    if (!open_) return;
    ::CloseHandle(open_->file);
    ::DeleteFileW(open_->temp.c_str());
    open_.reset();
}

Status FileReplacement::commit() {
    if (!open_) return systemFailure(ERROR_INVALID_HANDLE);
    const std::unique_ptr<Open> file = std::move(open_);
    DWORD error = file->writeError;
    if (error == 0 && file->attributes != 0) {
        FILE_BASIC_INFO basic{};  // times of 0 stay as they are
        basic.FileAttributes = file->attributes;
        if (!::SetFileInformationByHandle(file->file, FileBasicInfo, &basic, sizeof basic))
            error = ::GetLastError();
    }
    if (error == 0 && !::FlushFileBuffers(file->file)) error = ::GetLastError();
    if (!::CloseHandle(file->file) && error == 0) error = ::GetLastError();
    // WRITE_THROUGH: the rename is on the disk when the call returns.
    if (error == 0 && !::MoveFileExW(file->temp.c_str(), file->target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error == 0) return {};
    ::DeleteFileW(file->temp.c_str());
    return systemFailure(error);
}

Result<fs::path> createTemporaryFileBeside(const fs::path& path) {
    fs::path temp;
    const HANDLE file = openTemporary(detail::folderOf(path), temp);
    if (file == INVALID_HANDLE_VALUE) return lastFailure();
    ::CloseHandle(file);
    return temp;
}

bool fileNameFits(const fs::path& path) {
    const std::wstring folder = detail::folderOf(path).native();
    std::wstring root(std::max<std::size_t>(folder.size() + 2, MAX_PATH + 1), L'\0');
    DWORD limit = 0;
    if (!::GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())) ||
        !::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &limit, nullptr, nullptr, 0))
        limit = 255;  // what NTFS, FAT32 (long names) and exFAT take
    return path.filename().native().size() <= limit;
}

Status FileLock::lock(const fs::path& path) {
    unlock();
    // The lock belongs with the file that is replaced, wherever the link
    // is: a save through the link and one of the file itself take turns.
    const Result<fs::path> target = followLink(path);
    const fs::path file = detail::folderOf(target ? *target : path) / ".brindle.lock";
    // Read access is all that locking needs, so a lock file made by another
    // user of a shared folder serves too.
    Handle lockFile(::CreateFileW(file.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!lockFile.valid()) return lastFailure();
    OVERLAPPED whole{};  // from the first byte, as many as there can be: waits for its turn
    if (!::LockFileEx(lockFile.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        return lastFailure();
    handle_ = reinterpret_cast<std::intptr_t>(lockFile.release());
    return {};
}

void FileLock::unlock() {
    if (handle_ < 0) return;
    const auto file = reinterpret_cast<HANDLE>(handle_);
    OVERLAPPED whole{};
    ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    ::CloseHandle(file);
    handle_ = -1;
}

Status renameNoReplace(const fs::path& from, const fs::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when `to` exists.
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return fail(std::string(msg::kFileExists) + utf8Name(to));
    return systemFailure(error);
}

FileReader::~FileReader() {
    if (handle_ >= 0) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

FileContents::State FileReader::open(const fs::path& path) {
    if (handle_ >= 0) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    size_ = 0;
    Handle file;
    std::uintmax_t size = 0;
    if (const auto opened = openForReading(path, file, size); opened != FileContents::State::Read)
        return opened;
    handle_ = reinterpret_cast<std::intptr_t>(file.release());
    size_ = size;
    return FileContents::State::Read;
}

std::optional<std::size_t> FileReader::readAt(std::uintmax_t offset, char* into,
                                              std::size_t length) const {
    if (handle_ < 0) return std::nullopt;
    std::size_t done = 0;
    while (done < length) {
        // The offset goes with each read, so readers of one FileReader never
        // move a position under each other.
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), into + done, chunk, &n, &where)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            return std::nullopt;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

std::FILE* openPlainFile(const fs::path& path, FileContents::State& state) {
    Handle file;
    std::uintmax_t size = 0;
    state = openForReading(path, file, size);
    if (state != FileContents::State::Read) return nullptr;
    // The C runtime takes the handle over; closing the stream closes it.
    const int fd =
        ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file.get()), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        state = FileContents::State::Failed;
        return nullptr;
    }
    file.release();
    std::FILE* stream = ::_fdopen(fd, "rb");
    if (!stream) {
        ::_close(fd);
        state = FileContents::State::Failed;
    }
    return stream;
}

FileStamp fileStamp(const fs::path& path) {
    FileStamp stamp;
    const Handle file = lookAt(path);
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};  // the change time is only here
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info) ||
        !::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic))
        return stamp;
    stamp.exists = true;
    stamp.mtimeNs = nanoseconds(basic.LastWriteTime.QuadPart);
    stamp.ctimeNs = nanoseconds(basic.ChangeTime.QuadPart);
    stamp.size = sizeOf(info);
    stamp.device = info.dwVolumeSerialNumber;
    stamp.fileIndex = (static_cast<std::uintmax_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return stamp;
}

std::int64_t wallClockNs() {
    // The clock the file times are taken from.
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    return nanoseconds(now);
}

fs::path executableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return detail::currentFolder();
        if (length < name.size()) {  // else it was cut to fit
            name.resize(length);
            return fs::path(name).parent_path();
        }
        if (name.size() >= 32768) return detail::currentFolder();  // no path is longer
        name.resize(name.size() * 2);
    }
}

namespace {

// A folder the shell knows, when it is there.
std::optional<fs::path> knownFolder(const KNOWNFOLDERID& id) {
    wchar_t* name = nullptr;
    std::optional<fs::path> folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &name)) && name &&
        detail::isFolder(name))
        folder = fs::path(name);
    ::CoTaskMemFree(name);  // even when the call failed
    return folder;
}

}  // namespace

std::optional<fs::path> userDataFolder() {
    if (std::optional<fs::path> local = knownFolder(FOLDERID_LocalAppData))
        return *local / L"Brindle";
    return std::nullopt;
}

fs::path desktopFolder() {
    if (std::optional<fs::path> desktop = knownFolder(FOLDERID_Desktop)) return *desktop;
    if (std::optional<fs::path> profile = knownFolder(FOLDERID_Profile)) return *profile;
    return detail::currentFolder();
}

bool stderrIsTerminal() {
    // _isatty says yes for NUL, a character device like a console.
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

namespace {

UINT consoleCodePageBefore = 0;

void restoreConsoleCodePage() {
    ::SetConsoleOutputCP(consoleCodePageBefore);
}

}  // namespace

void prepareStandardStreams() {
    // Text mode would write CR LF for every LF: a script's CR LF would
    // reach its file as CR CR LF.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // The console shows what we print as UTF-8; the console is the user's
    // window, shared with the shell, so it gets its code page back at exit.
    consoleCodePageBefore = ::GetConsoleOutputCP();  // 0 without a console
    if (consoleCodePageBefore != 0 && consoleCodePageBefore != CP_UTF8 &&
        ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    // argv was converted to the ANSI code page, which loses every character
    // it cannot spell; the command line itself is UTF-16.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) arguments.push_back(utf8(wide[i], std::wcslen(wide[i])));
    ::LocalFree(wide);
    return arguments;
}

}  // namespace brindle::platform
