// The result plots of the results window: each plot's data against the results tables, the
// notes on what is not plotted, the hover read-out and the saved image.
#include "app/tform1.h"
#include "chart/chart_image.h"
#include "chart/chart_marks.h"
#include "chart/chart_readout.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "modal_answerer.h"
#include "results/result_plot_pages.h"
#include "results/results_form.h"
#include "test_files.h"
#include "window_driver.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// Three amplitude levels, two cycles each; the repeats carry 0.8 of the first cycle's force;
// the last loop stops before it closes.
const char* kLevels = "0 0\n1 10\n0.5 4\n0 -1\n-1 -10\n-0.5 -4\n0 1\n1 8\n0.5 3\n0 -1\n-1 -8\n"
                      "-0.5 -3\n0 1\n2 18\n1 8\n0 -2\n-2 -18\n-1 -8\n0 2\n2 14.4\n1 6\n0 -2\n"
                      "-2 -14.4\n-1 -6\n0 2\n3 20\n2 12\n0 -3\n-3 -20\n-2 -12\n0 3\n3 16\n"
                      "2 9\n0 -3\n-3 -16\n-2 -9\n0 3\n4 22\n3 15\n";

// The table's number in full (the window shows 15 digits in these tests); NaN for "--".
double number(const QTableView* t, int row, int column) {
    const QString text = t->model()->index(row, column).data().toString();
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v : std::nan("");
}

ChartSeries* seriesOf(ResultPlotPage* p, int i) {
    return p->plot->getSeries(i);
}

// The finite points of a series (level lines are apart by gaps).
int finiteCount(const ChartSeries* s) {
    int n = 0;
    for (int i = 0; i < s->count(); ++i)
        n += std::isfinite(s->x(i)) && std::isfinite(s->y(i));
    return n;
}

} // namespace

class ResultPlotsTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    TResultsForm* open(TForm1& w, ModalAnswerer& answers, const char* record) {
        importAndAnalyze(w, answers, tmp, record);
        w.EngineeringResults1->trigger();
        TResultsForm* form = w.resultsForm;
        form->spnDigits->setValue(15);
        QCoreApplication::processEvents();
        return form;
    }

