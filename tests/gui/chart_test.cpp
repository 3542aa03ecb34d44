// Drives the main window's chart: the series and their look, the legend, the loop browser's
// drawing, mouse navigation and the two chart tools.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "modal_answerer.h"
#include "test_files.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

using Points = std::vector<double>;

// The look of a series in a few words, e.g. "line 2 #ff0000 circle 4 shown legend".
QString look(const ChartSeries* s) {
    static const char* styles[] = {"rectangle",     "circle",  "triangle",
                                   "down-triangle", "diamond", "cross",
                                   "diag-cross",    "star",    "dot"};
    QStringList w;
    w << (s->kind() == ChartSeries::Kind::Line ? QStringLiteral("line %1").arg(s->lineWidth())
                                               : QStringLiteral("points"));
    w << s->seriesColor().name() << styles[int(s->pointerStyle())]
      << QString::number(s->pointerSize()) << (s->pointerVisible() ? "shown" : "hidden")
      << (s->legendVisible() ? "legend" : "unlisted");
    if (s->colorEachPoint()) w << "each-point";
    if (s->ascendingX()) w << "ascending";
    return w.join(' ');
}

// Active flags of raw, loop, Point1, Point2, positive, negative as 0 and 1.
QString activeFlags(const TForm1& w) {
    QString s;
    for (const ChartSeries* x : {w.rawSeries, w.loopSeries, w.pntsrsSeries1, w.pntsrsSeries2,
                                 w.skeletonPosSeries, w.skeletonNegSeries})
        s += x->active() ? '1' : '0';
    return s;
}

void send(QWidget* to, QEvent::Type type, QPointF pos, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent e(type, pos, to->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &e);
}

