#pragma once
#include <QString>

#include <functional>

class QWidget;

namespace tc::gui {

// The application title, the caption of every message and error box.
QString appTitle();

// A modal warning box with one OK button: the program's own checks.
void showWarning(QWidget* parent, const QString& text);
// The same box with an informative text under the message and, when extraButton is given, one
// more button (named extraButtonName) beside OK; true when that button closed the box.
bool showWarning(QWidget* parent, const QString& text, const QString& informative,
                 const QString& extraButton, const char* extraButtonName = "btnExtra");
// The standard error box: an error that ended a command.
void showError(QWidget* parent, const QString& text);

// Shows the exception being handled in the standard error box: its message, or an empty message
// for anything that is not a std::exception. Call only from inside a catch block.
void showCurrentException(QWidget* parent);

// The user's decimal separator ('.' where the locale's is not a single ASCII character).
char userDecimalSeparator();

// Shows the wait cursor for its lifetime: wrap long work in a command.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Runs one command handler; an error it does not catch is shown in the standard error box and
// the window stays usable. Every handler runs through here: no exception leaves a Qt slot.
void runCommand(QWidget* parent, const std::function<void()>& handler);

} // namespace tc::gui
