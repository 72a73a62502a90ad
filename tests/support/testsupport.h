#pragma once
// Shared helpers of the core tests, the GUI tests and the benchmarks: a
// temporary folder, a program folder with its session, and small libraries
// built from records written inline. Failures throw, so a broken fixture
// fails the test that uses it instead of passing silently.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/app/session.h"
#include "core/base/platform.h"
#include "core/library/record.h"
#include "core/workbook/error.h"

namespace brindle::workbook {
// How a test failure shows a workbook error: its message for a path "<path>".
void PrintTo(const WorkbookError& error, std::ostream* out);
}  // namespace brindle::workbook

// Skips a test about what only POSIX systems have (FIFOs, fork, modes, file
// names that are bytes): `why` is told with the skip.
#ifdef _WIN32
#define BRINDLE_POSIX_ONLY(why) GTEST_SKIP() << "POSIX only: " << (why)
#else
#define BRINDLE_POSIX_ONLY(why) static_cast<void>(0)
#endif

namespace brindle::test {

// A fresh folder removed again when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view utf8Name) const {
        return path_ / platform::pathFromUtf8(utf8Name);
    }

private:
    std::filesystem::path path_;
};

// A program folder in a fresh temporary folder, and its session.
struct Workspace {
    TempDir dir;
    Session session{dir.path()};
};

std::string readFile(const std::filesystem::path& p);
// `utf8` in GBK; a text without a GBK form fails the test with an exception.
std::string gbk(std::string_view utf8);
// The message a workbook error shows when `path` was read; "" for none.
std::string workbookError(const std::filesystem::path& path,
                          const std::optional<workbook::WorkbookError>& error);
// Leaves `p` readable by all and writable by none, as chmod 0444 does (the
// read-only attribute on Windows).
void makeReadOnly(const std::filesystem::path& p);
// Writes the bytes as they are, creating the folders.
void writeFile(const std::filesystem::path& p, const std::string& bytes);

// Records: fields in record order, padded with empty fields, ID given.
Record cell4G(std::int32_t id, std::vector<std::string> fields);
Record cell2G(std::int32_t id, std::vector<std::string> fields);

// Writes a library of `kind` holding `records` to `path` (creating folders).
void makeLibrary(const std::filesystem::path& path, LibraryKind kind,
                 const std::vector<Record>& records);

// Runs `program` in `folder` with standard input from `in` and both output
// streams into files. `args` are words as a POSIX shell reads them (blanks
// between them, '...' quoting). The exit status, or -1 when there is none.
int runProgram(const std::filesystem::path& folder, const std::filesystem::path& program,
               const std::string& args, const std::filesystem::path& in,
               const std::filesystem::path& out, const std::filesystem::path& err);

// Runs `sql` on `database` in a child process that then dies without
// committing or closing, as a crash or a kill -9 would: what the child wrote
// is left in the file, its rollback journal or its -wal. With `flush` the
// child's uncommitted pages are written into the database file first, so
// that only the journal can put the old contents back. POSIX only (a test
// that calls it starts with BRINDLE_POSIX_ONLY).
void crashMidWrite(const std::filesystem::path& database, const std::string& sql, bool flush);

// Makes `<mu>/<name>` (or mu2) from records and opens it into the session as
// the current library of its kind.
void useLibrary(Session& session, const std::string& name, LibraryKind kind,
                const std::vector<Record>& records);

}  // namespace brindle::test
