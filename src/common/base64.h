#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// Bytes as base64 text (the standard alphabet, padded with '=').
std::string base64(const unsigned char* data, std::size_t n);

// The bytes of base64 text; false when it is not base64 (whitespace is not allowed).
bool unbase64(std::string_view text, std::vector<unsigned char>& out);

} // namespace tc
