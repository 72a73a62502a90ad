#pragma once
// The radio parameters of one 2G cell, as the 2G settings window's record
// group shows and changes them: LAC, CI, BCCH, NCC and BCC. `ID`, `基站名`
// and `小区名` are never changed there.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/feedback.h"
#include "core/base/result.h"
#include "core/library/library.h"

namespace brindle {

// The fields the record group may change, by their field names, in record
// order.
inline constexpr std::array<std::string_view, 5> kRadioFields2G = {
    fieldName(Field2G::Lac), fieldName(Field2G::Ci), fieldName(Field2G::Bcch),
    fieldName(Field2G::Ncc), fieldName(Field2G::Bcc)};

// Field values by the index of their name in kRadioFields2G; an unset value
// leaves its field as it is.
using RadioValues2G = std::array<std::optional<std::string>, kRadioFields2G.size()>;

// The index in kRadioFields2G of a field name, or nothing for a field the
// group may not change.
std::optional<std::size_t> radioField2G(std::string_view name);

// The five values of the first record named `name` (byte for byte), or
// nothing when the library has none.
std::optional<std::array<std::string, kRadioFields2G.size()>> queryRadio2G(const Library& library,
                                                                           std::string_view name);

enum class RadioEdit2G { Modified, NotFound, WriteFailed };

// Writes the given values, and nothing else, into the first record of the
// library file named `name` (see Library::modify). A failed write leaves the
// record, in the file and in memory, as it was; `reason` then says why.
RadioEdit2G modifyRadio2G(Library& library, std::string_view name, const RadioValues2G& values,
                          std::string* reason = nullptr);

// The group's "修改": modifyRadio2G, telling the engineer "修改成功",
// "查找不到ID" (also without a library) or "修改失败，写入失败：<why>". The
// error is the message shown.
Status saveRadioEdit2G(Library* library, std::string_view name, const RadioValues2G& values,
                       Feedback& feedback);

}  // namespace brindle
