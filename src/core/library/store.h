#pragma once
// Library files: one SQLite database per library, `<base name>.edb`. A file
// carries the SQLite application id 'BRND', its format version in
// user_version, and its kind (4G or 2G) in table `brindle_library`. The cells
// live in table `cells`, one column per record field, named like the field;
// file order is insertion order (rowid). Files that are not Brindle libraries
// are refused from their header bytes, before SQLite opens them, and never
// written to (nor their -wal or journal). A library missing a field's column
// is refused, naming the field. A journal left by a crashed write is rolled
// back when the library is next read. A library without write permission is
// never written, whoever we run as.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/result.h"
#include "core/library/library.h"
#include "core/library/record.h"

namespace brindle::store {

inline constexpr std::int32_t kApplicationId = 0x42524E44;  // "BRND"
inline constexpr int kFormatVersion = 1;

// Whether a library can be written at `path`: every write goes through a
// journal beside it, named like it with "-journal" added, and a name that
// fits the file system while its journal's does not makes a library no
// write can change.
bool nameFits(const std::filesystem::path& path);

// Checks that `path` is a library of `kind` that can be opened for writing.
// Nothing is written.
Status check(const std::filesystem::path& path, LibraryKind kind);

// Reads every record, in file order. The error is the message for the
// engineer ("工参库无法读取：<path>\r\n被其他程序锁定", "…文件已损坏：<why>",
// "不是Brindle工参库…", …).
Result<std::shared_ptr<Library>> load(const std::filesystem::path& path, LibraryKind kind);

// Records handed to replaceAll one at a time, so that a caller holding them
// in another form need not copy them all into Records first: `at(i, fields)`
// fills `fields` with the texts of record i (0-based, in the order of
// fieldNames) and gives its ID. The texts must stay valid until the next call.
struct RecordSource {
    std::size_t count = 0;
    std::function<std::int32_t(std::size_t index, std::vector<std::string_view>& fields)> at;
};

// Replaces all records in one transaction: on any failure the library keeps
// the records it had. The count is checked before the commit. IDs are taken
// from the records. A record with another number of fields than the kind has
// is refused. `written` is told the number of records written so far, now and
// then.
Status replaceAll(const std::filesystem::path& path, LibraryKind kind, const RecordSource& records,
                  const std::function<void(std::size_t)>& written = {});
Status replaceAll(const std::filesystem::path& path, LibraryKind kind,
                  const std::vector<Record>& records,
                  const std::function<void(std::size_t)>& written = {});

// The records of a library replaced one at a time, for a caller that gets
// them one at a time (the command line's import writes each row while the
// workbook is still being read). It writes as replaceAll and create do, in
// one transaction: nothing reaches the library until commit succeeds, and a
// replacement destroyed before then leaves the library as it was (a new one:
// no file at all).
class Replacement {
public:
    // Of the library at `path`, refused as check refuses it. Without
    // `waitForLock` a library another connection is writing is refused at
    // once rather than after the usual wait: for a replacement begun on the
    // chance that it can be used (the command line's import), whose caller
    // then writes the records the usual way, waiting again.
    enum class Wait { ForLock, No };
    static Result<Replacement> begin(const std::filesystem::path& path, LibraryKind kind,
                                     Wait wait = Wait::ForLock);
    // Of a new library, made as create makes it: given its name by commit.
    static Result<Replacement> beginNew(const std::filesystem::path& path, LibraryKind kind);

    Replacement(Replacement&&) noexcept;
    Replacement& operator=(Replacement&&) noexcept;
    ~Replacement();

    // Writes the next record (the texts in the order of fieldNames). A record
    // with another number of fields than the kind has is refused. After a
    // failure nothing more is written, and every later call fails the same.
    Status add(std::int32_t id, std::span<const std::string_view> fields);
    // Commits, once, when the library then holds exactly `count` records; a
    // new library then gets its name, never replacing a file
    // ("文件已存在：<path>"). On a failure the library keeps what it had.
    Status commit(std::size_t count);

private:
    struct State;
    explicit Replacement(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Creates a library of `kind` holding `records` (none: an empty library). It
// is built whole under a temporary name beside `path` and only then given its
// name, never replacing a file that is there ("文件已存在：<path>"): a
// failure at any point leaves no file at `path`.
Status create(const std::filesystem::path& path, LibraryKind kind, const RecordSource& records = {},
              const std::function<void(std::size_t)>& written = {});

// Number of records.
Result<long long> count(const std::filesystem::path& path, LibraryKind kind);
// Whether the library holds a record at all: read from the table's first
// page, where count reads every page of the file.
Result<bool> holdsRecords(const std::filesystem::path& path, LibraryKind kind);

// A record as an edit left it in the file.
struct StoredRecord {
    std::int64_t rowid = 0;
    Record record;
};

// Writes `changes` into the record `key` finds, in one write transaction
// that finds and reads the record first: fields not changed keep what the
// file holds, whatever another program wrote there since this one read the
// library. Gives the record as now stored, or nothing (and nothing written)
// when no record matches. Waits a while for another program's write to end;
// a library still locked, or one without write permission (also when we run
// as root), fails with "工参库无法写入：<path>\r\n<reason>".
Result<std::optional<StoredRecord>> modify(const std::filesystem::path& path, LibraryKind kind,
                                           const RecordKey& key, const FieldChanges& changes);

}  // namespace brindle::store
