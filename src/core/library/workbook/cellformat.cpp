#include "core/library/workbook/cellformat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace brindle::workbook {

namespace {

using Kind = NumberFormat::Kind;

constexpr NumberFormat fixed(int decimals) {
    return {Kind::Fixed, decimals};
}
constexpr NumberFormat percent(int decimals) {
    return {Kind::Percent, decimals};
}
constexpr NumberFormat kDate{Kind::Date, 0};
constexpr NumberFormat kTime{Kind::Time, 0};
constexpr NumberFormat kDateTime{Kind::DateTime, 0};

// The decimal digits of |value| rounded to 15 significant digits, the
// precision Excel shows, and the power of ten of the first digit.
void significantDigits(double value, std::string& digits, int& exponent) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    digits.clear();
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) digits += *p;
    exponent = *p == 'e' ? std::atoi(p + 1) : 0;
}

// |value| with `decimals` decimals, rounded half away from zero from its
// 15-digit form (as Excel rounds what it shows), without a sign.
std::string fixedDigits(double value, int decimals) {
    std::string digits;
    int exponent = 0;
    significantDigits(value, digits, exponent);
    // Digits before the point and the number of digits kept.
    const int intDigits = exponent + 1;
    int keep = intDigits + decimals;
    std::string kept;
    if (keep < 0) {
        kept = "";
    } else {
        kept = digits.substr(0, static_cast<std::size_t>(std::min<int>(keep, 15)));
        kept.append(static_cast<std::size_t>(std::max(0, keep - 15)), '0');
        if (keep < 15 && digits[static_cast<std::size_t>(keep)] >= '5') {
            int i = static_cast<int>(kept.size()) - 1;
            for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i)
                kept[static_cast<std::size_t>(i)] = '0';
            if (i >= 0) {
                ++kept[static_cast<std::size_t>(i)];
            } else {
                kept.insert(kept.begin(), '1');
                ++keep;
            }
        }
    }
    // kept holds the digits from 10^(keep - decimals - 1) down to 10^-decimals.
    const int integerLength = keep - decimals;
    std::string whole;
    std::string fraction;
    if (integerLength > 0) {
        whole = kept.substr(0, static_cast<std::size_t>(integerLength));
        fraction = kept.substr(static_cast<std::size_t>(integerLength));
    } else {
        whole = "0";
        fraction = std::string(static_cast<std::size_t>(-integerLength), '0') + kept;
        if (fraction.size() > static_cast<std::size_t>(decimals))
            fraction = fraction.substr(fraction.size() - static_cast<std::size_t>(decimals));
    }
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    return decimals > 0 ? whole + "." + fraction : whole;
}

std::string signedFixed(double value, int decimals) {
    if (!std::isfinite(value)) return "#NUM!";
    std::string text = fixedDigits(value, decimals);
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    return value < 0 && !zero ? "-" + text : text;
}

