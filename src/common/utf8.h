#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8: the one checker of the program, and what is built on it.
namespace tc {

// The length of the well-formed UTF-8 sequence at s[i] (1 to 4), or 0 where the bytes there are
// not one: a stray continuation byte, an overlong form, a surrogate, a value beyond U+10FFFF, or a
// sequence cut off by the end of the text.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// Whether the whole text is well-formed UTF-8.
bool isValidUtf8(std::string_view s);

// The text with every byte that does not start a well-formed sequence replaced by U+FFFD.
std::string wellFormedUtf8(std::string_view s);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, std::uint32_t codePoint);

// Bytes read as Latin-1 (every byte one character), as UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

// Length in UTF-16 units, the way the spreadsheet program counts characters.
std::size_t utf16Length(std::string_view utf8);

} // namespace tc
