#pragma once
#include "workspace/import_settings.h"
#include "workspace/record_preview.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tc {

// One cell of a worksheet: empty, a number, or a text (an index into SheetTable::texts).
struct SheetCell {
    enum class Kind : std::uint8_t { Empty, Number, Text };
    Kind kind = Kind::Empty;
    std::uint32_t text = 0;
    double number = 0;
};

// The cells of one worksheet, row after row; a row ends after its last cell that is not empty.
struct SheetTable {
    std::string name;               // the sheet's name
    std::vector<std::string> texts; // the texts of text cells
    std::vector<SheetCell> cells;
    std::vector<std::size_t> rowStart{0}; // row r (0-based) is cells[rowStart[r], rowStart[r+1])

    std::size_t rowCount() const { return rowStart.size() - 1; }
    std::size_t rowSize(std::size_t row) const { return rowStart[row + 1] - rowStart[row]; }
    const SheetCell& at(std::size_t row, std::size_t column) const {
        return cells[rowStart[row] + column];
    }
    // Appending, in row order: a cell at a column of the current (last) row; a new row.
    void put(std::size_t column, const SheetCell& cell);
    void endRow() { rowStart.push_back(cells.size()); }
    std::uint32_t addText(std::string text);
};

// A sheet's cell as the preview shows it: a number by the program's number rule, a text as it is.
std::string sheetCellText(const SheetTable& t, const SheetCell& c, char decimalSeparator);

// Whether any cell holds a number (a number cell, or a text that converts).
bool sheetHasNumbers(const SheetTable& t, char decimalSeparator);

// Reads the record from the sheet's rows beginLine, beginLine + step, ... (1-based) with the
// settings' columns, scales and signs, as readRecordWith reads lines: a number cell is its value,
// a text cell is converted (its text in the message when it is not a number), an empty cell or
// one beyond the row's last is a missing field; empty rows at the very end end the reading
// without a warning.
RecordReadResult readSheetRecord(const SheetTable& t, int beginLine, int step,
                                 char userDecimalSeparator, const ImportSettings& s);

// The preview of the sheet's first 200 rows.
RecordPreview previewSheet(const SheetTable& t, const ImportSettings& s, char userDecimalSeparator);

// What went wrong where, as explainStop does for text: the row, the file and sheet, the row's
// cells and a remedy.
StopExplanation explainSheetStop(const SheetTable& t, const RecordReadResult& r, int beginLine,
                                 const std::string& fileName, int suggestedBegin);

} // namespace tc
