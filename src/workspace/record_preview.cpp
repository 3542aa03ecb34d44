#include "workspace/record_preview.h"

#include "common/text_number.h"
#include "common/utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>

namespace tc {

namespace {

constexpr size_t kPreviewLines = 200;

// The first max lines of the text (line ends as splitLines takes them).
std::vector<std::string_view> headLines(std::string_view text, size_t max) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n && lines.size() < max; ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n && lines.size() < max) lines.push_back(text.substr(start));
    return lines;
}

// The byte length of the first max lines, counted in units of unitSize bytes (2 for UTF-16,
// with the byte order given).
size_t headLength(std::string_view b, size_t start, size_t max, size_t unitSize, bool bigEndian) {
    size_t lines = 0;
    size_t i = start;
    auto unitAt = [&](size_t k) -> unsigned {
        if (unitSize == 1) return static_cast<unsigned char>(b[k]);
        const auto lo = static_cast<unsigned char>(b[k + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(b[k + (bigEndian ? 0 : 1)]);
        return (static_cast<unsigned>(hi) << 8) | lo;
    };
    while (i + unitSize <= b.size()) {
        const unsigned u = unitAt(i);
        i += unitSize;
        if (u == '\r' && i + unitSize <= b.size() && unitAt(i) == '\n') i += unitSize;
        if ((u == '\n' || u == '\r') && ++lines == max) return i;
    }
    return b.size();
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

enum class Quantity { None, Length, Force };

Quantity unitQuantity(std::string_view unit) {
    static const std::array<const char*, 12> lengths = {
        "mm", "cm", "m", "in", "inch", "inches", "ft", "um", "\xC2\xB5m", "dm", "mil", "km"};
    static const std::array<const char*, 12> forces = {"n",   "kn",  "mn",   "kgf",  "tf",  "lb",
                                                       "lbf", "kip", "kips", "klbf", "klb", "t"};
    const std::string u = lower(unit);
    for (const char* l : lengths)
        if (u == l) return Quantity::Length;
    for (const char* f : forces)
        if (u == f) return Quantity::Force;
    return Quantity::None;
}

Quantity nameQuantity(std::string_view name) {
    const std::string n = lower(name);
    for (const char* w : {"disp", "drift", "deflection", "stroke", "deformation", "slip"})
        if (n.find(w) != std::string::npos) return Quantity::Length;
    for (const char* w : {"force", "load", "shear", "reaction"})
        if (n.find(w) != std::string::npos) return Quantity::Force;
    return Quantity::None;
}

// Header lines are split at the file's field separator (or else the tab) alone when they hold it,
// so names with blanks stay whole ("Lead Actuator Force ,Lead Actuator Displacment").
std::vector<std::string> splitHeaderLine(std::string_view line, const ImportSettings& s) {
    char sep = ',';
    if (s.decimal == DecimalMode::Comma)
        sep = s.commaSeparator == CommaFieldSeparator::Semicolon ? ';' : '\t';
    if (line.find(sep) == std::string_view::npos) sep = '\t';
    if (line.find(sep) == std::string_view::npos) return splitRecordLine(line, s);
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t p = line.find(sep, start);
        std::string_view f = trimBlanks(line.substr(start, p - start));
        if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
        out.emplace_back(f);
        if (p == std::string_view::npos) break;
        start = p + 1;
    }
    return out;
}

bool isUnitsLine(const std::vector<std::string>& fields) {
    bool any = false;
    for (const std::string& f : fields) {
        const std::string_view t = trimBlanks(f);
        if (t.empty()) continue;
        const std::string u = unitInHeader(t);
        const bool bare =
            !u.empty() &&
            (t == u || (t.size() == u.size() + 2 && (t.front() == '(' || t.front() == '[')));
        if (!bare) return false;
        any = true;
    }
    return any;
}

} // namespace

std::string recordHead(std::string_view bytes, size_t maxLines) {
    auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        const bool big = starts("\xFE\xFF");
        return decodeRecordText(bytes.substr(0, headLength(bytes, 2, maxLines, 2, big)));
    }
    if (starts("\xEF\xBB\xBF"))
        return decodeRecordText(bytes.substr(0, headLength(bytes, 3, maxLines, 1, false)));
    const std::string_view head = bytes.substr(0, headLength(bytes, 0, maxLines, 1, false));
    // A head cut at a line end of UTF-8 text is UTF-8 itself; the whole file decides.
    return isValidUtf8(bytes) ? std::string(head) : latin1ToUtf8(head);
}

std::string unitInHeader(std::string_view name) {
    const std::string_view n = trimBlanks(name);
    if (n.empty()) return {};
    const char close = n.back();
    if (close == ')' || close == ']') {
        const char open = close == ')' ? '(' : '[';
        const size_t p = n.rfind(open);
        if (p != std::string_view::npos)
            return std::string(trimBlanks(n.substr(p + 1, n.size() - p - 2)));
    }
    if (unitQuantity(n) != Quantity::None) return std::string(n);
    const size_t p = n.find_last_of("_ ");
    if (p != std::string_view::npos && unitQuantity(n.substr(p + 1)) != Quantity::None)
        return std::string(n.substr(p + 1));
    return {};
}

