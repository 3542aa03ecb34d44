#pragma once

class QFileDialog;

namespace tc::gui {

// The 1-based position of the dialog's selected name filter in its filter list (0 when none is
// selected), the way the file type of a save dialog is told.
int selectedFilterIndex(const QFileDialog& dialog);

} // namespace tc::gui
