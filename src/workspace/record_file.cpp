#include "workspace/record_file.h"

#include "common/text_number.h"
#include "common/two_threads.h"
#include "common/utf8.h"
#include "workspace/file_bytes.h"
#include "workspace/record_text.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <future>
#include <optional>
#include <stdexcept>

namespace tc {

using record_text::aboveBlank;
using record_text::decodeUtf16;
using record_text::isSeparator;
using record_text::kComma;
using record_text::separatorByte;
using record_text::splitInto;

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
template <class Separator>
inline const char* plainNumber(const char* p, const char* end, double& v,
                               const fast_float::parse_options& options, Separator separator) {
    const bool negative = *p == '-';
    const char* q = p + ((*p == '-' || *p == '+') ? 1 : 0);
    if (q == end || !(isDigit(*q) || *q == options.decimal_point)) return nullptr;
    const auto r = fast_float::from_chars_advanced(q, end, v, options);
    if (r.ec != std::errc() || !std::isfinite(v)) return nullptr;
    const char* e = r.ptr;
    if (e < end && aboveBlank(*e) && !isSeparator(*e, separator)) return nullptr;
    // A decimal separator that also separates fields: a separator read as part of the number
    // ends the field instead.
    if (isSeparator(options.decimal_point, separator) &&
        std::memchr(q, options.decimal_point, static_cast<size_t>(e - q)))
        return nullptr;
    if (negative) v = -v;
    return e;
}

// Whether a field the common line reads can start at c: not a blank, a quote or a separator.
template <class Separator> inline bool plainFieldStart(char c, Separator separator) {
    return aboveBlank(c) && c != '"' && !isSeparator(c, separator);
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
        return *utf8_ ? std::string(field) : latin1ToUtf8(field);
    }

private:
    std::string_view whole_;
    mutable std::optional<bool> utf8_;
};

// Progress is reported after every so many bytes of text.
constexpr size_t kProgressBytes = size_t(4) << 20;

// How one run of lines ended.
struct PartOutcome {
    std::string warning;  // the bad line's message, empty when none
    size_t badLine = 0;   // 0-based index of the bad line
    bool stopped = false; // the tick asked to stop
};

// Past what separates two fields at p: blanks, a separator or both.
template <class Separator>
inline const char* pastSeparator(const char* p, const char* end, Separator separator) {
    while (p < end && innerBlank(*p))
        ++p;
    if (p < end && isSeparator(*p, separator)) {
        ++p;
        while (p < end && innerBlank(*p))
            ++p;
    }
    return p;
}

// The common line of the specified reading, from its first field at p: a plain number, blanks,
// a separator or both, a plain number. On success the point and the end of the second number.
template <class Separator>
inline const char* firstTwoFields(const char* p, const char* end, double& d, double& f,
                                  const fast_float::parse_options& options, Separator separator) {
    if (!(p < end && plainFieldStart(*p, separator))) return nullptr;
    p = plainNumber(p, end, d, options, separator);
    if (!p) return nullptr;
    p = pastSeparator(p, end, separator);
    if (!(p < end && plainFieldStart(*p, separator))) return nullptr;
    return plainNumber(p, end, f, options, separator);
}

// Whether the pick reads fields 1 and 2 as they are, which firstTwoFields reads.
bool readsFirstTwo(const FieldPick& pick) {
    return pick.dispField == 0 && pick.forceField == 1 && pick.dispFactor == 1.0 &&
           pick.forceFactor == 1.0;
}

// How the fields of a line become its point (a FieldPick made ready for the parser).
class LineReader {
public:
    explicit LineReader(const FieldPick& pick)
        : pick_(pick), options_(fast_float::chars_format::general, pick.decimal),
          separator_(separatorByte(pick.separator)),
          last_(std::max(pick.dispField, pick.forceField)) {}

    // The common line from its first field at p: plain number fields and fields without quotes,
    // each followed by blanks, a separator or both, up to the last field the pick reads. On
    // success the point and the end of that field; nothing otherwise.
    const char* common(const char* p, const char* end, double& d, double& f) const {
        for (size_t i = 0;; ++i) {
            if (!(p < end && plainFieldStart(*p, separator_))) return nullptr;
            if (i == pick_.dispField || i == pick_.forceField) {
                double v = 0;
                const char* e = plainNumber(p, end, v, options_, separator_);
                if (!e) return nullptr;
                if (i == pick_.dispField) d = v;
                if (i == pick_.forceField) f = v;
                p = e;
            } else {
                while (p < end && aboveBlank(*p) && !isSeparator(*p, separator_))
                    ++p;
            }
            if (i == last_) break;
            p = pastSeparator(p, end, separator_);
        }
        d *= pick_.dispFactor;
        f *= pick_.forceFactor;
        return std::isfinite(d) && std::isfinite(f) ? p : nullptr;
    }

