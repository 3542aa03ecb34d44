#include "common/base64.h"

#include <array>
#include <cstdint>

namespace tc {

namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

std::string base64(const unsigned char* data, std::size_t n) {
    std::string out;
    out.resize((n + 2) / 3 * 4);
    char* o = out.data();
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        const std::uint32_t v =
            (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        *o++ = kDigits[v >> 18];
        *o++ = kDigits[(v >> 12) & 63];
        *o++ = kDigits[(v >> 6) & 63];
        *o++ = kDigits[v & 63];
    }
    if (i < n) {
        std::uint32_t v = std::uint32_t{data[i]} << 16;
        if (i + 1 < n) v |= std::uint32_t{data[i + 1]} << 8;
        *o++ = kDigits[v >> 18];
        *o++ = kDigits[(v >> 12) & 63];
        *o++ = i + 1 < n ? kDigits[(v >> 6) & 63] : '=';
        *o++ = '=';
    }
    return out;
}

bool unbase64(std::string_view text, std::vector<unsigned char>& out) {
    static const auto table = [] {
        std::array<signed char, 256> t{};
        t.fill(-1);
        for (int k = 0; k < 64; ++k)
            t[static_cast<unsigned char>(kDigits[k])] = static_cast<signed char>(k);
        return t;
    }();
    if (text.size() % 4 != 0) return false;
    std::size_t pad = 0;
    if (!text.empty() && text.back() == '=') ++pad;
    if (text.size() >= 2 && text[text.size() - 2] == '=') ++pad;
    out.resize(text.size() / 4 * 3 - pad);
    std::size_t o = 0;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t v = 0;
        const bool last = i + 4 == text.size();
        for (std::size_t k = 0; k < 4; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if (c == '=' && last && k >= 4 - pad) {
                v <<= 6;
                continue;
            }
            const int d = table[c];
            if (d < 0) return false;
            v = (v << 6) | static_cast<std::uint32_t>(d);
        }
        out[o++] = static_cast<unsigned char>(v >> 16);
        if (o < out.size()) out[o++] = static_cast<unsigned char>((v >> 8) & 255);
        if (o < out.size()) out[o++] = static_cast<unsigned char>(v & 255);
    }
    return true;
}

} // namespace tc
