#include "core/workbook/error.h"

#include "core/base/messages.h"
#include "core/workbook/internal.h"

namespace brindle::workbook {

namespace {

std::string reason(const WorkbookError& error) {
    using Kind = WorkbookError::Kind;
    const auto inRow = [&error](std::string what) {
        return std::string(msg::kWorkbookDamaged) + std::string(msg::kWorkbookRowHead) +
               error.detail + std::string(msg::kWorkbookRowMid) + what +
               std::string(msg::kWorkbookRowTail);
    };
    switch (error.kind) {
        case Kind::NotFound:
            return std::string(msg::kWorkbookMissing);
        case Kind::CannotOpen:
            return std::string(msg::kWorkbookCannotOpen);
        case Kind::NotAWorkbook:
            return std::string(msg::kWorkbookUnrecognised);
        case Kind::Damaged:
            return std::string(msg::kWorkbookDamaged);
        case Kind::Password:
            return std::string(msg::kWorkbookPassword);
        case Kind::OldFormat:
            return std::string(msg::kWorkbookOldExcel);
        case Kind::NoSheets:
            return std::string(msg::kWorkbookNoSheets);
        case Kind::Encoding:
            return std::string(msg::kWorkbookEncoding);
        case Kind::NoSuchSheet:
            return std::string(msg::kWorkbookNoSheetNamed) + error.detail +
                   std::string(msg::kWorkbookNoSheetNamedTail);
        case Kind::NoSheetAt:
            return std::string(msg::kWorkbookNoSheetAt) + error.detail +
                   std::string(msg::kWorkbookNoSheetAtTail);
        case Kind::LongCell:
            return inRow(std::string(msg::kWorkbookLongCell));
        case Kind::TooManyFields:
            return inRow(std::string(msg::kWorkbookTooManyFields) +
                         std::to_string(detail::kMaxColumns));
        case Kind::OpenQuote:
            return inRow(std::string(msg::kWorkbookOpenQuote));
    }
    return std::string(msg::kWorkbookDamaged);
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
