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
    using F = Field4G;
    return {r.ID,
            r.field(F::SiteName),
            r.field(F::CellName),
            r.field(F::LocalCellId),
            r.field(F::EnodebId),
            r.field(F::CellId),
            r.field(F::Earfcn),
            r.field(F::Pci),
            r.field(F::Tac)};
}

Cell2G Cell2G::from(RecordView r) {
    using F = Field2G;
    return {r.ID,           r.field(F::SiteName), r.field(F::CellName), r.field(F::Lac),
            r.field(F::Ci), r.field(F::Bcch),     r.field(F::Ncc),      r.field(F::Bcc)};
}

}  // namespace brindle
