#pragma once
#include "common/number_text.h"

#include <QString>

namespace tc::gui {

// A value as the program shows and writes it (formatNumber), as a QString.
inline QString numberText(double value, char decimalSeparator) {
    return QString::fromStdString(tc::formatNumber(value, decimalSeparator));
}

} // namespace tc::gui
