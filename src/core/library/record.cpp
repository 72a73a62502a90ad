#include "core/library/record.h"

namespace brindle {

std::span<const std::string_view> fieldNames(LibraryKind kind) {
    if (kind == LibraryKind::Lte) return kFields4G;
    return kFields2G;
}

std::string_view kindLabel(LibraryKind kind) {
    return kind == LibraryKind::Lte ? "4G" : "2G";
}

Record RecordView::toRecord() const {
    Record record{ID, {}};
    record.fields.reserve(width_);
    for (std::size_t i = 0; i < width_; ++i) record.fields.emplace_back(field(i));
    return record;
}

Cell4G Cell4G::from(RecordView r) {
    return {r.ID,       r.field(0), r.field(1), r.field(2), r.field(3),
            r.field(4), r.field(5), r.field(6), r.field(7)};
}

Cell2G Cell2G::from(RecordView r) {
    return {r.ID,       r.field(0), r.field(1), r.field(2),
            r.field(3), r.field(4), r.field(5), r.field(6)};
}

}  // namespace brindle
