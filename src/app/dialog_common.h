#pragma once
#include <QFont>
#include <QLabel>

// Helpers shared by the about and donation dialogs.
namespace tc::gui::dialogs {

// Tahoma at a pixel size (8 pt is 11 pixels at 96 dpi).
inline QFont tahoma(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// A plain label at a position; its size follows its text unless a width is given.
inline QLabel* label(QWidget* parent, const char* name, int x, int y, const QString& text,
                     int width = 0, const QFont* font = nullptr) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    if (font) l->setFont(*font);
    l->move(x, y);
    l->adjustSize();
    if (width > 0) l->resize(width, l->height());
    return l;
}

} // namespace tc::gui::dialogs
