#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>

ModalAnswerer::ModalAnswerer() {
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start(5);
}

void ModalAnswerer::queueFile(const QString& path, int nameFilterIndex) {
    files_.push_back({false, path, nameFilterIndex});
}

void ModalAnswerer::queueCancel() {
    files_.push_back({true, {}, -1});
}

QStringList ModalAnswerer::messageTexts() const {
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}

void ModalAnswerer::poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(w);
        box && box->objectName() == QLatin1String("SaveChangesQuestion")) {
        ++saveQuestions;
        QMessageBox::StandardButton answer = QMessageBox::Discard;
        if (!saveAnswers.empty()) {
            answer = saveAnswers.front();
            saveAnswers.pop_front();
        }
        if (QAbstractButton* b = box->button(answer)) b->click();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        messages.push_back({box->windowTitle(), box->text(), box->icon(), box->informativeText()});
        if (!pressButton.isEmpty()) {
            auto* named = box->findChild<QAbstractButton*>(pressButton);
            pressButton.clear();
            if (named) {
                named->click();
                return;
            }
        }
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else if (QAbstractButton* yes = box->button(QMessageBox::Yes))
            yes->click();
        else
            box->accept();
        return;
    }
    if (auto* dlg = qobject_cast<QFileDialog*>(w)) {
        ++fileDialogsSeen;
        if (auto* nameEdit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            lastSuggestedName = nameEdit->text();
        if (files_.empty()) {
            dlg->reject();
            return;
        }
        const FileAnswer a = files_.front();
        files_.pop_front();
        if (a.cancel) {
            dlg->reject();
            return;
        }
        if (a.filter >= 0 && a.filter < dlg->nameFilters().size())
            dlg->selectNameFilter(dlg->nameFilters().at(a.filter));
        // selectFile clears a selection left in the file list by an earlier use of the same
        // dialog (which would win over the typed name), but leaves the name box alone while it
        // has the focus: type the name as well.
        const QFileInfo info(a.path);
        dlg->setDirectory(info.absolutePath());
        dlg->selectFile(info.fileName());
        if (auto* nameEdit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            nameEdit->setText(info.fileName());
        static_cast<QDialog*>(dlg)->accept(); // QFileDialog::accept checks the choice
        return;
    }
    // Another dialog: handled once, outside this timer's slot, so that message boxes it opens in
    // turn are still answered here.
    for (const auto& seen : others_)
        if (seen == w) return;
    others_.push_back(w);
    QPointer<QWidget> dialog(w);
    QTimer::singleShot(0, this, [this, dialog] {
        if (dialog && otherDialog) otherDialog(dialog);
    });
}
