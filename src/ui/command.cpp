#include "ui/command.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <exception>

namespace tc::gui {

char userDecimalSeparator() {
    const QString p = QLocale().decimalPoint();
    return p.size() == 1 && p.at(0).unicode() < 128 ? static_cast<char>(p.at(0).unicode()) : '.';
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

QString appTitle() {
    return QStringLiteral("TarvelCurve");
}

void showWarning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, appTitle(), text, QMessageBox::Ok);
}

bool showWarning(QWidget* parent, const QString& text, const QString& informative,
                 const QString& extraButton, const char* extraButtonName) {
    QMessageBox box(QMessageBox::Warning, appTitle(), text, QMessageBox::Ok, parent);
    box.setInformativeText(informative);
    QPushButton* extra = nullptr;
    if (!extraButton.isEmpty()) {
        extra = box.addButton(extraButton, QMessageBox::ActionRole);
        extra->setObjectName(QLatin1String(extraButtonName));
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return extra && box.clickedButton() == extra;
}

void showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, appTitle(), text, QMessageBox::Ok);
}

void showCurrentException(QWidget* parent) {
    // A command that failed half-way may have left its wait cursor up.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
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
