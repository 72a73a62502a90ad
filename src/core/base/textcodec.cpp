#include "core/base/textcodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "core/base/platform.h"

namespace brindle::codec {
namespace {

// The code pages are tables of our own rather than the C library's
// converters: Windows has no iconv, and glibc refuses the areas Windows maps
// into the Private Use Area, so both systems read and write the same bytes
// as the engineers' Windows tools only this way.
#include "core/base/codepages.inc"

constexpr std::size_t kTrailsPerLead = 191;  // trail bytes 0x40-0xFE

// A code page of one- and two-byte sequences. `upper` gives the code point of
// bytes 0x80-0xFF; `rows` (null for single-byte code pages) that of a lead
// byte 0x81-0xFE with a trail byte 0x40-0xFE. 0 is no character.
struct CodePage {
    const std::uint16_t* upper;
    const std::uint16_t* rows;
};

constexpr CodePage kCp936{kCp936Single, kCp936Double};
constexpr CodePage kCp950{kCp950Single, kCp950Double};
constexpr CodePage kCp1252{kCp1252Single, nullptr};
constexpr CodePage kCp437{kCp437Single, nullptr};

// Code point to code page 936 (a byte below 0x100, else lead and trail), 0
// where there is none: the inverse of the decoding table, which reads no two
// sequences as one character. Built by the compiler.
constexpr auto kGbkOf = [] {
    std::array<std::uint16_t, 0x10000> gbk{};
    for (unsigned b = 0; b < 0x80; ++b) gbk[b] = static_cast<std::uint16_t>(b);
    for (unsigned b = 0x80; b < 0x100; ++b)
        if (const std::uint16_t u = kCp936Single[b - 0x80]) gbk[u] = static_cast<std::uint16_t>(b);
    for (std::size_t i = 0; i < std::size(kCp936Double); ++i)
        if (const std::uint16_t u = kCp936Double[i])
            gbk[u] = static_cast<std::uint16_t>((0x81 + i / kTrailsPerLead) << 8 |
                                                (0x40 + i % kTrailsPerLead));
    return gbk;
}();

// Eight ASCII bytes at `p`: the fast path of both directions, since scripts
// and settings are mostly ASCII, the same in every code page used here.
bool eightAscii(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080u) == 0;
}

// Writes one code point (below U+10000 or not) as UTF-8; gives the end.
char* putUtf8(char* p, char32_t code) {
    if (code < 0x80) {
        *p++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *p++ = static_cast<char>(0xC0 | (code >> 6));
        *p++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (code >> 12));
        *p++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (code >> 18));
        *p++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return p;
}

// A string written through a pointer, block by block: room for a block's
// worst case is made once, and the characters of the block are written with
// no check of their own.
class Writer {
public:
    explicit Writer(std::string& out, std::size_t expected) : out_(out), start_(out.size()) {
        out_.resize(start_ + expected + kSlack);
        p_ = out_.data() + start_;
    }
    // The write position, with at least `room` bytes after it.
    char*& at(std::size_t room) {
        if (static_cast<std::size_t>(out_.data() + out_.size() - p_) < room) {
            const std::size_t used = p_ - out_.data();
            out_.resize(std::max(out_.size() * 2, used + room + kSlack));
            p_ = out_.data() + used;
        }
        return p_;
    }
    void finish() { out_.resize(p_ - out_.data()); }
    void undo() { out_.resize(start_); }

    // Input bytes converted between two checks; a character that starts in a
    // block may end one byte past it.
    static constexpr std::size_t kBlock = 4096;

private:
    static constexpr std::size_t kSlack = 16;
    std::string& out_;
    std::size_t start_;
    char* p_;
};

// Appends the UTF-8 form of `in`, read in `page`; false (and `out` as it
// was) at the first sequence the code page has no character for.
bool decode(std::string_view in, const CodePage& page, std::string& out) {
    const auto* s = reinterpret_cast<const unsigned char*>(in.data());
    const auto* const end = s + in.size();
    // Two bytes make at most three of UTF-8; a single byte above 0x7F makes
    // up to three, which a block's room allows for.
    Writer w(out, in.size() + in.size() / 2);
    while (s < end) {
        const std::size_t block = std::min<std::size_t>(end - s, Writer::kBlock);
        const auto* const blockEnd = s + block;
        char* p = w.at(3 * block + 3);
        while (s < blockEnd) {
            if (end - s >= 8 && eightAscii(s)) {
                std::memcpy(p, s, 8);
                p += 8;
                s += 8;
                continue;
            }
            const unsigned c = *s;
            if (c < 0x80) {
                *p++ = static_cast<char>(c);
                ++s;
                continue;
            }
            char32_t code;
            if (page.rows && c >= 0x81 && c <= 0xFE && end - s >= 2 && s[1] >= 0x40 &&
                s[1] != 0xFF) {
                code = page.rows[(c - 0x81) * kTrailsPerLead + s[1] - 0x40];
                s += 2;
            } else {
                code = page.upper[c - 0x80];
                ++s;
            }
            if (code == 0) {
                w.undo();
                return false;
            }
            p = putUtf8(p, code);
        }
        w.at(0) = p;
    }
    w.finish();
    return true;
}

