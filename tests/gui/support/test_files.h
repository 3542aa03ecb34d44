#pragma once
#include <QByteArray>
#include <QString>

class QTemporaryDir;

// Writes bytes to a new file in the folder and returns its path.
QString writeTestFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
// The whole content of a file, or "<missing>" when it cannot be read.
QByteArray readTestFile(const QString& path);
