// Numbers typed into edit boxes.
#include "text/narrow_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace zenvik::text {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Full-width forms typed with a Chinese input method count as their ASCII
// counterparts.
Text halfWidth(std::string_view text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (charLength(text, i) == 1) {
            out += text[i++];
            continue;
        }
        auto lead = static_cast<unsigned char>(text[i]);
        auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            out += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out += '*';
        } else {
            out.append(text.substr(i, 2));
        }
        i += 2;
    }
    return out;
}

std::size_t skipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && isDigit(s[i])) ++i;
    return i;
}

// Length of the longest leading decimal number of s (from index begin):
// sign, digits, optional fraction, optional exponent. 0 when none.
std::size_t numberLength(std::string_view s, std::size_t begin) {
    std::size_t i = begin;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t intEnd = skipDigits(s, i);
    bool digits = intEnd > i;
    i = intEnd;
    if (i < s.size() && s[i] == '.') {
        std::size_t fracEnd = skipDigits(s, i + 1);
        if (digits || fracEnd > i + 1) {
            digits = true;
            i = fracEnd;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        std::size_t expEnd = skipDigits(s, j);
        if (expEnd > j) i = expEnd;
    }
    return i - begin;
}

double parseDecimal(const std::string& number) {
    // The number has been checked to be plain decimal, so the C locale's
    // strtod reads it the same whatever locale the program runs in.
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(number.c_str(), nullptr, cLocale);
}

} // namespace

double textToNumber(std::string_view text) {
    Text s = halfWidth(text);
    std::size_t begin = 0;
    while (begin < s.size() && isWhite(s[begin])) ++begin;
    std::size_t length = numberLength(s, begin);
    if (length == 0) return 0;
    return parseDecimal(s.substr(begin, length));
}

std::int64_t leadingInteger(std::string_view text, std::int64_t low, std::int64_t high) {
    std::size_t i = 0;
    while (i < text.size() && isWhite(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Saturate rather than overflow on long runs of digits.
    std::int64_t value = 0;
    const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 10 - 9;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (value < limit) value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    return value < low ? low : (value > high ? high : value);
}

Text integerEditText(std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = leadingInteger(text, low, high);
    return value == 0 ? Text() : std::to_string(value);
}

std::int32_t monitorPeriod(std::string_view text) { return periodFromText(text, 10000.0); }

std::int32_t periodFromText(std::string_view text, double unitMs) {
    double ms = std::trunc(textToNumber(text) * unitMs);
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (!(ms >= low)) return std::numeric_limits<std::int32_t>::min();
    if (ms > high) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(ms);
}

} // namespace zenvik::text
