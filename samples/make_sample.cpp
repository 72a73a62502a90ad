// Builds the sample workspace from its text sources: every mu/*.tsv becomes a
// 4G library mu/<name>.edb, every mu2/*.tsv a 2G library, and every *.ini is
// written as the program reads it (GBK, CR LF).
//
// usage: brindle-sample SOURCE_DIR WORKSPACE_DIR

#include <fstream>
#include <iostream>
#include <iterator>

#include "app/namelist.h"
#include "app/script.h"
#include "app/textcodec.h"
#include "library/store.h"

namespace fs = std::filesystem;
using namespace brindle;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Tab-separated UTF-8 rows after one header row.
std::vector<Record> readTsv(const fs::path& p) {
    std::vector<Record> records;
    const auto lines = splitList(readAll(p), "\n");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        Record r;
        r.ID = static_cast<std::int32_t>(i);
        r.fields = splitList(lines[i], "\t");
        records.push_back(std::move(r));
    }
    return records;
}

bool buildFolder(const fs::path& source, const fs::path& target, LibraryKind kind) {
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(source)) {
        const auto& p = entry.path();
        if (p.extension() == ".ini") {
            const auto outcome = writeScriptFile(target / p.filename(), codec::toCrLf(readAll(p)));
            if (!outcome.ok) return std::cerr << p << ": " << outcome.reason << '\n', false;
        } else if (p.extension() == ".tsv") {
            const fs::path edb = target / (p.stem().string() + ".edb");
            fs::remove(edb);
            auto error = store::create(edb, kind);
            if (error.empty()) error = store::replaceAll(edb, kind, readTsv(p));
            if (!error.empty()) return std::cerr << edb << ": " << error << '\n', false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: brindle-sample SOURCE_DIR WORKSPACE_DIR\n";
        return 2;
    }
    const fs::path source = argv[1], workspace = argv[2];
    const bool ok = buildFolder(source / "mu", workspace / "mu", LibraryKind::Lte) &&
                    buildFolder(source / "mu2", workspace / "mu2", LibraryKind::Gsm);
    return ok ? 0 : 1;
}
