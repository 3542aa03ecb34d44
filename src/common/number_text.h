#pragma once
#include <cstddef>
#include <string>

namespace tc {

// The one rule for writing a floating-point value as text, everywhere the program shows or writes
// one: rounded to 15 significant digits, shortest form, fixed notation for magnitudes from 0.0001
// up to below 1E15, otherwise "d.dddE-n" with a capital E, no plus sign, no leading zeros.
// decimalSeparator is the user's decimal separator ('.' or ',').
std::string formatNumber(double value, char decimalSeparator = '.');

// The longest text formatNumber writes ("-0.000" and 15 digits, or "-d." 14 digits "E-308").
inline constexpr size_t kMaxNumberText = 24;

// The same text written into out, which has room for kMaxNumberText characters; returns its
// length. For writing many numbers without a string each.
size_t formatNumberTo(char* out, double value, char decimalSeparator = '.');

} // namespace tc
