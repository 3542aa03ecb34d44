#pragma once
#include <QString>
#include <QUrl>

// Who made the program, where its pages are, and opening them.
namespace tc::gui {

QString authorCredit();      // "TarvelCurve team"
QString mainWindowCaption(); // "Tarvel Curve Analysis (TarvelCurve team) (20190816)"
QString contactAddress();    // the team's e-mail address

// The web site's host name: short enough for the 108-pixel status-bar field in bold Tahoma 8 pt.
QString webSiteHost();
QUrl webSiteUrl();
QUrl donationUrl();
QUrl onlineGuideUrl();

// The user guide that ships with the program: "docs/user-guide.html" beside the executable (the
// build folder, a Windows install), then the installed share folder relative to the executable,
// then the share folders of the system. Empty when none is there.
QString localUserGuidePath(const QString& executableDir);
// The local user guide as a file address, or the online guide when none is installed.
QUrl userGuideUrl();

// Opens an address in the user's default browser (or the program registered for its scheme).
// A failure is ignored: nothing is reported.
void openWebPage(const QUrl& url);

} // namespace tc::gui
