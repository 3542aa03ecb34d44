#include "workspace/record_file.h"

#include "common/text_number.h"
#include "common/utf8.h"

#include <fast_float/fast_float.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <share.h> // _SH_DENYWR
#endif

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
    if (starts("\xFF\xFE")) return decodeUtf16(bytes.substr(2), false);
    if (starts("\xFE\xFF")) return decodeUtf16(bytes.substr(2), true);
    // Behind a UTF-8 mark the bytes are checked like any others: bytes that are not UTF-8 are
    // taken as Latin-1, never passed on as broken UTF-8.
    if (starts("\xEF\xBB\xBF")) bytes.remove_prefix(3);
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

double ImportProgress::fraction() const {
    const double part =
        bytesTotal ? static_cast<double>(bytesDone) / static_cast<double>(bytesTotal) : 1.0;
    return stage == Stage::Reading ? 0.5 * part : 0.5 + 0.5 * part;
}

namespace {

inline bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
// Within a line, before its first field: what trimming removes (codes 0 to 32).
inline bool leadingBlank(char c) {
    return static_cast<unsigned char>(c) <= 32 && !isLineBreak(c);
}
// Between fields: codes 1 to 32 (a NUL ends the line's fields).
inline bool innerBlank(char c) {
    return c != '\0' && leadingBlank(c);
}

const char* lineEnd(const char* p, const char* end) {
    while (p < end && !isLineBreak(*p))
        ++p;
    return p;
}

// The start of the next line, from the line break at p (CR LF is one break).
const char* afterBreak(const char* p, const char* end) {
    if (p == end) return p;
    if (*p == '\r' && p + 1 < end && p[1] == '\n') return p + 2;
    return p + 1;
}

// Lines of the text as splitLines counts them, without building them.
size_t countLines(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    if (n == 0) return 0;
    size_t breaks = 0;
    // Blocks of at most 255 bytes count in one byte each, which the compiler vectorises.
    for (size_t i = 0; i + 1 < n;) {
        const size_t stop = std::min(n - 1, i + 255);
        unsigned char c = 0;
        for (; i < stop; ++i)
            c += static_cast<unsigned char>((s[i] == '\n') | ((s[i] == '\r') & (s[i + 1] != '\n')));
        breaks += c;
    }
    // The last byte is a break that ends the last line, or it belongs to an unbroken last line.
    return breaks + 1;
}

// One plain number field starting at p (a character above 32), as the common lines of a record
// hold them: on success the value and the end of the field; nothing when the field is anything
// else (quoted, not a number, followed by more of the field), which the general reading then
// decides.
inline const char* plainNumber(const char* p, const char* end, double& v,
                               const fast_float::parse_options& options) {
    const bool negative = *p == '-';
    const char* q = p + ((*p == '-' || *p == '+') ? 1 : 0);
    if (q == end || !(isDigit(*q) || *q == options.decimal_point)) return nullptr;
    const auto r = fast_float::from_chars_advanced(q, end, v, options);
    if (r.ec != std::errc() || !std::isfinite(v)) return nullptr;
    const char* e = r.ptr;
    if (e<end&& static_cast<unsigned char>(*e)> 32 && *e != ',') return nullptr;
    // A comma decimal separator: a comma read as part of the number ends the field instead.
    if (options.decimal_point == ',' && std::memchr(q, ',', static_cast<size_t>(e - q)))
        return nullptr;
    if (negative) v = -v;
    return e;
}

// The bytes of a field as the warning quotes them. Text read in place from a file is UTF-8 when
// the whole of it is, otherwise Latin-1; which one is decided only when a warning needs it.
class MessageText {
public:
    // wholeText: empty for text that is UTF-8 already.
    explicit MessageText(std::string_view wholeText = {}) : whole_(wholeText) {}
    std::string operator()(std::string_view field) const {
        // Enough bytes for the characters a message quotes (at most four bytes each).
        field = field.substr(0, 4 * 64);
        if (whole_.empty()) return std::string(field);
        if (!utf8_) utf8_ = isValidUtf8(whole_);
        if (*utf8_) return std::string(field);
        std::string out;
        for (const char c : field)
            appendUtf8(out, static_cast<unsigned char>(c));
        return out;
    }

private:
    std::string_view whole_;
    mutable std::optional<bool> utf8_;
};

RecordReadResult parseRecord(std::string_view text, int beginLine, int step, char decimalSeparator,
                             const ProgressFn& progress, const MessageText& messageText) {
    RecordReadResult r;
    if (beginLine < 1 || step < 1) return r;
    const size_t total = countLines(text);
    const auto begin = static_cast<size_t>(beginLine);
    const auto every = static_cast<size_t>(step);
    if (begin <= total) {
        const size_t expected = (total - begin) / every + 1;
        r.disp.reserve(expected);
        r.force.reserve(expected);
    }

    const fast_float::parse_options options(fast_float::chars_format::general, decimalSeparator);
    const char* const start = text.data();
    const char* const end = start + text.size();
    const char* p = start;
    size_t line = 0; // 0-based index of the line at p
    auto skipLines = [&](size_t count) {
        for (; count > 0 && p < end; --count, ++line)
            p = afterBreak(lineEnd(p, end), end);
    };
    constexpr size_t kProgressBytes = size_t(4) << 20;
    const char* nextProgress = start + kProgressBytes;
    auto report = [&] {
        ImportProgress at;
        at.stage = ImportProgress::Stage::Parsing;
        at.bytesDone = static_cast<size_t>(p - start);
        at.bytesTotal = text.size();
        at.linesDone = line;
        return progress(at);
    };

    skipLines(begin - 1);
    std::string_view fields[2];
    std::string storage[2];
    while (p < end) {
        double d = 0, f = 0;
        const char* eol = nullptr;
        // The common line: blanks, a plain number, a separator, a plain number, anything.
        const char* q = p;
        while (q < end && leadingBlank(*q))
            ++q;
        if (q<end&& static_cast<unsigned char>(*q)> 32 && *q != '"' && *q != ',') {
            if (const char* e1 = plainNumber(q, end, d, options)) {
                q = e1;
                while (q < end && innerBlank(*q))
                    ++q;
                if (q < end && *q == ',') {
                    ++q;
                    while (q < end && innerBlank(*q))
                        ++q;
                }
                if (q<end&& static_cast<unsigned char>(*q)> 32 && *q != '"' && *q != ',') {
                    if (const char* e2 = plainNumber(q, end, f, options)) eol = lineEnd(e2, end);
                }
            }
        }
        if (!eol) {
            // Any other line: trimmed, split by the whole field rule and converted.
            eol = lineEnd(p, end);
            const std::string_view whole =
                trimBlanks(std::string_view(p, static_cast<size_t>(eol - p)));
            const size_t k = splitInto(whole, fields, storage, 2);
            std::string message;
            if (k < 1)
                message = "List index out of bounds (0)";
            else if (!tryTextToDouble(fields[0], d, decimalSeparator))
                message = invalidFloatMessage(messageText(trimBlanks(fields[0])));
            else if (k < 2)
                message = "List index out of bounds (1)";
            else if (!tryTextToDouble(fields[1], f, decimalSeparator))
                message = invalidFloatMessage(messageText(trimBlanks(fields[1])));
            if (!message.empty()) {
                r.warning = std::move(message);
                r.badLine = static_cast<int>(std::min<size_t>(line + 1, INT32_MAX));
                break;
            }
        }
        r.disp.push_back(d);
        r.force.push_back(f);
        p = afterBreak(eol, end);
        ++line;
        skipLines(every - 1);
        if (progress && p >= nextProgress) {
            nextProgress = p + kProgressBytes;
            if (!report()) {
                r.cancelled = true;
                return r;
            }
        }
    }
    if (progress) {
        p = end;
        report();
    }
    // A reading that stopped early gives back what it reserved for the lines it never reached.
    if (r.disp.capacity() > r.disp.size()) {
        r.disp.shrink_to_fit();
        r.force.shrink_to_fit();
    }
    return r;
}

namespace fs = std::filesystem;

std::string displayPath(const fs::path& path) {
    fs::path p = path;
    p.make_preferred();
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

[[noreturn]] void cannotOpen(const fs::path& path, const std::string& reason) {
    throw FileOpenError("Cannot open file \"" + displayPath(path) + "\". " + reason);
}

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::FILE* openForReading(const fs::path& path) {
#ifdef _WIN32
    // Others may go on reading the file, not writing it.
    return _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

} // namespace

RecordReadResult readRecord(std::string_view text, int beginLine, int step, char decimalSeparator,
                            const ProgressFn& progress) {
    return parseRecord(text, beginLine, step, decimalSeparator, progress, MessageText());
}

namespace {

// The bytes of a record file, read whole in one pass; null when progress cancelled the reading.
struct FileBytes {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    bool cancelled = false;
    std::string_view view() const { return {bytes.get(), size}; }
};

FileBytes readFileBytes(const fs::path& path, const ProgressFn& progress) {
    // A pipe would block the reading for ever and a device never end: only regular files are
    // read. A missing file is left to the opening, which gives the system's reason.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!ec && fs::exists(status) && !fs::is_regular_file(status))
        throw NotRegularFileError("Cannot open file \"" + displayPath(path) +
                                  "\". It is not a regular file.");

    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(openForReading(path));
    if (!file) cannotOpen(path, systemReason(errno ? errno : EACCES));
    const std::uintmax_t fileSize = fs::file_size(path, ec);
    if (ec) cannotOpen(path, ec.message());
    if (fileSize > SIZE_MAX / 2) cannotOpen(path, systemReason(EFBIG));
    const auto size = static_cast<size_t>(fileSize);

    FileBytes out;
    try {
        out.bytes = std::make_unique_for_overwrite<char[]>(size ? size : 1);
    } catch (const std::bad_alloc&) {
        cannotOpen(path, systemReason(ENOMEM));
    }
    constexpr size_t kChunk = size_t(8) << 20;
    while (out.size < size) {
        const size_t n = std::fread(out.bytes.get() + out.size, 1,
                                    std::min(kChunk, size - out.size), file.get());
        out.size += n;
        if (n == 0) {
            if (std::ferror(file.get())) cannotOpen(path, systemReason(errno ? errno : EIO));
            break; // the file became shorter: what is there is the record
        }
        if (progress) {
            ImportProgress at;
            at.stage = ImportProgress::Stage::Reading;
            at.bytesDone = out.size;
            at.bytesTotal = size;
            if (!progress(at)) {
                out = FileBytes();
                out.cancelled = true;
                return out;
            }
        }
    }
    return out;
}

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

} // namespace

RecordReadResult readRecordFile(const fs::path& path, int beginLine, int step,
                                char decimalSeparator, const ProgressFn& progress) {
    FileBytes file = readFileBytes(path, progress);
    RecordReadResult r;
    if (file.cancelled) {
        r.cancelled = true;
        return r;
    }
    const std::string_view raw = file.view();
    if (startsWith(raw, "\xFF\xFE") || startsWith(raw, "\xFE\xFF")) {
        const std::string text = decodeUtf16(raw.substr(2), startsWith(raw, "\xFE\xFF"));
        file = FileBytes();
        r = parseRecord(text, beginLine, step, decimalSeparator, progress, MessageText());
    } else {
        // UTF-8 and Latin-1 separate their fields at the same bytes, and numbers are ASCII in
        // both: the bytes are read in place and only a warning's quote is decoded.
        const std::string_view text = startsWith(raw, "\xEF\xBB\xBF") ? raw.substr(3) : raw;
        r = parseRecord(text, beginLine, step, decimalSeparator, progress, MessageText(text));
    }
    return r;
}

RecordFileText readRecordFileText(const fs::path& path, const ProgressFn& progress) {
    const FileBytes file = readFileBytes(path, progress);
    RecordFileText out;
    out.cancelled = file.cancelled;
    if (!file.cancelled) out.text = decodeRecordText(file.view());
    return out;
}

} // namespace tc
