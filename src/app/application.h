#pragma once
#include <QApplication>

namespace tc::gui {

// The application object. Errors are caught where a handler starts (tc::gui::runCommand): an
// exception must never travel through Qt's event delivery, which is not exception safe (its
// clean-up of the event is skipped and memory is lost). Should one still escape a handler, it is
// shown here in the standard error box (captioned with the application title) instead of ending
// the program, and the window that was being used stays open.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Gives the application its title (the caption of message and error boxes), its icon and the
// name of its desktop entry.
void initApplication();

// Creates the main window as the main form, centres it on the screen, shows it and runs the
// event loop until it closes. An exception that escapes the loop is shown in the standard error
// box. Returns 0.
int runMainWindow();

} // namespace tc::gui
