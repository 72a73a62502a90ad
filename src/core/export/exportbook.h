#pragma once
// A configuration workbook exported by the network management system (the
// "MML报文"), opened for queries.
//
// The workbook is read with the same readers as the import. A sheet is read
// into an in-memory SQLite table the first time a query names it, one column
// per header cell, every value as the text the engineer sees (integers
// without decimals). Each combination of compared columns gets an index the
// first time it is used, so the first query of a million-row sheet pays for
// reading and indexing it and every later one costs milliseconds.
//
// Values are compared by value, never by SQL text: a cell holding the number
// 123 and one holding the text "123" both match "123" (and "123.0"). Values
// are bound to prepared statements, so an apostrophe in a name is just a
// character.
//
// Not thread-safe: one book belongs to one window (or one command).

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/result.h"

namespace brindle::exports {

// The sheets of an export and the columns the tools use.
inline constexpr std::string_view kIntraRelationSheet = "查询EUTRAN同频邻区关系";
inline constexpr std::string_view kInterRelationSheet = "查询EUTRAN异频邻区关系";
inline constexpr std::string_view kGeranRelationSheet = "查询GERAN邻区关系";
inline constexpr std::string_view kExternalCellSheet = "查询EUTRAN外部小区";

inline constexpr std::string_view kColEnodeb = "基站标识";
inline constexpr std::string_view kColCellId = "小区标识";
inline constexpr std::string_view kColNe = "NAME";
inline constexpr std::string_view kColLocalCellId = "本地小区标识";
inline constexpr std::string_view kColGeranCi = "GERAN小区标识";
inline constexpr std::string_view kColLac = "位置区域码";
inline constexpr std::string_view kColPci = "物理小区标识";

// How a query states its values. The quoted form compares any value; the
// numeric form writes the values as numbers, so it fails when one is not a
// number (an empty label, a typing error), as a query with a bare word after
// "=" would.
enum class Form { Quoted, Numeric };

struct Condition {
    std::string_view column;
    std::string value;
};

// The values of the columns a query reads, one row of the sheet each, in
// sheet order.
using ExportRows = std::vector<std::vector<std::string>>;

class ExportBook {
public:
    ~ExportBook();
    ExportBook(const ExportBook&) = delete;
    ExportBook& operator=(const ExportBook&) = delete;

    // Opens the workbook (.xlsx/.xlsm, .xls; a .csv is one sheet named after
    // the file). The error is the reader's reason. No sheet is read yet.
    static Result<std::unique_ptr<ExportBook>> open(const std::filesystem::path& path);

    // The rows of `sheet` whose `where` columns all equal their values,
    // giving the `read` columns. Fails, saying why, when the sheet or one of
    // the columns is missing, when the sheet cannot be read, or (numeric
    // form) when a value is not a number. A sheet that failed to read is
    // tried again by the next query.
    Result<ExportRows> select(std::string_view sheet, std::span<const Condition> where,
                              std::span<const std::string_view> read, Form form = Form::Quoted);

    const std::filesystem::path& path() const;

private:
    struct Impl;
    explicit ExportBook(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The four queries of the tools, each giving the columns named.
//
// Relations in which the cell (基站号, 小区标识) is the neighbour, from the
// intra- or inter-frequency sheet: rows of NAME, 本地小区标识.
Result<ExportRows> intraRelationsTowards(ExportBook& book, std::string_view enodeb,
                                         std::string_view cellId);
Result<ExportRows> interRelationsTowards(ExportBook& book, std::string_view enodeb,
                                         std::string_view cellId);
// GSM neighbours of the local cell (NE, local cell id): rows of
// GERAN小区标识 and, `withLac`, 位置区域码 (an export without that column
// still serves the callers that need only the CI).
Result<ExportRows> geranRelationsOf(ExportBook& book, std::string_view ne,
                                    std::string_view localCellId, bool withLac = true);
// External-cell definitions of the cell with this eNodeB id and PCI: rows of
// NAME, 小区标识.
Result<ExportRows> externalCellsWithPci(ExportBook& book, std::string_view enodeb,
                                        std::string_view pci, Form form);

}  // namespace brindle::exports