// The code point of the UTF-8 character at `s[i]` and its length in bytes;
// length 0 when the bytes there are not UTF-8 (overlong forms, surrogates
// and values past U+10FFFF included).
struct Utf8Char {
    char32_t code;
    std::size_t length;
};
Utf8Char utf8CharAt(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return {c, 1};
    std::size_t len;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return {0, 0};
    }
    if (i + len > s.size()) return {0, 0};
    for (std::size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) return {0, 0};
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return {0, 0};
    return {cp, len};
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD, or (when `strict`) ends
// the conversion with false.
bool utf16ToUtf8(std::u16string_view units, std::string& out, bool strict) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (strict) return false;
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return true;
}

}  // namespace

bool appendGbk(std::string_view utf8, std::string& out, std::size_t& badOffset) {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    // GBK is never longer than the UTF-8 it comes from.
    Writer w(out, utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t blockEnd = std::min(utf8.size(), i + Writer::kBlock);
        char* p = w.at(blockEnd - i + 4);
        while (i < blockEnd) {
            if (utf8.size() - i >= 8 && eightAscii(bytes + i)) {
                std::memcpy(p, bytes + i, 8);
                p += 8;
                i += 8;
                continue;
            }
            const Utf8Char c = utf8CharAt(utf8, i);
            const std::uint16_t gbk = c.length != 0 && c.code < kGbkOf.size() ? kGbkOf[c.code] : 0;
            if (c.length == 0 || (gbk == 0 && c.code != 0)) {
                w.at(0) = p;
                w.finish();
                badOffset = i;
                return false;
            }
            if (gbk >= 0x100) *p++ = static_cast<char>(gbk >> 8);
            *p++ = static_cast<char>(gbk & 0xFF);
            i += c.length;
        }
        w.at(0) = p;
    }
    w.finish();
    return true;
}

GbkResult toGbk(std::string_view utf8) {
    GbkResult result;
    std::string out;
    if (appendGbk(utf8, out, result.badOffset)) result.text = std::move(out);
    return result;
}

std::optional<std::string> fromGbk(std::string_view gbk) {
    std::string out;
    if (!decode(gbk, kCp936, out)) return std::nullopt;
    return out;
}

bool appendFromGbk(std::string_view gbk, std::string& out) {
    return decode(gbk, kCp936, out);
}

std::optional<std::string> fromCodePage(std::string_view bytes, int codePage) {
    const CodePage* page = nullptr;
    switch (codePage) {
        case 936:
            page = &kCp936;
            break;
        case 950:
            page = &kCp950;
            break;
        case 1252:
        case 32769:  // Excel's own number for Windows Western
            page = &kCp1252;
            break;
        case 437:
            page = &kCp437;
            break;
        case 367:  // ASCII
            if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; }))
                return std::nullopt;
            return std::string(bytes);
        case 1200: {
            if (bytes.size() % 2 != 0) return std::nullopt;
            std::u16string units(bytes.size() / 2, u'\0');
            for (std::size_t i = 0; i < units.size(); ++i)
                units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
            std::string out;
            if (!utf16ToUtf8(units, out, true)) return std::nullopt;
            return out;
        }
        case 65001:
            if (!isValidUtf8(bytes)) return std::nullopt;
            return std::string(bytes);
        case 32768:  // Excel's own number for Mac Roman
            return platform::decodeCodePage(bytes, 10000);
        default:
            // Code pages that occur in old workbooks are tables above; any
            // other is the system's to know, or not.
            if (codePage <= 0) return std::nullopt;
            return platform::decodeCodePage(bytes, codePage);
    }
    std::string out;
    if (!decode(bytes, *page, out)) return std::nullopt;
    return out;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = utf8CharAt(s, i).length;
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::optional<std::string> decodeDetected(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, 3) == kBom) bytes.remove_prefix(3);
    if (isValidUtf8(bytes)) return std::string(bytes);
    return fromGbk(bytes);
}

std::string fileNameText(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    if (auto text = fromGbk(bytes)) return *std::move(text);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
            continue;
        }
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out;
}

std::string fromUtf16(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    static_cast<void>(utf16ToUtf8(units, out, false));
    return out;
}

void appendUtf8(std::string& out, char32_t code) {
    char buffer[4];
    out.append(buffer, putUtf8(buffer, code));
}

std::string toCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::size_t lineOfOffset(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

}  // namespace brindle::codec
