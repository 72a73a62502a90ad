#include "core/base/textcodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace brindle::codec {
namespace {

constexpr const char* kGbk = "CP936";

// One conversion descriptor per call keeps the functions reentrant; opening
// one is cheap next to converting a script. Opening GBK fails only when the C
// library has no GBK tables, a broken installation rather than anything in a
// file, so it throws std::runtime_error; the GUI's event dispatch and the
// command line's main report it. A code page named by a file may simply be
// one the C library does not know: that is opened with Iconv::Optional.
class Iconv {
public:
    struct Optional {};

    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (!ok())
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
    }
    Iconv(const char* to, const char* from, Optional) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; on an unconvertible or invalid sequence returns
    // false and sets `failedAt` to its offset in `in`.
    bool convert(std::string_view in, std::string& out, std::size_t& failedAt) {
        out.clear();
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t written = 0;
        while (srcLeft > 0) {
            char* dst = out.data() + written;
            std::size_t dstLeft = out.size() - written;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            written = out.size() - dstLeft;
            if (r != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            failedAt = in.size() - srcLeft;
            return false;
        }
        out.resize(written);
        return true;
    }

private:
    iconv_t cd_;
};

// Offset in `run` (valid UTF-8, no ASCII) of the first character whose GBK
// form does not read back as itself.
std::size_t firstLostCharacter(Iconv& cv, Iconv& back, std::string_view run) {
    std::string converted, readBack;
    std::size_t i = 0;
    while (i < run.size()) {
        const auto lead = static_cast<unsigned char>(run[i]);
        const std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const std::string_view one = run.substr(i, len);
        std::size_t failedAt = 0;
        if (!cv.convert(one, converted, failedAt) || !back.convert(converted, readBack, failedAt) ||
            readBack != one)
            return i;
        i += len;
    }
    return 0;  // the run as a whole differs though no character alone does
}

}  // namespace

struct GbkEncoder::Converters {
    Iconv toGbk{kGbk, "UTF-8"};
    Iconv back{"UTF-8", kGbk};
    std::string converted, readBack;  // reused from run to run
};

GbkEncoder::GbkEncoder() : converters_(std::make_unique<Converters>()) {}
GbkEncoder::~GbkEncoder() = default;

bool GbkEncoder::append(std::string_view utf8, std::string& out, std::size_t& badOffset) {
    // Scripts are mostly ASCII, which is the same in both encodings: only the
    // runs of other characters go through iconv.
    Converters& c = *converters_;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t end = i;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
        out.append(utf8, i, end - i);
        i = end;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
        if (end == i) continue;
        const std::string_view run = utf8.substr(i, end - i);
        std::size_t failedAt = 0;
        if (!c.toGbk.convert(run, c.converted, failedAt)) {
            badOffset = i + failedAt;
            return false;
        }
        // iconv drops some characters without a word (the tag characters
        // U+E0000 to U+E007F among them): only GBK that reads back as the
        // input is GBK for it.
        if (!c.back.convert(c.converted, c.readBack, failedAt) || c.readBack != run) {
            badOffset = i + firstLostCharacter(c.toGbk, c.back, run);
            return false;
        }
        out += c.converted;
        i = end;
    }
    return true;
}

GbkResult toGbk(std::string_view utf8) {
    GbkResult result;
    std::string out;
    out.reserve(utf8.size());
    if (GbkEncoder().append(utf8, out, result.badOffset)) result.text = std::move(out);
    return result;
}

std::optional<std::string> fromGbk(std::string_view gbk) {
    Iconv cv("UTF-8", kGbk);
    std::string out;
    std::size_t failedAt = 0;
    if (!cv.convert(gbk, out, failedAt)) return std::nullopt;
    return out;
}

struct GbkDecoder::Converter {
    Iconv fromGbk{"UTF-8", kGbk};
    std::string converted;  // reused from piece to piece
};

GbkDecoder::GbkDecoder() : converter_(std::make_unique<Converter>()) {}
GbkDecoder::~GbkDecoder() = default;

bool GbkDecoder::append(std::string_view gbk, std::string& out) {
    std::size_t failedAt = 0;
    if (!converter_->fromGbk.convert(gbk, converter_->converted, failedAt)) return false;
    out += converter_->converted;
    return true;
}

std::optional<std::string> fromCodePage(std::string_view bytes, int codePage) {
    std::string name;
    bool asciiCompatible = true;
    switch (codePage) {
        case 936:
            name = kGbk;
            break;
        case 1252:
        case 32769:  // Excel's own number for Windows Western
            name = "CP1252";
            break;
        case 1200:
            name = "UTF-16LE";
            asciiCompatible = false;
            break;
        case 367:
            name = "ASCII";
            break;
        case 10000:
        case 32768:  // Excel's own number for Mac Roman
            name = "MACINTOSH";
            break;
        case 65001:
            if (!isValidUtf8(bytes)) return std::nullopt;
            return std::string(bytes);
        default:
            if (codePage <= 0) return std::nullopt;
            name = "CP" + std::to_string(codePage);
            // Other numbers may name code pages that are not ASCII at all.
            asciiCompatible = false;
            break;
    }
    // Most text in old workbooks is plain ASCII, the same in every code page
    // above; it needs no conversion.
    if (asciiCompatible &&
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::string(bytes);
    Iconv cv("UTF-8", name.c_str(), Iconv::Optional{});
    if (!cv.ok()) return std::nullopt;
    std::string out;
    std::size_t failedAt = 0;
    if (!cv.convert(bytes, out, failedAt)) return std::nullopt;
    return out;
}

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += len;
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
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? char32_t{0xFFFD} : char32_t{unit});
        }
    }
    return out;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
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