    // Any line, trimmed, split by the whole field rule and converted: the point, or the message
    // of what stops the reading.
    std::string general(std::string_view line, double& d, double& f,
                        const MessageText& messageText) {
        // Room for the fields read, or for as many as the line can hold when that is fewer.
        const size_t room = std::min(last_ + 1, line.size() + 2);
        if (views_.size() < room) {
            views_.resize(room);
            storage_.resize(room);
        }
        const size_t k =
            splitInto(trimBlanks(line), views_.data(), storage_.data(), room, separator_);
        std::string message;
        auto read = [&](size_t field, double& v) {
            if (field >= k)
                message = "List index out of bounds (" + std::to_string(field) + ")";
            else if (!tryTextToDouble(views_[field], v, pick_.decimal))
                message = invalidFloatMessage(messageText(trimBlanks(views_[field])));
            return message.empty();
        };
        if (read(pick_.dispField, d) && read(pick_.forceField, f)) {
            d *= pick_.dispFactor;
            f *= pick_.forceFactor;
            if (!std::isfinite(d) || !std::isfinite(f))
                message = "A value times its scale is beyond the number range.";
        }
        return message;
    }

private:
    FieldPick pick_;
    fast_float::parse_options options_;
    unsigned separator_;
    size_t last_; // the last field read
    std::vector<std::string_view> views_;
    std::vector<std::string> storage_;
};

// parseLines with common(q, end, d, f) reading the common line from its first field at q.
template <class Common, class Store, class Tick>
PartOutcome parseLinesWith(Common&& common, LineReader& reader, const char* p,
                           const char* const end, size_t line, size_t skipFirst, size_t every,
                           const MessageText& messageText, Store&& store, Tick&& tick,
                           size_t tickBytes) {
    auto skipLines = [&](size_t count) {
        for (; count > 0 && p < end; --count, ++line)
            p = afterBreak(lineEnd(p, end), end);
    };
    const char* nextProgress = p + tickBytes;

    PartOutcome out;
    skipLines(skipFirst);
    while (p < end) {
        double d = 0, f = 0;
        const char* eol = nullptr;
        const char* q = p;
        while (q < end && leadingBlank(*q))
            ++q;
        if (const char* e = common(q, end, d, f)) eol = lineEnd(e, end);
        if (!eol) {
            eol = lineEnd(p, end);
            std::string message = reader.general(std::string_view(p, static_cast<size_t>(eol - p)),
                                                 d, f, messageText);
            if (!message.empty()) {
                out.warning = std::move(message);
                out.badLine = line;
                return out;
            }
        }
        store(d, f);
        p = afterBreak(eol, end);
        ++line;
        skipLines(every - 1);
        if (p >= nextProgress) {
            nextProgress = p + tickBytes;
            if (!tick(p, line)) {
                out.stopped = true;
                return out;
            }
        }
    }
    return out;
}

// Reads the lines of [p, end), the first of which has the 0-based index line: skips skipFirst
// lines, reads one, skips every - 1, reads one, and so on. store(d, f) keeps a point; tick(at,
// line) is called every few megabytes and returns false to stop.
template <class Store, class Tick>
PartOutcome parseLines(const char* p, const char* const end, size_t line, size_t skipFirst,
                       size_t every, const FieldPick& pick, const MessageText& messageText,
                       Store&& store, Tick&& tick, size_t tickBytes = kProgressBytes) {
    LineReader reader(pick);
    if (readsFirstTwo(pick) && pick.separator == FieldSeparator::Comma) {
        // The specified reading, the most common of all, takes its shortest way.
        const fast_float::parse_options options(fast_float::chars_format::general, pick.decimal);
        return parseLinesWith(
            [&](const char* q, const char* e, double& d, double& f) {
                return firstTwoFields(q, e, d, f, options, kComma);
            },
            reader, p, end, line, skipFirst, every, messageText, store, tick, tickBytes);
    }
    return parseLinesWith([&](const char* q, const char* e, double& d,
                              double& f) { return reader.common(q, e, d, f); },
                          reader, p, end, line, skipFirst, every, messageText, store, tick,
                          tickBytes);
}

void setWarning(RecordReadResult& r, PartOutcome& part) {
    r.warning = std::move(part.warning);
    r.badLine = static_cast<int>(std::min<size_t>(part.badLine + 1, INT32_MAX));
}

