#include "export/worksheet_address.h"

#include "export/workbook_model.h"

#include <algorithm>
#include <cctype>

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

bool ParseCellAddress(std::string_view s, std::int32_t& row, std::int32_t& column) {
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    std::int64_t col = 0;
    size_t letters = 0;
    for (; i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && letters < 4;
         ++i, ++letters)
        col = col * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
    if (letters == 0) return false;
    if (i < s.size() && s[i] == '$') ++i;
    std::int64_t r = 0;
    size_t digits = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < 8;
         ++i, ++digits)
        r = r * 10 + (s[i] - '0');
    if (digits == 0 || i != s.size()) return false;
    if (col < 1 || col > kSheetColumns || r < 1 || r > kSheetRows) return false;
    row = static_cast<std::int32_t>(r);
    column = static_cast<std::int32_t>(col);
    return true;
}

std::optional<ParsedReference> ParseReference(std::string_view f) {
    if (f.empty() || f[0] != '=') return std::nullopt;
    f.remove_prefix(1);
    const size_t bang = f.rfind('!');
    if (bang == std::string_view::npos) return std::nullopt;
    ParsedReference r;
    std::string_view sheet = f.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
        sheet = sheet.substr(1, sheet.size() - 2);
        for (size_t i = 0; i < sheet.size(); ++i) {
            r.sheet += sheet[i];
            if (sheet[i] == '\'' && i + 1 < sheet.size() && sheet[i + 1] == '\'') ++i;
        }
    } else {
        r.sheet = sheet;
    }
    const std::string_view area = f.substr(bang + 1);
    const size_t colon = area.find(':');
    if (!ParseCellAddress(area.substr(0, colon), r.firstRow, r.firstColumn)) return std::nullopt;
    if (colon == std::string_view::npos) {
        r.lastRow = r.firstRow;
        r.lastColumn = r.firstColumn;
    } else if (!ParseCellAddress(area.substr(colon + 1), r.lastRow, r.lastColumn)) {
        return std::nullopt;
    }
    if (r.lastRow < r.firstRow) std::swap(r.firstRow, r.lastRow);
    if (r.lastColumn < r.firstColumn) std::swap(r.firstColumn, r.lastColumn);
    return r;
}

} // namespace tc
