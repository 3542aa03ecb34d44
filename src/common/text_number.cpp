#include "common/text_number.h"

#include <fast_float/fast_float.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace tc {

namespace {
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::string_view trimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

namespace {

// The quoted text of a conversion message: a text of any length (a whole line of a broken file)
// is cut after kQuotedChars characters, never inside a UTF-8 sequence, and marked with an ellipsis.
constexpr size_t kQuotedChars = 60;

std::string quoted(std::string_view quote, std::string_view text, std::string_view rest) {
    size_t cut = text.size(), chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue; // continuation byte
        if (chars++ == kQuotedChars) {
            cut = i;
            break;
        }
    }
    const std::string_view ellipsis = cut < text.size() ? "\xE2\x80\xA6" : "";
    std::string out;
    out.reserve(2 * quote.size() + cut + ellipsis.size() + rest.size());
    out.append(quote).append(text.substr(0, cut)).append(ellipsis).append(quote).append(rest);
    return out;
}

} // namespace

std::string invalidFloatMessage(std::string_view text) {
    return quoted("'", text, " is not a valid floating point value");
}

std::string invalidIntegerMessage(std::string_view text) {
    return quoted("''", text, " is not a valid integer value");
}

bool tryTextToDouble(std::string_view text, double& out, char decimalSeparator) {
    const std::string_view t = trimBlanks(text);
    const char* p = t.data();
    const char* const end = p + t.size();
    if (p == end) return false;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    // A mantissa digit or the separator must come first: no second sign, no "inf" or "nan".
    if (p == end || !(isDigit(*p) || *p == decimalSeparator)) return false;
    // The rest is digits [separator digits] [E [sign] digits], read with correct rounding of the
    // whole text: a value beyond the double range is refused, one too small to hold reads as 0,
    // whatever the written exponent says.
    double v = 0;
    const auto r = fast_float::from_chars_advanced(
        p, end, v, fast_float::parse_options(fast_float::chars_format::general, decimalSeparator));
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return false;
    out = negative ? -v : v;
    return true;
}

double textToDouble(std::string_view text, char decimalSeparator) {
    double v = 0;
    if (!tryTextToDouble(text, v, decimalSeparator))
        throw Error(invalidFloatMessage(trimBlanks(text)));
    return v;
}

int textToInt(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i == t.size()) throw Error(invalidIntegerMessage(t));
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (!isDigit(t[i])) throw Error(invalidIntegerMessage(t));
        v = v * 10 + (t[i] - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            throw Error(invalidIntegerMessage(t));
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        throw Error(invalidIntegerMessage(t));
    return static_cast<int>(v);
}

} // namespace tc
