#pragma once
#include "common/work_progress.h"
#include "export/workbook_model.h"

#include <filesystem>

namespace tc {

// Writes the workbook as an .xlsx file at path, replacing what is there: its sheets with their
// cells, and on each sheet its scatter charts. The cells' storage is released once they are
// written, so the workbook is marked written afterwards (also when writing fails). Throws Error
// with the reason when the file cannot be written. progress hears how far the writing is; when it
// says stop, Cancelled is thrown and the file at path stays as it was (none when there was none).
void writeWorkbookXlsx(WorkbookModel& book, const std::filesystem::path& path,
                       const WorkProgress& progress = {});

} // namespace tc
