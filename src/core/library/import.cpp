#include "core/library/import.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "core/base/messages.h"
#include "core/base/platform.h"
#include "core/library/store.h"
#include "core/workbook/workbook.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

// The preview's columns are the record fields, each this wide in pixels.
constexpr std::array<int, kFields4G.size()> kWidths4G = {200, 200, 100, 100, 100, 100, 100, 100};
constexpr std::array<int, kFields2G.size()> kWidths2G = {220, 220, 80, 80, 80, 120, 120};

template <std::size_t N>
constexpr std::array<ImportColumn, N> columnsOf(const std::array<std::string_view, N>& names,
                                                const std::array<int, N>& widths) {
    std::array<ImportColumn, N> columns{};
    for (std::size_t i = 0; i < N; ++i) columns[i] = {names[i], widths[i]};
    return columns;
}
constexpr auto kColumns4G = columnsOf(kFields4G, kWidths4G);
constexpr auto kColumns2G = columnsOf(kFields2G, kWidths2G);

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

// Progress is told, and a stop heard, once every this many rows: once a row,
// a large sheet spent more time telling than reading. The progress shown at
// each pause is the one a row ends with, as before.
constexpr std::size_t kRowsBetweenEvents = 256;

// How many columns a row reaches with a cell that is not blank.
std::size_t reach(const std::vector<std::string>& cells) {
    for (std::size_t c = cells.size(); c > 0; --c)
        if (!blankText(cells[c - 1])) return c;
    return 0;
}

}  // namespace

std::string workbookBaseName(const fs::path& workbook) {
    return platform::utf8Name(workbook.stem());
}

ImportDraft::ImportDraft(const fs::path& path, LibraryKind kind) : path_(path) {
    std::error_code ec;
    if (!fs::is_directory(path.parent_path(), ec) || !store::nameFits(path)) return;
    replacing_ = fs::exists(path, ec);
    // A locked library is left to writeLibrary, which waits for it as an
    // import always has; waiting here as well would double the wait.
    auto begun = replacing_ ? store::Replacement::begin(path, kind, store::Replacement::Wait::No)
                            : store::Replacement::beginNew(path, kind);
    if (begun) replacement_.emplace(std::move(*begun));
}

void ImportDraft::add(std::span<const std::string_view> cells) {
    if (replacement_ && !replacement_->add(static_cast<std::int32_t>(++rows_), cells)) drop();
}

bool ImportDraft::commit(std::size_t rows) {
    std::error_code ec;
    // A library removed while it was read is made again, as writeLibrary
    // would have made it.
    const bool committed = replacement_ && rows_ == rows &&
                           (!replacing_ || fs::exists(path_, ec)) && replacement_->commit(rows);
    drop();
    return committed;
}

Status readWorkbook(const fs::path& path, LibraryKind kind, Preview& preview, Feedback& feedback,
                    ImportDraft* draft) {
    // Whatever happens below, the preview no longer stands for a workbook
    // that was read before.
    preview = Preview();
    const auto failed = [&](const std::string& error) {
        if (draft) draft->drop();
        return shown(error, feedback);
    };
    auto book = workbook::Workbook::open(path);
    if (!book) return failed(workbook::message(path, book.error()));
    auto rows = (*book)->rows(std::size_t{0});
    if (!rows) return failed(workbook::message(path, rows.error()));
    // For a draft the sheet is parsed ahead on a thread of its own while
    // this one writes the rows.
    const std::unique_ptr<workbook::RowReader> ahead =
        draft && draft->live() ? (*book)->readAhead(std::move(*rows)) : nullptr;
    workbook::RowReader& reader = ahead ? *ahead : **rows;
    const std::size_t columns = importColumns(kind).size();
    Preview read(columns);
    read.baseName = workbookBaseName(path);
    workbook::Row row;
    std::vector<std::string_view> cells(columns);
    if (reader.next(row)) {  // the header row
        read.header = row.cells;
        read.widest = reach(row.cells);
    }
    for (std::size_t n = 0; reader.next(row); ++n) {
        const bool pause = n % kRowsBetweenEvents == 0;
        // A stopped reading abandons the import: nothing is left to write,
        // and a draft leaves the library as it was.
        if (pause && feedback.stopRequested()) {
            if (draft) draft->drop();
            return fail(std::string(msg::kStopped));
        }
        bool blank = true;
        for (std::size_t c = 0; c < columns; ++c) {
            cells[c] = c < row.cells.size() ? std::string_view(row.cells[c]) : std::string_view();
            blank = blank && blankText(cells[c]);
            if (pause) feedback.progress(static_cast<long>(c) + 1, static_cast<long>(columns));
        }
        if (blank) break;
        read.append(cells);
        if (draft) draft->add(cells);
        read.widest = std::max(read.widest, reach(row.cells));
    }
    if (reader.error()) return failed(workbook::message(path, *reader.error()));
    preview = std::move(read);
    feedback.message(std::string(msg::kWorkbookReadHead) + std::to_string(preview.size()) +
                     std::string(msg::kWorkbookReadTail));
    return {};
}

