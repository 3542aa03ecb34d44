#include "export/worksheet_address.h"

#include <algorithm>

namespace tc {

std::string ColumnLetters(std::int32_t column) {
    std::string letters;
    for (std::int32_t n = column; n > 0; n = (n - 1) / 26) {
        const std::int32_t r = n % 26;
        letters.push_back(r != 0 ? static_cast<char>('@' + r) : 'Z');
    }
    std::reverse(letters.begin(), letters.end());
    return letters;
}

std::string CellAddress(std::int32_t row, std::int32_t column, std::string_view separator) {
    std::string out(separator);
    out += ColumnLetters(column);
    out += separator;
    out += std::to_string(row);
    return out;
}

std::string RangeReference(std::int32_t firstRow, std::int32_t lastRow, std::int32_t column) {
    std::string out = "=";
    out += kExportSheetName;
    out += '!';
    out += CellAddress(firstRow, column, "$");
    out += ':';
    out += CellAddress(lastRow, column, "$");
    return out;
}

std::string CellReference(std::int32_t row, std::int32_t column) {
    std::string out = "=";
    out += kExportSheetName;
    out += '!';
    out += CellAddress(row, column, "$");
    return out;
}

} // namespace tc
