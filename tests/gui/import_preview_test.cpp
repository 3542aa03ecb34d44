// Import with Preview, the kept import options, messages that say where, dropped and recent
// records, driven through the real main window.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "modal_answerer.h"
#include "test_files.h"
#include "ui/file_dialogs.h"
#include "workspace/import_preview_form.h"
#include "workspace/workbook_reader.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

QString previewFile(const char* name) {
    return QStringLiteral(TC_TEST_DATA_DIR "/preview/") + QLatin1String(name);
}

QString workbookFile(const char* name) {
    return QStringLiteral(TC_TEST_DATA_DIR "/workbooks/") + QLatin1String(name);
}

// Answers the next preview dialog with the given action on it.
void onPreview(ModalAnswerer& answers, std::function<void(TImportPreviewForm&)> act) {
    answers.otherDialog = [act](QWidget* w) {
        auto* form = qobject_cast<TImportPreviewForm*>(w);
        if (!form) return false;
        act(*form);
        return true;
    };
}

void drop(TForm1& w, const QString& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent ev(QPointF(400, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

} // namespace

class ImportPreviewTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void forceFirstRecordWithUnitsLine() {
        TForm1 w;
        ModalAnswerer answers;
        bool seen = false;
        onPreview(answers, [&](TImportPreviewForm& f) {
            seen = true;
            QCOMPARE(f.spnBegin->value(), 3);
            QCOMPARE(f.cbbDispColumn->currentIndex(), 1);
            QCOMPARE(f.cbbForceColumn->currentIndex(), 0);
            QCOMPARE(f.cbbDispColumn->currentText(),
                     QStringLiteral("2: Lead Actuator Displacment"));
            QCOMPARE(f.edtDispUnit->text(), QStringLiteral("mm"));
            QCOMPARE(f.edtForceUnit->text(), QStringLiteral("kN"));
            QCOMPARE(f.tblPreview->rowCount(), 5);
            // Header lines grey, data black.
            QCOMPARE(f.tblPreview->item(0, 0)->foreground().color(), QColor(0x90, 0x90, 0x90));
            QCOMPARE(f.tblPreview->item(2, 0)->foreground().color(), QColor(Qt::black));
            f.btnImport->click();
        });
        answers.queueFile(previewFile("force_first_units.csv"));
        w.ImportWithPreview1->trigger();
        QVERIFY(seen);
        QVERIFY(answers.messages.empty());
        QCOMPARE(w.dispRaw, (std::vector<double>{0, 0, 2.25}));
        QCOMPARE(w.forceRaw, (std::vector<double>{0.02, 0.01, -1.5}));
        QCOMPARE(w.edt7->text(), QStringLiteral("3"));
        QCOMPARE(w.cht1->xAxisTitle(), QStringLiteral("Disp (mm)"));
        QCOMPARE(w.cht1->yAxisTitle(), QStringLiteral("Force (kN)"));
        QVERIFY(w.importOptionsNote && !w.importOptionsNote->isHidden());
        QVERIFY(w.importOptionsNote->text().contains(QStringLiteral("disp field 2")));

        // Import Loop keeps the options of this run.
        w.dispRaw.clear();
        answers.queueFile(previewFile("force_first_units.csv"));
        w.btn1->click();
        QCOMPARE(w.dispRaw, (std::vector<double>{0, 0, 2.25}));

        // Reset returns to the specified defaults.
        onPreview(answers, [](TImportPreviewForm& f) {
            f.btnReset->click();
            QCOMPARE(f.spnBegin->value(), 1);
            QCOMPARE(f.cbbDispColumn->currentIndex(), 0);
            QCOMPARE(f.edtDispUnit->text(), QString());
            f.btnImport->click();
        });
        answers.queueFile(previewFile("force_first_units.csv"));
        w.ImportWithPreview1->trigger();
        QVERIFY(w.importSettings.isDefault());
        QVERIFY(w.importOptionsNote->isHidden());
        QCOMPARE(w.cht1->xAxisTitle(), QStringLiteral("Disp"));
        QCOMPARE(answers.messageTexts(),
                 QStringList{QStringLiteral("'Lead' is not a valid floating point value")});
        QVERIFY(answers.messages.back().informative.contains(
            QStringLiteral("set F-D Curve Begin Line to 3")));
    }

    void commaDecimalsAndLoopDirection_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<std::vector<double>>("disp");
        QTest::addColumn<int>("direction");
        QTest::newRow("semicolons") << "comma_semicolon.csv" << std::vector<double>{1.5, 2.5} << 0;
        QTest::newRow("tabs") << "comma_tab.txt" << std::vector<double>{1.5, 2.5} << 0;
        QTest::newRow("scientific")
            << "scientific.csv" << std::vector<double>{-3.13182e-03, -3.09118e-03, 0.1817} << 0;
    }
    void commaDecimalsAndLoopDirection() {
        QFETCH(QString, file);
        QFETCH(std::vector<double>, disp);
        QFETCH(int, direction);
        TForm1 w;
        w.cbb4->setCurrentIndex(1 - direction);
        ModalAnswerer answers;
        onPreview(answers, [](TImportPreviewForm& f) { f.btnImport->click(); });
        answers.queueFile(previewFile(file.toUtf8().constData()));
        w.ImportWithPreview1->trigger();
        QVERIFY(answers.messages.empty());
        QCOMPARE(w.dispRaw.size(), disp.size());
        for (size_t i = 0; i < disp.size(); ++i)
            QCOMPARE(w.dispRaw[i], disp[i]);
        QCOMPARE(w.cbb4->currentIndex(), direction);
    }

    void noisyPrefixSuggestsNegative() {
        TForm1 w;
        ModalAnswerer answers;
        onPreview(answers, [](TImportPreviewForm& f) {
            QCOMPARE(f.cbbDirection->currentIndex(), 1);
            QVERIFY(f.lblDirection->text().contains(QStringLiteral("Negative")));
            f.btnImport->click();
        });
        answers.queueFile(previewFile("noisy_prefix.csv"));
        w.ImportWithPreview1->trigger();
        QCOMPARE(w.cbb4->currentIndex(), 1);
        QCOMPARE(static_cast<int>(w.dispRaw.size()), 111);
    }

    void cancelAndBadColumnLeaveTheWorkspace() {
        TForm1 w;
        ModalAnswerer answers;
        answers.queueFile(previewFile("header_names.csv"));
        w.edt7->setText(QStringLiteral("2"));
        w.btn1->click();
        QCOMPARE(w.dispRaw.size(), size_t{3});
        // Cancel.
        onPreview(answers, [](TImportPreviewForm& f) { f.btnCancel->click(); });
        answers.queueFile(previewFile("bracket_units.txt"));
        w.ImportWithPreview1->trigger();
        QCOMPARE(w.dispRaw.size(), size_t{3});
        // A column beyond the last field of the data lines: a message naming the file.
        onPreview(answers, [](TImportPreviewForm& f) {
            f.cbbForceColumn->setCurrentIndex(3);
            f.btnImport->click();
            QVERIFY(f.isVisible());
            f.btnCancel->click();
        });
        answers.queueFile(previewFile("bracket_units.txt"));
        w.ImportWithPreview1->trigger();
        QCOMPARE(answers.messageTexts(),
                 QStringList{QStringLiteral("bracket_units.txt: the force column 4 is beyond the "
                                            "last field (2) of line 2.")});
        QCOMPARE(w.dispRaw.size(), size_t{3});
        QVERIFY(w.importSettings.isDefault());
    }

    void warningsSayWhereAndOfferThePreview() {
        TForm1 w;
        ModalAnswerer answers;
        answers.pressButton = QStringLiteral("btnImportWithPreview");
        bool previewed = false;
        onPreview(answers, [&](TImportPreviewForm& f) {
            previewed = true;
            f.btnImport->click();
        });
        answers.queueFile(previewFile("header_names.csv"));
        w.btn1->click();
        QVERIFY(previewed);
        QCOMPARE(answers.messages.size(), size_t{1});
        QCOMPARE(answers.messages[0].text,
                 QStringLiteral("'disp_mm' is not a valid floating point value"));
        QCOMPARE(answers.messages[0].informative,
                 QStringLiteral("Line 1 of header_names.csv:\ndisp_mm,force_kN\nThe line looks "
                                "like a header: set F-D Curve Begin Line to 2, or use File \u2192 "
                                "Import with Preview."));
        QCOMPARE(w.dispRaw.size(), size_t{3});
        QCOMPARE(w.edt7->text(), QStringLiteral("2"));

        // A short line: the specified message, the place and no preview button.
        answers.messages.clear();
        w.edt7->setText(QStringLiteral("1"));
        answers.queueFile(previewFile("short_line.txt"));
        w.btn1->click();
        QCOMPARE(answers.messageTexts(),
                 QStringList{QStringLiteral("List index out of bounds (1)")});
        QVERIFY(
            answers.messages[0].informative.endsWith(QStringLiteral("Line 3 has only one field.")));
        QCOMPARE(w.dispRaw, (std::vector<double>{1, 3}));

        // Blank lines at the very end: all points, no warning.
        answers.messages.clear();
        answers.queueFile(previewFile("trailing_blanks.txt"));
        w.btn1->click();
        QVERIFY(answers.messages.empty());
        QCOMPARE(w.dispRaw, (std::vector<double>{1, 3}));
    }

    void droppedAndRecentRecords() {
        TForm1 w;
        ModalAnswerer answers;
        QVERIFY(!w.RecentRecords1->isEnabled());
        drop(w, previewFile("comma_tab.txt"));
        QCOMPARE(answers.fileDialogsSeen, 0);
        QCOMPARE(w.dispRaw, (std::vector<double>{1, 2})); // the default rule: comma splits
        w.edt7->setText(QStringLiteral("2"));
        drop(w, previewFile("header_names.csv"));
        QCOMPARE(w.dispRaw.size(), size_t{3});
        QVERIFY(w.edt5->text().endsWith(QStringLiteral("header_names.csv")));

        // The checks of Import Loop come first: the workspace stays.
        w.edt7->setText(QStringLiteral("0"));
        drop(w, previewFile("comma_tab.txt"));
        QCOMPARE(answers.messageTexts(),
                 QStringList{QStringLiteral("First Line must large than 0!")});
        QCOMPARE(w.dispRaw.size(), size_t{3});

        // Recent records, newest first; choosing one imports it again.
        QVERIFY(w.RecentRecords1->isEnabled());
        auto* second = w.RecentRecords1->findChild<QAction*>(QStringLiteral("RecentRecord2"));
        QVERIFY(second && second->isVisible());
        QVERIFY(second->text().endsWith(QStringLiteral("comma_tab.txt")));
        w.edt7->setText(QStringLiteral("1"));
        second->trigger();
        QCOMPARE(w.dispRaw, (std::vector<double>{1, 2}));
        auto* first = w.RecentRecords1->findChild<QAction*>(QStringLiteral("RecentRecord1"));
        QVERIFY(first->text().endsWith(QStringLiteral("comma_tab.txt")));
        for (int i = 0; i < 9; ++i) {
            const QString name = QStringLiteral("r%1.txt").arg(i);
            drop(w, writeTestFile(tmp, name, "1 2\n3 4\n"));
        }
        int visible = 0;
        for (QAction* a : w.RecentRecords1->actions())
            visible += a->isVisible() ? 1 : 0;
        QCOMPARE(visible, 8);
        QVERIFY(first->text().endsWith(QStringLiteral("r8.txt")));
    }

    void workbookThroughPreviewWithSheetChooser() {
        if (!tc::workbookReadersAvailable()) QSKIP("this build reads no workbooks");
        TForm1 w;
        ModalAnswerer answers;
        onPreview(answers, [&](TImportPreviewForm& f) {
            QVERIFY(f.cbbSheet->isVisibleTo(&f));
            QCOMPARE(f.cbbSheet->count(), 2);
            QCOMPARE(f.cbbSheet->currentText(), QStringLiteral("Notes"));
            f.btnImport->click(); // the first sheet holds no numbers: refused, the dialog stays
            QVERIFY(f.isVisible());
            f.cbbSheet->setCurrentIndex(1);
            emit f.cbbSheet->activated(1);
            QCOMPARE(f.spnBegin->value(), 2);
            QCOMPARE(f.edtDispUnit->text(), QStringLiteral("mm"));
            QCOMPARE(f.tblPreview->item(1, 1)->text(), QStringLiteral("0.5"));
            f.btnImport->click();
        });
        answers.queueFile(workbookFile("record.ods"));
        w.ImportWithPreview1->trigger();
        QCOMPARE(answers.messageTexts(),
                 (QStringList{QStringLiteral("record.ods: the sheet \"Notes\" holds no numbers."),
                              QStringLiteral("List index out of bounds (0)")}));
        QVERIFY(answers.messages[1].informative.startsWith(
            QStringLiteral("Row 5 of record.ods, sheet \"Record\":")));
        QCOMPARE(w.dispRaw, (std::vector<double>{0, 1.25, 1.25}));
        QCOMPARE(w.importSettings.sheet, 1);
        QVERIFY(w.importOptionsNote->text().contains(QStringLiteral("sheet 2")));
        QCOMPARE(w.cht1->yAxisTitle(), QStringLiteral("Force (kN)"));
    }

    void badWorkbooksLeaveTheWorkspace_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("forceColumn");
        QTest::addColumn<QString>("message");
        QTest::newRow("renamed text")
            << "renamed_text.xlsx" << 2 << "renamed_text.xlsx: the file is not an .xlsx workbook";
        QTest::newRow("damaged") << "damaged.xlsx" << 2 << "damaged.xlsx: the workbook is damaged";
        QTest::newRow("encrypted")
            << "encrypted.xlsx" << 2 << "encrypted.xlsx: the workbook is password-protected";
        QTest::newRow("no numbers")
            << "no_numbers.xlsx" << 2 << "no_numbers.xlsx: the sheet \"Notes\" holds no numbers.";
        QTest::newRow("column beyond") << "record.xls" << 3
                                       << "record.xls: column 3 is beyond the last column (2) of "
                                          "the sheet \"Record\".";
    }
    void badWorkbooksLeaveTheWorkspace() {
        if (!tc::workbookReadersAvailable()) QSKIP("this build reads no workbooks");
        QFETCH(QString, file);
        QFETCH(int, forceColumn);
        QFETCH(QString, message);
        TForm1 w;
        ModalAnswerer answers;
        w.edt7->setText(QStringLiteral("2"));
        answers.queueFile(workbookFile("record.xlsx"));
        w.btn1->click();
        QCOMPARE(w.dispRaw, (std::vector<double>{0, 1.25, 2.5}));
        answers.messages.clear();
        const QString shown = w.edt5->text();
        w.importSettings.force.column = forceColumn;
        answers.queueFile(workbookFile(file.toUtf8().constData()));
        w.btn1->click();
        QCOMPARE(answers.messages.size(), size_t{1});
        QVERIFY2(answers.messages[0].text.startsWith(message),
                 qPrintable(answers.messages[0].text));
        QCOMPARE(w.dispRaw, (std::vector<double>{0, 1.25, 2.5}));
        QCOMPARE(w.edt5->text(), shown);
    }

    void dialogFolders() {
        TForm1 w;
        QCOMPARE(w.dlgOpen1->nameFilters().size(), 4);
        QCOMPARE(w.dlgOpen1->nameFilters().at(3),
                 QStringLiteral("Records (*.txt *.csv *.dat *.xlsx *.ods *.xls)"));
        // Run from a build folder: the executable's folder for both.
        QCOMPARE(w.dlgOpen1->directory().absolutePath(),
                 QDir(QCoreApplication::applicationDirPath()).absolutePath());
        QCOMPARE(tc::gui::startFolder(tmp.path(), true), tmp.path());
        // Installed: never the system's bin folder.
        QVERIFY(tc::gui::isInstalledLocation(QStringLiteral("/usr/bin")));
        QVERIFY(!tc::gui::isInstalledLocation(tmp.path()));
        QVERIFY(tc::gui::startFolder(QStringLiteral("/usr/bin"), false) !=
                QStringLiteral("/usr/bin"));
        QCOMPARE(tc::gui::startFolder(QStringLiteral("/usr/bin"), true),
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        // The open dialog keeps the folder last used, also for Import with Preview.
        ModalAnswerer answers;
        answers.queueFile(writeTestFile(tmp, QStringLiteral("kept.txt"), "1 2\n"));
        w.btn1->click();
        QCOMPARE(w.dlgOpen1->directory().absolutePath(), QDir(tmp.path()).absolutePath());
        // The save dialogs follow each other.
        emit w.dlgSave1->fileSelected(tmp.filePath(QStringLiteral("out.txt")));
        QCOMPARE(w.dlgSaveResults->directory().absolutePath(), QDir(tmp.path()).absolutePath());
    }

    // The user guide's picture of the dialog: TC_SCREENSHOT=out.png and TC_SCREENSHOT_RECORD=the
    // record to show, under Xvfb for real fonts.
    void screenshot() {
        const QString out = qEnvironmentVariable("TC_SCREENSHOT");
        if (out.isEmpty()) QSKIP("TC_SCREENSHOT not set");
        QString record = qEnvironmentVariable("TC_SCREENSHOT_RECORD");
        if (!QFileInfo::exists(record)) record = previewFile("force_first_units.csv");
        TForm1 w;
        w.show();
        ModalAnswerer answers;
        onPreview(answers, [&](TImportPreviewForm& f) {
            QTest::qWait(300);
            QVERIFY(f.grab().save(out));
            f.btnCancel->click();
        });
        answers.queueFile(record);
        w.ImportWithPreview1->trigger();
    }
};

QTEST_MAIN(ImportPreviewTest)
#include "import_preview_test.moc"
