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
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One loop: crossings at 0, 5 and 10; enclosed area 35.5; peaks (3, 14) and (-3, -11).
const char* kLoop = "0 0\n1 10\n2 15\n3 14\n2 5\n0 -3\n-1 -9\n-2 -12\n-3 -11\n-1 -2\n0 2\n";

// One real cycle with jitter around the reference at the start, the turn and the end.
const char* kJitter = "0 0\n0.1 1\n-0.1 -1\n5 50\n10 100\n5 40\n0.1 1\n-0.1 -1\n0.1 2\n-5 -50\n"
                      "-10 -100\n-5 -40\n-0.1 -1\n0.1 1\n-0.1 -2\n0 0\n";

// Three amplitude levels, two cycles each; the repeats carry 0.8 of the first cycle's force.
const char* kLevels = "0 0\n1 10\n0 0\n-1 -10\n0 0\n1 8\n0 0\n-1 -8\n0 0\n"
                      "2 18\n0 0\n-2 -18\n0 0\n2 14.4\n0 0\n-2 -14.4\n0 0\n"
                      "3 20\n0 0\n-3 -20\n0 0\n3 16\n0 0\n-3 -16\n0 0\n";

// The same levels with the first half of every loop on the negative side.
const char* kNegativeFirst = "0 0\n-1 -10\n0 0\n1 10\n0 0\n-2 -18\n0 0\n2 18\n0 0\n"
                             "-3 -20\n0 0\n3 20\n0 0\n";

QString cell(const QTableView* t, int row, int column) {
    return t->model()->index(row, column).data().toString();
}

