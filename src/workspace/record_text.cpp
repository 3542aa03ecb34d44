#include "workspace/record_text.h"

#include "common/utf8.h"

#include <algorithm>
#include <cstdint>

namespace tc {

namespace record_text {

namespace {

// Codes 1 to 32, which separate fields (a NUL ends a line's fields).
inline bool blank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::string decodeUtf16(std::string_view b, bool bigEndian) {
    std::string out;
    out.reserve(b.size() / 2);
    auto unit = [&](size_t i) -> uint32_t {
        const auto lo = static_cast<unsigned char>(b[i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(b[i + (bigEndian ? 0 : 1)]);
        return (static_cast<uint32_t>(hi) << 8) | lo;
    };
    size_t i = 0;
    for (; i + 1 < b.size(); i += 2) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < b.size()) {
            const uint32_t u2 = unit(i + 2);
            if (u2 >= 0xDC00 && u2 <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (u2 - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD; // a lone surrogate
        appendUtf8(out, u);
    }
    return out;
}

// Splits into at most maxFields fields; returns how many were found. Fields without quotes are
// views into the line; quoted ones are unescaped into storage.
size_t splitInto(std::string_view line, std::string_view* fields, std::string* storage,
                 size_t maxFields, unsigned separator) {
    size_t count = 0;
    size_t p = 0;
    const size_t n = line.size();
    auto at = [&](size_t i) { return i < n ? line[i] : '\0'; };
    while (blank(at(p)))
        ++p;
    while (at(p) != '\0' && count < maxFields) {
        if (at(p) == '"') {
            std::string& s = storage[count];
            s.clear();
            ++p;
            while (p < n && line[p] != '\0') {
                if (line[p] == '"') {
                    if (at(p + 1) == '"') {
                        s.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s.push_back(line[p++]);
            }
            fields[count++] = s;
        } else {
            const size_t b = p;
            while (p < n && aboveBlank(line[p]) && !isSeparator(line[p], separator))
                ++p;
            fields[count++] = line.substr(b, p - b);
        }
        while (blank(at(p)))
            ++p;
        if (isSeparator(at(p), separator)) {
            if (at(p + 1) == '\0' && count < maxFields) fields[count++] = std::string_view();
            do {
                ++p;
            } while (blank(at(p)));
        }
    }
    return count;
}

} // namespace record_text

using record_text::decodeUtf16;
using record_text::separatorByte;
using record_text::splitInto;

std::string decodeRecordText(std::string_view bytes) {
    auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
    if (starts("\xFF\xFE")) return decodeUtf16(bytes.substr(2), false);
    if (starts("\xFE\xFF")) return decodeUtf16(bytes.substr(2), true);
    // Behind a UTF-8 mark the bytes are checked like any others: bytes that are not UTF-8 are
    // taken as Latin-1, never passed on as broken UTF-8.
    if (starts("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return isValidUtf8(bytes) ? std::string(bytes) : latin1ToUtf8(bytes);
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / 16 + 1);
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> splitFields(std::string_view line, size_t maxFields,
                                     FieldSeparator separator) {
    // A line holds at most one field more than it has bytes.
    const size_t cap = std::min(maxFields ? maxFields : SIZE_MAX, line.size() + 2);
    std::vector<std::string_view> views(cap);
    std::vector<std::string> storage(cap);
    const size_t k = splitInto(line, views.data(), storage.data(), cap, separatorByte(separator));
    return std::vector<std::string>(views.begin(), views.begin() + static_cast<long>(k));
}

} // namespace tc
