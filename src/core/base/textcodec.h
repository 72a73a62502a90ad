#pragma once
// Text crosses the program's boundary in GBK (Windows code page 936); inside
// the program every string is UTF-8. All conversions go through here.
// GBK is code page 936 exactly as Windows has it, from tables of our own,
// the same on every system: its 21,791 standard characters, 0x80 for the
// euro sign, and the user-defined areas (AAA1-AFFE, F8A1-FEFE, A140-A7A0)
// and the positions GBK leaves unassigned, which Windows maps both ways to
// U+E000-U+E864 of the Private Use Area. Nothing is approximated: a
// character code page 936 does not hold is refused, never made a "?".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::codec {

// Result of converting UTF-8 to GBK. When a character has no GBK form,
// `text` is empty and `badOffset` is the byte offset of that character in
// the UTF-8 input.
struct GbkResult {
    std::optional<std::string> text;
    std::size_t badOffset = 0;
};

GbkResult toGbk(std::string_view utf8);

// UTF-8 to GBK piece by piece, for texts too large to convert in one go. A
// piece must not end inside a character. Appends the GBK form of `utf8` to
// `out`. When a character has no GBK form (or the bytes are not UTF-8),
// returns false with `badOffset` its byte offset in `utf8`; `out` then holds
// part of the piece.
[[nodiscard]] bool appendGbk(std::string_view utf8, std::string& out, std::size_t& badOffset);

// GBK to UTF-8. Returns nothing when the bytes are not valid GBK.
std::optional<std::string> fromGbk(std::string_view gbk);

// GBK to UTF-8 piece by piece, for files read a block at a time. A piece
// must not end inside a character. Appends the UTF-8 form of `gbk` to `out`;
// false when the bytes are not valid GBK (`out` is then left as it was).
[[nodiscard]] bool appendFromGbk(std::string_view gbk, std::string& out);

// Text in a Windows code page as old file formats name it (the number of an
// .xls CODEPAGE record). The code pages old workbooks hold are tables of our
// own, read as Windows reads them: 936 GBK, 950 Big5 (with its user-defined
// areas), 1252 Western (32769 too), 437, 1200 UTF-16LE, 65001 UTF-8 and 367
// ASCII. Any other (10000 and 32768 Mac Roman among them) is read by the
// system (platform::decodeCodePage). Returns nothing when the code page is
// unknown or the bytes are not valid in it.
std::optional<std::string> fromCodePage(std::string_view bytes, int codePage);

bool isValidUtf8(std::string_view bytes);

// Text read from a file whose encoding is not known: a UTF-8 byte-order mark
// is dropped; valid UTF-8 is taken as it is; anything else is read as GBK.
// Returns nothing when the bytes are neither.
std::optional<std::string> decodeDetected(std::string_view bytes);

// A file name as the program shows it: its bytes read as a name list's are
// (valid UTF-8 as it is, else GBK, as an archive made on Chinese Windows
// leaves names), and when they are neither, each byte above 0x7F written as
// "\xNN", so that what is shown is always valid UTF-8.
std::string fileNameText(std::string_view bytes);

// Appends one Unicode code point as UTF-8.
void appendUtf8(std::string& out, char32_t code);

// UTF-16 code units (as an .xls holds its text, little-endian in the file)
// to UTF-8. A surrogate without its partner has no UTF-8 form and becomes
// U+FFFD, as the spreadsheet shows it; it never ends the text.
std::string fromUtf16(std::u16string_view units);

// Replaces every lone "\n" (one not preceded by "\r") with "\r\n".
std::string toCrLf(std::string_view text);

// 1-based line number of a byte offset in a CR LF text.
std::size_t lineOfOffset(std::string_view text, std::size_t offset);

}  // namespace brindle::codec
