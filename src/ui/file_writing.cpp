#include "ui/file_writing.h"

#include "common/file_replace.h"

#include <QDir>

#include <filesystem>

namespace tc::gui {

void writeWholeFile(const QString& path, std::string_view bytes) {
    tc::replaceFileContents(std::filesystem::path(QDir::toNativeSeparators(path).toStdWString()),
                            bytes);
}

} // namespace tc::gui