void moveMouse(QWidget* to, QPointF pos) {
    send(to, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

// Press, a few moves, release.
void drag(QWidget* on, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    send(on, QEvent::MouseButtonPress, from, button, button);
    for (int step = 1; step <= 3; ++step)
        send(on, QEvent::MouseMove, from + (to - from) * step / 3, Qt::NoButton, button);
    send(on, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

QCPRange xRange(const TForm1& w) {
    return w.cht1->xAxis->range();
}
QCPRange yRange(const TForm1& w) {
    return w.cht1->yAxis->range();
}

bool near(double a, double b, double scale) {
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(scale));
}
bool sameRange(const QCPRange& a, const QCPRange& b) {
    return near(a.lower, b.lower, a.size()) && near(a.upper, b.upper, a.size());
}

} // namespace

class ChartTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    int records = 0;

    // A record of the given displacements; the force of line i is 10 i.
    QString record(const Points& disp) {
        QByteArray text;
        for (size_t i = 0; i < disp.size(); ++i)
            text += QByteArray::number(disp[i]) + ' ' + QByteArray::number(10.0 * i) + '\n';
        return writeTestFile(tmp, QStringLiteral("rec%1.txt").arg(++records), text);
    }
    void import(TForm1& w, ModalAnswerer& answers, const Points& disp) {
        answers.queueFile(record(disp));
        w.btn1->click();
    }
    void importAndAnalyse(TForm1& w, ModalAnswerer& answers, const Points& disp) {
        import(w, answers, disp);
        w.btn2->click();
    }
    static void selectLoop(TForm1& w, int k) { // as the user's choice
        w.cbb1->setCurrentIndex(k);
        emit w.cbb1->activated(k);
    }
    static void show(TForm1& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        settle(w);
    }
    // Runs the queued redraw now: the axes have followed the data.
    static void settle(TForm1& w) {
        QCoreApplication::processEvents();
        w.cht1->replot();
    }
    static void clickLegend(TForm1& w, const QString& title) {
        for (ChartSeries* s : w.cht1->seriesList())
            if (s->title() == title)
                QTest::mouseClick(w.cht1, Qt::LeftButton, {},
                                  w.cht1->legendCheckBoxRect(s).center());
    }

private slots:
    // ---------------------------------------------------------------- series

    void seriesOrderAndLook_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("look");
        QTest::newRow("1") << "Point1"
                           << "points #ffff00 circle 5 shown unlisted each-point ascending";
        QTest::newRow("2") << "Point2"
                           << "points #ffff00 diamond 5 shown unlisted each-point ascending";
        QTest::newRow("3") << "Loop"
                           << "line 1 #000000 circle 3 hidden legend";
        QTest::newRow("4") << "Loop_"
                           << "line 2 #ff00ff circle 3 hidden legend";
        QTest::newRow("5") << "Tarvel_Positive"
                           << "line 2 #ff0000 circle 4 shown legend";
        QTest::newRow("6") << "Tarvel_Negative"
                           << "line 2 #0000ff circle 4 shown legend";
    }
    void seriesOrderAndLook() {
        QFETCH(QString, title);
        QFETCH(QString, look);
        TForm1 w;
        const ChartSeries* member[] = {w.pntsrsSeries1, w.pntsrsSeries2,     w.rawSeries,
                                       w.loopSeries,    w.skeletonPosSeries, w.skeletonNegSeries};
        const int i = QString(QTest::currentDataTag()).toInt() - 1;
        QCOMPARE(w.cht1->seriesCount(), 6);
        QCOMPARE(w.cht1->getSeries(i), member[i]);
        QCOMPARE(member[i]->title(), title);
        QCOMPARE(::look(member[i]), look);
        QVERIFY(member[i]->active());
        QCOMPARE(member[i]->chart(), w.cht1);
    }

    void chartSettingsAndTools() {
        TForm1 w;
        QCOMPARE(w.cht1->xAxis->label(), QStringLiteral("Disp"));
        QCOMPARE(w.cht1->yAxis->label(), QStringLiteral("Force"));
        QVERIFY(w.drgpntlChartTool1->active());
        QCOMPARE(w.drgpntlChartTool1->series(), nullptr);
        QVERIFY(w.drgpntlChartTool1->style() == DragPointTool::Style::Both);
        QVERIFY(!w.crsrtlChartTool1->active());
        QVERIFY(w.crsrtlChartTool1->followMouse());
    }

    void pointSeriesOrder_data() {
        QTest::addColumn<Points>("xs");
        QTest::addColumn<Points>("order"); // the input place of each point, in series order
        QTest::newRow("rising") << Points{1, 2, 3} << Points{0, 1, 2};
        QTest::newRow("falling") << Points{3, 2, 1} << Points{2, 1, 0};
        QTest::newRow("equal X keep append order") << Points{0, 0, 0} << Points{0, 1, 2};
        QTest::newRow("mixed") << Points{5, -1, 5, 2} << Points{1, 3, 0, 2};
    }
    void pointSeriesOrder() {
        QFETCH(Points, xs);
        QFETCH(Points, order);
        TForm1 w;
        ChartSeries* s = w.pntsrsSeries2;
        auto colour = [](double place) { return QColor::fromHsv(int(place) * 60, 255, 255); };
        for (size_t i = 0; i < xs.size(); ++i)
            s->addXY(xs[i], double(i), colour(double(i)));
        QCOMPARE(s->ys(), order);
        for (int round = 0; round < 2; ++round) { // each colour stays with its point
            for (int i = 0; i < s->count(); ++i)
                QCOMPARE(s->pointColor(i), colour(s->y(i)));
            s->deleteAt(0);
        }
    }

    // ---------------------------------------------------------------- loop browser drawing

    void loopBrowser_data() {
        QTest::addColumn<Points>("disp");
        QTest::addColumn<int>("loop");
        QTest::addColumn<int>("from"); // the loop's points: analysed curve from..to, in order
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("markers");    // Point1: "analysed index colour"
        QTest::addColumn<std::vector<int>>("peaks"); // Point2: analysed indices
        QTest::addColumn<QString>("values");         // edt1..edt4
        const Points two{0, 5, 0, -5, 0, 6, 0, -6, 0};
        QTest::newRow("loop 2") << two << 2 << 4 << 8
                                << QStringList{"4 #ffff00", "6 #ff0000", "8 #00ff00"}
                                << std::vector<int>{7, 5} << "6 -6 50 70";
        QTest::newRow("loop 1") << two << 1 << 0 << 4
                                << QStringList{"0 #ffff00", "2 #ff0000", "4 #00ff00"}
                                << std::vector<int>{3, 1} << "5 -5 10 30";
        QTest::newRow("unfinished last loop")
            << Points{0, 5, 0, -5, 0, 6} << 2 << 4 << 5 << QStringList{"4 #ffff00", "5 #00ff00"}
            << std::vector<int>{} << "-- -- -- --";
        QTest::newRow("never returns")
            << Points{0, 1, 2} << 1 << 0 << 2 << QStringList{"0 #ffff00", "2 #00ff00"}
            << std::vector<int>{} << "-- -- -- --";
        QTest::newRow("inserted crossings") << Points{0, 10, -10, 10} << 1 << 0 << 4
                                            << QStringList{"0 #ffff00", "2 #ff0000", "4 #00ff00"}
                                            << std::vector<int>{3, 1} << "10 -10 10 20";
        QTest::newRow("first half only")
            << Points{0, 5, 0} << 1 << 0 << 2 << QStringList{"0 #ffff00", "2 #ff0000", "2 #00ff00"}
            << std::vector<int>{1} << "5 -- 10 --";
    }
    void loopBrowser() {
        QFETCH(Points, disp);
        QFETCH(int, loop);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, markers);
        QFETCH(std::vector<int>, peaks);
        QFETCH(QString, values);
        TForm1 w;
        ModalAnswerer answers;
        importAndAnalyse(w, answers, disp);
        if (loop != 1) selectLoop(w, loop - 1);
        QCOMPARE(w.loopSeries->title(), QStringLiteral("Loop_%1").arg(loop));
        // In point order, back and forth in X: a closed path, not a function of X.
        QCOMPARE(w.loopSeries->xs(),
                 Points(w.loopDisp.begin() + from, w.loopDisp.begin() + to + 1));
        QCOMPARE(w.loopSeries->ys(),
                 Points(w.loopForce.begin() + from, w.loopForce.begin() + to + 1));
        QCOMPARE(w.loopSeries->pointColor(0), QColor(0xFF, 0x00, 0xFF));
        QCOMPARE(w.pntsrsSeries1->count(), int(markers.size()));
        for (int i = 0; i < w.pntsrsSeries1->count(); ++i) {
            const QStringList m = markers[i].split(' ');
            const auto at = size_t(m[0].toInt());
            QCOMPARE(QPointF(w.pntsrsSeries1->x(i), w.pntsrsSeries1->y(i)),
                     QPointF(w.loopDisp[at], w.loopForce[at]));
            QCOMPARE(w.pntsrsSeries1->pointColor(i).name(), m[1]);
        }
        QCOMPARE(w.pntsrsSeries2->count(), int(peaks.size()));
        for (int i = 0; i < w.pntsrsSeries2->count(); ++i) {
            const auto at = size_t(peaks[size_t(i)]);
            QCOMPARE(QPointF(w.pntsrsSeries2->x(i), w.pntsrsSeries2->y(i)),
                     QPointF(w.loopDisp[at], w.loopForce[at]));
            QCOMPARE(w.pntsrsSeries2->pointColor(i), QColor(0x00, 0xFF, 0xFF));
        }
        QCOMPARE(QStringList({w.edt1->text(), w.edt2->text(), w.edt3->text(), w.edt4->text()}),
                 values.split(' '));
    }

    void consecutiveLoopsShareTheirBoundaryPoint() {
        TForm1 w;
        ModalAnswerer answers;
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0, 6, 0, -6, 0, 7, 0, -7, 0, 3});
        QCOMPARE(w.cbb1->count(), 4);
        auto marker = [&](const char* colour) {
            for (int i = 0; i < w.pntsrsSeries1->count(); ++i)
                if (w.pntsrsSeries1->pointColor(i).name() == colour)
                    return QPointF(w.pntsrsSeries1->x(i), w.pntsrsSeries1->y(i));
            return QPointF(qQNaN(), 0);
        };
        for (int k = 1; k < w.cbb1->count(); ++k) {
            const QPointF end = marker("#00ff00");
            selectLoop(w, k);
            QCOMPARE(marker("#ffff00"), end);
        }
    }

    // ---------------------------------------------------------------- legend

    void legendListsEveryCurveButTheMarkers() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0});
        settle(w);
        const std::vector<ChartSeries*> listed{w.rawSeries, w.loopSeries, w.skeletonPosSeries,
                                               w.skeletonNegSeries};
        QCOMPARE(w.cht1->legendSeries(), listed);
        QVERIFY(w.cht1->legendEntryRect(w.pntsrsSeries1).isEmpty());
        // Inside the plot area, top right.
        const QRect area = w.cht1->plotArea(), legend = w.cht1->legendRect();
        QVERIFY(area.contains(legend) && legend.right() > area.center().x() &&
                legend.bottom() < area.center().y());
        // A longer title widens the legend.
        const int before = legend.width();
        const QString title = QStringLiteral("Loop_1 of a much longer record name");
        w.loopSeries->setTitle(title);
        const QFontMetrics fm(w.cht1->legend->font());
        QVERIFY(w.cht1->legendRect().width() >=
                before + fm.horizontalAdvance(title) - fm.horizontalAdvance("Tarvel_Negative"));
    }

    void legendChecks_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("flags"); // raw, loop, Point1, Point2, positive, negative
        QTest::newRow("nothing") << QStringList{} << "111111";
        QTest::newRow("uncheck the loop") << QStringList{"Loop_1"} << "100011";
        QTest::newRow("and check it again") << QStringList{"Loop_1", "Loop_1"} << "111111";
        QTest::newRow("loop hidden, then the curve") << QStringList{"Loop_1", "Loop"} << "000011";
        QTest::newRow("loop hidden, then a skeleton")
            << QStringList{"Loop_1", "Tarvel_Positive"} << "100001";
        QTest::newRow("uncheck the curve only") << QStringList{"Loop"} << "011111";
        QTest::newRow("negative skeleton") << QStringList{"Tarvel_Negative"} << "111110";
    }
    void legendChecks() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, flags);
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0});
        settle(w);
        for (const QString& title : clicks)
            clickLegend(w, title);
        QCOMPARE(activeFlags(w), flags);
        QCOMPARE(w.rawSeries->count() + w.pntsrsSeries1->count(), 5 + 3); // points kept
        QVERIFY(answers.messages.empty());
    }

    void hiddenSeriesStayHiddenAcrossImportAndAnalysis() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0});
        settle(w);
        clickLegend(w, "Loop");
        clickLegend(w, "Loop_1");
        importAndAnalyse(w, answers, {0, 1, 0, -1, 0, 2, 0});
        QCOMPARE(w.rawSeries->count(), 7);
        QCOMPARE(w.loopSeries->count(), 5);
        QCOMPARE(activeFlags(w), QStringLiteral("000011"));
    }

    // ---------------------------------------------------------------- navigation

    void zoomRectangle_data() {
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("down right zooms") << QPoint(120, 90) << "zoom";
        QTest::newRow("up left shows all") << QPoint(-120, -90) << "all";
        QTest::newRow("left shows all") << QPoint(-120, 0) << "all";
        QTest::newRow("up shows all") << QPoint(0, -90) << "all";
        QTest::newRow("down left shows all") << QPoint(-120, 90) << "all";
        QTest::newRow("a click changes nothing") << QPoint(0, 0) << "same";
        QTest::newRow("a flat drag changes nothing") << QPoint(120, 2) << "same";
    }
    void zoomRectangle() {
        QFETCH(QPoint, move);
        QFETCH(QString, outcome);
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0, 8, 0, -8, 0});
        settle(w);
        const QCPRange allX = xRange(w), allY = yRange(w);
        const QRect area = w.cht1->plotArea();
        w.cht1->zoomAt(area.center(), 0.8); // a little zoomed already
        settle(w);
        const QCPRange startX = xRange(w), startY = yRange(w);
        const QPoint from = area.center() - QPoint(60, 45), to = from + move;
        const QCPRange bandX(w.cht1->xScreenToValue(from.x()), w.cht1->xScreenToValue(to.x()));
        const QCPRange bandY(w.cht1->yScreenToValue(to.y()), w.cht1->yScreenToValue(from.y()));
        drag(w.cht1, from, to);
        QVERIFY(w.cht1->zoomBand().isEmpty());
        settle(w);
        QCOMPARE(w.cht1->userZoomed(), outcome != "all");
        const QCPRange x = outcome == "zoom" ? bandX : outcome == "all" ? allX : startX;
        const QCPRange y = outcome == "zoom" ? bandY : outcome == "all" ? allY : startY;
        QVERIFY(sameRange(xRange(w), x) && sameRange(yRange(w), y));
    }

    // Scrolling and the wheel keep the value under the mouse under it.
    void scrollAndWheel_data() {
        QTest::addColumn<int>("wheel"); // 0: a right drag instead
        QTest::addColumn<int>("scale"); // -1 closer, 0 same, 1 farther
        QTest::newRow("right drag scrolls") << 0 << 0;
        QTest::newRow("wheel forward zooms in") << 120 << -1;
        QTest::newRow("wheel back zooms out") << -240 << 1;
    }
    void scrollAndWheel() {
        QFETCH(int, wheel);
        QFETCH(int, scale);
        TForm1 w;
        show(w);
        w.skeletonPosSeries->setPoints({0, 10}, {0, 100});
        settle(w);
        const QPoint from = w.cht1->plotArea().center(), to = from + QPoint(-70, 40);
        const double x = w.cht1->xScreenToValue(from.x()), y = w.cht1->yScreenToValue(from.y());
        const double xSize = xRange(w).size(), ySize = yRange(w).size();
        QPoint at = from;
        if (wheel == 0) {
            drag(w.cht1, from, to, Qt::RightButton);
            at = to;
        } else {
            QWheelEvent e(from, w.cht1->mapToGlobal(from), QPoint(), QPoint(0, wheel), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(w.cht1, &e);
        }
        // (Before the next redraw, which may change the margins for new tick labels.)
        QVERIFY(near(w.cht1->xScreenToValue(at.x()), x, xSize));
        QVERIFY(near(w.cht1->yScreenToValue(at.y()), y, ySize));
        QCOMPARE(near(xRange(w).size(), xSize, xSize) ? 0
                 : xRange(w).size() < xSize           ? -1
                                                      : 1,
                 scale);
        QVERIFY(w.cht1->userZoomed());
    }

    void axesFollowTheDataUnlessZoomed() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        w.skeletonPosSeries->setPoints({0, 10}, {0, 100});
        w.skeletonPosSeries->addXY(50, 500);
        settle(w);
        QVERIFY(xRange(w).contains(50) && yRange(w).contains(500));
        w.skeletonNegSeries->setPoints({-1000}, {0});
        settle(w);
        QVERIFY(xRange(w).contains(-1000));
        w.skeletonNegSeries->setActive(false); // fitted to what is still shown
        settle(w);
        QVERIFY(!xRange(w).contains(-1000));
        w.cht1->zoomAt(w.cht1->plotArea().center(), 0.5);
        settle(w);
        const QCPRange zoomed = xRange(w);
        w.skeletonPosSeries->addXY(5000, 5000);
        settle(w);
        QVERIFY(sameRange(xRange(w), zoomed));
        import(w, answers, {100, 200, 300}); // empties every series: shown whole
        settle(w);
        QVERIFY(!w.cht1->userZoomed() && xRange(w).contains(100) && xRange(w).contains(300));
    }

    // ---------------------------------------------------------------- hit test

    void hitTest_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("small series (plain scan)") << 500;
        QTest::newRow("large series (grid)") << 200000;
    }
    void hitTest() {
        QFETCH(int, points);
        TForm1 w;
        show(w);
        Points xs, ys;
        for (int i = 0; i < points; ++i) {
            const double t = i * 20.0 / points;
            xs.push_back((1 + t) * std::sin(t * 6.28));
            ys.push_back(10 * std::tanh(3 * std::sin(t * 6.28 - 0.4)));
        }
        ChartSeries* s = w.rawSeries;
        s->setPoints(xs, ys);
        settle(w);
        const QRectF area = w.cht1->plotArea();
        auto nearest = [&](QPointF p) { // within the tolerance, on the plot area
            int best = -1;
            double bestD = s->hitTolerance() * s->hitTolerance();
            for (int i = 0; i < s->count(); ++i) {
                const QPointF d = s->valueToScreen(s->x(i), s->y(i)) - p;
                const double dd = QPointF::dotProduct(d, d);
                if (area.contains(d + p) && (dd < bestD || (best < 0 && dd == bestD))) {
                    best = i;
                    bestD = dd;
                }
            }
            return best;
        };
        std::mt19937 rng(3);
        std::uniform_int_distribution<int> pick(0, points - 1);
        std::uniform_real_distribution<double> jitter(-6, 6);
        for (int q = 0; q < 150; ++q) {
            const int i = pick(rng);
            const QPointF p =
                s->valueToScreen(s->x(i), s->y(i)) + QPointF(jitter(rng), jitter(rng));
            QCOMPARE(s->pointAt(p), nearest(p));
        }
        // A moved point is found at its new place only.
        const int moved = points / 3;
        const QPointF old = s->valueToScreen(s->x(moved), s->y(moved));
        const QPointF target = area.topLeft() + QPointF(3, 3);
        s->movePoint(moved, s->xScreenToValue(target.x()), s->yScreenToValue(target.y()));
        QCOMPARE(s->pointAt(target), moved);
        QCOMPARE(s->pointAt(old), nearest(old));
        // The cursor is the mouse's last position, which the window keeps as well.
        moveMouse(w.cht1, target);
        QCOMPARE(s->cursorValueIndex(), moved);
        QCOMPARE(QPoint(w.mouseX, w.mouseY), target.toPoint());
        s->setActive(false); // hidden: nothing to hit
        QCOMPARE(s->cursorValueIndex(), -1);
    }

    // ---------------------------------------------------------------- tools

    void dragTool_data() {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<bool>("toolActive");
        QTest::addColumn<bool>("seriesActive");
        QTest::newRow("bound: drags") << true << true << true;
        QTest::newRow("unbound") << false << true << true;
        QTest::newRow("tool switched off") << true << false << true;
        QTest::newRow("series hidden") << true << true << false;
    }
    void dragTool() {
        QFETCH(bool, bound);
        QFETCH(bool, toolActive);
        QFETCH(bool, seriesActive);
        const bool drags = bound && toolActive && seriesActive;
        TForm1 w;
        show(w);
        ChartSeries* s = w.skeletonPosSeries;
        for (double x : {0.0, 2.0, 5.0})
            s->addXY(x, 10 * x);
        w.skeletonNegSeries->setPoints({-5, 0}, {-50, 0}); // the axes stay put when s is hidden
        DragPointTool* tool = w.drgpntlChartTool1;
        std::vector<int> hooked;
        tool->setOnDrag([&](int i) { hooked.push_back(i); });
        tool->setSeries(bound ? s : nullptr);
        tool->setActive(toolActive);
        s->setActive(seriesActive);
        settle(w);
        const QCPRange x0 = xRange(w), y0 = yRange(w);
        // Down right (a zoom rectangle when nothing is dragged), to below the plot area.
        const QPoint from = s->valueToScreen(2, 20).toPoint();
        const QPoint to(from.x() + 60, w.cht1->plotArea().bottom() + 20);
        send(w.cht1, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(tool->dragging(), drags);
        for (int step = 1; step <= 3; ++step) {
            send(w.cht1, QEvent::MouseMove, from + (to - from) * step / 3, Qt::NoButton,
                 Qt::LeftButton);
            settle(w);
            QVERIFY(!drags || (sameRange(xRange(w), x0) && sameRange(yRange(w), y0))); // held
        }
        const QPointF target(w.cht1->xScreenToValue(to.x()), w.cht1->yScreenToValue(to.y()));
        send(w.cht1, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        settle(w);
        QVERIFY(!tool->dragging());
        QCOMPARE(s->xs(), (Points{0, drags ? target.x() : 2, 5}));
        QCOMPARE(s->ys(), (Points{0, drags ? target.y() : 20, 50}));
        QCOMPARE(hooked, (drags ? std::vector<int>{1, 1, 1} : std::vector<int>{}));
        QCOMPARE(w.cht1->userZoomed(), !drags); // not dragging, the press began a zoom rectangle
        if (drags) QVERIFY(yRange(w).contains(target.y())); // the axes caught up
    }

    void dragStepUpdatesDataAndQueuesTheRedraw() {
        TForm1 w;
        show(w);
        ChartSeries* s = w.rawSeries;
        s->setPoints({0, 1, 2}, {0, 1, 0});
        settle(w);
        DragPointTool* tool = w.drgpntlChartTool1;
        tool->setSeries(s);
        int redraws = 0;
        connect(w.cht1, &QCustomPlot::afterReplot, this, [&] { ++redraws; });
        const QPointF p = s->valueToScreen(1, 1);
        QVERIFY(tool->beginDrag(p));
        QCOMPARE(tool->draggedIndex(), 1);
        for (int i = 1; i <= 5; ++i)
            tool->dragTo(p + QPointF(i, i));
        QCOMPARE(s->x(1), s->xScreenToValue(p.x() + 5));
        QCOMPARE(redraws, 0); // the data now, the picture later
        QCoreApplication::processEvents();
        QCOMPARE(redraws, 1);     // five steps, one redraw
        tool->setSeries(nullptr); // unbinding ends the drag
        QVERIFY(!tool->dragging() && !w.cht1->holdAxes());
        QVERIFY(!tool->beginDrag(s->valueToScreen(s->x(1), s->y(1))));
    }

    void crossHairFollowsTheMouseOnItsOwnLayer() {
        TForm1 w;
        show(w);
        Points xs, ys;
        for (int i = 0; i < 20000; ++i) {
            xs.push_back(std::sin(i * 0.01) * i);
            ys.push_back(std::cos(i * 0.01));
        }
        w.rawSeries->setPoints(xs, ys);
        settle(w);
        CursorTool* cursor = w.crsrtlChartTool1;
        const QPoint p = w.cht1->plotArea().center();
        moveMouse(w.cht1, p);
        QVERIFY(!w.cht1->crossHairShown()); // inactive after construction
        cursor->setActive(true);
        QVERIFY(cursor->shown());
        QCOMPARE(cursor->position(), QPointF(p));
        int redraws = 0;
        connect(w.cht1, &QCustomPlot::afterReplot, this, [&] { ++redraws; });
        for (int i = 1; i <= 10; ++i) {
            moveMouse(w.cht1, p + QPoint(i * 3, -i * 2));
            QCoreApplication::processEvents();
        }
        QCOMPARE(redraws, 0); // the series were not drawn again
        QCOMPARE(w.cht1->crossHairPos(), QPointF(p + QPoint(30, -20)));
        QCOMPARE(cursor->xValue(), w.cht1->xScreenToValue(p.x() + 30));
        QCOMPARE(w.cht1->seriesCount(), 6); // overlays are no series
        QCOMPARE(w.cht1->legendSeries().size(), size_t(4));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w.cht1, &leave);
        QVERIFY(!cursor->shown());
        moveMouse(w.cht1, p);
        QVERIFY(cursor->shown());
        cursor->setActive(false);
        moveMouse(w.cht1, p + QPoint(5, 5));
        QVERIFY(!w.cht1->crossHairShown());
    }
};

QTEST_MAIN(ChartTest)
#include "chart_test.moc"
