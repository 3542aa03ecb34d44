#include "export/platform_host.h"

#ifdef _WIN32
#include "export/com_host.h"
#else
#include "export/workbook_host.h"
#endif

namespace tc {

AutomationHostFactory defaultExcelHostFactory(const std::filesystem::path& tempFolder,
                                              char decimalSeparator) {
#ifdef _WIN32
    (void)tempFolder;
    (void)decimalSeparator;
    return comHostFactory();
#else
    WorkbookHostSettings settings;
    settings.outputFolder = tempFolder;
    settings.decimalSeparator = decimalSeparator;
    return workbookHostFactory(std::move(settings));
#endif
}

} // namespace tc
