#include "core/workbook/error.h"

#include "core/base/messages.h"
#include "core/workbook/internal.h"

namespace brindle::workbook {

namespace {

using Kind = WorkbookError::Kind;

// The reasons that are one text each.
struct Reason {
    Kind kind;
    std::string_view text;
};
constexpr Reason kReasons[] = {
    {Kind::NotFound, msg::kWorkbookMissing},          {Kind::CannotOpen, msg::kWorkbookCannotOpen},
    {Kind::NotAWorkbook, msg::kWorkbookUnrecognised}, {Kind::Damaged, msg::kWorkbookDamaged},
    {Kind::Password, msg::kWorkbookPassword},         {Kind::OldFormat, msg::kWorkbookOldExcel},
    {Kind::NoSheets, msg::kWorkbookNoSheets},         {Kind::Encoding, msg::kWorkbookEncoding},
};

std::string reason(const WorkbookError& error) {
    for (const Reason& r : kReasons)
        if (r.kind == error.kind) return std::string(r.text);
    const auto around = [&error](std::string_view head, std::string_view tail) {
        return std::string(head) + error.detail + std::string(tail);
    };
    // Damage in a .csv row, told with the row's number.
    const auto inRow = [&around](std::string what) {
        return std::string(msg::kWorkbookDamaged) +
               around(msg::kWorkbookRowHead, msg::kWorkbookRowMid) + what +
               std::string(msg::kWorkbookRowTail);
    };
    switch (error.kind) {
        case Kind::NoSuchSheet:
            return around(msg::kWorkbookNoSheetNamed, msg::kWorkbookNoSheetNamedTail);
        case Kind::NoSheetAt:
            return around(msg::kWorkbookNoSheetAt, msg::kWorkbookNoSheetAtTail);
        case Kind::LongCell:
            return inRow(std::string(msg::kWorkbookLongCell));
        case Kind::TooManyFields:
            return inRow(std::string(msg::kWorkbookTooManyFields) +
                         std::to_string(detail::kMaxColumns));
        case Kind::OpenQuote:
            return inRow(std::string(msg::kWorkbookOpenQuote));
        default:
            return std::string(msg::kWorkbookDamaged);
    }
}

}  // namespace

std::string message(const std::filesystem::path& path, const WorkbookError& error) {
    const std::u8string name = path.u8string();
    std::string text(msg::kWorkbookUnreadable);
    text.append(reinterpret_cast<const char*>(name.data()), name.size());
    text += "\r\n";
    return text + reason(error);
}

}  // namespace brindle::workbook
