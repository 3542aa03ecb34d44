#pragma once
#include "common/error.h"

#include <string>
#include <string_view>

namespace tc {

// Removes leading and trailing characters with codes up to 32 (not only what Unicode calls space).
std::string_view trimBlanks(std::string_view s);

// Text to number: the text is trimmed, then must read [sign] digits [separator digits]
// [E [sign] digits] with at least one mantissa digit; nothing else (no group separators, no hex,
// no nan/inf). The whole text is rounded correctly: a value beyond the double range is refused,
// one below the smallest double reads as 0 (1000e-2 is 10 and 0.001e400 is refused whatever
// the sign of the written exponent). On failure throws Error with
// "'<text>' is not a valid floating point value".
double textToDouble(std::string_view text, char decimalSeparator = '.');

// Same, without throwing.
bool tryTextToDouble(std::string_view text, double& out, char decimalSeparator = '.');

// Trimmed text to a 32-bit integer: [sign] decimal digits. On failure throws Error with
// "''<text>'' is not a valid integer value".
int textToInt(std::string_view text);

// The conversion messages. A long text is quoted by its first 60 characters and "…".
std::string invalidFloatMessage(std::string_view text);
std::string invalidIntegerMessage(std::string_view text);

} // namespace tc
