#pragma once
#include <cstdint>
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

} // namespace tc
