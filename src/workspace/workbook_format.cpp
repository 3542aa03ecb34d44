#include "workspace/workbook_reader.h"

#include <cctype>

namespace tc {

WorkbookFormat workbookFormatOfName(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return WorkbookFormat::None;
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "xlsx") return WorkbookFormat::Xlsx;
    if (ext == "ods") return WorkbookFormat::Ods;
    if (ext == "xls") return WorkbookFormat::Xls;
    return WorkbookFormat::None;
}

} // namespace tc
