#pragma once
#include "export/workbook_model.h"

#include <filesystem>

namespace tc {

// Writes the workbook as an .xlsx file at path, replacing what is there: its sheets with their
// cells, and on each sheet its scatter charts. The cells are handed over to the file writer one
// column at a time and their storage released as it goes, so the workbook is marked written
// afterwards (also when writing fails). Throws Error with the reason when the file cannot be
// written.
void writeWorkbookXlsx(WorkbookModel& book, const std::filesystem::path& path);

} // namespace tc
