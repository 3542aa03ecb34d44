#include "workspace/record_file.h"

#include "workspace/text_number.h"

#include <cstdint>
#include <cstring>

namespace tc {

namespace {

void appendUtf8(std::string& out, uint32_t cp) {
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

bool isValidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        // Fast path over plain ASCII, eight bytes at a time.
        while (end - p >= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            if (w & 0x8080808080808080ULL) break;
            p += 8;
        }
        if (p >= end) break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int len;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
        else return false;
        if (end - p < len) return false;
        for (int k = 1; k < len; ++k) {
            if ((p[k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        p += len;
    }
    return true;
}

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

} // namespace

std::string decodeRecordText(std::string_view bytes) {
    auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
    if (starts("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    if (starts("\xFF\xFE")) return decodeUtf16(bytes.substr(2), false);
    if (starts("\xFE\xFF")) return decodeUtf16(bytes.substr(2), true);
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) appendUtf8(out, static_cast<unsigned char>(c));
    return out;
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

namespace {

inline bool blank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= 32; }

// Splits into at most maxFields fields; returns how many were found. Fields without quotes are
// views into the line; quoted ones are unescaped into storage.
size_t splitInto(std::string_view line, std::string_view* fields, std::string* storage,
                 size_t maxFields) {
    size_t count = 0;
    size_t p = 0;
    const size_t n = line.size();
    auto at = [&](size_t i) { return i < n ? line[i] : '\0'; };
    while (blank(at(p))) ++p;
    while (at(p) != '\0' && count < maxFields) {
        if (at(p) == '"') {
            std::string& s = storage[count];
            s.clear();
            ++p;
            while (p < n) {
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
            while (p < n && static_cast<unsigned char>(line[p]) > 32 && line[p] != ',') ++p;
            fields[count++] = line.substr(b, p - b);
        }
        while (blank(at(p))) ++p;
        if (at(p) == ',') {
            if (at(p + 1) == '\0' && count < maxFields) fields[count++] = std::string_view();
            do {
                ++p;
            } while (blank(at(p)));
        }
    }
    return count;
}

} // namespace

std::vector<std::string> splitFields(std::string_view line, size_t maxFields) {
    const size_t cap = maxFields ? maxFields : line.size() + 2;
    std::vector<std::string_view> views(cap);
    std::vector<std::string> storage(cap);
    const size_t k = splitInto(line, views.data(), storage.data(), cap);
    return std::vector<std::string>(views.begin(), views.begin() + static_cast<long>(k));
}

RecordReadResult readRecord(std::string_view text, int beginLine, int step, char decimalSeparator,
                            const ProgressFn& progress) {
    RecordReadResult r;
    if (beginLine < 1 || step < 1) return r;
    const std::vector<std::string_view> lines = splitLines(text);
    const size_t total = lines.size();
    if (static_cast<size_t>(beginLine) <= total) {
        const size_t expected = (total - static_cast<size_t>(beginLine)) / static_cast<size_t>(step) + 1;
        r.disp.reserve(expected);
        r.force.reserve(expected);
    }
    std::string_view fields[2];
    std::string storage[2];
    size_t sinceProgress = 0;
    for (size_t n = static_cast<size_t>(beginLine) - 1; n < total; n += static_cast<size_t>(step)) {
        const std::string_view line = trimBlanks(lines[n]);
        const size_t k = splitInto(line, fields, storage, 2);
        double d = 0, f = 0;
        std::string message;
        if (k < 1) message = "List index out of bounds (0)";
        else if (!tryTextToDouble(fields[0], d, decimalSeparator))
            message = invalidFloatMessage(trimBlanks(fields[0]));
        else if (k < 2) message = "List index out of bounds (1)";
        else if (!tryTextToDouble(fields[1], f, decimalSeparator))
            message = invalidFloatMessage(trimBlanks(fields[1]));
        if (!message.empty()) {
            r.warning = std::move(message);
            r.badLine = static_cast<int>(n + 1);
            break;
        }
        r.disp.push_back(d);
        r.force.push_back(f);
        if (progress && ++sinceProgress >= 65536) {
            sinceProgress = 0;
            progress(n + 1, total);
        }
    }
    if (progress) progress(total, total);
    return r;
}

} // namespace tc
