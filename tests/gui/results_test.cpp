// The analysis options, the engineering results window with its chart marks, and the results
// export, driven through the main window.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/drag_point_tool.h"
#include "modal_answerer.h"
#include "results/analysis_options_form.h"
#include "results/results_form.h"
#include "results/results_overlay.h"
#include "test_files.h"
#include "window_driver.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One loop: crossings at 0, 5 and 10; enclosed area 35.5; peaks (3, 14) and (-3, -11).
const char* kLoop = "0 0\n1 10\n2 15\n3 14\n2 5\n0 -3\n-1 -9\n-2 -12\n-3 -11\n-1 -2\n0 2\n";

// One real cycle with jitter around the reference at the start, the turn and the end.
const char* kJitter = "0 0\n0.1 1\n-0.1 -1\n5 50\n10 100\n5 40\n0.1 1\n-0.1 -1\n0.1 2\n-5 -50\n"
                      "-10 -100\n-5 -40\n-0.1 -1\n0.1 1\n-0.1 -2\n0 0\n";

QString cell(const QTableView* t, int row, int column) {
    return t->model()->index(row, column).data().toString();
}

// Answers the analysis options dialog with these texts and OK; the dialog is left open when OK
// refuses them, and then cancelled.
std::function<bool(QWidget*)> answerOptions(QString band, QString tolerance = {}) {
    return [band, tolerance](QWidget* w) {
        auto* form = qobject_cast<TAnalysisOptionsForm*>(w);
        if (!form) return false;
        form->edtDeadBand->setText(band);
        if (!tolerance.isEmpty()) form->edtLevelTolerance->setText(tolerance);
        form->btnOK->click();
        if (form->isVisible()) form->btnCancel->click();
        return true;
    };
}

} // namespace

class ResultsTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    void load(TForm1& w, ModalAnswerer& answers, const char* record) {
        importAndAnalyze(w, answers, tmp, record);
    }

