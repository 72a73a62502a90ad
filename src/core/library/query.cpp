#include "core/library/query.h"

#include "core/base/messages.h"

namespace brindle {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(prefix[i])) return false;
    return true;
}

std::string_view fieldOf(const Record& row, std::size_t f) {
    return row.fields[f];
}
std::size_t widthOf(const Record& row) {
    return row.fields.size();
}
std::string_view fieldOf(RecordView row, std::size_t f) {
    return row.field(f);
}
std::size_t widthOf(RecordView row) {
    return row.fieldCount();
}

// The search over the list's rows (the window's copies) and over a
// library's records alike; `rowAt(r)` is row `r`.
template <typename RowAt>
std::optional<std::size_t> findRow(std::size_t rows, const RowAt& rowAt, std::string_view text) {
    for (std::size_t r = 0; r < rows; ++r)
        if (startsWithIgnoringCase(std::to_string(rowAt(r).ID), text)) return r;
    for (std::size_t r = 0; r < rows; ++r) {
        const auto& row = rowAt(r);
        for (std::size_t f = 0; f < widthOf(row); ++f)
            if (fieldOf(row, f).starts_with(text)) return r;
    }
    return std::nullopt;
}

}  // namespace

std::string queryCellText(const Record& row, std::size_t column) {
    if (column == 0) return std::to_string(row.ID);
    const std::size_t field = column - 1;
    return field < row.fields.size() ? row.fields[field] : std::string();
}

std::optional<std::size_t> findQueryRow(std::span<const Record> rows, std::string_view text) {
    return findRow(
        rows.size(), [rows](std::size_t r) -> const Record& { return rows[r]; }, text);
}

std::optional<std::size_t> findQueryRow(const Library& library, std::string_view text) {
    return findRow(
        library.count(), [&library](std::size_t r) { return library.at(r); }, text);
}

Status saveRecordEdit(Library* library, std::int32_t id, const std::vector<std::string>& texts,
                      Feedback& feedback) {
    const auto say = [&feedback](std::string_view text) {
        feedback.message(text);
        return fail(std::string(text));
    };
    std::optional<std::size_t> position;
    if (library) position = library->findForward(0, [id](RecordView r) { return r.ID == id; });
    if (!position) return say(msg::kIdNotFound);
    Record edited{id, texts};
    // A record always keeps its full set of fields.
    edited.fields.resize(library->at(*position).fieldCount());
    if (!library->update(*position, edited)) return say(msg::kEditWriteFailed);
    feedback.message(msg::kEdited);
    return {};
}

}  // namespace brindle
