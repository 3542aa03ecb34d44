#pragma once
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QFileDialog;

// Answers the modal dialogs a command opens, so widget tests can drive the real window:
// file dialogs get the queued answers in order, message boxes are recorded and closed with OK,
// and any other modal dialog goes to the optional handler.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QString informative;
    };

    ModalAnswerer();

    // The next file dialog selects this file (and name filter, when given) and is accepted.
    void queueFile(const QString& path, int nameFilterIndex = -1);
    // The next file dialog is cancelled.
    void queueCancel();
    // "Save the changes to the session?": answered with the queued buttons in order, then with
    // Discard; counted here, not among the messages.
    std::deque<QMessageBox::StandardButton> saveAnswers;
    int saveQuestions = 0;
    // Any other modal dialog: return true when it was dealt with.
    std::function<bool(QWidget*)> otherDialog;
    // The next message box is closed with its button of this object name instead of OK.
    QString pressButton;

    std::vector<Message> messages;
    QStringList messageTexts() const;
    int fileDialogsSeen = 0;
    QString lastSuggestedName; // the file name a save dialog offered

private:
    void poll();
    struct FileAnswer {
        bool cancel;
        QString path;
        int filter;
    };
    std::deque<FileAnswer> files_;
    std::vector<QPointer<QWidget>> others_;
    QTimer timer_;
};
