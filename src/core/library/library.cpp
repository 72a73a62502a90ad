#include "core/library/library.h"

#include "core/library/store.h"

namespace brindle {

Library::Library(std::filesystem::path path, LibraryKind kind, std::vector<Record> records,
                 std::vector<std::int64_t> rowids)
    : path_(std::move(path)),
      kind_(kind),
      records_(std::move(records)),
      rowids_(std::move(rowids)) {
    rebuildIndex();
}

void Library::rebuildIndex() {
    firstByName_.clear();
    firstByName_.reserve(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i)
        firstByName_.try_emplace(records_[i].cellName(), i);  // keeps the first of equal names
}

std::optional<std::size_t> Library::findCell(std::string_view name) const {
    const auto it = firstByName_.find(name);
    if (it == firstByName_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::size_t> Library::findForward(
    std::size_t from, const std::function<bool(const Record&)>& matches) const {
    for (std::size_t i = from; i < records_.size(); ++i)
        if (matches(records_[i])) return i;
    return std::nullopt;
}

std::optional<std::size_t> Library::findByFields(
    std::size_t from, const std::vector<std::pair<std::size_t, std::string>>& fieldValues) const {
    return findForward(from, [&](const Record& r) {
        for (const auto& [field, value] : fieldValues)
            if (r.fields[field] != value) return false;
        return true;
    });
}

Status Library::update(std::size_t position, const Record& record) {
    if (Status written = store::update(path_, kind_, rowids_[position], record); !written)
        return written;
    const bool renamed = records_[position].cellName() != record.cellName();
    records_[position] = record;
    if (renamed) rebuildIndex();
    return {};
}

}  // namespace brindle
