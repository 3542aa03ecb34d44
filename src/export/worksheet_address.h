#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

// Rows and columns count from 1 (column 1 is A).

// Column letters, bijective base 26: 1 A, 26 Z, 27 AA, 702 ZZ, 703 AAA. 0 or less gives "".
std::string ColumnLetters(std::int32_t column);

// separator + letters + separator + row: CellAddress(5, 3, "$") is $C$5.
std::string CellAddress(std::int32_t row, std::int32_t column, std::string_view separator);

// The name every reference formula of the export carries.
inline constexpr std::string_view kExportSheetName = "Sheet1";

// "=Sheet1!$A$2:$A$11": the rows firstRow..lastRow of one column. Equal rows keep the colon part.
std::string RangeReference(std::int32_t firstRow, std::int32_t lastRow, std::int32_t column);

// "=Sheet1!$B$1": one cell.
std::string CellReference(std::int32_t row, std::int32_t column);

// The cell of an address as CellAddress writes it, with or without the "$" signs, letters in
// either case ("$C$5", "c5"): false unless it names a cell of a sheet.
bool ParseCellAddress(std::string_view text, std::int32_t& row, std::int32_t& column);

// A reference formula read back: the sheet's name (quotes removed) and the corners of the range,
// top left first.
struct ParsedReference {
    std::string sheet;
    std::int32_t firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
};

// "=Sheet1!$A$2:$A$12", "='My sheet'!B1"; nothing when the text is not a reference to cells. A
// range given back to front is read in order, as the spreadsheet program reads it.
std::optional<ParsedReference> ParseReference(std::string_view formula);

} // namespace tc
