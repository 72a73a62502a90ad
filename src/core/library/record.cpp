#include "core/library/record.h"

namespace brindle {

std::span<const std::string_view> fieldNames(LibraryKind kind) {
    if (kind == LibraryKind::Lte) return kFields4G;
    return kFields2G;
}

std::string_view kindLabel(LibraryKind kind) {
    return kind == LibraryKind::Lte ? "4G" : "2G";
}

Cell4G Cell4G::from(const Record& r) {
    const auto& f = r.fields;
    return {r.ID, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
}

Cell2G Cell2G::from(const Record& r) {
    const auto& f = r.fields;
    return {r.ID, f[0], f[1], f[2], f[3], f[4], f[5], f[6]};
}

}  // namespace brindle
