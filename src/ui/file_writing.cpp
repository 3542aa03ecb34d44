#include "ui/file_writing.h"

#include "common/text_number.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tc::gui {

namespace {

[[noreturn]] void cannotCreate(const QString& path, const QString& reason) {
    throw tc::Error(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(path), reason)
                        .toStdString());
}

} // namespace

void writeWholeFile(const QString& path, const std::string& bytes) {
    QSaveFile save(path);
    if (save.open(QIODevice::WriteOnly)) {
        if (save.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !save.commit())
            cannotCreate(path, save.errorString());
        return;
    }
    // No temporary file can be made there (a folder we may write files into but not create them):
    // write the file directly.
    QFile direct(path);
    if (!direct.open(QIODevice::WriteOnly | QIODevice::Truncate))
        cannotCreate(path, direct.errorString());
    if (direct.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        cannotCreate(path, direct.errorString());
}

} // namespace tc::gui
