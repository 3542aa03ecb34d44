#include "app/command.h"
#include "app/tform1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(tc::gui::appTitle());
    int rc = 0;
    try {
        TForm1 form;
        form.show();
        rc = QApplication::exec();
    } catch (const std::exception& e) {
        tc::gui::showError(nullptr, QString::fromUtf8(e.what()));
    } catch (...) {
        tc::gui::showError(nullptr, QString());
    }
    (void)rc;
    return 0;
}
