#include "export/sheet_part.h"

#include "common/error.h"
#include "export/worksheet_address.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

namespace tc {

namespace {

// Rows per piece: a whole number of the writer's 16-row span blocks.
constexpr std::int32_t kRowsPerPiece = 4096;
constexpr std::int32_t kSpanBlock = 16;

[[noreturn]] void unexpected(std::string_view what) {
    throw Error("The sheet part is not laid out as expected (" + std::string(what) + ")");
}

void appendInt(std::string& out, std::int32_t v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

bool startsAt(std::string_view text, std::size_t at, std::string_view what) {
    return text.size() >= at && text.substr(at).starts_with(what);
}

// Reads the digits at text[at...] as a positive number; at moves past them.
std::int32_t readRow(std::string_view text, std::size_t& at) {
    std::int32_t v = 0;
    const auto r = std::from_chars(text.data() + at, text.data() + text.size(), v);
    if (r.ec != std::errc() || v < 1) unexpected("a row number");
    at = static_cast<std::size_t>(r.ptr - text.data());
    return v;
}

// Reads column letters at text[at...]; at moves past them.
std::int32_t readColumn(std::string_view text, std::size_t& at) {
    std::int32_t v = 0;
    const std::size_t from = at;
    while (at < text.size() && text[at] >= 'A' && text[at] <= 'Z' && v <= kSheetColumns)
        v = v * 26 + (text[at++] - 'A' + 1);
    if (at == from || v > kSheetColumns) unexpected("a column name");
    return v;
}

} // namespace

char* sheetNumberText(double value, char* out) {
    // to_chars with a precision is printf's %g in the C locale; %G has the letters in capitals.
    const auto r =
        std::to_chars(out, out + kSheetNumberTextMax, value, std::chars_format::general, 16);
    for (char* p = out; p != r.ptr; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    return r.ptr;
}

SheetPartWithNumbers::SheetPartWithNumbers(std::string textOnlyPart, const CellGrid& cells)
    : part_(std::move(textOnlyPart)) {
    parse(cells);

    std::int32_t firstRow = std::numeric_limits<std::int32_t>::max(), lastRow = 0;
    std::int32_t firstColumn = std::numeric_limits<std::int32_t>::max(), lastColumn = 0;
    auto take = [&](std::int32_t row, std::int32_t column) {
        firstRow = std::min(firstRow, row);
        lastRow = std::max(lastRow, row);
        firstColumn = std::min(firstColumn, column);
        lastColumn = std::max(lastColumn, column);
    };
    for (const TextCell& t : texts_)
        take(t.row, t.column);
    for (std::int32_t c = 1; c <= cells.columnCount(); ++c) {
        const auto& column = cells.column(c);
        columns_.push_back(&column);
        letters_.push_back(ColumnLetters(c));
        std::int32_t first = 0, last = 0;
        for (std::size_t r = 0; r < column.size(); ++r)
            if (column[r].kind == CellGrid::Kind::Number) {
                if (!first) first = static_cast<std::int32_t>(r) + 1;
                last = static_cast<std::int32_t>(r) + 1;
            }
        if (first) take(first, c), take(last, c);
    }
    // As the writer names its used range: "A1" when there is no cell, one cell without a colon.
    if (!lastRow) {
        dimension_ = "A1";
    } else {
        dimension_ = CellAddress(firstRow, firstColumn, "");
        if (firstRow != lastRow || firstColumn != lastColumn) {
            dimension_ += ':';
            dimension_ += CellAddress(lastRow, lastColumn, "");
        }
    }
    lastRow_ = lastRow;
    pieces_ = lastRow ? static_cast<std::size_t>((lastRow - 1) / kRowsPerPiece + 1) : 1;
}

void SheetPartWithNumbers::parse(const CellGrid& cells) {
    const std::string_view p = part_;
    headEnd_ = p.find("<dimension ref=\"");
    if (headEnd_ == std::string_view::npos) unexpected("no dimension");
    const std::size_t dimensionClose = p.find("\"/>", headEnd_);
    if (dimensionClose == std::string_view::npos) unexpected("the dimension");
    dimensionEnd_ = dimensionClose + 3;
    dataStart_ = p.find("<sheetData", dimensionEnd_);
    if (dataStart_ == std::string_view::npos) unexpected("no sheet data");
    if (startsAt(p, dataStart_, "<sheetData/>")) {
        dataEnd_ = dataStart_;
        tailStart_ = dataStart_ + 12;
        return;
    }
    if (!startsAt(p, dataStart_, "<sheetData>")) unexpected("the sheet data");
    dataEnd_ = p.find("</sheetData>", dataStart_);
    if (dataEnd_ == std::string_view::npos) unexpected("the end of the sheet data");
    tailStart_ = dataEnd_ + 12;

    std::size_t at = dataStart_ + 11;
    while (at < dataEnd_) {
        if (!startsAt(p, at, "<row r=\"")) unexpected("a row");
        at += 8;
        const std::int32_t row = readRow(p, at);
        const std::size_t close = p.find('>', at);
        if (close == std::string_view::npos || p[close - 1] == '/')
            unexpected("a row without cells");
        at = close + 1;
        while (!startsAt(p, at, "</row>")) {
            if (!startsAt(p, at, "<c r=\"")) unexpected("a cell");
            std::size_t ref = at + 6;
            const std::int32_t column = readColumn(p, ref);
            if (readRow(p, ref) != row) unexpected("a cell outside its row");
            const std::size_t end = p.find("</c>", ref);
            if (end == std::string_view::npos || end > dataEnd_) unexpected("the end of a cell");
            if (cells.at(row, column).kind != CellGrid::Kind::Text)
                unexpected("a cell not of text");
            texts_.push_back({row, column, at, end + 4 - at});
            at = end + 4;
        }
        at += 6;
    }
}

void SheetPartWithNumbers::rowCells(std::int32_t row, std::size_t& nextText,
                                    std::vector<RowCell>& out) const {
    const auto r = static_cast<std::size_t>(row - 1);
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const auto& column = *columns_[c];
        if (column.size() <= r) continue;
        const CellGrid::Cell& cell = column[r];
        const auto col = static_cast<std::int32_t>(c + 1);
        if (cell.kind == CellGrid::Kind::Number) {
            out.push_back({col, nullptr, cell.number});
        } else if (cell.kind == CellGrid::Kind::Text && nextText < texts_.size() &&
                   texts_[nextText].row == row && texts_[nextText].column == col) {
            // A text cell the writer left out (an empty text) is not in its part.
            out.push_back({col, &texts_[nextText++], 0});
        }
    }
}

void SheetPartWithNumbers::writeBlock(std::int32_t firstRow, std::vector<RowCell>& cells,
                                      std::string& out) const {
    // The writer gives every row of a block of 16 the span of all the block's cells.
    std::size_t rowStart[kSpanBlock + 1];
    cells.clear();
    const std::int32_t lastRow = std::min(firstRow + kSpanBlock - 1, lastRow_);
    auto firstText =
        std::lower_bound(texts_.begin(), texts_.end(), firstRow,
                         [](const TextCell& t, std::int32_t row) { return t.row < row; });
    std::size_t nextText = static_cast<std::size_t>(firstText - texts_.begin());
    std::int32_t spanFirst = std::numeric_limits<std::int32_t>::max(), spanLast = 0;
    for (std::int32_t row = firstRow; row <= lastRow; ++row) {
        const std::size_t from = cells.size();
        rowStart[row - firstRow] = from;
        rowCells(row, nextText, cells);
        if (cells.size() > from) {
            spanFirst = std::min(spanFirst, cells[from].column);
            spanLast = std::max(spanLast, cells.back().column);
        }
    }
    rowStart[lastRow - firstRow + 1] = cells.size();
    if (!spanLast) return;

    std::string spans = "\" spans=\"";
    appendInt(spans, spanFirst);
    spans += ':';
    appendInt(spans, spanLast);
    spans += "\">";
    char rowText[16];
    char number[kSheetNumberTextMax];
    for (std::int32_t row = firstRow; row <= lastRow; ++row) {
        const std::size_t from = rowStart[row - firstRow], to = rowStart[row - firstRow + 1];
        if (from == to) continue;
        const auto rowEnd = std::to_chars(rowText, rowText + sizeof rowText, row).ptr;
        const std::string_view rowName(rowText, static_cast<std::size_t>(rowEnd - rowText));
        out += "<row r=\"";
        out += rowName;
        out += spans;
        for (std::size_t i = from; i < to; ++i) {
            const RowCell& c = cells[i];
            if (c.text) {
                out.append(part_, c.text->from, c.text->length);
                continue;
            }
            out += "<c r=\"";
            out += letters_[static_cast<std::size_t>(c.column - 1)];
            out += rowName;
            out += "\"><v>";
            out.append(number, sheetNumberText(c.number, number));
            out += "</v></c>";
        }
        out += "</row>";
    }
}

void SheetPartWithNumbers::piece(std::size_t i, std::string& out) const {
    const std::string_view p = part_;
    if (i == 0) {
        out += p.substr(0, headEnd_);
        out += "<dimension ref=\"";
        out += dimension_;
        out += "\"/>";
        out += p.substr(dimensionEnd_, dataStart_ - dimensionEnd_);
        out += lastRow_ ? "<sheetData>" : "<sheetData/>";
    }
    if (lastRow_) {
        const auto first = static_cast<std::int32_t>(i) * kRowsPerPiece + 1;
        const std::int32_t last = std::min(first + kRowsPerPiece - 1, lastRow_);
        std::vector<RowCell> cells;
        for (std::int32_t row = first; row <= last; row += kSpanBlock)
            writeBlock(row, cells, out);
    }
    if (i + 1 == pieces_) {
        if (lastRow_) out += "</sheetData>";
        out += p.substr(tailStart_);
    }
}

} // namespace tc
