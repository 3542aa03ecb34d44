#include "app/command.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace tc::gui {

QString appTitle() { return QStringLiteral("TarvelCurve"); }

void showWarning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, appTitle(), text, QMessageBox::Ok);
}

void showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, appTitle(), text, QMessageBox::Ok);
}

void showCurrentException(QWidget* parent) {
    // A command that failed half-way may have left its wait cursor up.
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    QString message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
    }
    showError(parent, message);
}

void runCommand(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        showCurrentException(parent);
    }
}

} // namespace tc::gui
