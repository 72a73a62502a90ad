#pragma once
// Library files: one SQLite database per library, `<base name>.edb`. A file
// carries the SQLite application id 'BRND', its format version in
// user_version, and its kind (4G or 2G) in table `brindle_library`. The cells
// live in table `cells`, one column per record field, named like the field;
// file order is insertion order (rowid). Files that are not Brindle libraries
// are refused and never written to.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/library/library.h"
#include "core/library/record.h"

namespace brindle::store {

inline constexpr std::int32_t kApplicationId = 0x42524E44;  // "BRND"
inline constexpr int kFormatVersion = 1;

struct LoadResult {
    std::shared_ptr<Library> library;  // null on failure
    std::string error;                 // message for the engineer
};

// Creates an empty library of `kind`. Returns "" or the store's error text.
std::string create(const std::filesystem::path& path, LibraryKind kind);

// Checks that `path` is a library of `kind` that can be opened for writing.
// Returns "" or the error text. Nothing is written.
std::string check(const std::filesystem::path& path, LibraryKind kind);

// Reads every record, in file order.
LoadResult load(const std::filesystem::path& path, LibraryKind kind);

// Replaces all records in one transaction: on any failure the library keeps
// the records it had. IDs are taken from the records. `written` is told the
// number of records written so far, now and then. Returns "" or the error.
std::string replaceAll(const std::filesystem::path& path, LibraryKind kind,
                       const std::vector<Record>& records,
                       const std::function<void(std::size_t)>& written = {});

// Number of records, or -1 with `error` set.
long long count(const std::filesystem::path& path, LibraryKind kind, std::string& error);

// Writes one record's fields in place, found by its rowid. Returns "" or the error.
std::string update(const std::filesystem::path& path, LibraryKind kind, std::int64_t rowid,
                   const Record& record);

}  // namespace brindle::store
