// Drives the real main window: Import Loop and Analyze Loop, answering their dialogs.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "modal_answerer.h"
#include "test_files.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(TC_TEST_DATA_DIR "/") + QLatin1String(name);
}

// Presses Cancel on every progress dialog as soon as it shows.
class CancelOnShow : public QObject {
public:
    int cancelled = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* p = qobject_cast<QProgressDialog*>(o)) {
                ++cancelled;
                p->cancel();
            }
        return false;
    }
};

// What the workspace holds, to see that a refused or cancelled import changed nothing.
struct Workspace {
    std::vector<double> disp, force;
    int loops, rawPoints;
    QString path;
    bool operator==(const Workspace&) const = default;
};
Workspace workspaceOf(const TForm1& w) {
    return {w.dispRaw, w.forceRaw, w.cbb1->count(), w.rawSeries->count(), w.edt5->text()};
}

} // namespace

class ImportAnalysisTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    QString writeRecord(const QString& name, const QByteArray& bytes) {
        return writeTestFile(tmp, name, bytes);
    }

    // Imports `path` with the given begin line and step through the button, then analyses.
    static void importFile(TForm1& w, ModalAnswerer& answers, const QString& path,
                           const QString& begin = "1", const QString& step = "1") {
        w.edt7->setText(begin);
        w.edt8->setText(step);
        answers.queueFile(path);
        w.btn1->click();
    }

