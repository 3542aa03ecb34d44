#pragma once
#include "workspace/sheet_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace tc {

enum class WorkbookFormat { None, Xlsx, Ods, Xls };

// The workbook format a file name announces by its extension (any case); None for other names.
WorkbookFormat workbookFormatOfName(std::string_view fileName);

// Whether this build reads workbooks (it does where its libraries were found).
bool workbookReadersAvailable();

struct WorkbookSheet {
    std::vector<std::string> sheetNames; // every sheet of the workbook, in order
    SheetTable table;                    // the chosen one
};

// Reads sheet number sheetIndex (0-based) of the workbook at path (UTF-8), by its extension.
// Throws Error with a message for the user when the file is not such a workbook, is damaged or
// password-protected, or has no such sheet.
WorkbookSheet readWorkbook(const std::string& path, int sheetIndex);

} // namespace tc
