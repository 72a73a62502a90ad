#include "core/library/import.h"

#include <array>
#include <system_error>

#include "core/base/messages.h"
#include "core/library/store.h"
#include "core/library/workbook.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

constexpr std::array<ImportColumn, 8> kColumns4G = {{{"基站名", 200},
                                                     {"小区名", 200},
                                                     {"本地小区标识", 100},
                                                     {"基站号", 100},
                                                     {"小区标识", 100},
                                                     {"频点", 100},
                                                     {"物理小区标识", 100},
                                                     {"TAC号", 100}}};
constexpr std::array<ImportColumn, 7> kColumns2G = {{{"基站名", 220},
                                                     {"小区名", 220},
                                                     {"小区LAC", 80},
                                                     {"小区CI", 80},
                                                     {"BCCH频点", 80},
                                                     {"小区网络色码", 120},
                                                     {"小区基站色码", 120}}};

// Blank when nothing but ASCII spaces and full-width spaces (U+3000) is left.
bool blankText(std::string_view text) {
    constexpr std::string_view kFullWidthSpace = "\u3000";
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
        } else if (text.substr(i, kFullWidthSpace.size()) == kFullWidthSpace) {
            i += kFullWidthSpace.size();
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::span<const ImportColumn> importColumns(LibraryKind kind) {
    if (kind == LibraryKind::Lte) return kColumns4G;
    return kColumns2G;
}

namespace {

// Shows a failure as an error box and gives it back.
Failure shown(std::string error, Feedback& feedback) {
    feedback.message(error, {}, Icon::Error);
    return fail(std::move(error));
}

}  // namespace

Status readWorkbook(const fs::path& path, LibraryKind kind, Preview& preview, Feedback& feedback) {
    auto book = workbook::Workbook::open(path);
    if (!book) return shown(book.error(), feedback);
    auto rows = (*book)->rows(std::size_t{0});
    if (!rows) return shown(rows.error(), feedback);
    workbook::RowReader& reader = **rows;
    const std::size_t columns = importColumns(kind).size();
    Preview read{path.stem().string(), {}};
    workbook::Row row;
    reader.next(row);  // the header row
    while (reader.next(row)) {
        feedback.pumpEvents();
        std::vector<std::string> cells;
        cells.reserve(columns);
        bool blank = true;
        for (std::size_t c = 0; c < columns; ++c) {
            cells.push_back(row.cell(c));
            blank = blank && blankText(cells.back());
            feedback.progress(static_cast<long>(c) + 1, static_cast<long>(columns));
        }
        if (blank) break;
        read.rows.push_back(std::move(cells));
    }
    if (!reader.error().empty()) return shown(reader.error(), feedback);
    preview = std::move(read);
    feedback.message(std::string(msg::kWorkbookReadHead) + std::to_string(preview.rows.size()) +
                     std::string(msg::kWorkbookReadTail));
    return {};
}

Status writeLibrary(const fs::path& path, LibraryKind kind, const Preview& preview,
                    Feedback& feedback) {
    // An empty preview would leave an empty library: it is refused before
    // anything is written, and the library keeps its records.
    if (preview.rows.empty()) {
        std::string error = std::string(msg::kWorkbookHasNoRows) + std::string(msg::kImportAgain);
        feedback.message(error);
        return fail(std::move(error));
    }
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);

    // These say what went wrong first; the write below then fails on the same
    // file and its message ends the import.
    if (fs::exists(path, ec)) {
        if (!store::check(path, kind)) feedback.message(msg::kOpenExistingDbFailed);
    } else if (!store::create(path, kind)) {
        // Another import may have made the same library a moment ago: that
        // one is written like any existing library.
        if (!fs::exists(path, ec) || !store::check(path, kind))
            feedback.message(msg::kCreateDbFailed);
    } else if (!store::check(path, kind)) {
        feedback.message(msg::kOpenNewDbFailed);
    }

    std::vector<Record> records;
    records.reserve(preview.rows.size());
    for (std::size_t i = 0; i < preview.rows.size(); ++i)
        records.push_back({static_cast<std::int32_t>(i + 1), preview.rows[i]});
    const long total = static_cast<long>(records.size());
    feedback.progress(0, total);
    const Status replaced = store::replaceAll(path, kind, records, [&](std::size_t written) {
        feedback.progress(static_cast<long>(written), total);
    });
    // A failed write leaves the old records; it is never reported as success.
    std::string error = replaced.error();
    if (replaced) {
        const Result<long long> count = store::count(path, kind);
        if (count && *count >= 1) {
            feedback.message(msg::kImportOk);
            return {};
        }
        error = count.error();
    }
    error += msg::kImportAgain;
    feedback.message(error);
    return fail(std::move(error));
}

}  // namespace brindle
