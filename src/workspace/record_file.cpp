#include "workspace/record_file.h"

#include "common/text_number.h"
#include "common/utf8.h"

#include <cstdint>

namespace tc {

namespace {

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
    for (const char c : bytes)
        appendUtf8(out, static_cast<unsigned char>(c));
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

inline bool blank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= 32;
}

// Splits into at most maxFields fields; returns how many were found. Fields without quotes are
// views into the line; quoted ones are unescaped into storage.
size_t splitInto(std::string_view line, std::string_view* fields, std::string* storage,
                 size_t maxFields) {
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
            while (p<n&& static_cast<unsigned char>(line[p])> 32 && line[p] != ',')
                ++p;
            fields[count++] = line.substr(b, p - b);
        }
        while (blank(at(p)))
            ++p;
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
        const size_t expected =
            (total - static_cast<size_t>(beginLine)) / static_cast<size_t>(step) + 1;
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
        if (k < 1)
            message = "List index out of bounds (0)";
        else if (!tryTextToDouble(fields[0], d, decimalSeparator))
            message = invalidFloatMessage(trimBlanks(fields[0]));
        else if (k < 2)
            message = "List index out of bounds (1)";
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
