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

std::string_view Preview::cell(std::size_t row, std::size_t column) const {
    const std::size_t index = row * columns_ + column;
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

std::vector<std::string> Preview::row(std::size_t row) const {
    std::vector<std::string> cells;
    cells.reserve(columns_);
    for (std::size_t c = 0; c < columns_; ++c) cells.emplace_back(cell(row, c));
    return cells;
}

void Preview::append(std::span<const std::string_view> cells) {
    for (std::size_t c = 0; c < columns_; ++c) {
        if (c < cells.size()) text_ += cells[c];
        ends_.push_back(text_.size());
    }
}

void Preview::append(const std::vector<std::string>& cells) {
    std::vector<std::string_view> views(cells.begin(), cells.end());
    append(views);
}

namespace {

// Events run and progress is told once every this many rows: once a row, a
// large sheet spent more time in the window's event loop than in reading.
// The progress shown at each pause is the one a row ends with, as before.
constexpr std::size_t kRowsBetweenEvents = 256;

}  // namespace

Status readWorkbook(const fs::path& path, LibraryKind kind, Preview& preview, Feedback& feedback) {
    auto book = workbook::Workbook::open(path);
    if (!book) return shown(book.error(), feedback);
    auto rows = (*book)->rows(std::size_t{0});
    if (!rows) return shown(rows.error(), feedback);
    workbook::RowReader& reader = **rows;
    const std::size_t columns = importColumns(kind).size();
    Preview read(columns);
    read.baseName = path.stem().string();
    workbook::Row row;
    std::vector<std::string_view> cells(columns);
    reader.next(row);  // the header row
    for (std::size_t n = 0; reader.next(row); ++n) {
        const bool pause = n % kRowsBetweenEvents == 0;
        if (pause) feedback.pumpEvents();
        bool blank = true;
        for (std::size_t c = 0; c < columns; ++c) {
            cells[c] = c < row.cells.size() ? std::string_view(row.cells[c]) : std::string_view();
            blank = blank && blankText(cells[c]);
            if (pause) feedback.progress(static_cast<long>(c) + 1, static_cast<long>(columns));
        }
        if (blank) break;
        read.append(cells);
    }
    if (!reader.error().empty()) return shown(reader.error(), feedback);
    preview = std::move(read);
    feedback.message(std::string(msg::kWorkbookReadHead) + std::to_string(preview.size()) +
                     std::string(msg::kWorkbookReadTail));
    return {};
}

Status writeLibrary(const fs::path& path, LibraryKind kind, const Preview& preview,
                    Feedback& feedback) {
    // An empty preview would leave an empty library: it is refused before
    // anything is written, and the library keeps its records.
    if (preview.empty()) {
        std::string error = std::string(msg::kWorkbookHasNoRows) + std::string(msg::kImportAgain);
        feedback.message(error);
        return fail(std::move(error));
    }
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    // Refused before the library is made: it could be created but never
    // written.
    if (!store::nameFits(path)) {
        std::string error = std::string(msg::kLibraryNameTooLong) + path.filename().string();
        feedback.message(error);
        return fail(std::move(error));
    }

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

    // Records are numbered from 1 in sheet order.
    const store::RecordSource records{preview.size(),
                                      [&](std::size_t i, std::vector<std::string_view>& fields) {
                                          for (std::size_t c = 0; c < preview.columns(); ++c)
                                              fields.push_back(preview.cell(i, c));
                                          return static_cast<std::int32_t>(i + 1);
                                      }};
    const long total = static_cast<long>(records.count);
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
