#pragma once
// An opened library: all records in memory, in file order (packed in a
// RecordTable, handed out as views), with an index
// from cell name to the first record of that name, so a lookup costs the same
// on a 200,000-cell library as on a 20-cell one. Positions are 0-based record
// numbers in file order; forward scans take a position to start from.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/base/flatindex.h"
#include "core/base/result.h"
#include "core/library/record.h"
#include "core/library/recordtable.h"

namespace brindle {

// Which record an edit changes: the first, in file order, whose `ID` is `id`
// or, with `field` set, whose text field `field` (an index into fieldNames)
// equals `text` byte for byte.
struct RecordKey {
    std::optional<std::size_t> field;
    std::string text;
    std::int32_t id = 0;

    static RecordKey byId(std::int32_t id) { return {std::nullopt, {}, id}; }
    static RecordKey byField(std::size_t field, std::string text) {
        return {field, std::move(text), 0};
    }
};

// The fields an edit changes: (index into fieldNames, new text).
using FieldChanges = std::vector<std::pair<std::size_t, std::string>>;

class Library {
public:
    Library(std::filesystem::path path, LibraryKind kind, RecordTable records,
            std::vector<std::int64_t> rowids);
    // Packs `records` (a library made in memory, as tests and benchmarks do).
    Library(std::filesystem::path path, LibraryKind kind, const std::vector<Record>& records,
            std::vector<std::int64_t> rowids);

    const std::filesystem::path& path() const { return path_; }
    LibraryKind kind() const { return kind_; }
    std::size_t count() const { return records_.size(); }
    RecordView at(std::size_t position) const {
        if (edited_.empty()) [[likely]]
            return records_[position];
        return editedAt(position);
    }

    // First record, in file order, whose `小区名` equals `name` byte for byte.
    std::optional<std::size_t> findCell(std::string_view name) const;

    // Starts fetching the index slot of `name` into the cache, for a
    // findCell of it a little later: a province's index is larger than the
    // cache, and a caller checking a script has other work meanwhile.
    void prefetchCell(std::string_view name) const;

    // First record at or after `from` for which `matches` holds.
    std::optional<std::size_t> findForward(std::size_t from,
                                           const std::function<bool(RecordView)>& matches) const;

    // First record at or after `from` whose fields equal the given values,
    // every named field having to match (for lookups by other keys).
    std::optional<std::size_t> findByFields(
        std::size_t from,
        const std::vector<std::pair<std::size_t, std::string>>& fieldValues) const;

    // Writes `changes` into the record of the file that `key` finds, the
    // file's other fields and records staying as they are there (see
    // store::modify); that record in memory then holds what the file now
    // holds, another program's changes to it included. False, and nothing
    // written, when the file has no such record. The error is the store's.
    Result<bool> modify(const RecordKey& key, const FieldChanges& changes);

private:
    RecordView editedAt(std::size_t position) const;
    void rebuildIndex();

    std::filesystem::path path_;
    LibraryKind kind_;
    RecordTable records_;
    std::vector<std::int64_t> rowids_;
    // Cell name to the position of the first record of that name; the
    // names are the records' own.
    FlatIndex index_;
    // Every edit's record, a table of one, never dropped (see modify()), and
    // the position of each edited record to its latest edit.
    std::vector<RecordTable> edits_;
    std::unordered_map<std::size_t, std::size_t> edited_;
};

}  // namespace brindle
