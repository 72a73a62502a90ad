#include "core/library/recordtable.h"

#include <limits>

namespace brindle {

RecordTable::RecordTable(std::size_t width) : width_(width), bounds_{0} {}

void RecordTable::reserve(std::size_t records, std::size_t textBytes) {
    // Reserved but untouched pages cost no memory, so a generous text hint
    // (the file's size) is cheap.
    text_.reserve(textBytes);
    bounds_.reserve(records * width_ + 1);
    ids_.reserve(records);
}

void RecordTable::startRecord(std::int32_t ID) {
    ids_.push_back(ID);
}

bool RecordTable::addField(std::string_view text) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - text_.size()) return false;
    text_.insert(text_.end(), text.begin(), text.end());
    bounds_.push_back(static_cast<std::uint32_t>(text_.size()));
    return true;
}

bool RecordTable::append(const Record& record) {
    const std::size_t textBefore = text_.size();
    startRecord(record.ID);
    for (std::size_t f = 0; f < width_; ++f) {
        if (addField(f < record.fields.size() ? std::string_view(record.fields[f]) : "")) continue;
        // Leaves the table as it was before the record.
        ids_.pop_back();
        bounds_.resize(bounds_.size() - f);
        text_.resize(textBefore);
        return false;
    }
    return true;
}

}  // namespace brindle
