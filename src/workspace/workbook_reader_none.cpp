// Builds without the workbook libraries (the Windows cross build of the core).
#include "common/error.h"
#include "workspace/workbook_reader.h"

namespace tc {

bool workbookReadersAvailable() {
    return false;
}

WorkbookSheet readWorkbook(const std::string& path, int) {
    throw Error(path + ": this build of the program does not read workbooks.");
}

} // namespace tc
