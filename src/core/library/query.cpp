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

}  // namespace

std::string queryCellText(const Record& row, std::size_t column) {
    if (column == 0) return std::to_string(row.ID);
    const std::size_t field = column - 1;
    return field < row.fields.size() ? row.fields[field] : std::string();
}

std::optional<std::size_t> findQueryRow(std::span<const Record> rows, std::string_view text) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (startsWithIgnoringCase(std::to_string(rows[r].ID), text)) return r;
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (const std::string& field : rows[r].fields)
            if (std::string_view(field).starts_with(text)) return r;
    return std::nullopt;
}

Status saveRecordEdit(Library* library, std::int32_t id, const std::vector<std::string>& texts,
                      Feedback& feedback) {
    const auto say = [&feedback](std::string_view text) {
        feedback.message(text);
        return fail(std::string(text));
    };
    std::optional<std::size_t> position;
    if (library) position = library->findForward(0, [id](const Record& r) { return r.ID == id; });
    if (!position) return say(msg::kIdNotFound);
    Record edited{id, texts};
    // A record always keeps its full set of fields.
    edited.fields.resize(library->at(*position).fields.size());
    if (!library->update(*position, edited)) return say(msg::kEditWriteFailed);
    feedback.message(msg::kEdited);
    return {};
}

}  // namespace brindle
