// Renders the program icon into the files that desktops and Windows use:
//   render_icons OUT_DIR
// writes OUT_DIR/hicolor/<N>x<N>/apps/tarvelcurve.png for the usual sizes and
// OUT_DIR/tarvelcurve.ico (PNG entries, 16 to 256 pixels). scripts/make_icons.sh runs it; the files
// are kept in the tree.
#include "app/artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <cstdio>

namespace {

void putLe16(QByteArray& out, quint16 v) {
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void putLe32(QByteArray& out, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_icons OUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    QList<QByteArray> pngs;
    for (int size : sizes) {
        const QString dir = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!out.mkpath(dir)) return 1;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        tc::gui::art::programIconImage(size).save(&buffer, "PNG");
        QFile f(out.filePath(dir + QStringLiteral("/tarvelcurve.png")));
        if (!f.open(QIODevice::WriteOnly) || f.write(png) != png.size()) return 1;
        pngs << png;
    }
    // ICO: a 6-byte header, a 16-byte entry per image, then the images (PNG data).
    QByteArray ico;
    putLe16(ico, 0);
    putLe16(ico, 1);
    putLe16(ico, static_cast<quint16>(pngs.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(pngs.size());
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        const int size = sizes[i];
        ico.append(static_cast<char>(size >= 256 ? 0 : size)); // 0 stands for 256
        ico.append(static_cast<char>(size >= 256 ? 0 : size));
        ico.append('\0'); // no palette
        ico.append('\0');
        putLe16(ico, 1);  // planes
        putLe16(ico, 32); // bits per pixel
        putLe32(ico, static_cast<quint32>(pngs[i].size()));
        putLe32(ico, offset);
        offset += static_cast<quint32>(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        ico += png;
    QFile f(out.filePath(QStringLiteral("tarvelcurve.ico")));
    if (!f.open(QIODevice::WriteOnly) || f.write(ico) != ico.size()) return 1;
    return 0;
}
