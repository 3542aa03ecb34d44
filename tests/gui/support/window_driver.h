#pragma once
#include <QByteArray>
#include <QString>

class ModalAnswerer;
class QTemporaryDir;
class TForm1;

// Writes the record into the folder, imports it through "Import Loop" (the open dialog answered
// with that file) and presses "Analyze Loop".
void importAndAnalyze(TForm1& w, ModalAnswerer& answers, const QTemporaryDir& dir,
                      const QByteArray& record, const QString& name = QStringLiteral("rec.txt"));
