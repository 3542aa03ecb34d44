#include "common/text_number.h"

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
std::string quoted(std::string_view quote, std::string_view text, std::string_view rest) {
    std::string out;
    out.reserve(2 * quote.size() + text.size() + rest.size());
    out.append(quote).append(text).append(quote).append(rest);
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
    if (t.empty()) return false;
    // Validate the grammar while copying it into the plain "C" form that from_chars reads.
    char small[64];
    std::string big;
    char* dst = small;
    if (t.size() >= sizeof small) {
        big.resize(t.size());
        dst = big.data();
    }
    size_t n = 0, i = 0;
    if (t[i] == '+' || t[i] == '-') {
        if (t[i] == '-') dst[n++] = '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    while (i < t.size() && isDigit(t[i]))
        dst[n++] = t[i++], ++mantissaDigits;
    if (i < t.size() && t[i] == decimalSeparator) {
        dst[n++] = '.';
        ++i;
        while (i < t.size() && isDigit(t[i]))
            dst[n++] = t[i++], ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    bool negativeExponent = false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        dst[n++] = 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            negativeExponent = t[i] == '-';
            dst[n++] = t[i++];
        }
        size_t expDigits = 0;
        while (i < t.size() && isDigit(t[i]))
            dst[n++] = t[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != t.size()) return false;
    double v = 0;
    const auto r = std::from_chars(dst, dst + n, v);
    if (r.ec == std::errc::result_out_of_range) {
        // A value too small to hold reads as zero; one too large is not a number we can hold.
        if (!negativeExponent) return false;
        v = dst[0] == '-' ? -0.0 : 0.0;
    } else if (r.ec != std::errc() || r.ptr != dst + n || !std::isfinite(v)) {
        return false;
    }
    out = v;
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
