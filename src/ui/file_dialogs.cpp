#include "ui/file_dialogs.h"

#include <QFileDialog>

namespace tc::gui {

int selectedFilterIndex(const QFileDialog& dialog) {
    return static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
}

} // namespace tc::gui
