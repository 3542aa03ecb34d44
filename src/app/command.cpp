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

void runCommand(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        showError(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        showError(parent, QString());
    }
}

} // namespace tc::gui