namespace {

// A header cell without the blanks around it: spaces, tabs, line breaks,
// full-width and no-break spaces.
std::string_view trimmedName(std::string_view text) {
    constexpr std::array<std::string_view, 7> kBlanks = {" ",  "\t",     "\r",    "\n",
                                                         "\v", "\u3000", "\u00A0"};
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        for (std::string_view b : kBlanks) {
            if (text.starts_with(b)) text.remove_prefix(b.size()), trimmed = true;
            if (text.ends_with(b)) text.remove_suffix(b.size()), trimmed = true;
        }
    }
    return text;
}

bool names(std::span<const std::string_view> fields, std::string_view name) {
    return std::find(fields.begin(), fields.end(), name) != fields.end();
}

}  // namespace

std::string workbookMismatch(const Preview& preview, LibraryKind kind) {
    if (preview.empty()) return {};  // refused on its own when written
    const auto own = fieldNames(kind);
    const auto other = fieldNames(kind == LibraryKind::Lte ? LibraryKind::Gsm : LibraryKind::Lte);
    const std::size_t columns = own.size();
    bool namesOwn = false, namesOwnOnly = false, namesOtherOnly = false;
    std::string header;
    const std::size_t shown = std::min(preview.header.size(), columns);
    for (std::size_t c = 0; c < shown; ++c) {
        const std::string_view name = trimmedName(preview.header[c]);
        namesOwn = namesOwn || names(own, name);
        namesOwnOnly = namesOwnOnly || (names(own, name) && !names(other, name));
        namesOtherOnly = namesOtherOnly || (names(other, name) && !names(own, name));
        if (c > 0) header += msg::kImportJoin;
        header += name.empty() ? msg::kImportBlankCell : name;
    }
    const bool headerFits = namesOwn && (namesOwnOnly || !namesOtherOnly);
    const bool wideEnough = preview.widest >= columns;
    if (headerFits && wideEnough) return {};
    std::string detail = std::string(msg::kImportHeaderWas) +
                         (header.empty() ? std::string(msg::kImportBlankCell) : header) + "\r\n" +
                         std::string(msg::kImportExpected);
    for (std::size_t c = 0; c < columns; ++c) {
        if (c > 0) detail += msg::kImportJoin;
        detail += own[c];
    }
    if (!wideEnough)
        detail += "\r\n" + std::string(msg::kImportColumnsHead) + std::to_string(preview.widest) +
                  std::string(msg::kImportColumnsMid) + std::to_string(columns) +
                  std::string(msg::kImportColumnsTail);
    return detail;
}

Question mismatchQuestion(LibraryKind kind) {
    return kind == LibraryKind::Lte ? Question::ImportMismatch4G : Question::ImportMismatch2G;
}

Status writeLibrary(const fs::path& path, LibraryKind kind, const Preview& preview,
                    Feedback& feedback, ImportDraft* draft) {
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
        std::string error =
            std::string(msg::kLibraryNameTooLong) + platform::utf8Name(path.filename());
        feedback.message(error);
        return fail(std::move(error));
    }

    // Records are numbered from 1 in sheet order.
    const store::RecordSource records{preview.size(),
                                      [&](std::size_t i, std::vector<std::string_view>& fields) {
                                          for (std::size_t c = 0; c < preview.columns(); ++c)
                                              fields.push_back(preview.cell(i, c));
                                          return static_cast<std::int32_t>(i + 1);
                                      }};
    const long total = static_cast<long>(records.count);
    const auto progress = [&](std::size_t written) {
        feedback.progress(static_cast<long>(written), total);
    };
    feedback.progress(0, total);

    // A new library is made whole with its records, and gets its name only
    // then: a failed import leaves no empty library behind. Another import
    // may make the same library a moment before; that one is then written
    // like any existing library. The messages say what went wrong first; a
    // write that fails then ends the import with its own. A draft that
    // cannot be committed has left the library as it was, and the preview
    // is written here instead.
    Status replaced;
    if (draft && draft->path() == path && draft->commit(records.count)) {
        progress(records.count);
    } else {
        bool isNew = !fs::exists(path, ec);
        if (isNew) {
            replaced = store::create(path, kind, records, progress);
            if (!replaced && fs::exists(path, ec))
                isNew = false;
            else if (!replaced)
                feedback.message(msg::kCreateDbFailed);
        }
        if (!isNew) {
            if (!store::check(path, kind)) feedback.message(msg::kOpenExistingDbFailed);
            replaced = store::replaceAll(path, kind, records, progress);
        }
    }
    // A failed write leaves the old records; it is never reported as success.
    std::string error = replaced.error();
    if (replaced) {
        const Result<bool> held = store::holdsRecords(path, kind);
        if (held && *held) {
            feedback.message(msg::kImportOk);
            return {};
        }
        error = held.error();
    }
    error += msg::kImportAgain;
    feedback.message(error);
    return fail(std::move(error));
}

}  // namespace brindle