// How many of the first `lines` lines are read: those at begin, begin + every, ... (0-based).
size_t linesRead(size_t lines, size_t begin, size_t every) {
    return begin < lines ? (lines - 1 - begin) / every + 1 : 0;
}

// Reports how far the parsing has come; true when there is no one to tell.
bool reportParsing(const ProgressFn& progress, size_t bytesDone, size_t bytesTotal,
                   size_t linesDone) {
    if (!progress) return true;
    ImportProgress at;
    at.stage = ImportProgress::Stage::Parsing;
    at.bytesDone = bytesDone;
    at.bytesTotal = bytesTotal;
    at.linesDone = linesDone;
    return progress(at);
}

// The last report of a parsing that was not cancelled: all of the text, up to the bad line.
void reportParsed(const ProgressFn& progress, const RecordReadResult& r, size_t bytes,
                  size_t lines) {
    reportParsing(progress, bytes, bytes,
                  r.badLine > 0 ? static_cast<size_t>(r.badLine - 1) : lines);
}

// A reading that stopped early gives back what it reserved for the lines it never reached.
void giveBackUnused(RecordReadResult& r) {
    if (r.disp.capacity() > r.disp.size()) {
        r.disp.shrink_to_fit();
        r.force.shrink_to_fit();
    }
}

// The start of the first line that begins after the middle byte of the text (a CR LF there is
// one break); the end of the text when there is none.
size_t secondHalfStart(std::string_view text) {
    const char* const end = text.data() + text.size();
    const char* const middle = text.data() + text.size() / 2;
    return static_cast<size_t>(afterBreak(lineEnd(middle, end), end) - text.data());
}

// Lines [0, c1) and [c1, total) of the text are read by two threads at once, each into its own
// stretch of the points; the second stretch counts only when the first one read to its end.
RecordReadResult parseInTwo(std::string_view text, size_t split, size_t firstLines,
                            size_t totalLines, size_t begin, size_t every, const FieldPick& pick,
                            const ProgressFn& progress, const MessageText& messageText) {
    RecordReadResult r;
    const size_t c1 = firstLines;
    const size_t expected = linesRead(totalLines, begin, every);
    const size_t n1 = linesRead(c1, begin, every); // points in the first part
    const size_t secondFirst = begin + n1 * every; // the first line read in the second part
    {
        // Zeroing the points' memory costs about as much as parsing half the record: it is
        // shared too.
        auto force = std::async(std::launch::async, [&] { r.force.resize(expected); });
        r.disp.resize(expected);
        force.get();
    }

    std::atomic<bool> stop{false};
    std::atomic<size_t> secondBytes{0}, secondLines{0};
    struct SecondPart {
        PartOutcome outcome;
        size_t points = 0;
    };
    const char* const start = text.data();
    const char* const middle = start + split;
    const char* const end = start + text.size();
    auto second = std::async(std::launch::async, [&, part2Text = MessageText(messageText)] {
        SecondPart s;
        double* const d = r.disp.data() + n1;
        double* const f = r.force.data() + n1;
        const size_t room = expected - n1;
        s.outcome = parseLines(
            middle, end, c1, secondFirst - c1, every, pick, part2Text,
            [&](double x, double y) {
                if (s.points == room) throw std::logic_error("record lines miscounted");
                d[s.points] = x;
                f[s.points] = y;
                ++s.points;
            },
            [&](const char* at, size_t line) {
                secondBytes.store(static_cast<size_t>(at - middle), std::memory_order_relaxed);
                secondLines.store(line - c1, std::memory_order_relaxed);
                return !stop.load(std::memory_order_relaxed);
            });
        return s;
    });
    // Whatever ends the first part early stops the second one too.
    const StopOnExit stopOnExit{stop};

    auto report = [&](size_t firstBytes, size_t linesDone) {
        return reportParsing(progress, firstBytes + secondBytes.load(std::memory_order_relaxed),
                             text.size(), linesDone + secondLines.load(std::memory_order_relaxed));
    };
    size_t points = 0;
    PartOutcome first = parseLines(
        start, middle, 0, begin, every, pick, messageText,
        [&](double x, double y) {
            if (points == n1) throw std::logic_error("record lines miscounted");
            r.disp[points] = x;
            r.force[points] = y;
            ++points;
        },
        [&](const char* at, size_t line) { return report(static_cast<size_t>(at - start), line); },
        kProgressBytes / 2); // the two parts together pass about kProgressBytes between reports
    // The first part is read: progress goes on while the second one ends.
    if (!first.stopped && first.warning.empty())
        first.stopped = !waitReporting(second, [&] { return report(split, c1); });
    if (first.stopped || !first.warning.empty()) stop = true;
    SecondPart s = second.get();
    // The second part counts only when the first one read to its end. Cancelled, the points the
    // first part read are kept, as a reading in one part keeps them (only a stop of ours stops
    // the second part).
    const bool whole = !first.stopped && first.warning.empty();
    const size_t kept = whole && !s.outcome.stopped ? n1 + s.points : points;
    r.disp.resize(kept);
    r.force.resize(kept);
    if (first.stopped || (whole && s.outcome.stopped)) {
        r.cancelled = true;
        return r;
    }
    if (!first.warning.empty())
        setWarning(r, first);
    else if (!s.outcome.warning.empty())
        setWarning(r, s.outcome);
    reportParsed(progress, r, text.size(), totalLines);
    giveBackUnused(r);
    return r;
}