void finishPreview(RecordPreview& p, const ImportSettings& s,
                   const std::function<bool(size_t line, size_t field)>& isNumber,
                   const std::function<std::vector<std::string>(size_t line)>& headerFields) {
    p.columnCount = 0;
    for (const auto& f : p.fields)
        p.columnCount = std::max(p.columnCount, f.size());
    auto numbers = [&](size_t i) {
        const std::vector<std::string>& f = p.fields[i];
        const auto d = static_cast<size_t>(s.disp.column - 1);
        const auto fo = static_cast<size_t>(s.force.column - 1);
        return s.disp.column >= 1 && s.force.column >= 1 && d < f.size() && fo < f.size() &&
               isNumber(i, d) && isNumber(i, fo);
    };
    p.suggestedBegin = 0;
    for (size_t i = 0; i < p.fields.size(); ++i) {
        if (numbers(i) && (i + 1 == p.fields.size() || numbers(i + 1))) {
            p.suggestedBegin = static_cast<int>(i + 1);
            break;
        }
    }

    // Names and units from the lines above the data.
    p.columnNames.assign(p.columnCount, {});
    p.columnUnits.assign(p.columnCount, {});
    const size_t headerEnd = p.suggestedBegin > 0 ? static_cast<size_t>(p.suggestedBegin - 1) : 0;
    std::vector<std::string> names, units;
    for (size_t i = 0; i < headerEnd; ++i) {
        std::vector<std::string> f = headerFields(i);
        if (f.empty()) continue;
        if (isUnitsLine(f))
            units = std::move(f);
        else
            names = std::move(f);
    }
    for (size_t c = 0; c < p.columnCount; ++c) {
        if (c < names.size()) p.columnNames[c] = names[c];
        if (c < units.size())
            p.columnUnits[c] = unitInHeader(units[c]);
        else if (c < names.size())
            p.columnUnits[c] = unitInHeader(names[c]);
    }

    auto pick = [&](Quantity q, auto kind) {
        for (size_t c = 0; c < p.columnCount; ++c)
            if (kind(c) == q) return static_cast<int>(c + 1);
        return 0;
    };
    auto byName = [&](size_t c) { return nameQuantity(p.columnNames[c]); };
    auto byUnit = [&](size_t c) { return unitQuantity(p.columnUnits[c]); };
    int disp = pick(Quantity::Length, byName);
    int force = pick(Quantity::Force, byName);
    if (!disp) disp = pick(Quantity::Length, byUnit);
    if (!force) force = pick(Quantity::Force, byUnit);
    p.suggestedDispColumn = p.suggestedForceColumn = 0;
    if (disp && force && disp != force) {
        p.suggestedDispColumn = disp;
        p.suggestedForceColumn = force;
    }
}

RecordPreview previewRecord(std::string_view head, const ImportSettings& s,
                            char userDecimalSeparator) {
    RecordPreview p;
    const std::vector<std::string_view> lines = headLines(head, kPreviewLines);
    p.lines.reserve(lines.size());
    p.fields.reserve(lines.size());
    for (const std::string_view line : lines) {
        p.lines.emplace_back(line);
        p.fields.push_back(splitRecordLine(trimBlanks(line), s));
    }
    const char sep = effectiveDecimalSeparator(s, userDecimalSeparator);
    finishPreview(
        p, s,
        [&](size_t i, size_t f) {
            double v = 0;
            return tryTextToDouble(p.fields[i][f], v, sep);
        },
        [&](size_t i) { return splitHeaderLine(trimBlanks(lines[i]), s); });
    return p;
}

bool suggestDecimalMode(std::string_view head, DecimalMode& mode, CommaFieldSeparator& separator) {
    const std::vector<std::string_view> lines = headLines(head, kPreviewLines);
    size_t nonBlank = 0, semicolon = 0, tabComma = 0;
    for (const std::string_view raw : lines) {
        const std::string_view line = trimBlanks(raw);
        if (line.empty()) continue;
        ++nonBlank;
        if (line.find(';') != std::string_view::npos) ++semicolon;
        if (line.find('\t') == std::string_view::npos) continue;
        // Every tab-separated field a number with a decimal comma.
        ImportSettings s;
        s.decimal = DecimalMode::Comma;
        s.commaSeparator = CommaFieldSeparator::Tab;
        const std::vector<std::string> f = splitRecordLine(line, s);
        double v = 0;
        const bool all = f.size() >= 2 && std::all_of(f.begin(), f.end(), [&](const auto& x) {
                             return tryTextToDouble(x, v, ',');
                         });
        const bool comma = line.find(',') != std::string_view::npos;
        if (all && comma) ++tabComma;
    }
    if (nonBlank == 0) return false;
    if (semicolon * 2 > nonBlank) {
        mode = DecimalMode::Comma;
        separator = CommaFieldSeparator::Semicolon;
        return true;
    }
    if (tabComma * 2 > nonBlank) {
        mode = DecimalMode::Comma;
        separator = CommaFieldSeparator::Tab;
        return true;
    }
    return false;
}

int suggestBeginLine(std::string_view text, const ImportSettings& s, char userDecimalSeparator) {
    return previewRecord(text, s, userDecimalSeparator).suggestedBegin;
}

} // namespace tc
