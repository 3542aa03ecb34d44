#pragma once
#include <QApplication>

namespace tc::gui {

// The application object. An exception that leaves an event handler is shown in the standard
// error box (captioned with the application title) instead of ending the program; the window
// that was being used stays open.
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
