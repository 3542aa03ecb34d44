#pragma once
#include <QString>

#include <string>

namespace tc::gui {

// Writes the file in one go, through a temporary file beside it where the folder allows one, so
// a failed write never leaves a half-written file where a good one was. Throws Error
// ("Cannot create file ...") when it cannot be written.
void writeWholeFile(const QString& path, const std::string& bytes);

} // namespace tc::gui
