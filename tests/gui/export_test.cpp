// The export commands driven through the main window: text and CSV files, the workbook, the
// options dialog.
#include "app/tform1.h"
#include "export/export_options_form.h"
#include "modal_answerer.h"
#include "test_files.h"
#include "window_driver.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

// Records the addresses handed to the desktop instead of opening them.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
public slots:
    void open(const QUrl& url) { urls << url; }
};

// Counts the progress dialogs that show, and presses their Cancel at once when told to.
class ProgressDialogWatcher : public QObject {
public:
    explicit ProgressDialogWatcher(bool cancel) : cancel_(cancel) {}
    int shown = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* p = qobject_cast<QProgressDialog*>(o)) {
                ++shown;
                if (cancel_) p->cancel();
            }
        return false;
    }

private:
    bool cancel_;
};

class ExportTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    // Two complete loops and an unfinished third one without a middle crossing.
    void loadExample(TForm1& w, ModalAnswerer& answers, const QString& name = "test1.txt") {
        importAndAnalyze(w, answers, tmp,
                         "0 0\n10 125.5\n0 0\n-9.5 -118\n0 0\n20 230\n0 0\n-19.5 -221\n0 0\n5 7\n",
                         name);
    }

private slots:
    void resultFilesByteForByte_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("results");
        QTest::newRow("csv")
            << 1 << "res"
            << "res.csv"
            << QByteArray("LoopNo.,1stMaxDisp,1stMaxDispForce,2ndMaxDisp,2ndMaxDispForce\r\n"
                          "1,10,125.5,-9.5,-118,\r\n2,20,230,-19.5,-221,\r\n3,--,--,--,--,\r\n");
        QTest::newRow("text")
            << 0 << "res"
            << "res.txt"
            << QByteArray("LoopNo. 1stMaxDisp 1stMaxDispForce 2ndMaxDisp 2ndMaxDispForce\r\n"
                          "1  10  125.5  -9.5  -118  \r\n2  20  230  -19.5  -221  \r\n"
                          "3  --  --  --  --  \r\n");
        QTest::newRow("extension always appended") << 1 << "out.csv"
                                                   << "out.csv.csv" << QByteArray();
    }
    void resultFilesByteForByte() {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, results);
        TForm1 w;
        ModalAnswerer answers;
        loadExample(w, answers);
        const QString out = tmp.filePath(typed);
        answers.queueFile(out, filter);
        w.btn7->click();
        QCOMPARE(answers.lastSuggestedName, QStringLiteral("test1_TarvelCurveAnalysisResults"));
        QVERIFY2(QFile::exists(tmp.filePath(written)), qPrintable(written));
        if (!results.isEmpty()) QCOMPARE(readTestFile(tmp.filePath(written)), results);
        QVERIFY(answers.messages.empty());
        QFile::remove(tmp.filePath(written));
    }

    void modifiedLoopHasOneLineMoreThanTheCurve() {
        TForm1 w;
        ModalAnswerer answers;
        loadExample(w, answers);
        answers.queueFile(tmp.filePath("curve"), 0);
        w.ExportModifiedLoop1->trigger();
        QCOMPARE(answers.lastSuggestedName, QStringLiteral("test1_ModifiedLoops"));
        const QByteArray text = readTestFile(tmp.filePath("curve.txt"));
        QVERIFY(text.startsWith("X Y\r\n0 0\r\n10 125.5\r\n"));
        QCOMPARE(text.count("\r\n"), static_cast<qsizetype>(w.loopDisp.size() + 1));
    }

    void buttonAndMenuWriteIdenticalFiles() {
        TForm1 w;
        ModalAnswerer answers;
        loadExample(w, answers);
        answers.queueFile(tmp.filePath("a"), 1);
        w.btn7->click();
        answers.queueFile(tmp.filePath("b"), 1);
        w.ExportResults1->trigger();
        QCOMPARE(readTestFile(tmp.filePath("a.csv")), readTestFile(tmp.filePath("b.csv")));
    }

    void beforeAnalysisOnlyTheHeader() {
        TForm1 w;
        ModalAnswerer answers;
        answers.queueFile(tmp.filePath("empty"), 1);
        w.btn7->click();
        QCOMPARE(readTestFile(tmp.filePath("empty.csv")),
                 QByteArray("LoopNo.,1stMaxDisp,1stMaxDispForce,2ndMaxDisp,2ndMaxDispForce\r\n"));
        QCOMPARE(answers.lastSuggestedName, QStringLiteral("_TarvelCurveAnalysisResults"));
    }

    void unwritableTargetNamesThePath() {
        TForm1 w;
        ModalAnswerer answers;
        const QString dir = tmp.filePath("locked");
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFileInfo(dir).isWritable()) QSKIP("running as a user who may write everywhere");
        answers.queueFile(dir + "/x", 1);
        w.btn7->click();
        QCOMPARE(answers.messages.size(), size_t(1));
        QVERIFY(answers.messages[0].text.startsWith(QStringLiteral("Cannot create file \"")));
        QVERIFY(answers.messages[0].text.contains(QStringLiteral("x.csv")));
    }

    void workbookExportOpensTheWrittenFile() {
        TForm1 w;
        ModalAnswerer answers;
        UrlRecorder urls;
        loadExample(w, answers);
        w.btn5->click();
        w.btn8->click();
        w.ExportDraw12Excel1->trigger();
        QCOMPARE(urls.urls.size(), 2);
        QVERIFY(urls.urls[0] != urls.urls[1]); // a new workbook each time
        for (const QUrl& u : urls.urls) {
            QVERIFY(u.toLocalFile().endsWith(QStringLiteral(".xlsx")));
            QVERIFY(QFileInfo(u.toLocalFile()).size() > 0);
            QFile::remove(u.toLocalFile());
        }
        QVERIFY(answers.messages.empty());
    }

    // TMPDIR naming a folder that does not exist: the workbook still goes to a full path in a
    // folder that exists, never into the current folder, and the address opened is that file.
    void workbookExportWithoutTheTemporaryFolder() {
        const QByteArray oldTmp = qgetenv("TMPDIR"), oldCache = qgetenv("XDG_CACHE_HOME");
        const QString oldCwd = QDir::currentPath();
        QTemporaryDir cwd;
        QVERIFY(cwd.isValid());
        qputenv("TMPDIR", tmp.filePath("no such folder").toLocal8Bit());
        qputenv("XDG_CACHE_HOME", tmp.filePath("cache").toLocal8Bit());
        QVERIFY(QDir::setCurrent(cwd.path()));
        QStringList messages;
        QList<QUrl> opened;
        {
            TForm1 w;
            ModalAnswerer answers;
            UrlRecorder urls;
            loadExample(w, answers);
            w.btn8->click();
            messages = answers.messageTexts();
            opened = urls.urls;
        }
        QDir::setCurrent(oldCwd);
        qputenv("TMPDIR", oldTmp);
        if (oldCache.isNull())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", oldCache);

        QCOMPARE(messages, QStringList{});
        QCOMPARE(opened.size(), 1);
        QVERIFY2(opened[0].isLocalFile(), qPrintable(opened[0].toString()));
        const QFileInfo book(opened[0].toLocalFile());
        QVERIFY2(QDir::isAbsolutePath(opened[0].toLocalFile()), qPrintable(opened[0].toString()));
        QVERIFY(book.isFile() && book.size() > 0);
        QVERIFY(book.dir().exists());
        QVERIFY(book.absolutePath() != QFileInfo(cwd.path()).canonicalFilePath());
        QCOMPARE(QDir(cwd.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{});
        QFile::remove(book.filePath());
    }

    void badAxisPositionEndsTheExportWithTheConversionError() {
        TForm1 w;
        ModalAnswerer answers;
        UrlRecorder urls;
        w.excelOptions.xAxisPosition = "left";
        w.btn8->click();
        QCOMPARE(answers.messageTexts(), QStringList{"'left' is not a valid floating point value"});
        QCOMPARE(urls.urls.size(), 1); // what was done before is written and shown
        QFile::remove(urls.urls[0].toLocalFile());
    }

    void optionsDialogShowsStoresAndCancels() {
        TForm1 w;
        ModalAnswerer answers;
        int step = 0;
        QStringList seen;
        answers.otherDialog = [&](QWidget* d) {
            auto* f = qobject_cast<TExportOptionForm*>(d);
            if (!f) return false;
            if (step == 0) { // defaults, then a partial update stopped by a bad legend font size
                seen << f->edt4->text() << f->edt3->text() << f->edt6->text()
                     << f->cbb1->currentText() << f->cbb2->currentText() << f->cbb3->currentText()
                     << f->cbb4->currentText() << QString::number(f->chk3->isChecked())
                     << QString::number(f->chk4->isChecked())
                     << QString::number(f->rb1->isChecked());
                f->edt4->setText(" 640 ");
                f->cbb1->setEditText("0.1");
                f->edt9->setText(" 12 ");
                f->edt10->setText("big");
                f->edt5->setText("  My title  ");
                f->btn1->click();
                f->btn2->click();
            } else if (step == 1) { // what was stored comes back; typed values are not kept
                seen << f->edt4->text() << f->cbb1->currentText() << f->edt10->text();
                f->edt4->setText("999");
                f->btn2->click();
            } else {
                f->reject();
            }
            ++step;
            return true;
        };
        w.ExcelExportOptions1->trigger();
        QCOMPARE(answers.messageTexts(), QStringList{"''big'' is not a valid integer value"});
        QCOMPARE(w.excelOptions.chartWidth, 640);
        QCOMPARE(w.excelOptions.lineWeight, 0.1f);
        QCOMPARE(w.excelOptions.axisTitleFontSize, 12); // stored just before the legend size
        QCOMPARE(w.excelOptions.legendFontSize, 10);
        QCOMPARE(w.excelOptions.titleText, std::string("Graph Title"));
        w.ExcelExportOptions1->trigger();
        QCOMPARE(w.excelOptions.chartWidth, 640);
        QCOMPARE(seen, (QStringList{"300", "450", "-10000", "0.5", "8", "4", "Auto", "1", "0", "1",
                                    "640", "0.100000001490116", "10"}));
    }

    // The workbook export with its progress dialog shown at once: Cancel leaves no workbook and
    // no message, only the status bar's word; without Cancel the workbook is written and opened.
    void workbookExportProgressAndCancel_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("left to finish") << false;
    }
    void workbookExportProgressAndCancel() {
        QFETCH(bool, cancel);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", folder.path().toLocal8Bit());
        QStringList messages, files;
        QList<QUrl> opened;
        QString status;
        ProgressDialogWatcher watcher(cancel);
        {
            TForm1 w;
            ModalAnswerer answers;
            UrlRecorder urls;
            loadExample(w, answers);
            w.workbookProgressDelayMs = 0;
            qApp->installEventFilter(&watcher);
            w.btn8->click();
            qApp->removeEventFilter(&watcher);
            messages = answers.messageTexts();
            opened = urls.urls;
            status = w.rzstsbr1->currentMessage();
            files = QDir(folder.path())
                        .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        }
        qputenv("TMPDIR", oldTmp);

        QVERIFY(watcher.shown > 0);
        QCOMPARE(messages, QStringList{});
        if (cancel) {
            QCOMPARE(files, QStringList{});
            QCOMPARE(opened.size(), 0);
            QCOMPARE(status, QStringLiteral("Workbook export cancelled: no workbook was written."));
        } else {
            QCOMPARE(files, QStringList{"TarvelCurve_Book1.xlsx"});
            QCOMPARE(opened.size(), 1);
            QCOMPARE(QFileInfo(opened[0].toLocalFile()).fileName(), files[0]);
            QCOMPARE(status, QString());
        }
    }
};

QTEST_MAIN(ExportTest)
#include "export_test.moc"
