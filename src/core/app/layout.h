#pragma once
// Where Brindle keeps its files below the program folder: the 4G libraries
// in mu/, the 2G libraries in mu2/, and the two settings files beside the 4G
// libraries. Nothing else in the program spells these names.

#include <filesystem>

#include "core/library/record.h"

namespace brindle {

struct ProgramFolder {
    std::filesystem::path home;

    std::filesystem::path mu() const { return home / "mu"; }
    std::filesystem::path mu2() const { return home / "mu2"; }
    std::filesystem::path earfcnIni() const { return mu() / "EARFCN.ini"; }
    std::filesystem::path ini2G() const { return mu() / "2G.ini"; }
    std::filesystem::path libraries(LibraryKind kind) const {
        return kind == LibraryKind::Lte ? mu() : mu2();
    }
};

}  // namespace brindle
