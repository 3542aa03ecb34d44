#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tc {

std::string formatNumber(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0) return "0"; // -0 as well

    // Scientific with 14 decimals rounds correctly to 15 significant digits: d.dddde[+-]xx
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, 14);
    *res.ptr = '\0';
    const bool negative = buf[0] == '-';
    const char* p = buf + (negative ? 1 : 0);
    std::string digits;
    digits.reserve(15);
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits.push_back(*p);
    const int exp10 = std::atoi(p + 1); // value = d.ddd x 10^exp10
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    // With the value written as 0.d1d2... x 10^e, e = exp10 + 1.
    const int e = exp10 + 1;
    std::string out;
    if (negative) out.push_back('-');
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            out += '0';
            out += decimalSeparator;
            out.append(static_cast<size_t>(-e), '0');
            out += digits;
        } else if (static_cast<size_t>(e) >= digits.size()) {
            out += digits;
            out.append(static_cast<size_t>(e) - digits.size(), '0');
        } else {
            out.append(digits, 0, static_cast<size_t>(e));
            out += decimalSeparator;
            out.append(digits, static_cast<size_t>(e), std::string::npos);
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(exp10);
    }
    return out;
}

} // namespace tc