// The results window computed on the skeleton curves on the chart, numbers in full: the
// settings before the first-cycle envelope and the rounded display.
void chartCurvesInFull(TResultsForm* form) {
    form->cbbEvaluationCurve->setCurrentIndex(
        static_cast<int>(tc::EvaluationCurve::SkeletonOnChart));
    emit form->cbbEvaluationCurve->activated(form->cbbEvaluationCurve->currentIndex());
    form->spnDigits->setValue(15);
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
        chartCurvesInFull(form);
        QTRY_COMPARE(w.analysisOptions.evaluationCurve, tc::EvaluationCurve::SkeletonOnChart);
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
        chartCurvesInFull(w.resultsForm);
        QTRY_COMPARE(cell(w.resultsForm->tblSkeleton, 1, 1), QStringLiteral("15"));
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

    void firstCycleEnvelopeIsTheDefaultAndDrawnDashed() {
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kLevels);
        w.EngineeringResults1->trigger(); // no extraction: the envelope needs none
        TResultsForm* form = w.resultsForm;
        QCOMPARE(form->cbbEvaluationCurve->currentText(), QStringLiteral("First-cycle envelope"));
        QCOMPARE(w.analysisOptions.evaluationCurve, tc::EvaluationCurve::FirstCycleEnvelope);
        QCOMPARE(cell(form->tblSkeleton, 1, 1), QStringLiteral("20")); // Pmax +
        QCOMPARE(cell(form->tblSkeleton, 10, 0), QStringLiteral("Evaluation curve"));
        QCOMPARE(cell(form->tblSkeleton, 10, 1), QStringLiteral("First-cycle envelope"));
        QCOMPARE(form->tblLevels->model()->rowCount(), 3);
        QVERIFY(w.resultsOverlay);
        QTRY_COMPARE(w.resultsOverlay->curves().size(), 2u);
        const std::vector<QPointF> positive{{0, 0}, {1, 10}, {2, 18}, {3, 20}};
        QCOMPARE(w.resultsOverlay->curves()[0].points, positive);
        // Drawn, not a series: the chart's series and what the workbook export writes stay six.
        QCOMPARE(w.cht1->seriesList().size(), 6u);
        QCOMPARE(w.cht1->plottableCount(), 6);
        w.cht1->grab(); // draws the dashed curves without a fault

        // The curves on the chart instead: the marks follow, nothing dashed.
        form->cbbEvaluationCurve->setCurrentIndex(0);
        emit form->cbbEvaluationCurve->activated(0);
        QTRY_VERIFY(w.resultsOverlay->curves().empty());
        QCOMPARE(cell(form->tblSkeleton, 1, 1), QStringLiteral("--")); // nothing extracted
        form->btnClose->click();
        QVERIFY(!w.resultsOverlay);
        QVERIFY(answers.messages.empty());
    }

    void warningsInTheWindowAndTheStatusBar() {
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kNegativeFirst); // Loop Direction "Positive"
        const QString direction =
            QStringLiteral("The first half-cycles go negative: set Loop Direction to Negative");
        // With the results window closed, the status bar says so.
        QTRY_VERIFY(w.rzfldsts5->text().startsWith(direction));
        QVERIFY(w.rzfldsts5->toolTip().contains(
            QStringLiteral("The positive first-cycle envelope has only 1 point")));
        w.rb4->setChecked(true);
        w.btn5->click();
        QTRY_VERIFY(w.rzfldsts5->toolTip().contains(
            QStringLiteral("The negative skeleton curve has only 1 point: check Loop Direction "
                           "and the dead band")));
        w.EngineeringResults1->trigger();
        QVERIFY(!w.resultsForm->lblWarnings->isHidden());
        QVERIFY(w.resultsForm->lblWarnings->text().startsWith(direction));
        // The right direction: no warning about it, and the envelope has its points.
        w.cbb4->setCurrentIndex(1);
        emit w.cbb4->activated(1);
        QTRY_VERIFY(!w.resultsForm->lblWarnings->text().contains(direction));
        QTRY_VERIFY(!w.rzfldsts5->text().contains(direction));
        w.btn5->click();
        QTRY_VERIFY(w.rzfldsts5->text().isEmpty());
        QVERIFY(w.resultsForm->lblWarnings->isHidden());
        QVERIFY(answers.messages.empty()); // no box from any command
    }

    void activeDeadBandInTheStatusBar() {
        TForm1 w;
        ModalAnswerer answers;
        QVERIFY(w.rzfldsts4->isHidden());
        answers.otherDialog = answerOptions(QStringLiteral("0.25"));
        w.AnalysisOptions1->trigger();
        QTRY_VERIFY(!w.rzfldsts4->isHidden());
        QCOMPARE(w.rzfldsts4->text(), QStringLiteral("Dead band: 0.25"));
        QCOMPARE(w.rzfldsts4->parentWidget(), w.rzstsbr1);
        // A new import keeps the band, and the field keeps showing it.
        load(w, answers, kLoop);
        QTRY_VERIFY(!w.rzfldsts4->isHidden());
        answers.otherDialog = answerOptions(QStringLiteral("0"));
        w.AnalysisOptions1->trigger();
        QTRY_VERIFY(w.rzfldsts4->isHidden());
    }

    void suggestProposesADeadBand() {
        TForm1 w;
        ModalAnswerer answers;
        // Without a record there is nothing to suggest from.
        bool enabled = true;
        answers.otherDialog = [&](QWidget* d) {
            auto* form = qobject_cast<TAnalysisOptionsForm*>(d);
            if (!form) return false;
            enabled = form->btnSuggest->isEnabled();
            form->btnCancel->click();
            return true;
        };
        w.AnalysisOptions1->trigger();
        QVERIFY(!enabled);

        load(w, answers, kJitter);
        const int before = w.edt6->text().toInt();
        QString field, note;
        bool stillOpen = false;
        answers.otherDialog = [&](QWidget* d) {
            auto* form = qobject_cast<TAnalysisOptionsForm*>(d);
            if (!form) return false;
            form->btnSuggest->click();
            field = form->edtDeadBand->text();
            note = form->lblSuggestion->text();
            stillOpen = form->isVisible(); // the choice stays the user's
            form->btnOK->click();
            return true;
        };
        w.AnalysisOptions1->trigger();
        QVERIFY(stillOpen);
        // Six excursions of 0.1 around the reference below two of 10: twice 0.1.
        QCOMPARE(field, QStringLiteral("0.2"));
        QCOMPARE(note, QStringLiteral("6 excursions of the record around its reference reach at "
                                      "most 0.1: a dead band of 0.2 gives 1 loop instead of %1 loops. "
                                      "OK takes it.")
                           .arg(before));
        QCOMPARE(w.analysisOptions.deadBand, 0.2);
        w.btn2->click();
        QCOMPARE(w.edt6->text(), QStringLiteral("1"));
        QVERIFY(answers.messages.empty());
    }

    void numbersRoundedOnScreenInFullInFiles() {
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kLoop);
        w.EngineeringResults1->trigger();
        TResultsForm* form = w.resultsForm;
        QCOMPARE(form->spnDigits->value(), 6);
        QCOMPARE(form->spnDigits->minimum(), 4);
        QCOMPARE(form->spnDigits->maximum(), 15);
        QCOMPARE(cell(form->tblLoops, 0, 8), QStringLiteral("4.16667")); // 25 / 6
        form->spnDigits->setValue(4);
        QCOMPARE(cell(form->tblLoops, 0, 8), QStringLiteral("4.167"));
        QCOMPARE(form->tblLoops->model()->index(0, 8).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("4.16666666666667"));
        // The open loop's state and the summary.
        QCOMPARE(cell(form->tblLoops, 0, 13), QStringLiteral("closed"));
        QCOMPARE(form->lblSummary->text(),
                 QStringLiteral("1 loop, 1 closed; energy of the closed loops 35.5, of the "
                                "record 35.5"));

        const QString csv = tmp.filePath(QStringLiteral("digits"));
        answers.queueFile(csv, 0);
        w.ExportEngineeringResults1->trigger();
        const QByteArray text = readTestFile(csv + QStringLiteral(".csv"));
        QVERIFY(text.contains(",4.16666666666667,"));
        QVERIFY(
            text.contains("\r\nEvaluation curve,First-cycle envelope,First-cycle envelope\r\n"));
        QVERIFY(text.contains("\r\nYield method,General yield moment (geometric),"));
        QVERIFY(text.contains("\r\nSummary\r\nQuantity,Value\r\n"));
        QVERIFY(text.contains("\r\nEnergy of the record (integral of F dD),35.5\r\n"));
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
