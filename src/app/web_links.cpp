#include "app/web_links.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef TC_INSTALLED_DOC_DIR
#define TC_INSTALLED_DOC_DIR "../share/doc/tarvelcurve"
#endif

namespace tc::gui {

namespace {
const QString kGuideName = QStringLiteral("user-guide.html");
}

QString authorCredit() {
    return QStringLiteral("TarvelCurve team");
}

QString mainWindowCaption() {
    return QStringLiteral("Tarvel Curve Analysis (") + authorCredit() +
           QStringLiteral(") (20190816)");
}

QString contactAddress() {
    return QStringLiteral("team@") + webSiteHost();
}

QString webSiteHost() {
    return QStringLiteral("tarvel.example.org");
}

QUrl webSiteUrl() {
    return QUrl(QStringLiteral("https://") + webSiteHost() + QStringLiteral("/"));
}

QUrl donationUrl() {
    return QUrl(QStringLiteral("https://") + webSiteHost() + QStringLiteral("/donate"));
}

QUrl onlineGuideUrl() {
    return QUrl(QStringLiteral("https://") + webSiteHost() + QStringLiteral("/how-to-use/"));
}

QString localUserGuidePath(const QString& executableDir) {
    const QDir exe(executableDir);
    QStringList candidates{exe.filePath(QStringLiteral("docs/") + kGuideName),
                           exe.filePath(QStringLiteral(TC_INSTALLED_DOC_DIR "/") + kGuideName)};
    const QString shared = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                  QStringLiteral("doc/tarvelcurve/") + kGuideName);
    if (!shared.isEmpty()) candidates << shared;
    for (const QString& c : candidates) {
        const QFileInfo info(c);
        if (info.isFile()) return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QUrl userGuideUrl() {
    const QString local = localUserGuidePath(QCoreApplication::applicationDirPath());
    return local.isEmpty() ? onlineGuideUrl() : QUrl::fromLocalFile(local);
}

void openWebPage(const QUrl& url) {
    (void)QDesktopServices::openUrl(url);
}

} // namespace tc::gui
