#include "core/library/library.h"

#include <algorithm>

#include "core/library/store.h"

namespace brindle {

Library::Library(std::filesystem::path path, LibraryKind kind, RecordTable records,
                 std::vector<std::int64_t> rowids)
    : path_(std::move(path)),
      kind_(kind),
      records_(std::move(records)),
      rowids_(std::move(rowids)) {
    rebuildIndex();
}

namespace {

RecordTable packed(LibraryKind kind, const std::vector<Record>& records) {
    RecordTable table(fieldNames(kind).size());
    std::size_t textBytes = 0;
    for (const Record& r : records)
        for (const std::string& f : r.fields) textBytes += f.size();
    table.reserve(records.size(), textBytes);
    // A library made in memory is small: it cannot pass the table's 4 GiB.
    for (const Record& r : records) static_cast<void>(table.append(r));
    return table;
}

}  // namespace

Library::Library(std::filesystem::path path, LibraryKind kind, const std::vector<Record>& records,
                 std::vector<std::int64_t> rowids)
    : Library(std::move(path), kind, packed(kind, records), std::move(rowids)) {}

RecordView Library::editedAt(std::size_t position) const {
    const auto edit = edited_.find(position);
    return edit == edited_.end() ? records_[position] : edits_[edit->second][0];
}

namespace {

// The index's key test: whether the record at an entry is named `name`.
auto named(const Library& library, std::string_view name) {
    return [&library, name](std::uint32_t e) { return library.at(e).cellName() == name; };
}

}  // namespace

void Library::rebuildIndex() {
    index_ = FlatIndex();
    index_.reserve(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const std::string_view name = at(i).cellName();
        // Keeps the first of equal names.
        static_cast<void>(index_.insert(FlatIndex::hash(name), static_cast<std::uint32_t>(i),
                                        named(*this, name)));
    }
}

std::optional<std::size_t> Library::findCell(std::string_view name) const {
    return index_.find(FlatIndex::hash(name), named(*this, name));
}

void Library::prefetchCell(std::string_view name) const {
    index_.prefetch(FlatIndex::hash(name));
}

std::optional<std::size_t> Library::findForward(
    std::size_t from, const std::function<bool(RecordView)>& matches) const {
    for (std::size_t i = from; i < count(); ++i)
        if (matches(at(i))) return i;
    return std::nullopt;
}

std::optional<std::size_t> Library::findByFields(
    std::size_t from, const std::vector<std::pair<std::size_t, std::string>>& fieldValues) const {
    return findForward(from, [&](RecordView r) {
        for (const auto& [field, value] : fieldValues)
            if (r.field(field) != value) return false;
        return true;
    });
}

Result<bool> Library::modify(const RecordKey& key, const FieldChanges& changes) {
    const auto stored = store::modify(path_, kind_, key, changes);
    if (!stored) return fail(stored.error());
    if (!*stored) return false;
    // The record is held as the file now has it. Rowids are in file order; a
    // record the file has gained since the library was read has no place in
    // memory, and the next reading brings it.
    const auto rowid = std::lower_bound(rowids_.begin(), rowids_.end(), (*stored)->rowid);
    if (rowid == rowids_.end() || *rowid != (*stored)->rowid) return true;
    const auto position = static_cast<std::size_t>(rowid - rowids_.begin());
    RecordTable edit(records_.width());
    // Only a record of more than 4 GiB of text would not fit; the file then
    // holds the edit and the next reading brings it.
    if (!edit.append((*stored)->record)) return true;
    const bool renamed = at(position).cellName() != (*stored)->record.cellName();
    // Cells looked up before view the old texts, and a run that let the edit
    // happen during its events may still read them: the old texts are kept
    // (in the table they were read into, or in an earlier edit) rather than
    // freed under those cells. An edit is one record, made by hand.
    edits_.push_back(std::move(edit));
    edited_[position] = edits_.size() - 1;
    if (renamed) rebuildIndex();
    return true;
}

}  // namespace brindle