private slots:
    void everyPlotShowsTheTablesNumbers() {
        TForm1 w;
        ModalAnswerer answers;
        TResultsForm* form = open(w, answers, kLevels);
        const QTableView* loops = form->tblLoops;
        const QTableView* levels = form->tblLevels;
        const int loopRows = loops->model()->rowCount();
        QCOMPARE(loopRows, 7);
        QCOMPARE(levels->model()->rowCount(), 3);
        QCOMPARE(form->tabResults->count(), 8);
        QCOMPARE(form->tabResults->tabText(0), QStringLiteral("Tables"));

        // Load protocol: the analysed curve by point index, the loop starts, the levels.
        ResultPlotPage* p = form->plots->page(QStringLiteral("Protocol"));
        QVERIFY(p);
        ChartSeries* curve = seriesOf(p, 0);
        QCOMPARE(curve->count(), static_cast<int>(w.loopDisp.size()));
        for (int i = 0; i < curve->count(); ++i) {
            QCOMPARE(curve->x(i), double(i));
            QCOMPARE(curve->y(i), w.loopDisp[static_cast<size_t>(i)]);
        }
        ChartSeries* bounds = seriesOf(p, 1);
        QCOMPARE(bounds->count(), loopRows); // the open last loop adds no end
        for (int k = 0; k < loopRows; ++k)
            QCOMPARE(bounds->x(k), double(w.crossIndex[2 * static_cast<size_t>(k)]));
        ChartSeries* lines = seriesOf(p, 2);
        QCOMPARE(finiteCount(lines), 4 * 3);
        for (int l = 0; l < 3; ++l) {
            QCOMPARE(lines->y(6 * l), number(levels, l, 3));     // D1
            QCOMPARE(lines->y(6 * l + 3), number(levels, l, 4)); // D2
        }

        // Energy: a bar per closed loop, the cumulative energy of every loop.
        p = form->plots->page(QStringLiteral("Energy"));
        ChartSeries* bars = seriesOf(p, 0);
        ChartSeries* cumulative = seriesOf(p, 1);
        QCOMPARE(bars->kind(), ChartSeries::Kind::Bar);
        QCOMPARE(bars->count(), loopRows - 1);
        QCOMPARE(cumulative->count(), loopRows);
        QVERIFY(cumulative->onRightAxis());
        for (int k = 0; k < loopRows - 1; ++k) {
            QCOMPARE(bars->x(k), number(loops, k, 0));
            QCOMPARE(bars->y(k), number(loops, k, 5));
        }
        for (int k = 0; k < loopRows; ++k)
            QCOMPARE(cumulative->y(k), number(loops, k, 6));
        QCOMPARE(p->note(), QStringLiteral("1 loop without an energy (open or beyond the range of "
                                           "numbers) is not plotted."));

        p = form->plots->page(QStringLiteral("EnergyTravel"));
        ChartSeries* travel = seriesOf(p, 0);
        QCOMPARE(travel->count(), loopRows);
        QCOMPARE(travel->x(0), 4.0); // out to 1 and back, out to -1 and back
        for (int k = 0; k < loopRows; ++k) {
            QCOMPARE(travel->y(k), number(loops, k, 6));
            if (k > 0) QVERIFY(travel->x(k) > travel->x(k - 1));
        }

        // Damping against the mean amplitude of the two peaks.
        p = form->plots->page(QStringLiteral("Damping"));
        ChartSeries* he = seriesOf(p, 0);
        QCOMPARE(he->count(), loopRows - 1);
        for (int k = 0; k < loopRows - 1; ++k) {
            QCOMPARE(he->y(k), number(loops, k, 7));
            QCOMPARE(he->x(k),
                     std::fabs(number(loops, k, 1)) / 2 + std::fabs(number(loops, k, 3)) / 2);
        }

        // Stiffness per direction, from the level table.
        p = form->plots->page(QStringLiteral("Stiffness"));
        for (int l = 0; l < 3; ++l) {
            QCOMPARE(seriesOf(p, 0)->x(l), number(levels, l, 3));
            QCOMPARE(seriesOf(p, 0)->y(l), number(levels, l, 5));
            QCOMPARE(seriesOf(p, 1)->x(l), number(levels, l, 4));
            QCOMPARE(seriesOf(p, 1)->y(l), number(levels, l, 5));
            QCOMPARE(seriesOf(p, 2)->y(l), number(levels, l, 6));
            QCOMPARE(seriesOf(p, 3)->y(l), number(levels, l, 6));
        }
        QVERIFY(seriesOf(p, 2)->onRightAxis());

        // Strength degradation: a curve per level, against the loop number.
        p = form->plots->page(QStringLiteral("Strength"));
        for (int k = 0; k < loopRows - 1; ++k) {
            const int level = static_cast<int>(number(loops, k, 9));
            ChartSeries* s = seriesOf(p, level - 1);
            QCOMPARE(s->title(), QStringLiteral("Level %1").arg(level));
            const int within = k % 2; // two loops a level
            QCOMPARE(s->x(within), number(loops, k, 0));
            QCOMPARE(s->y(within), number(loops, k, 10));
        }
        const auto legend = p->plot->legendSeries();
        QCOMPARE(legend.size(), 3u); // the unused level curves have no entry

        // The evaluation curves with their marks and idealisation.
        p = form->plots->page(QStringLiteral("Evaluation"));
        const QTableView* sk = form->tblSkeleton;
        ChartSeries* bilinear = seriesOf(p, 2);
        QCOMPARE(bilinear->count(), 3);
        QCOMPARE(bilinear->x(0), 0.0);              // the origin
        QCOMPARE(bilinear->y(1), number(sk, 1, 1)); // general yield moment: Pmax
        QCOMPARE(bilinear->x(1), number(sk, 2, 1)); // at Dy
        QCOMPARE(bilinear->x(2), number(sk, 4, 1)); // to Du
        ChartSeries* positive = seriesOf(p, 0);
        QCOMPARE(positive->count(), 4); // the origin and the first loop of each level
        QCOMPARE(positive->x(3), number(sk, 0, 1));
        QCOMPARE(positive->y(3), number(sk, 1, 1));
        QVERIFY(answers.messages.empty());
    }

    void aChangedYieldMethodRedrawsTheIdealisation() {
        TForm1 w;
        ModalAnswerer answers;
        TResultsForm* form = open(w, answers, kLevels);
        ResultPlotPage* p = form->plots->page(QStringLiteral("Evaluation"));
        form->cbbYieldMethod->setCurrentIndex(static_cast<int>(tc::YieldMethod::Eeep));
        emit form->cbbYieldMethod->activated(form->cbbYieldMethod->currentIndex());
        const QTableView* sk = form->tblSkeleton;
        QTRY_COMPARE(seriesOf(p, 2)->y(1), number(sk, 3, 1)); // EEEP: flat at Py
        QCOMPARE(seriesOf(p, 2)->y(2), number(sk, 3, 1));
        QCOMPARE(seriesOf(p, 3)->y(2), number(sk, 3, 2));
    }

    void hoveringAPointReadsItOut() {
        TForm1 w;
        ModalAnswerer answers;
        w.show();
        TResultsForm* form = open(w, answers, kLevels);
        ResultPlotPage* p = form->plots->page(QStringLiteral("Energy"));
        form->tabResults->setCurrentWidget(p);
        p->plot->replot(QCustomPlot::rpImmediateRefresh);
        ChartSeries* bars = seriesOf(p, 0);
        const QPointF top = bars->valueToScreen(bars->x(1), bars->y(1));
        p->readout->readAt(top);
        QVERIFY2(p->readout->toolTip().startsWith(QStringLiteral("Energy E, point 1\nLoop: 2\n")),
                 qPrintable(p->readout->toolTip()));
        QVERIFY(p->lblPosition->text().startsWith(QStringLiteral("Loop: ")));
        // A point of the curve on the right axis is read on that axis.
        ChartSeries* cumulative = seriesOf(p, 1);
        p->readout->readAt(cumulative->valueToScreen(cumulative->x(3), cumulative->y(3)));
        QVERIFY2(p->readout->toolTip().contains(QStringLiteral("Cumulative E: ")),
                 qPrintable(p->readout->toolTip()));
    }

    void saveImageWritesThePlot() {
        TForm1 w;
        ModalAnswerer answers;
        w.show();
        TResultsForm* form = open(w, answers, kLevels);
        ResultPlotPage* p = form->plots->page(QStringLiteral("Stiffness"));
        answers.otherDialog = [](QWidget* d) {
            auto* size = qobject_cast<TChartImageForm*>(d);
            if (!size) return false;
            size->seWidth->setValue(400);
            size->seHeight->setValue(300);
            size->btnsImage->button(QDialogButtonBox::Ok)->click();
            return true;
        };
        const QString path = tmp.filePath(QStringLiteral("stiffness.png"));
        answers.queueFile(path);
        p->btnSaveImage->click();
        QCOMPARE(answers.lastSuggestedName, QStringLiteral("stiffness.png"));
        const QImage image(path);
        QCOMPARE(image.size(), QSize(400, 300));
        QVERIFY(answers.messages.empty());

        // A link into a folder that is gone: a clear message, nothing written.
        const QString target = tmp.filePath(QStringLiteral("gone.png"));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("gone/plot.png")), target));
        answers.queueFile(target);
        p->btnSaveImage->click();
        QCOMPARE(answers.messages.size(), 1u);
        QVERIFY2(answers.messages.front().text.startsWith(QStringLiteral("Cannot create file")),
                 qPrintable(answers.messages.front().text));
    }

    void thousandsOfLevelsAreNotMarkedButNoted() {
        QTabWidget tabs;
        auto* plots = new ResultPlotSet(&tabs);
        tc::ResultPlots data;
        for (int i = 0; i < 1001; ++i)
            data.protocol.levels.push_back({i + 1, 4.0 * i, 4.0 * i + 4, 1.0 + i, -1.0 - i});
        plots->show(data, QStringLiteral("Disp"), QStringLiteral("Force"), '.');
        ResultPlotPage* p = plots->page(QStringLiteral("Protocol"));
        QCOMPARE(seriesOf(p, 2)->count(), 0);
        QCOMPARE(p->note(), QStringLiteral("1001 amplitude levels are too many to mark; the level "
                                           "table lists them."));
        data.protocol.levels.resize(300);
        plots->show(data, QStringLiteral("Disp"), QStringLiteral("Force"), '.');
        QCOMPARE(finiteCount(seriesOf(p, 2)), 4 * 300);
        QVERIFY(!seriesOf(p, 2)->dashed()); // solid: hundreds of dashed lines draw slowly
        QCOMPARE(p->note(), QString());
    }

    void plotsOfAnEmptyWorkspaceAreEmpty() {
        TForm1 w;
        ModalAnswerer answers;
        w.EngineeringResults1->trigger();
        QCoreApplication::processEvents();
        for (ResultPlotPage* p : w.resultsForm->plots->pages())
            for (ChartSeries* s : p->plot->seriesList())
                QCOMPARE(s->count(), 0);
        QVERIFY(answers.messages.empty());
    }
};

QTEST_MAIN(ResultPlotsTest)
#include "result_plots_test.moc"
