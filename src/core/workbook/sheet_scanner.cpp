#include "core/workbook/sheet_scanner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "core/base/textcodec.h"

namespace brindle::workbook::detail {

namespace {

// An unfinished tag longer than a tag may be is left to expat, which refuses
// it, rather than held and scanned again with every chunk. Text is held until
// the tag after it is complete; past the same length it is left to expat too,
// which hands text over as it comes.
constexpr auto kLongestPending = static_cast<std::ptrdiff_t>(kLongestTag);

// Bytes that stand for themselves: printable ASCII but for the characters
// markup gives a meaning to. Everything else takes a closer look. Tab and LF
// pass in text; in attribute values expat turns them into spaces, so there
// they send the part to expat. A CR is normalised in both, so it always does.
constexpr std::array<bool, 256> plainBytes(bool text) {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c) plain[c] = true;
    plain['<'] = plain['&'] = false;
    if (text) {
        plain[']'] = false;  // "]]>" may not appear in text
        plain['\t'] = plain['\n'] = true;
    } else {
        plain['"'] = plain['\''] = false;
    }
    return plain;
}
constexpr std::array<bool, 256> kPlainText = plainBytes(true);
constexpr std::array<bool, 256> kPlainValue = plainBytes(false);

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Names are looked up a byte at a time in every tag: a table is the
// cheapest test.
constexpr std::array<bool, 256> nameBytes(bool start) {
    std::array<bool, 256> name{};
    for (int c = 'a'; c <= 'z'; ++c) name[c] = name[c - 'a' + 'A'] = true;
    name['_'] = true;
    if (start) return name;
    for (int c = '0'; c <= '9'; ++c) name[c] = true;
    name['-'] = name['.'] = true;
    return name;
}
constexpr std::array<bool, 256> kNameStart = nameBytes(true);
constexpr std::array<bool, 256> kNameChar = nameBytes(false);

bool isNameStart(char c) {
    return kNameStart[static_cast<unsigned char>(c)];
}

bool isNameChar(char c) {
    return kNameChar[static_cast<unsigned char>(c)];
}

// Length of the UTF-8 character at p when XML allows it; 0 when it is
// malformed or one left to expat (U+FFFE, U+FFFF), -1 when it runs past end.
int utf8Length(const char* p, const char* end) {
    const auto byte = [p](int i) { return static_cast<unsigned char>(p[i]); };
    const unsigned lead = byte(0);
    int length = 0;
    unsigned low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (end - p < length) return -1;
    if (byte(1) < low || byte(1) > high) return 0;
    for (int i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    if (lead == 0xEF && byte(1) == 0xBF && byte(2) >= 0xBE) return 0;
    return length;
}

// An XML name of ASCII letters, digits, '_', '-', '.' with at most one
// namespace prefix. Sets `local` to the part after the prefix.
enum class NameStep { Ok, NeedMore, GiveUp };
NameStep scanName(const char*& p, const char* end, std::string_view& name,
                  std::string_view& local) {
    const char* q = p;
    const char* localStart = p;
    if (q == end) return NameStep::NeedMore;
    if (!isNameStart(*q)) return NameStep::GiveUp;
    for (++q; q < end; ++q) {
        if (isNameChar(*q)) continue;
        if (*q != ':' || localStart != p) break;
        if (q + 1 == end) return NameStep::NeedMore;
        if (!isNameStart(q[1])) return NameStep::GiveUp;
        localStart = q + 1;
    }
    if (q == end) return NameStep::NeedMore;
    name = std::string_view(p, static_cast<std::size_t>(q - p));
    local = std::string_view(localStart, static_cast<std::size_t>(q - localStart));
    p = q;
    return NameStep::Ok;
}

bool allowedCharacter(std::uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

}  // namespace

char* SheetScanner::buffer(std::size_t size) {
    if (begin_ > 0) {
        std::memmove(data_.data(), data_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (data_.size() < end_ + size) data_.resize(end_ + size);
    return data_.data() + end_;
}

SheetScanner::Status SheetScanner::parse(std::size_t size, bool last) {
    end_ += size;
    last_ = last;
    const char* base = data_.data();
    const char* p = base + begin_;
    const char* end = base + end_;
    Step step = Step::Ok;
    try {
        while (step == Step::Ok) {
            switch (where_) {
                case Where::Start:
                    step = scanDeclaration(p, end);
                    break;
                case Where::Prolog:
                    while (p < end && isSpace(*p)) ++p;
                    if (end - p < 2)
                        step = Step::NeedMore;
                    else if (p[0] == '<' && isNameStart(p[1]))
                        step = scanStartTag(p, end);
                    else
                        step = Step::GiveUp;  // a comment, DOCTYPE, text before the root...
                    break;
                case Where::Content:
                    step = scanContent(p, end);
                    break;
                case Where::Epilog:
                    while (p < end && isSpace(*p)) ++p;
                    step = p == end ? Step::NeedMore : Step::GiveUp;
                    break;
            }
        }
    } catch (...) {
        return Status::GaveUp;  // out of memory: expat may yet manage
    }
    begin_ = static_cast<std::size_t>(p - base);
    if (step == Step::Stop) return Status::Stopped;
    if (step == Step::GiveUp) return Status::GaveUp;
    if (last) return where_ == Where::Epilog && p == end ? Status::Done : Status::GaveUp;
    const bool holdingTooMuch =
        end - p > kLongestPending || text_.size() > static_cast<std::size_t>(kLongestPending);
    return holdingTooMuch ? Status::GaveUp : Status::More;
}

// "<?xml version="1.0" encoding="UTF-8" standalone="yes"?>" in its usual
// forms, or none. Another encoding or any other processing instruction is
// left to expat.
SheetScanner::Step SheetScanner::scanDeclaration(const char*& p, const char* end) {
    constexpr std::string_view kOpen = "<?xml";
    constexpr std::ptrdiff_t kLongest = 256;
    if (end - p < 6) return Step::NeedMore;
    if (p[0] != '<' || p[1] != '?') {
        where_ = Where::Prolog;
        return Step::Ok;
    }
    if (std::string_view(p, kOpen.size()) != kOpen || !isSpace(p[5])) return Step::GiveUp;
    const std::string_view window(p, static_cast<std::size_t>(std::min(end - p, kLongest)));
    const std::size_t close = window.find("?>");
    if (close == std::string_view::npos) return end - p < kLongest ? Step::NeedMore : Step::GiveUp;
    std::string_view rest = window.substr(kOpen.size(), close - kOpen.size());
    // One pseudo-attribute: spaces, its name, '=' between optional spaces,
    // and a quoted value that must be one of `values`.
    const auto take = [&rest](std::string_view name,
                              std::initializer_list<std::string_view> values) {
        std::string_view s = rest;
        std::size_t spaces = 0;
        while (spaces < s.size() && isSpace(s[spaces])) ++spaces;
        if (spaces == 0 || s.substr(spaces, name.size()) != name) return false;
        s.remove_prefix(spaces + name.size());
        while (!s.empty() && isSpace(s[0])) s.remove_prefix(1);
        if (s.empty() || s[0] != '=') return false;
        s.remove_prefix(1);
        while (!s.empty() && isSpace(s[0])) s.remove_prefix(1);
        if (s.empty() || (s[0] != '"' && s[0] != '\'')) return false;
        const std::size_t quote = s.find(s[0], 1);
        if (quote == std::string_view::npos) return false;
        const std::string_view value = s.substr(1, quote - 1);
        for (std::string_view allowed : values) {
            if (value == allowed) {
                rest = s.substr(quote + 1);
                return true;
            }
        }
        return false;
    };
    if (!take("version", {"1.0"})) return Step::GiveUp;
    take("encoding", {"UTF-8", "utf-8"});
    take("standalone", {"yes", "no"});
    for (char c : rest)
        if (!isSpace(c)) return Step::GiveUp;
    p += close + 2;
    where_ = Where::Prolog;
    return Step::Ok;
}

SheetScanner::Step SheetScanner::scanContent(const char*& p, const char* end) {
    // Text is kept where it lies while it is bytes that stand for
    // themselves (ASCII, UTF-8, a lone ']'): most text of a sheet reaches the
    // handler without a copy. A reference, or the end of the bytes held,
    // moves what has run so far into text_.
    run_ = p;
    for (;;) {
        while (p < end && kPlainText[static_cast<unsigned char>(*p)]) ++p;
        if (p == end) break;
        const char c = *p;
        if (c == '<') {
            if (end - p < 2) break;
            const Step step = p[1] == '/' ? scanEndTag(p, end) : scanStartTag(p, end);
            if (step == Step::NeedMore) break;
            if (step != Step::Ok || where_ == Where::Epilog) return step;
            run_ = p;
        } else if (c == '&') {
            keepRun(p);
            const Step step = reference(p, end, text_);
            run_ = p;
            if (step != Step::Ok) return step;
        } else if (c == ']') {
            if (end - p < 3) break;
            if (p[1] == ']' && p[2] == '>') return Step::GiveUp;
            ++p;
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            const int length = utf8Length(p, end);
            if (length < 0) break;
            if (length == 0) return Step::GiveUp;
            p += length;
        } else {
            return Step::GiveUp;  // a control character, CR or DEL
        }
    }
    keepRun(p);
    return Step::NeedMore;
}

void SheetScanner::keepRun(const char* upTo) {
    if (run_) text_.append(run_, static_cast<std::size_t>(upTo - run_));
    run_ = nullptr;
}

// A start tag, or an empty element as a start and an end. Nothing is
// delivered until the whole tag is there and proven well-formed.
SheetScanner::Step SheetScanner::scanStartTag(const char*& p, const char* end) {
    const auto step = [](NameStep s) {
        return s == NameStep::NeedMore ? Step::NeedMore : Step::GiveUp;
    };
    const char* q = p + 1;
    std::string_view name, local;
    if (const NameStep s = scanName(q, end, name, local); s != NameStep::Ok) return step(s);
    found_.clear();
    names_.clear();
    bool empty = false;
    for (;;) {
        const char* before = q;
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return Step::NeedMore;
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 == end) return Step::NeedMore;
            if (q[1] != '>') return Step::GiveUp;
            q += 2;
            empty = true;
            break;
        }
        if (q == before) return Step::GiveUp;  // attributes are apart
        if (names_.size() == kMostAttributes) return Step::GiveUp;
        std::string_view attributeName, attributeLocal;
        if (const NameStep s = scanName(q, end, attributeName, attributeLocal); s != NameStep::Ok)
            return step(s);
        names_.push_back(attributeName);
        Found& found = found_.emplace_back();
        found.name = writable(attributeName.data());
        found.nameLength = attributeName.size();
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return Step::NeedMore;
        if (*q++ != '=') return Step::GiveUp;
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return Step::NeedMore;
        const char quote = *q++;
        if (quote != '"' && quote != '\'') return Step::GiveUp;
        found.value = writable(q);
        for (;;) {
            while (q < end && kPlainValue[static_cast<unsigned char>(*q)]) ++q;
            if (q == end) return Step::NeedMore;
            const char c = *q;
            if (c == quote) break;
            if (c == '"' || c == '\'') {
                ++q;
            } else if (c == '&') {
                decoded_.clear();
                if (const Step s = reference(q, end, decoded_); s != Step::Ok) return s;
                found.references = true;
            } else if (static_cast<unsigned char>(c) >= 0x80) {
                const int length = utf8Length(q, end);
                if (length < 0) return Step::NeedMore;
                if (length == 0) return Step::GiveUp;
                q += length;
            } else {
                return Step::GiveUp;  // '<', whitespace expat would normalise, a control
            }
        }
        found.valueEnd = writable(q++);
    }
    if (q - p > kLongestPending || (names_.size() > 1 && repeatsAName())) return Step::GiveUp;
    const char* const tag = p;
    p = q;
    if (const Step s = flushText(tag); s != Step::Ok) return s;
    // The name is kept for its end tag; the handler sees it from there.
    openAt_.push_back(open_.size());
    open_.append(name);
    open_ += '\0';
    const std::string_view kept(open_.data() + openAt_.back(), name.size());
    const std::string_view keptLocal = kept.substr(name.size() - local.size());
    // The tag is proven and never scanned again (a part given up is read
    // again from the package): its names and values are ended in place with
    // a '\0', each name where its '=' or a space was, each value where its
    // quote was, or, decoded, where its decoded text ends, which is never
    // longer than what it decodes.
    attributes_.clear();
    for (const Found& found : found_) {
        found.name[found.nameLength] = '\0';
        attributes_.push_back(found.name);
        char* valueEnd =
            found.references ? decodeInPlace(found.value, found.valueEnd) : found.valueEnd;
        *valueEnd = '\0';
        attributes_.push_back(found.value);
    }
    attributes_.push_back(nullptr);
    where_ = Where::Content;
    ++tags_;
    deliver(handler_, [&] { handler_.startElement(keptLocal, attributes_.data()); });
    if (handler_.finished || handler_.invalid) return Step::Stop;
    return empty ? closeElement(keptLocal) : Step::Ok;
}

// The text of an attribute value proven well-formed, with its references
// decoded, written over its bytes from `value`; returns where it ends.
char* SheetScanner::decodeInPlace(char* value, const char* valueEnd) {
    char* out = value;
    for (const char* in = value; in < valueEnd;) {
        if (*in != '&') {
            *out++ = *in++;
            continue;
        }
        decoded_.clear();
        (void)reference(in, valueEnd, decoded_);  // proven: it cannot fail
        std::memcpy(out, decoded_.data(), decoded_.size());
        out += decoded_.size();
    }
    return out;
}

// Whether two attributes of the tag just scanned have the same name. Most
// elements have two or three, compared with each other; the many of a
// damaged or hostile file are sorted, where comparing each with all others
// took minutes.
bool SheetScanner::repeatsAName() {
    constexpr std::size_t kFewest = 8;
    if (names_.size() <= kFewest) {
        for (std::size_t i = 1; i < names_.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (names_[i] == names_[j]) return true;
        return false;
    }
    std::sort(names_.begin(), names_.end());
    return std::adjacent_find(names_.begin(), names_.end()) != names_.end();
}

SheetScanner::Step SheetScanner::closeElement(std::string_view local) {
    ++tags_;
    deliver(handler_, [&] { handler_.endElement(local); });
    open_.resize(openAt_.back());
    openAt_.pop_back();
    if (openAt_.empty()) where_ = Where::Epilog;
    return handler_.finished || handler_.invalid ? Step::Stop : Step::Ok;
}

SheetScanner::Step SheetScanner::scanEndTag(const char*& p, const char* end) {
    const char* q = p + 2;
    std::string_view name, local;
    if (const NameStep s = scanName(q, end, name, local); s != NameStep::Ok)
        return s == NameStep::NeedMore ? Step::NeedMore : Step::GiveUp;
    while (q < end && isSpace(*q)) ++q;
    if (q == end) return Step::NeedMore;
    if (*q != '>' || q + 1 - p > kLongestPending) return Step::GiveUp;
    // Compared a byte at a time: names are a few bytes, shorter than a call
    // to memcmp costs.
    if (openAt_.empty() || name.size() != open_.size() - openAt_.back() - 1 ||
        !std::equal(name.begin(), name.end(),
                    open_.begin() + static_cast<std::ptrdiff_t>(openAt_.back())))
        return Step::GiveUp;  // mismatched: expat reports it
    const char* const tag = p;
    p = q + 1;
    if (const Step s = flushText(tag); s != Step::Ok) return s;
    return closeElement(local);
}

// "&amp;" and the other four, or a character reference, appended decoded.
SheetScanner::Step SheetScanner::reference(const char*& p, const char* end,
                                           std::string& out) const {
    constexpr std::ptrdiff_t kLongest = 12;  // "&#x0010FFFF;"
    const char* semicolon = p + 1;
    while (semicolon < end && *semicolon != ';' && semicolon - p < kLongest) ++semicolon;
    if (semicolon == end) return end - p < kLongest ? Step::NeedMore : Step::GiveUp;
    if (*semicolon != ';') return Step::GiveUp;
    const std::string_view name(p + 1, static_cast<std::size_t>(semicolon - p - 1));
    if (name == "amp") {
        out += '&';
    } else if (name == "lt") {
        out += '<';
    } else if (name == "gt") {
        out += '>';
    } else if (name == "quot") {
        out += '"';
    } else if (name == "apos") {
        out += '\'';
    } else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return Step::GiveUp;
        std::uint32_t code = 0;
        for (char c : digits) {
            unsigned digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                digit = static_cast<unsigned>(c - 'A' + 10);
            else
                return Step::GiveUp;
            code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF) return Step::GiveUp;
        }
        if (!allowedCharacter(code)) return Step::GiveUp;
        codec::appendUtf8(out, static_cast<char32_t>(code));
    } else {
        return Step::GiveUp;  // an entity expat would have to look up
    }
    p = semicolon + 1;
    return Step::Ok;
}

SheetScanner::Step SheetScanner::deliverText(const char* tag) {
    std::string_view text;
    if (text_.empty()) {
        if (run_) text = std::string_view(run_, static_cast<std::size_t>(tag - run_));
    } else {
        keepRun(tag);
        text = text_;
    }
    run_ = nullptr;
    if (text.empty()) return Step::Ok;
    deliver(handler_, [&] { handler_.characters(text); });
    text_.clear();
    return handler_.finished || handler_.invalid ? Step::Stop : Step::Ok;
}

}  // namespace brindle::workbook::detail
