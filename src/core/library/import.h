#pragma once
// Importing an engineer's workbook into a library: the sheet is read into a
// preview (one row per data row, columns by position, header row skipped,
// reading ends at the first blank row), and the preview then replaces the
// records of `<base name>.edb` in mu/ (4G) or mu2/ (2G).

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/feedback.h"
#include "core/base/questions.h"
#include "core/base/result.h"
#include "core/library/record.h"
#include "core/library/store.h"

namespace brindle {

struct ImportColumn {
    std::string_view title;
    int width;  // preview column width in pixels
};

// The preview columns of a kind, in sheet order (A, B, …).
std::span<const ImportColumn> importColumns(LibraryKind kind);

// The rows read from a workbook, each with the kind's columns. All cell
// texts sit end to end in one buffer: a sheet of 200,000 rows is then two
// blocks of memory instead of 1.6 million strings, and the library is written
// straight from them.
class Preview {
public:
    std::string baseName;  // the workbook's file name without its extension
    // The header row's cells as read, and how many columns the widest row
    // (header included) reaches with a cell that is not blank: what tells
    // whether the workbook is of the kind it is imported as.
    std::vector<std::string> header;
    std::size_t widest = 0;

    Preview() = default;
    explicit Preview(std::size_t columns) : columns_(columns) {}

    std::size_t columns() const { return columns_; }
    std::size_t size() const { return columns_ == 0 ? 0 : ends_.size() / columns_; }
    bool empty() const { return ends_.empty(); }

    // Valid until the preview next changes.
    std::string_view cell(std::size_t row, std::size_t column) const;
    // A copy of one row's cells.
    std::vector<std::string> row(std::size_t row) const;

    // Adds a row of `columns()` cells (missing cells are empty, extra ones
    // are left out).
    void append(std::span<const std::string_view> cells);
    void append(const std::vector<std::string>& cells);

private:
    std::size_t columns_ = 0;
    std::string text_;
    std::vector<std::size_t> ends_;  // where each cell's text ends in text_, row by row
};

// The base name a workbook's preview gets: its file name without its
// extension.
std::string workbookBaseName(const std::filesystem::path& workbook);

// A library written while its workbook is still being read (the command
// line's import): readWorkbook hands the draft each row it adds to the
// preview, with the sheet parsed ahead on a thread of its own, so that the
// reading and the writing share the two cores; writeLibrary then commits
// what the draft wrote instead of writing the preview. Until then the
// library is as it was (a new one is not there), and so it stays when the
// draft is destroyed uncommitted. A draft that could not start, or failed
// on the way, is dropped without a word: writeLibrary then writes the
// preview as it always does, with its messages.
class ImportDraft {
public:
    ImportDraft() = default;  // none
    // For the library at `path`, replaced when a file is there, else made
    // new. None when the library's folder is not there yet or its name is
    // too long (writeLibrary deals with both), or when it cannot be written.
    ImportDraft(const std::filesystem::path& path, LibraryKind kind);

    const std::filesystem::path& path() const { return path_; }
    bool live() const { return replacement_.has_value(); }

    // Writes a preview row as the next record, numbered from 1.
    void add(std::span<const std::string_view> cells);
    // Writes nothing more: the library stays as it was.
    void drop() { replacement_.reset(); }
    // Commits when the draft is live and holds exactly `rows` records, and
    // the library it replaces is still there; drops it otherwise.
    bool commit(std::size_t rows);

private:
    std::filesystem::path path_;
    bool replacing_ = false;  // an existing library, not a new one
    std::optional<store::Replacement> replacement_;
    std::size_t rows_ = 0;
};

// Reads the first worksheet of `workbook` into `preview` and shows
// "工参打开成功！含N条". A row whose cells, with ASCII and full-width spaces
// removed, are all empty ends the reading. Every 256th row shows progress
// over its columns, and there the engineer may stop the reading: it then
// says nothing, leaves `preview` empty and drops the draft, and the error is
// msg::kStopped. On failure the message shown names the
// file and the reason and is the error, and `preview` is emptied (no base
// name either): what it held came from another workbook and must not be
// imported under this one's title. A `draft` is given the rows as they are
// read, and dropped when the reading fails.
Status readWorkbook(const std::filesystem::path& workbook, LibraryKind kind, Preview& preview,
                    Feedback& feedback, ImportDraft* draft = nullptr);

// Whether a read workbook looks like one of `kind`; columns are still taken
// by position, this only catches the wrong workbook. It does not when none
// of its first columns' header cells names a field of `kind` (blanks around
// a name aside), when they name fields only the other kind has and none that
// only `kind` has (a 2G header also holds 基站名 and 小区名), or when no row
// reaches the last column `kind` needs. Empty when it looks right (and for a
// preview without rows, which writeLibrary refuses anyway); otherwise
// what the header held and what was expected, lines for the question that
// follows "该工作簿不像4G工参，仍要导入吗？".
std::string workbookMismatch(const Preview& preview, LibraryKind kind);
// The question asked with that detail: ImportMismatch4G or ImportMismatch2G.
Question mismatchQuestion(LibraryKind kind);

// Writes the preview into the library at `path` (creating it and its folder
// when missing), replacing all its records in one transaction, and shows
// "OK" or the error followed by "\r\n请再导入一次试试！" (which is then the
// error). On failure the library keeps the records it had, and a library that
// was not there is not there afterwards either; a library without write
// permission is never written. Succeeds when the library holds the preview's
// rows. A `draft` of the same library that wrote the preview's rows is
// committed instead of writing them again.
Status writeLibrary(const std::filesystem::path& path, LibraryKind kind, const Preview& preview,
                    Feedback& feedback, ImportDraft* draft = nullptr);

}  // namespace brindle