// The calendar date of a day counted from 1970-01-01.
void civilFromDays(long long days, int& year, int& month, int& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

std::string renderDateTime(double value, Kind kind, bool date1904) {
    if (!std::isfinite(value) || value < 0 || value >= 2958466) return renderGeneral(value);
    long long serial = static_cast<long long>(std::floor(value));
    long long seconds = std::llround((value - static_cast<double>(serial)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++serial;
    }
    char date[48] = {};
    if (kind != Kind::Time) {
        int year = 0, month = 0, day = 0;
        if (date1904) {
            civilFromDays(serial - 24107, year, month, day);  // serial 0 is 1904-01-01
        } else if (serial == 60) {
            year = 1900, month = 2, day = 29;  // the day Lotus 1-2-3 invented
        } else if (serial == 0) {
            year = 1900, month = 1, day = 0;
        } else {
            civilFromDays(serial - (serial < 60 ? 25568 : 25569), year, month, day);
        }
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
    }
    char time[64] = {};
    std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    if (kind == Kind::Date) return date;
    if (kind == Kind::Time) return time;
    return std::string(date) + " " + time;
}

}  // namespace

NumberFormat builtinFormat(int id) {
    switch (id) {
        case 1:
        case 3:
        case 37:
        case 38:
            return fixed(0);
        case 2:
        case 4:
        case 39:
        case 40:
            return fixed(2);
        case 9:
            return percent(0);
        case 10:
            return percent(2);
        case 14:
        case 15:
        case 16:
        case 17:
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
            return kDate;
        case 18:
        case 19:
        case 20:
        case 21:
        case 32:
        case 33:
        case 34:
        case 35:
        case 45:
        case 46:
        case 47:
        case 55:
        case 56:
            return kTime;
        case 22:
            return kDateTime;
        default:
            return {};
    }
}

NumberFormat parseFormatCode(std::string_view code) {
    bool date = false, time = false, percentSign = false, digits = false, exponent = false;
    bool afterPoint = false, lastWasHour = false;
    int decimals = 0;
    std::string lower;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break;
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
            continue;
        }
        if (c == '\\' || c == '_' || c == '*') {
            ++i;
            continue;
        }
        if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos) break;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() &&
                std::string_view("hHmMsS").find(inside[0]) != std::string_view::npos)
                time = true;
            i = close;
            continue;
        }
        const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        lower += l;
        if (l == 'y' || l == 'd') {
            date = true;
            lastWasHour = false;
        } else if (l == 'h' || l == 's') {
            time = true;
            lastWasHour = l == 'h';
        } else if (l == 'm') {
            const std::size_t next = code.find_first_not_of("mM", i);
            // Minutes follow an hour or come before ":ss"; otherwise a month.
            const bool beforeSeconds = next != std::string_view::npos && next + 1 < code.size() &&
                                       code[next] == ':' && (code[next + 1] | 0x20) == 's';
            (lastWasHour || beforeSeconds ? time : date) = true;
            i = (next == std::string_view::npos ? code.size() : next) - 1;
        } else if (c == '%') {
            percentSign = true;
        } else if (l == 'e' && i + 1 < code.size() && (code[i + 1] == '+' || code[i + 1] == '-')) {
            exponent = true;
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == '0' || c == '#' || c == '?') {
            digits = true;
            if (afterPoint && c == '0') ++decimals;
        }
    }
    if (lower.find("general") != std::string::npos && !date && !time) return {};
    if (date && time) return kDateTime;
    if (date) return kDate;
    if (time) return kTime;
    if (exponent || !digits) return {};
    return percentSign ? percent(decimals) : fixed(decimals);
}

std::string renderGeneral(double value) {
    if (!std::isfinite(value)) return "#NUM!";
    if (value == 0) return "0";
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        return buffer;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    // "1.5E-07" as Excel writes it, no padding in the mantissa.
    const std::size_t e = text.find('E');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        if (mantissa.find('.') != std::string::npos) {
            while (mantissa.back() == '0') mantissa.pop_back();
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        text = mantissa + text.substr(e);
    }
    return text;
}

std::string renderNumber(double value, const NumberFormat& format, bool date1904) {
    switch (format.kind) {
        case Kind::General:
            return renderGeneral(value);
        case Kind::Fixed:
            return signedFixed(value, format.decimals);
        case Kind::Percent:
            return signedFixed(value * 100, format.decimals) + "%";
        case Kind::Date:
        case Kind::Time:
        case Kind::DateTime:
            return renderDateTime(value, format.kind, date1904);
    }
    return renderGeneral(value);
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
        case 0x2A:
            return "#N/A";
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
    const auto it = custom_.find(id);
    return it != custom_.end() ? it->second : builtinFormat(id);
}

std::string CellStyles::number(double value, std::size_t style) const {
    return renderNumber(value, formatOf(style), date1904);
}

}  // namespace brindle::workbook
