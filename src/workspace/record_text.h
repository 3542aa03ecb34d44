#pragma once
// What reading a record's text and splitting its lines into fields share: within the workspace's
// record reading only.
#include "workspace/record_file.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace tc::record_text {

// UTF-16 bytes (without their mark) as UTF-8; a lone surrogate becomes U+FFFD.
std::string decodeUtf16(std::string_view bytes, bool bigEndian);

// Neither a blank nor a control character: part of a field.
inline bool aboveBlank(char c) {
    return static_cast<unsigned char>(c) > 32;
}

// The separator as a byte, or kNoSeparator, which no byte is.
constexpr unsigned kNoSeparator = 256;
// The comma as a separator known when compiling, for the common line's shortest way.
constexpr std::integral_constant<unsigned, ','> kComma{};
inline unsigned separatorByte(FieldSeparator s) {
    switch (s) {
    case FieldSeparator::Comma:
        return ',';
    case FieldSeparator::Semicolon:
        return ';';
    case FieldSeparator::Blanks:
        break;
    }
    return kNoSeparator;
}
template <class Separator> inline bool isSeparator(char c, Separator separator) {
    return static_cast<unsigned char>(c) == separator;
}

// Splits into at most maxFields fields; returns how many were found. Fields without quotes are
// views into the line; quoted ones are unescaped into storage.
size_t splitInto(std::string_view line, std::string_view* fields, std::string* storage,
                 size_t maxFields, unsigned separator);

} // namespace tc::record_text
