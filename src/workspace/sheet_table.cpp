#include "workspace/sheet_table.h"

#include "common/number_text.h"
#include "common/text_number.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tc {

namespace {

constexpr size_t kPreviewRows = 200;

bool rowEmpty(const SheetTable& t, size_t row) {
    for (size_t c = 0; c < t.rowSize(row); ++c)
        if (t.at(row, c).kind != SheetCell::Kind::Empty) return false;
    return true;
}

std::string rowText(const SheetTable& t, size_t row, char sep) {
    std::string out;
    for (size_t c = 0; c < t.rowSize(row); ++c)
        out += (c ? ", " : "") + sheetCellText(t, t.at(row, c), sep);
    return out;
}

} // namespace

void SheetTable::put(size_t column, const SheetCell& cell) {
    const size_t start = rowStart.back();
    if (start + column < cells.size()) {
        cells[start + column] = cell; // a cell written twice keeps the last
        return;
    }
    cells.resize(start + column, SheetCell{});
    cells.push_back(cell);
}

std::uint32_t SheetTable::addText(std::string text) {
    texts.push_back(std::move(text));
    return static_cast<std::uint32_t>(texts.size() - 1);
}

std::string sheetCellText(const SheetTable& t, const SheetCell& c, char decimalSeparator) {
    switch (c.kind) {
    case SheetCell::Kind::Number:
        return formatNumber(c.number, decimalSeparator);
    case SheetCell::Kind::Text:
        return c.text < t.texts.size() ? t.texts[c.text] : std::string();
    case SheetCell::Kind::Empty:
        break;
    }
    return {};
}

bool sheetHasNumbers(const SheetTable& t, char decimalSeparator) {
    double v = 0;
    for (const SheetCell& c : t.cells) {
        if (c.kind == SheetCell::Kind::Number) return true;
        if (c.kind == SheetCell::Kind::Text &&
            tryTextToDouble(t.texts[c.text], v, decimalSeparator))
            return true;
    }
    return false;
}

RecordReadResult readSheetRecord(const SheetTable& t, int beginLine, int step,
                                 char userDecimalSeparator, const ImportSettings& s) {
    checkSettings(s);
    RecordReadResult r;
    if (beginLine < 1 || step < 1) return r;
    const char sep = effectiveDecimalSeparator(s, userDecimalSeparator);
    const size_t rows = t.rowCount();
    const double dispFactor = s.disp.negate ? -s.disp.scale : s.disp.scale;
    const double forceFactor = s.force.negate ? -s.force.scale : s.force.scale;
    for (size_t n = static_cast<size_t>(beginLine) - 1; n < rows; n += static_cast<size_t>(step)) {
        std::string message;
        auto read = [&](int column, double& value) {
            const auto c = static_cast<size_t>(column - 1);
            const SheetCell* cell = c < t.rowSize(n) ? &t.at(n, c) : nullptr;
            if (!cell || cell->kind == SheetCell::Kind::Empty)
                message = "List index out of bounds (" + std::to_string(c) + ")";
            else if (cell->kind == SheetCell::Kind::Number)
                value = cell->number;
            else if (!tryTextToDouble(t.texts[cell->text], value, sep))
                message = invalidFloatMessage(trimBlanks(t.texts[cell->text]));
            return message.empty();
        };
        double d = 0, f = 0;
        if (read(s.disp.column, d) && read(s.force.column, f)) {
            d *= dispFactor;
            f *= forceFactor;
            if (!std::isfinite(d) || !std::isfinite(f))
                message = "A value times its scale is beyond the number range.";
        }
        if (!message.empty()) {
            bool restEmpty = true;
            for (size_t k = n; k < rows && restEmpty; ++k)
                restEmpty = rowEmpty(t, k);
            if (!restEmpty) {
                r.warning = std::move(message);
                r.badLine = static_cast<int>(n + 1);
            }
            break;
        }
        r.disp.push_back(d);
        r.force.push_back(f);
    }
    return r;
}

RecordPreview previewSheet(const SheetTable& t, const ImportSettings& s,
                           char userDecimalSeparator) {
    RecordPreview p;
    const size_t rows = std::min(kPreviewRows, t.rowCount());
    const char sep = effectiveDecimalSeparator(s, userDecimalSeparator);
    for (size_t r = 0; r < rows; ++r) {
        std::vector<std::string> fields;
        for (size_t c = 0; c < t.rowSize(r); ++c)
            fields.push_back(sheetCellText(t, t.at(r, c), userDecimalSeparator));
        p.lines.push_back(rowText(t, r, userDecimalSeparator));
        p.fields.push_back(std::move(fields));
    }
    finishPreview(
        p, s,
        [&](size_t r, size_t c) {
            const SheetCell& cell = t.at(r, c);
            double v = 0;
            return cell.kind == SheetCell::Kind::Number ||
                   (cell.kind == SheetCell::Kind::Text &&
                    tryTextToDouble(t.texts[cell.text], v, sep));
        },
        [&](size_t r) { return p.fields[r]; });
    return p;
}

StopExplanation explainSheetStop(const SheetTable& t, const RecordReadResult& r, int beginLine,
                                 const std::string& fileName, int suggestedBegin) {
    StopExplanation e;
    if (r.badLine <= 0) return e;
    const auto row = static_cast<size_t>(r.badLine - 1);
    std::string shown = row < t.rowCount() ? rowText(t, row, '.') : std::string();
    if (shown.size() > 80) {
        shown.resize(80);
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
            shown.pop_back();
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0) shown.pop_back();
        shown += "...";
    }
    const std::string where = "Row " + std::to_string(r.badLine);
    e.text = where + " of " + fileName + ", sheet \"" + t.name + "\":\n" +
             (shown.empty() ? "(empty row)" : shown);
    e.notANumber = r.warning.find("is not a valid floating point value") != std::string::npos;
    std::string remedy;
    if (e.notANumber && r.badLine == beginLine && suggestedBegin > beginLine)
        remedy = "The row looks like a header: set F-D Curve Begin Line to " +
                 std::to_string(suggestedBegin) + ", or use File \u2192 Import with Preview.";
    else if (!e.notANumber && r.warning.rfind("List index out of bounds (", 0) == 0)
        remedy = where + " has no value in column " +
                 std::to_string(std::atoi(r.warning.c_str() + 26) + 1) + ".";
    if (!remedy.empty()) e.text += "\n" + remedy;
    return e;
}

} // namespace tc
