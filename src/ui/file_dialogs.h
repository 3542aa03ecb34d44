#pragma once

#include <QString>

class QFileDialog;

namespace tc::gui {

// The 1-based position of the dialog's selected name filter in its filter list (0 when none is
// selected), the way the file type of a save dialog is told.
int selectedFilterIndex(const QFileDialog& dialog);

// Whether the program runs from an installed place: its folder is not writable, or it is one of
// the system's bin folders.
bool isInstalledLocation(const QString& exeDir);

// The folder a file dialog starts in: the executable's folder; for an installed program the
// installed sample records (opening; the documents folder when there are none) or the user's
// documents folder (saving).
QString startFolder(const QString& exeDir, bool forSaving);

} // namespace tc::gui
