#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tc {

namespace {

size_t put(char* out, const char* text) {
    const size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return n;
}

} // namespace

size_t formatNumberTo(char* out, double value, char decimalSeparator) {
    if (std::isnan(value)) return put(out, "NAN");
    if (std::isinf(value)) return put(out, value < 0 ? "-INF" : "INF");
    if (value == 0.0) return put(out, "0"); // -0 as well

    // The digits rounded to 15 significant ones, d.dddde[+-]xx. For a normal number whose
    // shortest round-trip form has at most 15 digits that form is the rounding: it lies within
    // half a unit of the last place of the value, far less than half a step of 15 digits. Other
    // values are rounded from their exact binary value.
    char buf[48];
    char digits[24];
    size_t count = 0;
    int exp10 = 0; // value = d.ddd x 10^exp10
    auto split = [&](const char* end) {
        const char* p = buf;
        count = 0;
        for (; p < end && *p != 'e'; ++p)
            if (*p >= '0' && *p <= '9') digits[count++] = *p;
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exp10);
    };
    if (std::fabs(value) >= std::numeric_limits<double>::min())
        split(std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific).ptr);
    if (count == 0 || count > 15)
        split(std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14).ptr);
    const bool negative = value < 0;
    while (count > 1 && digits[count - 1] == '0')
        --count;

    // With the value written as 0.d1d2... x 10^e, e = exp10 + 1.
    const int e = exp10 + 1;
    char* o = out;
    if (negative) *o++ = '-';
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            *o++ = '0';
            *o++ = decimalSeparator;
            for (int i = e; i < 0; ++i)
                *o++ = '0';
            std::memcpy(o, digits, count);
            o += count;
        } else if (static_cast<size_t>(e) >= count) {
            std::memcpy(o, digits, count);
            o += count;
            for (size_t i = count; i < static_cast<size_t>(e); ++i)
                *o++ = '0';
        } else {
            const auto whole = static_cast<size_t>(e);
            std::memcpy(o, digits, whole);
            o += whole;
            *o++ = decimalSeparator;
            std::memcpy(o, digits + whole, count - whole);
            o += count - whole;
        }
    } else {
        *o++ = digits[0];
        if (count > 1) {
            *o++ = decimalSeparator;
            std::memcpy(o, digits + 1, count - 1);
            o += count - 1;
        }
        *o++ = 'E';
        o = std::to_chars(o, out + kMaxNumberText, exp10).ptr;
    }
    return static_cast<size_t>(o - out);
}

std::string formatNumber(double value, char decimalSeparator) {
    char buf[kMaxNumberText];
    return std::string(buf, formatNumberTo(buf, value, decimalSeparator));
}

} // namespace tc
