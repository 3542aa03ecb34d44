#include "app/application.h"

int main(int argc, char* argv[]) {
    tc::gui::Application app(argc, argv);
    tc::gui::initApplication();
    return tc::gui::runMainWindow();
}
