#include "workspace/import_settings.h"

#include "common/error.h"
#include "common/text_number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tc {

namespace {

bool isBlankLine(std::string_view line) {
    return trimBlanks(line).empty();
}

// Line n (1-based) of the text, or an empty view when there is none.
std::string_view lineAt(std::string_view text, int n) {
    size_t start = 0;
    int k = 1;
    const size_t size = text.size();
    for (size_t i = 0; i < size && k <= n; ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') continue;
        if (k == n) return text.substr(start, i - start);
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
        start = i + 1;
        ++k;
    }
    return k == n && start < size ? text.substr(start) : std::string_view();
}

// Whether line n and every line after it are blank.
bool onlyBlanksFrom(std::string_view text, int n) {
    const std::vector<std::string_view> lines = splitLines(text);
    if (n < 1 || static_cast<size_t>(n) > lines.size()) return false;
    return std::all_of(lines.begin() + (n - 1), lines.end(), isBlankLine);
}

std::string formatScale(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string describeColumn(const char* name, const ColumnSetting& c, int defaultColumn) {
    std::string out;
    if (c.column != defaultColumn) out += " field " + std::to_string(c.column);
    if (c.scale != 1.0) out += " x " + formatScale(c.scale);
    if (c.negate) out += " negated";
    return out.empty() ? out : std::string(name) + out;
}

} // namespace

bool ImportSettings::changesReading() const {
    ImportSettings reading = *this;
    reading.dispUnit.clear();
    reading.forceUnit.clear();
    reading.sheet = 0; // text has no sheets
    return !reading.isDefault();
}

char effectiveDecimalSeparator(const ImportSettings& s, char userDecimalSeparator) {
    switch (s.decimal) {
    case DecimalMode::Point:
        return '.';
    case DecimalMode::Comma:
        return ',';
    case DecimalMode::User:
        break;
    }
    return userDecimalSeparator;
}

std::vector<std::string> splitRecordLine(std::string_view line, const ImportSettings& s,
                                         size_t maxFields) {
    return splitFields(line, maxFields, fieldSeparator(s));
}

FieldSeparator fieldSeparator(const ImportSettings& s) {
    if (s.decimal != DecimalMode::Comma) return FieldSeparator::Comma;
    return s.commaSeparator == CommaFieldSeparator::Semicolon ? FieldSeparator::Semicolon
                                                              : FieldSeparator::Blanks;
}

FieldPick fieldPick(const ImportSettings& s, char userDecimalSeparator) {
    FieldPick pick;
    pick.dispField = static_cast<size_t>(std::max(s.disp.column, 1) - 1);
    pick.forceField = static_cast<size_t>(std::max(s.force.column, 1) - 1);
    pick.dispFactor = s.disp.negate ? -s.disp.scale : s.disp.scale;
    pick.forceFactor = s.force.negate ? -s.force.scale : s.force.scale;
    pick.decimal = effectiveDecimalSeparator(s, userDecimalSeparator);
    pick.separator = fieldSeparator(s);
    return pick;
}

std::string describeSettings(const ImportSettings& s) {
    std::vector<std::string> parts;
    if (auto d = describeColumn("disp", s.disp, 1); !d.empty()) parts.push_back(d);
    if (auto f = describeColumn("force", s.force, 2); !f.empty()) parts.push_back(f);
    if (s.decimal == DecimalMode::Point) parts.push_back("decimal point");
    if (s.decimal == DecimalMode::Comma)
        parts.push_back(s.commaSeparator == CommaFieldSeparator::Semicolon
                            ? "decimal comma, ';' between fields"
                            : "decimal comma, tab between fields");
    if (s.sheet != 0) parts.push_back("sheet " + std::to_string(s.sheet + 1));
    if (!s.dispUnit.empty() || !s.forceUnit.empty())
        parts.push_back("units " + (s.dispUnit.empty() ? std::string("-") : s.dispUnit) + " / " +
                        (s.forceUnit.empty() ? std::string("-") : s.forceUnit));
    if (parts.empty()) return {};
    std::string out = "Import options: ";
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? "; " : "") + parts[i];
    return out;
}

std::string dispAxisTitle(const ImportSettings& s) {
    return s.dispUnit.empty() ? "Disp" : "Disp (" + s.dispUnit + ")";
}

