#pragma once
// Text crosses the program's boundary in GBK (Windows code page 936); inside
// the program every string is UTF-8. All conversions go through here.
// toGbk and fromGbk throw std::runtime_error when the C library cannot
// convert GBK at all (a broken installation, never a file's content).

#include <cstddef>
#include <memory>
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

// UTF-8 to GBK piece by piece, for texts too large to convert in one go: one
// pair of conversion descriptors serves every piece. A piece must not end
// inside a character.
class GbkEncoder {
public:
    GbkEncoder();
    ~GbkEncoder();
    GbkEncoder(const GbkEncoder&) = delete;
    GbkEncoder& operator=(const GbkEncoder&) = delete;

    // Appends the GBK form of `utf8` to `out`. When a character has no GBK
    // form, returns false with `badOffset` its byte offset in `utf8`; `out`
    // then holds part of the piece.
    bool append(std::string_view utf8, std::string& out, std::size_t& badOffset);

private:
    struct Converters;
    std::unique_ptr<Converters> converters_;
};

// GBK to UTF-8. Returns nothing when the bytes are not valid GBK.
std::optional<std::string> fromGbk(std::string_view gbk);

// GBK to UTF-8 piece by piece, for files read a block at a time: one
// conversion descriptor serves every piece. A piece must not end inside a
// character.
class GbkDecoder {
public:
    GbkDecoder();
    ~GbkDecoder();
    GbkDecoder(const GbkDecoder&) = delete;
    GbkDecoder& operator=(const GbkDecoder&) = delete;

    // Appends the UTF-8 form of `gbk` to `out`; false when the bytes are not
    // valid GBK (`out` is then left as it was).
    [[nodiscard]] bool append(std::string_view gbk, std::string& out);

private:
    struct Converter;
    std::unique_ptr<Converter> converter_;
};

// Text in a Windows code page as old file formats name it (the number of
// an .xls CODEPAGE record): 936 GBK, 1252 Western, 1200 UTF-16LE, 367
// ASCII, 10000 and 32768 Mac Roman, 32769 Western (1252), 65001 UTF-8, and
// any other code page the C library knows as CP<number>. Returns nothing
// when the code page is unknown or the bytes are not valid in it.
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