private slots:
    void deadBandFromTheOptionsDialog() {
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kJitter);
        QVERIFY(w.edt6->text().toInt() > 1); // every jitter passage is a crossing

        QString note;
        auto answer = answerOptions(QStringLiteral("1"), QStringLiteral("10"));
        answers.otherDialog = [&](QWidget* d) {
            if (auto* l = d->findChild<QLabel*>(QStringLiteral("lblRecord"))) note = l->text();
            return answer(d);
        };
        w.AnalysisOptions1->trigger();
        QCOMPARE(note, QStringLiteral("The imported displacements run from -10 to 10; the "
                                      "reference is 0."));
        QCOMPARE(w.analysisOptions.deadBand, 1.0);
        QCOMPARE(w.analysisOptions.levelTolerancePercent, 10.0);
        w.btn2->click();
        QCOMPARE(w.edt6->text(), QStringLiteral("1"));
        QCOMPARE(w.crossIndex.size(), 2u);
        QCOMPARE(w.maxDisp1, std::vector<double>{10});
        QCOMPARE(w.maxDisp2, std::vector<double>{-10});
        QVERIFY(answers.messages.empty());
    }

    void badOptionsAreRefusedAndKeepTheOldValues_data() {
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("tolerance");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative band") << "-1"
                                       << "5"
                                       << "The dead band must be 0 or more.";
        QTest::newRow("not a number") << "abc"
                                      << "5"
                                      << "'abc' is not a valid floating point value";
        QTest::newRow("tolerance 100") << "0"
                                       << "100"
                                       << "The level tolerance must be from 0 to below 100 %.";
    }
    void badOptionsAreRefusedAndKeepTheOldValues() {
        QFETCH(QString, band);
        QFETCH(QString, tolerance);
        QFETCH(QString, message);
        TForm1 w;
        ModalAnswerer answers;
        answers.otherDialog = answerOptions(band, tolerance);
        w.AnalysisOptions1->trigger();
        QCOMPARE(answers.messageTexts(), QStringList{message});
        QCOMPARE(w.analysisOptions.deadBand, 0.0);
        QCOMPARE(w.analysisOptions.levelTolerancePercent, 5.0);
    }

    void resultsWindowFollowsTheSkeletonAndMarksTheChart() {
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kLoop);
        w.rb1->setChecked(true);
        w.btn5->click(); // positive (0,0) (2,15), negative (0,0) (-2,-12)
        QVERIFY(!w.resultsOverlay);

        w.EngineeringResults1->trigger();
        TResultsForm* form = w.resultsForm;
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->tblLoops->model()->rowCount(), 1);
        QCOMPARE(cell(form->tblLoops, 0, 5), QStringLiteral("35.5"));             // energy
        QCOMPARE(cell(form->tblLoops, 0, 8), QStringLiteral("4.16666666666667")); // 25 / 6
        QCOMPARE(cell(form->tblLoops, 0, 9), QStringLiteral("1"));                // level
        QCOMPARE(cell(form->tblSkeleton, 1, 1), QStringLiteral("15"));            // Pmax +
        QCOMPARE(cell(form->tblSkeleton, 1, 2), QStringLiteral("-12"));           // Pmax -
        QVERIFY(w.resultsOverlay);
        QTRY_VERIFY(!w.resultsOverlay->marks().empty());
        QCOMPARE(w.resultsOverlay->marks().front().label.at(0), QLatin1Char('Y'));

        // A new extraction is followed without reopening the window.
        w.rb2->setChecked(true);
        w.btn5->click();
        QTRY_COMPARE(cell(form->tblSkeleton, 1, 1), QStringLiteral("14"));
        QCOMPARE(cell(form->tblSkeleton, 0, 1), QStringLiteral("3"));

        // The yield method is the user's pick.
        form->cbbYieldMethod->setCurrentIndex(3);
        emit form->cbbYieldMethod->activated(3);
        QCOMPARE(w.analysisOptions.yieldMethod, tc::YieldMethod::FarthestPoint);

        // The marks are no series and go with the window.
        QCOMPARE(w.cht1->seriesList().size(), 6u);
        QCOMPARE(w.cht1->plottableCount(), 6);
        form->btnClose->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!w.resultsOverlay);
        QVERIFY(answers.messages.empty());
    }

    void resultsFollowADraggedSkeletonPoint() {
        TForm1 w;
        ModalAnswerer answers;
        w.show();
        load(w, answers, kLoop);
        w.rb1->setChecked(true);
        w.btn5->click();
        w.EngineeringResults1->trigger();
        QCOMPARE(cell(w.resultsForm->tblSkeleton, 1, 1), QStringLiteral("15"));
        w.cbb3->setCurrentIndex(1); // drag node
        emit w.cbb3->activated(1);
        w.cbb2->setCurrentIndex(1); // the positive curve
        emit w.cbb2->activated(1);
        w.cht1->replot();
        QTest::qWait(20); // the refresh those commands asked for is done
        QVERIFY(w.drgpntlChartTool1->beginDrag(w.skeletonPosSeries->valueToScreen(2, 15)));
        w.drgpntlChartTool1->dragTo(w.skeletonPosSeries->valueToScreen(2, 12));
        w.drgpntlChartTool1->endDrag();
        QVERIFY(w.skeletonPosSeries->y(1) < 14);
        QTRY_COMPARE(cell(w.resultsForm->tblSkeleton, 1, 1),
                     QString::number(w.skeletonPosSeries->y(1), 'g', 15));
    }

    void exportAsCsvAndWorkbook() {
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kLoop);
        w.rb1->setChecked(true);
        w.btn5->click();

        const QString csv = tmp.filePath(QStringLiteral("out"));
        answers.queueFile(csv, 0);
        w.ExportEngineeringResults1->trigger();
        QCOMPARE(answers.lastSuggestedName, QStringLiteral("rec_EngineeringResults"));
        const QByteArray text = readTestFile(csv + QStringLiteral(".csv"));
        QVERIFY2(text.startsWith("Loops\r\nLoop,D1,F1,D2,F2,Energy E,"), text.constData());
        QVERIFY(text.contains("\r\n1,3,14,-3,-11,35.5,35.5,"));
        QVERIFY(text.contains("\r\nSkeleton\r\nQuantity,Positive,Negative\r\n"));

        const QString book = tmp.filePath(QStringLiteral("book.xlsx"));
        answers.queueFile(book, 1);
        w.ExportEngineeringResults1->trigger();
        QVERIFY(readTestFile(book).startsWith("PK"));

        // Cancel writes nothing; an unwritable place gives the error box.
        answers.queueCancel();
        w.ExportEngineeringResults1->trigger();
        // A link into a folder that is gone: nothing can be written through it, even as root.
        const QString dangling = tmp.filePath(QStringLiteral("dangling.csv"));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("gone/x.csv")), dangling));
        answers.queueFile(dangling, 0);
        w.ExportEngineeringResults1->trigger();
        QCOMPARE(answers.messages.size(), 1u);
        QVERIFY(answers.messages.front().text.startsWith(QStringLiteral("Cannot create file")));
    }
};

QTEST_MAIN(ResultsTest)
#include "results_test.moc"