RecordReadResult parseRecord(std::string_view text, int beginLine, int step, const FieldPick& pick,
                             const ProgressFn& progress, const MessageText& messageText) {
    RecordReadResult r;
    if (beginLine < 1 || step < 1) return r;
    const auto begin = static_cast<size_t>(beginLine - 1); // 0-based
    const auto every = static_cast<size_t>(step);
    const size_t split =
        worthTwoThreads(text.size(), kTwoThreadBytes) ? secondHalfStart(text) : text.size();
    size_t total = 0;
    if (split < text.size()) {
        auto secondLines =
            std::async(std::launch::async, [&] { return countLines(text.substr(split)); });
        const size_t c1 = countLines(text.substr(0, split));
        total = c1 + secondLines.get();
        // Both parts must hold lines to read.
        const size_t n1 = linesRead(c1, begin, every);
        if (n1 > 0 && n1 < linesRead(total, begin, every))
            return parseInTwo(text, split, c1, total, begin, every, pick, progress, messageText);
    } else {
        total = countLines(text);
    }
    r.disp.reserve(linesRead(total, begin, every));
    r.force.reserve(linesRead(total, begin, every));

    const char* const start = text.data();
    const char* const end = start + text.size();
    PartOutcome part = parseLines(
        start, end, 0, begin, every, pick, messageText,
        [&](double d, double f) {
            r.disp.push_back(d);
            r.force.push_back(f);
        },
        [&](const char* at, size_t line) {
            return reportParsing(progress, static_cast<size_t>(at - start), text.size(), line);
        });
    if (part.stopped) {
        r.cancelled = true;
        return r;
    }
    if (!part.warning.empty()) setWarning(r, part);
    reportParsed(progress, r, text.size(), total);
    giveBackUnused(r);
    return r;
}

} // namespace

RecordReadResult readRecord(std::string_view text, int beginLine, int step, char decimalSeparator,
                            const ProgressFn& progress) {
    FieldPick pick;
    pick.decimal = decimalSeparator;
    return readRecord(text, beginLine, step, pick, progress);
}

RecordReadResult readRecord(std::string_view text, int beginLine, int step, const FieldPick& pick,
                            const ProgressFn& progress) {
    return parseRecord(text, beginLine, step, pick, progress, MessageText());
}

namespace {

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

} // namespace

RecordReadResult readRecordFile(const std::filesystem::path& path, int beginLine, int step,
                                char decimalSeparator, const ProgressFn& progress) {
    FieldPick pick;
    pick.decimal = decimalSeparator;
    return readRecordFile(path, beginLine, step, pick, progress);
}

RecordReadResult readRecordFile(const std::filesystem::path& path, int beginLine, int step,
                                const FieldPick& pick, const ProgressFn& progress) {
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
        r = parseRecord(text, beginLine, step, pick, progress, MessageText());
    } else {
        // UTF-8 and Latin-1 separate their fields at the same bytes, and numbers are ASCII in
        // both: the bytes are read in place and only a warning's quote is decoded.
        const std::string_view text = startsWith(raw, "\xEF\xBB\xBF") ? raw.substr(3) : raw;
        r = parseRecord(text, beginLine, step, pick, progress, MessageText(text));
    }
    return r;
}

RecordFileText readRecordFileText(const std::filesystem::path& path, const ProgressFn& progress) {
    const FileBytes file = readFileBytes(path, progress);
    RecordFileText out;
    out.cancelled = file.cancelled;
    if (!file.cancelled) out.text = decodeRecordText(file.view());
    return out;
}

} // namespace tc
