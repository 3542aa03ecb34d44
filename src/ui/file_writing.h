#pragma once
#include <QString>

#include <string_view>

namespace tc::gui {

// Writes the file in one go through a temporary file beside it, renamed onto it once it is
// whole, so a failed write never leaves a half-written or emptied file where a good one was.
// Throws Error ("Cannot create file "<path>". <the system's reason>") when it cannot be written.
void writeWholeFile(const QString& path, std::string_view bytes);

} // namespace tc::gui
