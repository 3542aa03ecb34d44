#pragma once
// File names as the program's text: UTF-8 on every system. On Windows path::string() would give
// the ANSI code page (and throw for names it cannot hold); libxlsxwriter expects UTF-8 there.
#include <filesystem>
#include <string>

namespace tc {

inline std::string utf8Path(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

} // namespace tc
