#include "common/utf8.h"

#include <cstring>

namespace tc {

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + i;
    const std::size_t left = s.size() - i;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    std::size_t len;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF)
        len = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
        len = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
        len = 4, cp = c & 0x07;
    else
        return 0;
    if (left < len) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return len;
}

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        // Fast path over plain ASCII, eight bytes at a time.
        while (s.size() - i >= 8) {
            std::uint64_t w;
            std::memcpy(&w, s.data() + i, 8);
            if (w & 0x8080808080808080ULL) break;
            i += 8;
        }
        if (i >= s.size()) break;
        const std::size_t len = utf8SequenceLength(s, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string wellFormedUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t len = utf8SequenceLength(s, i);
        if (len != 0) {
            out.append(s, i, len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t n = 0;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80) n += c >= 0xF0 ? 2 : 1;
    }
    return n;
}

} // namespace tc
