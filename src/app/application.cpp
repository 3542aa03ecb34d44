#include "app/application.h"

#include "app/artwork.h"
#include "app/tform1.h"
#include "ui/command.h"

#include <QScreen>
#include <QStandardPaths>

#include <exception>

namespace tc::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException(QApplication::activeWindow());
    }
    return false;
}

void initApplication() {
    QCoreApplication::setApplicationName(appTitle());
    QCoreApplication::setOrganizationName(QStringLiteral("TarvelCurve"));
    // Matches the installed tarvelcurve.desktop, so that desktops show the right icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvelcurve"));
    QApplication::setWindowIcon(art::programIcon());
}

int runMainWindow() {
    try {
        TForm1 form;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = form.frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            form.move(frame.topLeft());
        }
        form.show();
        // Unsaved work is copied to the user's application-data folder now and then; a copy
        // left by a run that did not end normally is offered first.
        form.startRecovery(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        (void)QApplication::exec();
    } catch (...) {
        showCurrentException(nullptr);
    }
    return 0;
}

} // namespace tc::gui