private slots:
    void importReadsChosenLinesAndDrawsThem() {
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, dataFile("ten_lines.txt"), "3", "2");
        QCOMPARE(w.dispRaw, (std::vector<double>{3, 5, 7, 9}));
        QCOMPARE(w.forceRaw, (std::vector<double>{30, 50, 70, 90}));
        QCOMPARE(w.rawSeries->count(), 4);
        QCOMPARE(w.rawSeries->x(2), 7.0);
        QVERIFY(w.edt5->text().endsWith(QStringLiteral("ten_lines.txt")));
        QVERIFY(answers.messages.empty());
    }

    void separatorForms_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("comma") << QByteArray("1.5,-20.3");
        QTest::newRow("two spaces") << QByteArray("1.5  -20.3");
        QTest::newRow("tab") << QByteArray("1.5\t-20.3");
        QTest::newRow("comma with spaces") << QByteArray("1.5 , -20.3");
        QTest::newRow("third field") << QByteArray("1.5,-20.3,99");
    }
    void separatorForms() {
        QFETCH(QByteArray, line);
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, writeRecord("sep.txt", line + "\r\n"));
        QCOMPARE(w.dispRaw, std::vector<double>{1.5});
        QCOMPARE(w.forceRaw, std::vector<double>{-20.3});
    }

    void refusalsAndWarnings_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("pathShown");
        QTest::newRow("blank line keeps points above")
            << "blank_line.txt"
            << "1"
            << "1" << 2 << "List index out of bounds (0)" << true;
        QTest::newRow("header at begin line")
            << "header_line.csv"
            << "1"
            << "1" << 0 << "'Disp' is not a valid floating point value" << true;
        QTest::newRow("begin after header") << "header_line.csv"
                                            << "2"
                                            << "1" << 3 << "" << true;
        QTest::newRow("nan") << "nan.csv"
                             << "1"
                             << "1" << 1 << "'nan' is not a valid floating point value" << true;
        QTest::newRow("begin beyond end") << "ten_lines.txt"
                                          << "20"
                                          << "1" << 0 << "" << true;
        QTest::newRow("empty file") << "empty.txt"
                                    << "1"
                                    << "1" << 0 << "" << true;
        QTest::newRow("utf16") << "utf16le.csv"
                               << "1"
                               << "1" << 2 << "" << true;
        QTest::newRow("missing file") << "no_such_file.txt"
                                      << "1"
                                      << "1" << 0 << "Cannot open file" << false;
    }
    void refusalsAndWarnings() {
        QFETCH(QString, file);
        QFETCH(QString, begin);
        QFETCH(QString, step);
        QFETCH(int, points);
        QFETCH(QString, message);
        QFETCH(bool, pathShown);
        TForm1 w;
        ModalAnswerer answers;
        // A missing file cannot be chosen in the dialog; it can vanish after being chosen.
        const QString path =
            file == "no_such_file.txt" ? writeRecord(file, "0 0\n") : dataFile(file.toLatin1());
        if (file == "no_such_file.txt") {
            answers.otherDialog = nullptr;
            QFile::setPermissions(path, QFileDevice::Permissions());
        }
        importFile(w, answers, path, begin, step);
        if (file == "no_such_file.txt" && QFileInfo(path).isReadable())
            QSKIP("running as a user who reads every file");
        QCOMPARE(static_cast<int>(w.dispRaw.size()), points);
        QCOMPARE(w.forceRaw.size(), w.dispRaw.size());
        QCOMPARE(w.rawSeries->count(), points);
        QCOMPARE(!w.edt5->text().isEmpty(), pathShown);
        if (message.isEmpty()) {
            QVERIFY(answers.messages.empty());
        } else {
            QCOMPARE(answers.messages.size(), size_t(1));
            QVERIFY2(answers.messages[0].text.startsWith(message),
                     qPrintable(answers.messages[0].text));
            QCOMPARE(answers.messages[0].title, QStringLiteral("TarvelCurve"));
        }
    }

    void beginLineAndStepAreCheckedBeforeTheDialog_data() {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("zero") << "0"
                              << "1"
                              << "First Line must large than 0!"
                              << "edt7";
        QTest::newRow("negative") << "-1"
                                  << "1"
                                  << "First Line must large than 0!"
                                  << "edt7";
        QTest::newRow("not an integer") << "1.5"
                                        << "1"
                                        << "''1.5'' is not a valid integer value"
                                        << "";
        QTest::newRow("step zero") << "1"
                                   << "0"
                                   << "Data Import Step must large than 0!"
                                   << "edt8";
        QTest::newRow("step text") << "1"
                                   << "x"
                                   << "''x'' is not a valid integer value"
                                   << "";
    }
    void beginLineAndStepAreCheckedBeforeTheDialog() {
        QFETCH(QString, begin);
        QFETCH(QString, step);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ModalAnswerer answers;
        importFile(w, answers, dataFile("ten_lines.txt"));
        QCOMPARE(w.dispRaw.size(), size_t(10));
        importFile(w, answers, dataFile("header_line.csv"), begin, step);
        QCOMPARE(answers.fileDialogsSeen, 1); // the second import never opened the dialog
        QCOMPARE(w.dispRaw.size(), size_t(10));
        QCOMPARE(answers.messageTexts(), QStringList{message});
        if (!focus.isEmpty()) {
            QVERIFY(w.focusWidget());
            QCOMPARE(w.focusWidget()->objectName(), focus);
        }
    }

    void cancellingTheDialogKeepsEverything() {
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, dataFile("ten_lines.txt"));
        w.btn2->click();
        const int items = w.cbb1->count();
        answers.queueCancel();
        w.btn1->click();
        QCOMPARE(w.dispRaw.size(), size_t(10));
        QCOMPARE(w.cbb1->count(), items);
    }

    void analysis_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<std::vector<int>>("crossings");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QStringList>("values"); // edt1..edt4 for loop 1
        QTest::newRow("one loop") << QByteArray(
                                         "0 0\n5 1\n10 2\n5 3\n0 4\n-5 5\n-10 6\n-5 7\n0 8\n")
                                  << std::vector<int>{0, 4, 8} << "1"
                                  << QStringList{"10", "-10", "2", "6"};
        QTest::newRow("inserted crossings")
            << QByteArray("0 0\n10 100\n-10 -100\n10 100\n") << std::vector<int>{0, 2, 4} << "2"
            << QStringList{"10", "-10", "100", "-100"};
        QTest::newRow("never returns") << QByteArray("0 0\n1 1\n2 2\n") << std::vector<int>{0}
                                       << "1" << QStringList{"--", "--", "--", "--"};
        QTest::newRow("three points") << QByteArray("0 0\n5 1\n0 2\n") << std::vector<int>{0, 2}
                                      << "1" << QStringList{"5", "--", "1", "--"};
    }
    void analysis() {
        QFETCH(QByteArray, record);
        QFETCH(std::vector<int>, crossings);
        QFETCH(QString, count);
        QFETCH(QStringList, values);
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, writeRecord("rec.txt", record));
        w.btn2->click();
        QCOMPARE(w.crossIndex, crossings);
        QCOMPARE(w.edt6->text(), count);
        QCOMPARE(w.cbb1->count(), count.toInt());
        QCOMPARE(w.cbb1->itemText(0), QStringLiteral("Loop_1"));
        QCOMPARE(w.cbb1->currentIndex(), 0);
        QCOMPARE((QStringList{w.edt1->text(), w.edt2->text(), w.edt3->text(), w.edt4->text()}),
                 values);
        QCOMPARE(w.loopSeries->title(), QStringLiteral("Loop_1"));
        QVERIFY(answers.messages.empty());
    }

    void tooFewPointsEmptiesTheResults() {
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, writeRecord("two.txt", "0 0\n1 1\n0 2\n"));
        w.btn2->click();
        QCOMPARE(w.cbb1->count(), 1);
        importFile(w, answers, writeRecord("two.txt", "0 0\n1 1\n"));
        w.btn2->click();
        QCOMPARE(answers.messageTexts(), QStringList{"Imported Loop is less than 3 points!"});
        QVERIFY(w.loopDisp.empty());
        QCOMPARE(w.cbb1->count(), 0);
        QCOMPARE(w.loopSeries->count(), 0);
        QVERIFY(w.edt1->text().isEmpty());
    }

    void newImportEmptiesEveryResult() {
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, writeRecord("a.txt", "0 0\n5 1\n0 2\n-5 3\n0 4\n"));
        w.btn2->click();
        QVERIFY(w.loopSeries->count() > 0);
        importFile(w, answers, writeRecord("b.txt", "1 1\n2 2\n"));
        QCOMPARE(w.cbb1->count(), 0);
        QVERIFY(w.edt6->text().isEmpty() && w.edt1->text().isEmpty());
        QCOMPARE(w.loopSeries->count() + w.pntsrsSeries1->count() + w.pntsrsSeries2->count(), 0);
        QCOMPARE(w.rawSeries->count(), 2);
    }
    void notARegularFileChangesNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("link to a device") << "device";
    }

    void notARegularFileChangesNothing() {
        QFETCH(QString, kind);
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, dataFile("ten_lines.txt"));
        w.btn2->click();
        const Workspace before = workspaceOf(w);
        QString path = tmp.filePath(kind);
        if (kind == "pipe") {
#ifdef Q_OS_UNIX
            QFile::remove(path);
            QVERIFY(QProcess::execute("mkfifo", {path}) == 0);
#else
            QSKIP("no named pipes here");
#endif
        } else {
            if (!QFileInfo::exists("/dev/zero")) QSKIP("no /dev/zero here");
            QFile::remove(path);
            QVERIFY(QFile::link("/dev/zero", path));
        }
        answers.messages.clear();
        importFile(w, answers, path);
        QCOMPARE(answers.messageTexts(),
                 QStringList{QStringLiteral("Cannot open file \"%1\". It is not a regular file.")
                                 .arg(QDir::toNativeSeparators(path))});
        QVERIFY(workspaceOf(w) == before);
    }

    void cancelledImportChangesNothing() {
        TForm1 w;
        ModalAnswerer answers;
        importFile(w, answers, dataFile("ten_lines.txt"));
        w.btn2->click();
        const Workspace before = workspaceOf(w);
        // Large enough for several progress updates: the dialog shows at once and is cancelled.
        QByteArray big;
        for (int i = 0; i < 800000; ++i)
            big += QByteArray::number(i % 100 - 50) + "," + QByteArray::number(i % 37) + "\n";
        const QString path = writeRecord("big.txt", big);
        w.importProgressDelayMs = 0;
        // Cancel is pressed the moment the progress dialog shows.
        CancelOnShow cancel;
        qApp->installEventFilter(&cancel);
        answers.messages.clear();
        importFile(w, answers, path);
        qApp->removeEventFilter(&cancel);
        QVERIFY(cancel.cancelled > 0);
        QVERIFY(answers.messages.empty());
        QVERIFY(workspaceOf(w) == before);
        QVERIFY(w.rzstsbr1->currentMessage().contains("cancelled"));
    }
};

QTEST_MAIN(ImportAnalysisTest)
#include "import_analysis_test.moc"
