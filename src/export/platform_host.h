#pragma once
#include "export/automation.h"

#include <filesystem>

namespace tc {

// The host of this platform: the spreadsheet program through COM on Windows; elsewhere the
// workbook host, which writes the workbook as an .xlsx file into tempFolder.
AutomationHostFactory defaultExcelHostFactory(const std::filesystem::path& tempFolder,
                                              char decimalSeparator);

} // namespace tc
