#include "ui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace tc::gui {

int selectedFilterIndex(const QFileDialog& dialog) {
    return static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
}

bool isInstalledLocation(const QString& exeDir) {
    const QFileInfo dir(exeDir);
    const QString path = QDir::cleanPath(dir.absoluteFilePath());
    static const QStringList systemBins = {QStringLiteral("/usr/bin"), QStringLiteral("/bin"),
                                           QStringLiteral("/usr/local/bin"),
                                           QStringLiteral("/usr/sbin")};
    return systemBins.contains(path) || !dir.isWritable();
}

QString startFolder(const QString& exeDir, bool forSaving) {
    if (!isInstalledLocation(exeDir)) return exeDir;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    if (forSaving) return documents;
    const QString samples =
        QDir::cleanPath(exeDir + QStringLiteral("/../share/tarvelcurve/examples"));
    return QFileInfo(samples).isDir() ? samples : documents;
}

} // namespace tc::gui
