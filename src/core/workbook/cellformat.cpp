#include "core/workbook/cellformat.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/base/asciicase.h"

namespace brindle::workbook {

namespace {

// ---- decimal digits -----------------------------------------------------------
// The spreadsheet keeps 15 significant digits of a number; it shows and rounds
// that decimal number, not the binary double behind it (2.675 shows as 2.68
// under "0.00", where the double is 2.67499…).

struct Decimal {
    bool negative = false;
    std::string digits;  // significant digits, no leading zero ("" for zero)
    int exponent = 0;    // value = 0.d1d2d3… × 10^(exponent + 1), i.e. d1 is 10^exponent
};

Decimal toDecimal(double value) {
    Decimal d;
    if (value == 0) return d;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (text.front() == '-') {
        d.negative = true;
        text.remove_prefix(1);
    }
    const std::size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') d.digits += c;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                    d.exponent);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Rounds half away from zero so that no digit is left below 10^-decimals.
void roundTo(Decimal& d, int decimals) {
    const int keep = d.exponent + 1 + decimals;  // significant digits that stay
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9'; --i)
            d.digits[static_cast<std::size_t>(i)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

// The digits written out in plain decimal notation with exactly `decimals`
// places (none and no point when 0). A negative number that rounded to zero
// keeps its sign only when asked: a fixed format shows -0.001 as "-0.00".
std::string plain(const Decimal& d, int decimals, bool signOfZero = false) {
    std::string out;
    if (d.negative && (!d.digits.empty() || signOfZero)) out += '-';
    auto digitAt = [&](int power) -> char {  // the digit of 10^power
        const int index = d.exponent - power;
        return index >= 0 && index < static_cast<int>(d.digits.size())
                   ? d.digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    for (int power = std::max(d.exponent, 0); power >= 0; --power) out += digitAt(power);
    if (decimals > 0) {
        out += '.';
        for (int power = -1; power >= -decimals; --power) out += digitAt(power);
    }
    return out;
}

std::string scientific(const Decimal& d) {
    std::string out = d.negative ? "-" : "";
    out += d.digits.front();
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                  std::abs(d.exponent));
    return out + exponent;
}

// ---- dates --------------------------------------------------------------------

std::string twoDigits(long value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02ld", value);
    return buffer;
}

// Day `days` of the date system, as the spreadsheet names it.
std::string dateText(long long days, bool date1904) {
    using namespace std::chrono;
    if (!date1904) {
        // The 1900 system counts a 29 February 1900 that never was (day 60),
        // and shows day 0 as the 0th of January.
        if (days == 0) return "1900-01-00";
        if (days == 60) return "1900-02-29";
        if (days < 60) ++days;
    }
    // Day 0 is 30 December 1899 (1900 system, past the false leap day) or
    // 1 January 1904; sys_days counts from 1 January 1970.
    const long long fromEpoch = days + (date1904 ? -24107 : -25569);
    const year_month_day date{sys_days{std::chrono::days{fromEpoch}}};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return buffer;
}

std::string dateTimeText(double value, NumberFormat::Kind kind, bool date1904) {
    // Seconds are shown rounded; a time that rounds up to midnight is the next day.
    long long days = static_cast<long long>(std::floor(value));
    long long seconds = std::llround((value - static_cast<double>(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const std::string time = twoDigits(static_cast<long>(seconds / 3600)) + ":" +
                             twoDigits(static_cast<long>(seconds / 60 % 60)) + ":" +
                             twoDigits(static_cast<long>(seconds % 60));
    if (kind == NumberFormat::Kind::Time) return time;
    const std::string date = dateText(days, date1904);
    return kind == NumberFormat::Kind::Date ? date : date + " " + time;
}

// The latest day the spreadsheet shows as a date: 31 December 9999.
constexpr double kLastDay1900 = 2958465;
constexpr double kLastDay1904 = kLastDay1900 - 1462;

// ---- format codes ---------------------------------------------------------------

// The first section of a code with quoted text, escaped characters, spacing
// and fill characters and bracketed parts taken out, in lower case.
std::string placeholders(std::string_view code) {
    std::string out;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break;
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the next character is shown (or spaced, or repeated) as it is
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos) break;
            // [h], [mm], [ss]: elapsed time, the one bracket that is a placeholder.
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                out += 'h';
            i = close;
        } else {
            out += ascii::lower(c);
        }
    }
    // AM/PM markers hold letters that are not placeholders.
    for (std::string_view marker : {"am/pm", "a/p"}) {
        for (std::size_t at; (at = out.find(marker)) != std::string::npos;)
            out.erase(at, marker.size());
    }
    return out;
}

}  // namespace

std::string renderGeneral(double value) {
    if (std::isnan(value) || std::isinf(value)) return "#NUM!";
    if (value == 0) return "0";
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
        return std::string(buffer, result.ptr);
    }
    const Decimal d = toDecimal(value);
    // Plain decimals for the magnitudes a parameter can have; exponents only
    // where a decimal would be a long run of zeros or more than 15 digits.
    if (d.exponent >= -6 && d.exponent < 15) {
        const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.exponent - 1);
        return plain(d, decimals);
    }
    return scientific(d);
}

std::string renderNumber(double value, const NumberFormat& format, bool date1904) {
    switch (format.kind) {
        case NumberFormat::Kind::General:
            break;
        case NumberFormat::Kind::Fixed:
        case NumberFormat::Kind::Percent: {
            if (std::isnan(value) || std::isinf(value)) break;
            Decimal d = toDecimal(value);
            if (format.kind == NumberFormat::Kind::Percent) d.exponent += 2;
            roundTo(d, format.decimals);
            return plain(d, format.decimals, true) +
                   (format.kind == NumberFormat::Kind::Percent ? "%" : "");
        }
        case NumberFormat::Kind::Date:
        case NumberFormat::Kind::Time:
        case NumberFormat::Kind::DateTime:
            // Before the first day or past the last the spreadsheet shows no
            // date; the number is then the most honest text.
            if (value >= 0 && value < (date1904 ? kLastDay1904 : kLastDay1900) + 1)
                return dateTimeText(value, format.kind, date1904);
            break;
    }
    return renderGeneral(value);
}

NumberFormat builtinFormat(int id) {
    using K = NumberFormat::Kind;
    switch (id) {
        case 1:
        case 3:
            return {K::Fixed, 0};
        case 2:
        case 4:
            return {K::Fixed, 2};
        case 9:
            return {K::Percent, 0};
        case 10:
            return {K::Percent, 2};
        case 14:
        case 15:
        case 16:
        case 17:
        // Chinese built-ins: 年/月/日 dates.
        case 27:
        case 28:
        case 29:
        case 30:
        case 31:
        case 36:
        case 50:
        case 51:
        case 52:
        case 53:
        case 54:
        case 57:
        case 58:
            return {K::Date, 0};
        case 18:
        case 19:
        case 20:
        case 21:
        case 45:
        case 46:
        case 47:
        // Chinese built-ins: 时/分/秒 times.
        case 32:
        case 33:
        case 34:
        case 35:
        case 55:
        case 56:
            return {K::Time, 0};
        case 22:
            return {K::DateTime, 0};
        default:
            return {};
    }
}

NumberFormat parseFormatCode(std::string_view code) {
    using K = NumberFormat::Kind;
    const std::string p = placeholders(code);
    if (p.find("general") != std::string::npos) return {};
    const auto has = [&](char c) { return p.find(c) != std::string::npos; };
    const bool time = has('h') || has('s');
    const bool date = has('y') || has('d') || (has('m') && !time);
    if (date && time) return {K::DateTime, 0};
    if (date) return {K::Date, 0};
    if (time) return {K::Time, 0};

    // Digit placeholders with an optional point, grouping commas and a
    // percent sign; anything else (exponents, fractions, text) is General.
    bool digits = false, afterPoint = false, percent = false;
    int decimals = 0;
    for (char c : p) {
        if (c == '0' || c == '#' || c == '?') {
            digits = true;
            if (afterPoint) ++decimals;
        } else if (c == '.') {
            if (afterPoint) return {};
            afterPoint = true;
        } else if (c == '%') {
            percent = true;
        } else if (c != ',' && c != ' ') {
            return {};
        }
    }
    if (!digits) return {};
    return {percent ? K::Percent : K::Fixed, decimals};
}

std::string_view biffErrorText(std::uint8_t code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2B:
            return "#GETTING_DATA";
        default:
            return "#N/A";
    }
}

void CellStyles::defineFormat(int id, std::string_view code) {
    custom_[id] = parseFormatCode(code);
}

void CellStyles::addStyle(int formatId) {
    styles_.push_back(formatId);
}

NumberFormat CellStyles::formatOf(std::size_t style) const {
    if (style >= styles_.size()) return {};
    const int id = styles_[style];
    const auto custom = custom_.find(id);
    return custom != custom_.end() ? custom->second : builtinFormat(id);
}

namespace {

// Reads `digits` decimal digits at `at`; false past the text or at a non-digit.
bool readDigits(std::string_view text, std::size_t& at, std::size_t digits, int& value) {
    if (at + digits > text.size()) return false;
    value = 0;
    for (std::size_t i = 0; i < digits; ++i, ++at) {
        const char c = text[at];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool readSeparator(std::string_view text, std::size_t& at, char separator) {
    if (at >= text.size() || text[at] != separator) return false;
    ++at;
    return true;
}

// "HH:MM" or "HH:MM:SS", seconds with an optional fraction, then an optional
// "Z"; the fraction of the day, or nothing.
std::optional<double> isoTime(std::string_view text, std::size_t at) {
    int hours = 0, minutes = 0, seconds = 0;
    if (!readDigits(text, at, 2, hours) || !readSeparator(text, at, ':') ||
        !readDigits(text, at, 2, minutes))
        return std::nullopt;
    double fraction = 0;
    if (readSeparator(text, at, ':')) {
        if (!readDigits(text, at, 2, seconds)) return std::nullopt;
        if (readSeparator(text, at, '.')) {
            double scale = 0.1;
            const std::size_t first = at;
            for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale /= 10)
                fraction += (text[at] - '0') * scale;
            if (at == first) return std::nullopt;
        }
    }
    if (at < text.size() && text[at] == 'Z') ++at;
    if (at != text.size() || hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
    return (hours * 3600.0 + minutes * 60.0 + seconds + fraction) / 86400.0;
}

}  // namespace

std::optional<std::string> CellStyles::isoDate(std::string_view text, std::size_t style) const {
    using K = NumberFormat::Kind;
    using namespace std::chrono;
    std::size_t at = 0;
    int year = 0, month = 0, day = 0;
    double serial = 0;
    K holds = K::Time;
    if (text.size() >= 10 && text[4] == '-') {
        if (!readDigits(text, at, 4, year) || !readSeparator(text, at, '-') ||
            !readDigits(text, at, 2, month) || !readSeparator(text, at, '-') ||
            !readDigits(text, at, 2, day))
            return std::nullopt;
        const year_month_day date{std::chrono::year{year}, std::chrono::month(unsigned(month)),
                                  std::chrono::day(unsigned(day))};
        if (!date.ok()) return std::nullopt;
        // Day numbers as dateText counts them: from 1 January 1904, or in
        // the 1900 system from 31 December 1899 up to its false 29 February
        // and from 30 December 1899 after it.
        const long long fromEpoch = sys_days{date}.time_since_epoch().count();
        const long long days = date1904                 ? fromEpoch + 24107
                               : fromEpoch + 25569 < 61 ? fromEpoch + 25568
                                                        : fromEpoch + 25569;
        if (days < (date1904 ? 0 : 1)) return std::nullopt;
        serial = static_cast<double>(days);
        holds = K::Date;
        if (at < text.size()) {
            if (text[at] != 'T') return std::nullopt;
            const std::optional<double> time = isoTime(text, at + 1);
            if (!time) return std::nullopt;
            serial += *time;
            holds = K::DateTime;
        }
    } else {
        const std::optional<double> time = isoTime(text, text.starts_with('T') ? 1 : 0);
        if (!time) return std::nullopt;
        serial = *time;
    }
    NumberFormat format = formatOf(style);
    if (format.kind != K::Date && format.kind != K::Time && format.kind != K::DateTime)
        format = {holds, 0};
    return renderNumber(serial, format, date1904);
}

std::string CellStyles::number(double value, std::size_t style) const {
    if (style == 0 && (styles_.empty() || styles_[0] == 0)) return renderGeneral(value);
    return renderNumber(value, formatOf(style), date1904);
}

}  // namespace brindle::workbook