std::string forceAxisTitle(const ImportSettings& s) {
    return s.forceUnit.empty() ? "Force" : "Force (" + s.forceUnit + ")";
}

void checkSettings(const ImportSettings& s) {
    for (const ColumnSetting* c : {&s.disp, &s.force}) {
        const char* name = c == &s.disp ? "displacement" : "force";
        if (c->column < 1) throw Error(std::string("The ") + name + " column must be 1 or more.");
        if (!std::isfinite(c->scale) || c->scale == 0.0)
            throw Error(std::string("The ") + name + " scale must be a number other than 0.");
    }
}

RecordReadResult readRecordWith(std::string_view text, int beginLine, int step,
                                char userDecimalSeparator, const ImportSettings& s,
                                const ProgressFn& progress) {
    checkSettings(s);
    RecordReadResult r =
        readRecord(text, beginLine, step, fieldPick(s, userDecimalSeparator), progress);
    forgiveTrailingBlanks(text, r);
    return r;
}

RecordReadResult readRecordFileWith(const std::filesystem::path& path, int beginLine, int step,
                                    char userDecimalSeparator, const ImportSettings& s,
                                    const ProgressFn& progress) {
    checkSettings(s);
    return readRecordFile(path, beginLine, step, fieldPick(s, userDecimalSeparator), progress);
}

void forgiveTrailingBlanks(std::string_view text, RecordReadResult& r) {
    // A blank stop line with nothing but blanks after it is the end of the data, not a fault.
    if (r.badLine > 0 && isBlankLine(lineAt(text, r.badLine)) && onlyBlanksFrom(text, r.badLine)) {
        r.warning.clear();
        r.badLine = 0;
    }
}

RecordDirection suggestLoopDirection(const std::vector<double>& disp) {
    if (disp.size() < 2) return RecordDirection::None;
    const auto [lo, hi] = std::minmax_element(disp.begin(), disp.end());
    const double range = *hi - *lo;
    if (!(range > 0) || !std::isfinite(range)) return RecordDirection::None;
    const double d0 = disp.front();
    const double band = 0.02 * range;
    for (const double d : disp) {
        if (d - d0 > band) return RecordDirection::Positive;
        if (d0 - d > band) return RecordDirection::Negative;
    }
    return RecordDirection::None;
}

StopExplanation explainStop(std::string_view text, const RecordReadResult& r, int beginLine,
                            const ImportSettings& s, const std::string& fileName,
                            int suggestedBegin) {
    StopExplanation e;
    if (r.badLine <= 0) return e;
    const std::string_view raw = trimBlanks(lineAt(text, r.badLine));
    std::string shown(raw.substr(0, 80));
    if (raw.size() > 80) {
        // Never cut a UTF-8 sequence in two.
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
            shown.pop_back();
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0) shown.pop_back();
        shown += "...";
    }
    const std::string where = "Line " + std::to_string(r.badLine);
    e.text = where + " of " + fileName + ":\n" + (raw.empty() ? "(blank line)" : shown);

    const std::vector<std::string> fields = splitRecordLine(raw, s);
    const size_t needed = static_cast<size_t>(std::max(s.disp.column, s.force.column));
    e.notANumber = r.warning.find("is not a valid floating point value") != std::string::npos;
    std::string remedy;
    const bool semicolons = raw.find(';') != std::string_view::npos;
    if (semicolons && s.decimal != DecimalMode::Comma) {
        remedy = "The file uses ';' between fields: use Import with Preview and choose comma "
                 "decimals.";
    } else if (raw.empty()) {
        remedy = where + " is blank.";
    } else if (fields.size() < needed) {
        remedy = fields.size() == 1
                     ? where + " has only one field."
                     : where + " has only " + std::to_string(fields.size()) + " fields.";
    } else if (e.notANumber) {
        if (r.badLine == beginLine && suggestedBegin > beginLine)
            remedy = "The line looks like a header: set F-D Curve Begin Line to " +
                     std::to_string(suggestedBegin) + ", or use File \u2192 Import with Preview.";
        else if (r.badLine == beginLine)
            remedy = "The line looks like a header: use File \u2192 Import with Preview.";
    }
    if (!remedy.empty()) e.text += "\n" + remedy;
    return e;
}

} // namespace tc
