#pragma once
// Why a workbook could not be read, as the readers report it: a kind and the
// data that goes with it, never a finished sentence. The caller, who knows
// what it was reading, has it worded by message().

#include <filesystem>
#include <string>

namespace brindle::workbook {

struct WorkbookError {
    enum class Kind {
        NotFound,      // no such file
        CannotOpen,    // there is something, but it cannot be read as a plain file
        NotAWorkbook,  // no format knows it
        Damaged,       // what no real workbook holds (or a file cut short)
        Password,      // encrypted
        OldFormat,     // Excel 2.x–4.0
        NoSheets,      // no worksheet at all
        Encoding,      // a .csv in neither UTF-8 nor GBK
        NoSuchSheet,   // detail: the name asked for
        NoSheetAt,     // detail: the 1-based number asked for
        // Damage a .csv reader can point at; detail: the 1-based row number.
        LongCell,
        TooManyFields,
        OpenQuote,
    };
    WorkbookError(Kind kind, std::string detail = {}) : kind(kind), detail(std::move(detail)) {}

    Kind kind;
    std::string detail;

    bool operator==(const WorkbookError&) const = default;
};

// The engineer's message for an error met reading `path`, the form every
// caller shows: "无法读取工作簿：<path>\r\n<reason>" with the texts of
// core/base/messages.h.
std::string message(const std::filesystem::path& path, const WorkbookError& error);

}  // namespace brindle::workbook
