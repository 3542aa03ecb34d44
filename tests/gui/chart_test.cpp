// Drives the main window's chart: the series and their look, the legend, the loop browser's
// drawing, mouse navigation and the two chart tools.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "modal_answerer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

using P = ChartSeries::PointerStyle;

// Flags of (rawSeries, loopSeries, pntsrsSeries1, pntsrsSeries2, skeletonPosSeries,
// skeletonNegSeries) as a string of 0 and 1.
QString activeFlags(const TForm1& w) {
    QString s;
    for (const ChartSeries* x : {w.rawSeries, w.loopSeries, w.pntsrsSeries1, w.pntsrsSeries2, w.skeletonPosSeries,
                                 w.skeletonNegSeries})
        s += x->active() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

ChartSeries* seriesTitled(const TForm1& w, const QString& title) {
    for (ChartSeries* s : w.cht1->seriesList())
        if (s->title() == title) return s;
    return nullptr;
}

void send(QWidget* target, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

// A press, moves in a few steps, and a release: a drag with one button.
void drag(QWidget* target, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    send(target, QEvent::MouseButtonPress, from, button, button);
    for (int step = 1; step <= 4; ++step)
        send(target, QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton, button);
    send(target, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

void moveMouse(QWidget* target, QPointF pos) { send(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton); }

QCPRange xRange(const TForm1& w) { return w.cht1->xAxis->range(); }
QCPRange yRange(const TForm1& w) { return w.cht1->yAxis->range(); }

bool near(double a, double b, double scale) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(scale)); }

bool sameRange(const QCPRange& a, const QCPRange& b) {
    return near(a.lower, b.lower, a.size()) && near(a.upper, b.upper, a.size());
}

} // namespace

class ChartTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    // A record of the given displacements with force 10 * line number (0-based).
    QString record(const std::vector<double>& disp) {
        QByteArray text;
        for (size_t i = 0; i < disp.size(); ++i) text += QByteArray::number(disp[i]) + ' ' + QByteArray::number(10.0 * double(i)) + '\n';
        static int n = 0;
        const QString path = tmp.filePath(QStringLiteral("rec%1.txt").arg(++n));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

    static void import(TForm1& w, ModalAnswerer& answers, const QString& path) {
        answers.queueFile(path);
        w.btn1->click();
    }

    void importAndAnalyse(TForm1& w, ModalAnswerer& answers, const std::vector<double>& disp) {
        import(w, answers, record(disp));
        w.btn2->click();
    }

    static void show(TForm1& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        settle(w);
    }

    // Runs the queued redraw now, so the axes have followed the data.
    static void settle(TForm1& w) {
        QCoreApplication::processEvents();
        w.cht1->replot();
    }

    static void clickLegend(TForm1& w, const QString& title) {
        ChartSeries* s = seriesTitled(w, title);
        QVERIFY2(s, qPrintable(title));
        const QRect box = w.cht1->legendCheckBoxRect(s);
        QVERIFY2(!box.isEmpty(), qPrintable(title));
        QTest::mouseClick(w.cht1, Qt::LeftButton, Qt::NoModifier, box.center());
    }

private slots:
    // ---------------------------------------------------------------- series and look

    void seriesOrderAndLook_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("kind"); // 0 line, 1 point
        QTest::addColumn<double>("lineWidth");
        QTest::addColumn<bool>("pointerVisible");
        QTest::addColumn<int>("pointerStyle");
        QTest::addColumn<double>("pointerSize");
        QTest::addColumn<bool>("legend");
        QTest::addColumn<bool>("colorEachPoint");
        QTest::addColumn<bool>("ascendingX");
        const auto circle = int(P::Circle), diamond = int(P::Diamond);
        QTest::newRow("Point1") << 0 << "Point1" << QColor(0xFF, 0xFF, 0x00) << 1 << 1.0 << true << circle << 5.0 << false << true << true;
        QTest::newRow("Point2") << 1 << "Point2" << QColor(0xFF, 0xFF, 0x00) << 1 << 1.0 << true << diamond << 5.0 << false << true << true;
        QTest::newRow("Loop") << 2 << "Loop" << QColor(0, 0, 0) << 0 << 1.0 << false << circle << 3.0 << true << false << false;
        QTest::newRow("Loop_") << 3 << "Loop_" << QColor(0xFF, 0x00, 0xFF) << 0 << 2.0 << false << circle << 3.0 << true << false << false;
        QTest::newRow("Tarvel_Positive") << 4 << "Tarvel_Positive" << QColor(0xFF, 0, 0) << 0 << 2.0 << true << circle << 4.0 << true << false << false;
        QTest::newRow("Tarvel_Negative") << 5 << "Tarvel_Negative" << QColor(0, 0, 0xFF) << 0 << 2.0 << true << circle << 4.0 << true << false << false;
    }
    void seriesOrderAndLook() {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QColor, color);
        QFETCH(int, kind);
        QFETCH(double, lineWidth);
        QFETCH(bool, pointerVisible);
        QFETCH(int, pointerStyle);
        QFETCH(double, pointerSize);
        QFETCH(bool, legend);
        QFETCH(bool, colorEachPoint);
        QFETCH(bool, ascendingX);
        TForm1 w;
        QCOMPARE(w.cht1->seriesCount(), 6);
        const ChartSeries* s = w.cht1->getSeries(index);
        const ChartSeries* member[] = {w.pntsrsSeries1, w.pntsrsSeries2, w.rawSeries,
                                       w.loopSeries,    w.skeletonPosSeries, w.skeletonNegSeries};
        QCOMPARE(s, member[index]);
        QCOMPARE(s->title(), title);
        QCOMPARE(s->seriesColor(), color);
        QCOMPARE(int(s->kind()), kind);
        if (kind == 0) QCOMPARE(s->lineWidth(), lineWidth);
        QCOMPARE(s->pointerVisible(), pointerVisible);
        QCOMPARE(int(s->pointerStyle()), pointerStyle);
        if (pointerVisible || index == 2) QCOMPARE(s->pointerSize(), pointerSize);
        QCOMPARE(s->legendVisible(), legend);
        QCOMPARE(s->colorEachPoint(), colorEachPoint);
        QCOMPARE(s->ascendingX(), ascendingX);
        QVERIFY(s->active());
        QCOMPARE(s->count(), 0);
        QCOMPARE(s->chart(), w.cht1);
    }

    void chartSettingsAndTools() {
        TForm1 w;
        QCOMPARE(w.cht1->objectName(), QStringLiteral("cht1"));
        QCOMPARE(w.cht1->xAxis->label(), QStringLiteral("Disp"));
        QCOMPARE(w.cht1->yAxis->label(), QStringLiteral("Force"));
        QVERIFY(w.drgpntlChartTool1->active());
        QCOMPARE(w.drgpntlChartTool1->series(), nullptr);
        QVERIFY(w.drgpntlChartTool1->style() == DragPointTool::Style::Both);
        QVERIFY(!w.drgpntlChartTool1->onDrag());
        QVERIFY(!w.crsrtlChartTool1->active());
        QVERIFY(w.crsrtlChartTool1->followMouse());
        QCOMPARE(w.cht1->tools().size(), size_t(2));
    }

    void pointSeriesKeepXAscendingAndEqualXInAppendOrder_data() {
        QTest::addColumn<std::vector<double>>("xs");
        QTest::addColumn<std::vector<double>>("expectedXs");
        QTest::addColumn<std::vector<double>>("expectedYs"); // y = place of the point in the input
        QTest::newRow("rising") << std::vector<double>{1, 2, 3} << std::vector<double>{1, 2, 3} << std::vector<double>{0, 1, 2};
        QTest::newRow("falling") << std::vector<double>{3, 2, 1} << std::vector<double>{1, 2, 3} << std::vector<double>{2, 1, 0};
        QTest::newRow("equal X") << std::vector<double>{0, 0, 0} << std::vector<double>{0, 0, 0} << std::vector<double>{0, 1, 2};
        QTest::newRow("mixed") << std::vector<double>{5, -1, 5, 2} << std::vector<double>{-1, 2, 5, 5}
                               << std::vector<double>{1, 3, 0, 2};
    }
    void pointSeriesKeepXAscendingAndEqualXInAppendOrder() {
        QFETCH(std::vector<double>, xs);
        QFETCH(std::vector<double>, expectedXs);
        QFETCH(std::vector<double>, expectedYs);
        TForm1 w;
        ChartSeries* s = w.pntsrsSeries2;
        for (size_t i = 0; i < xs.size(); ++i) s->addXY(xs[i], double(i), QColor::fromHsv(int(i) * 60, 255, 255));
        QCOMPARE(s->xs(), expectedXs);
        QCOMPARE(s->ys(), expectedYs);
        for (int i = 0; i < s->count(); ++i) // each colour stays with its point
            QCOMPARE(s->pointColor(i), QColor::fromHsv(int(s->y(i)) * 60, 255, 255));
        s->deleteAt(0);
        QCOMPARE(s->count(), int(xs.size()) - 1);
        for (int i = 0; i < s->count(); ++i) QCOMPARE(s->pointColor(i), QColor::fromHsv(int(s->y(i)) * 60, 255, 255));
    }

    void lineSeriesKeepAppendOrder() {
        TForm1 w;
        const std::vector<double> xs{0, 5, 10, 5, 0, -5, -10, -5, 0}, ys{0, 1, 2, 3, 4, 5, 6, 7, 8};
        for (size_t i = 0; i < xs.size(); ++i) w.skeletonPosSeries->addXY(xs[i], ys[i]);
        QCOMPARE(w.skeletonPosSeries->xs(), xs);
        QCOMPARE(w.skeletonPosSeries->ys(), ys);
        QCOMPARE(w.skeletonPosSeries->pointColor(3), QColor(0xFF, 0, 0));
        w.skeletonPosSeries->movePoint(1, 20, 1); // past its neighbours: keeps its place
        QCOMPARE(w.skeletonPosSeries->x(1), 20.0);
        w.skeletonPosSeries->deleteAt(1);
        QCOMPARE(w.skeletonPosSeries->x(1), 10.0);
        QCOMPARE(w.skeletonPosSeries->count(), 8);
        w.skeletonPosSeries->addXY(-20, 9); // appended at the end
        QCOMPARE(w.skeletonPosSeries->x(8), -20.0);
        w.skeletonPosSeries->clear();
        QCOMPARE(w.skeletonPosSeries->count(), 0);
    }

    // ---------------------------------------------------------------- loop browser drawing

    void loopBrowser_data() {
        QTest::addColumn<std::vector<double>>("disp");
        QTest::addColumn<int>("loop"); // 1-based
        QTest::addColumn<int>("from"); // loop points: analysed curve indices from..to
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("markers"); // pntsrsSeries1 in series order: "index colour"
        QTest::addColumn<std::vector<int>>("peaks"); // pntsrsSeries2 in series order: analysed indices
        QTest::addColumn<QStringList>("values");     // edt1..edt4
        const std::vector<double> twoLoops{0, 5, 0, -5, 0, 6, 0, -6, 0};
        QTest::newRow("loop 2") << twoLoops << 2 << 4 << 8 << QStringList{"4 #ffff00", "6 #ff0000", "8 #00ff00"}
                                << std::vector<int>{7, 5} << QStringList{"6", "-6", "50", "70"};
        QTest::newRow("loop 1") << twoLoops << 1 << 0 << 4 << QStringList{"0 #ffff00", "2 #ff0000", "4 #00ff00"}
                                << std::vector<int>{3, 1} << QStringList{"5", "-5", "10", "30"};
        QTest::newRow("unfinished last loop") << std::vector<double>{0, 5, 0, -5, 0, 6} << 2 << 4 << 5
                                              << QStringList{"4 #ffff00", "5 #00ff00"} << std::vector<int>{}
                                              << QStringList{"--", "--", "--", "--"};
        QTest::newRow("never returns") << std::vector<double>{0, 1, 2} << 1 << 0 << 2
                                       << QStringList{"0 #ffff00", "2 #00ff00"} << std::vector<int>{}
                                       << QStringList{"--", "--", "--", "--"};
        // 0, 10, -10, 10: crossings inserted at indices 2 and 4; loop 2 runs from 4 to the end.
        QTest::newRow("inserted crossings, loop 1") << std::vector<double>{0, 10, -10, 10} << 1 << 0 << 4
                                                    << QStringList{"0 #ffff00", "2 #ff0000", "4 #00ff00"}
                                                    << std::vector<int>{3, 1} << QStringList{"10", "-10", "10", "20"};
        QTest::newRow("first half only") << std::vector<double>{0, 5, 0} << 1 << 0 << 2
                                         << QStringList{"0 #ffff00", "2 #ff0000", "2 #00ff00"} << std::vector<int>{1}
                                         << QStringList{"5", "--", "10", "--"};
    }
    void loopBrowser() {
        QFETCH(std::vector<double>, disp);
        QFETCH(int, loop);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, markers);
        QFETCH(std::vector<int>, peaks);
        QFETCH(QStringList, values);
        TForm1 w;
        ModalAnswerer answers;
        importAndAnalyse(w, answers, disp);
        QVERIFY(answers.messages.empty());
        if (loop != 1) {
            w.cbb1->setCurrentIndex(loop - 1);
            emit w.cbb1->activated(loop - 1); // as the user's choice
        }
        QCOMPARE(w.loopSeries->title(), QStringLiteral("Loop_%1").arg(loop));
        const std::vector<double> xs(w.loopDisp.begin() + from, w.loopDisp.begin() + to + 1);
        const std::vector<double> ys(w.loopForce.begin() + from, w.loopForce.begin() + to + 1);
        QCOMPARE(w.loopSeries->xs(), xs);
        QCOMPARE(w.loopSeries->ys(), ys);
        for (int i = 0; i < w.loopSeries->count(); ++i) QCOMPARE(w.loopSeries->pointColor(i), QColor(0xFF, 0x00, 0xFF));

        QCOMPARE(w.pntsrsSeries1->count(), int(markers.size()));
        for (int i = 0; i < w.pntsrsSeries1->count(); ++i) {
            const QStringList m = markers[i].split(' ');
            const auto at = size_t(m[0].toInt());
            QCOMPARE(w.pntsrsSeries1->x(i), w.loopDisp[at]);
            QCOMPARE(w.pntsrsSeries1->y(i), w.loopForce[at]);
            QCOMPARE(w.pntsrsSeries1->pointColor(i).name(), m[1]);
        }
        QCOMPARE(w.pntsrsSeries2->count(), int(peaks.size()));
        for (int i = 0; i < w.pntsrsSeries2->count(); ++i) {
            QCOMPARE(w.pntsrsSeries2->x(i), w.loopDisp[size_t(peaks[size_t(i)])]);
            QCOMPARE(w.pntsrsSeries2->y(i), w.loopForce[size_t(peaks[size_t(i)])]);
            QCOMPARE(w.pntsrsSeries2->pointColor(i), QColor(0, 0xFF, 0xFF));
        }
        QCOMPARE((QStringList{w.edt1->text(), w.edt2->text(), w.edt3->text(), w.edt4->text()}), values);
    }

    void consecutiveLoopsShareTheirBoundaryPoint() {
        TForm1 w;
        ModalAnswerer answers;
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0, 6, 0, -6, 0, 7, 0, -7, 0, 3});
        QCOMPARE(w.cbb1->count(), 4);
        auto markerOf = [&](const QString& colour) {
            for (int i = 0; i < w.pntsrsSeries1->count(); ++i)
                if (w.pntsrsSeries1->pointColor(i).name() == colour)
                    return QPointF(w.pntsrsSeries1->x(i), w.pntsrsSeries1->y(i));
            return QPointF(qQNaN(), qQNaN());
        };
        QPointF lastEnd = markerOf("#00ff00");
        for (int k = 1; k < w.cbb1->count(); ++k) {
            w.cbb1->setCurrentIndex(k);
            emit w.cbb1->activated(k);
            QCOMPARE(markerOf("#ffff00"), lastEnd);
            QCOMPARE(QPointF(w.loopSeries->x(0), w.loopSeries->y(0)), lastEnd);
            lastEnd = markerOf("#00ff00");
        }
    }

    // ---------------------------------------------------------------- legend

    void legendListsEveryCurveButTheMarkers() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0});
        settle(w);
        const std::vector<ChartSeries*> expected{w.rawSeries, w.loopSeries, w.skeletonPosSeries, w.skeletonNegSeries};
        QCOMPARE(w.cht1->legendSeries(), expected);
        QVERIFY(w.cht1->legendEntryRect(w.pntsrsSeries1).isEmpty());
        QVERIFY(w.cht1->legendEntryRect(w.pntsrsSeries2).isEmpty());
        // Drawn inside the plot area, in its top right corner, without shrinking it.
        const QRect area = w.cht1->plotArea();
        const QRect legend = w.cht1->legendRect();
        QVERIFY(area.contains(legend));
        QVERIFY(legend.right() > area.center().x() && legend.bottom() < area.center().y());
        // Entries top to bottom in series order.
        int lastTop = -1;
        for (ChartSeries* s : expected) {
            const QRect r = w.cht1->legendEntryRect(s);
            QVERIFY(r.top() > lastTop);
            lastTop = r.top();
        }
    }

    void legendFollowsTheLoopTitle() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        std::vector<double> disp{0};
        for (int i = 1; i <= 12; ++i) disp.insert(disp.end(), {double(i), 0, -double(i), 0});
        importAndAnalyse(w, answers, disp);
        w.cbb1->setCurrentIndex(11);
        emit w.cbb1->activated(11);
        QCOMPARE(w.loopSeries->title(), QStringLiteral("Loop_12"));
        const int before = w.cht1->legendRect().width();
        const QString longTitle = QStringLiteral("Loop_12 of a much longer record name");
        w.loopSeries->setTitle(longTitle);
        const QFontMetrics fm(w.cht1->legend->font());
        QVERIFY(w.cht1->legendRect().width() >= before + fm.horizontalAdvance(longTitle) -
                                                    fm.horizontalAdvance(QStringLiteral("Tarvel_Negative")));
        QVERIFY(w.cht1->legendEntryRect(w.loopSeries).width() >= fm.horizontalAdvance(longTitle));
        QCOMPARE(w.cht1->legendSeries().size(), size_t(4));
    }

    void legendChecks_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("flags"); // raw, loop, Point1, Point2, positive, negative
        QTest::newRow("nothing") << QStringList{} << "111111";
        QTest::newRow("uncheck the loop") << QStringList{"Loop_1"} << "100011";
        QTest::newRow("uncheck and check the loop") << QStringList{"Loop_1", "Loop_1"} << "111111";
        QTest::newRow("loop hidden, then the curve") << QStringList{"Loop_1", "Loop"} << "000011";
        QTest::newRow("loop hidden, then a skeleton") << QStringList{"Loop_1", "Tarvel_Positive"} << "100001";
        QTest::newRow("uncheck the curve only") << QStringList{"Loop"} << "011111";
        QTest::newRow("curve back again") << QStringList{"Loop", "Loop"} << "111111";
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
        for (const QString& title : clicks) {
            clickLegend(w, title);
            settle(w);
        }
        QCOMPARE(activeFlags(w), flags);
        // Hidden series keep their points.
        QCOMPARE(w.rawSeries->count(), 5);
        QCOMPARE(w.pntsrsSeries1->count(), 3);
        QVERIFY(answers.messages.empty());
    }

    void anyLegendClickLetsTheMarkersFollowTheLoop() {
        TForm1 w;
        show(w);
        w.pntsrsSeries1->setActive(false);
        const QRect legend = w.cht1->legendRect();
        // The frame's top margin, above the first entry: no series is switched.
        QTest::mouseClick(w.cht1, Qt::LeftButton, Qt::NoModifier, QPoint(legend.center().x(), legend.top() + 1));
        QCOMPARE(activeFlags(w), QStringLiteral("111111"));
        w.loopSeries->setActive(false);
        QTest::mouseClick(w.cht1, Qt::RightButton, Qt::NoModifier, w.cht1->legendEntryRect(w.rawSeries).center());
        QCOMPARE(activeFlags(w), QStringLiteral("100011")); // the right button switches nothing
    }

    void hiddenSeriesStayHiddenAcrossImportAndAnalysis() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0});
        settle(w);
        clickLegend(w, "Loop");
        clickLegend(w, "Loop_1");
        QCOMPARE(activeFlags(w), QStringLiteral("000011"));
        importAndAnalyse(w, answers, {0, 1, 0, -1, 0, 2, 0});
        QCOMPARE(w.rawSeries->count(), 7);
        QVERIFY(w.loopSeries->count() > 0);
        QCOMPARE(activeFlags(w), QStringLiteral("000011"));
    }

    // ---------------------------------------------------------------- navigation

    void zoomRectangle_data() {
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("down right zooms") << QPoint(120, 90) << "zoom";
        QTest::newRow("up left shows all") << QPoint(-120, -90) << "reset";
        QTest::newRow("left shows all") << QPoint(-120, 0) << "reset";
        QTest::newRow("up shows all") << QPoint(0, -90) << "reset";
        QTest::newRow("down left shows all") << QPoint(-120, 90) << "reset";
        QTest::newRow("a click changes nothing") << QPoint(0, 0) << "none";
        QTest::newRow("a flat drag changes nothing") << QPoint(120, 2) << "none";
    }
    void zoomRectangle() {
        QFETCH(QPoint, move);
        QFETCH(QString, outcome);
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyse(w, answers, {0, 5, 0, -5, 0, 8, 0, -8, 0});
        settle(w);
        const QCPRange fullX = xRange(w), fullY = yRange(w);
        const QRect area = w.cht1->plotArea();
        // Zoomed in a little first, so that showing all again can be seen.
        w.cht1->zoomAt(area.center(), 0.8);
        settle(w);
        const QCPRange startX = xRange(w), startY = yRange(w);
        const QPoint from = area.center() - QPoint(60, 45);
        const QPoint to = from + move;
        const double x0 = w.cht1->xScreenToValue(from.x()), x1 = w.cht1->xScreenToValue(to.x());
        const double y0 = w.cht1->yScreenToValue(to.y()), y1 = w.cht1->yScreenToValue(from.y());
        drag(w.cht1, from, to);
        QVERIFY(w.cht1->zoomBand().isEmpty());
        settle(w);
        if (outcome == "zoom") {
            QVERIFY(w.cht1->userZoomed());
            QVERIFY(sameRange(xRange(w), QCPRange(x0, x1)));
            QVERIFY(sameRange(yRange(w), QCPRange(y0, y1)));
        } else if (outcome == "reset") {
            QVERIFY(!w.cht1->userZoomed());
            QVERIFY(sameRange(xRange(w), fullX));
            QVERIFY(sameRange(yRange(w), fullY));
        } else {
            QVERIFY(w.cht1->userZoomed());
            QVERIFY(sameRange(xRange(w), startX));
            QVERIFY(sameRange(yRange(w), startY));
        }
    }

    void zoomBandIsShownWhileDragging() {
        TForm1 w;
        show(w);
        const QPoint from = w.cht1->plotArea().center();
        send(w.cht1, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(w.cht1, QEvent::MouseMove, from + QPoint(50, 40), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w.cht1->zoomBand(), QRect(from, from + QPoint(50, 40)));
        send(w.cht1, QEvent::MouseButtonRelease, from + QPoint(50, 40), Qt::LeftButton, Qt::NoButton);
        QVERIFY(w.cht1->zoomBand().isEmpty());
    }

    void rightDragScrollsWithTheMouse() {
        TForm1 w;
        show(w);
        w.skeletonPosSeries->setPoints({0, 10}, {0, 100});
        settle(w);
        const QRect area = w.cht1->plotArea();
        const QPoint from = area.center(), to = from + QPoint(-70, 40);
        const double xAt = w.cht1->xScreenToValue(from.x()), yAt = w.cht1->yScreenToValue(from.y());
        const double xSize = xRange(w).size();
        drag(w.cht1, from, to, Qt::RightButton);
        // The value that was under the mouse is under it again, and the scale is unchanged.
        QVERIFY(near(w.cht1->xScreenToValue(to.x()), xAt, xSize));
        QVERIFY(near(w.cht1->yScreenToValue(to.y()), yAt, 100));
        QVERIFY(near(xRange(w).size(), xSize, xSize));
        settle(w);
        QVERIFY(w.cht1->userZoomed());
    }

    void wheelZoomsAboutTheMouse_data() {
        QTest::addColumn<int>("delta");
        QTest::addColumn<bool>("closer");
        QTest::newRow("wheel forward zooms in") << 120 << true;
        QTest::newRow("wheel back zooms out") << -240 << false;
    }
    void wheelZoomsAboutTheMouse() {
        QFETCH(int, delta);
        QFETCH(bool, closer);
        TForm1 w;
        show(w);
        w.skeletonPosSeries->setPoints({0, 10}, {0, 100});
        settle(w);
        const QPoint at = w.cht1->plotArea().center() + QPoint(80, -50);
        const double xAt = w.cht1->xScreenToValue(at.x()), yAt = w.cht1->yScreenToValue(at.y());
        const double xSize = xRange(w).size(), ySize = yRange(w).size();
        QWheelEvent e(at, w.cht1->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w.cht1, &e);
        // (Checked before the next redraw, which may change the margins for new tick labels.)
        QCOMPARE(xRange(w).size() < xSize, closer);
        QCOMPARE(yRange(w).size() < ySize, closer);
        QVERIFY(near(w.cht1->xScreenToValue(at.x()), xAt, xSize));
        QVERIFY(near(w.cht1->yScreenToValue(at.y()), yAt, ySize));
        settle(w);
        QVERIFY(w.cht1->userZoomed());
    }

    void axesFollowTheDataUnlessZoomed() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        w.skeletonPosSeries->setPoints({0, 10}, {0, 100});
        settle(w);
        w.skeletonPosSeries->addXY(50, 500);
        settle(w);
        QVERIFY(xRange(w).contains(50) && yRange(w).contains(500));
        // Hiding a series fits the axes to what is still shown.
        w.skeletonNegSeries->setPoints({-1000}, {0});
        settle(w);
        QVERIFY(xRange(w).contains(-1000));
        w.skeletonNegSeries->setActive(false);
        settle(w);
        QVERIFY(!xRange(w).contains(-1000));

        w.cht1->zoomAt(w.cht1->plotArea().center(), 0.5);
        settle(w);
        const QCPRange zoomed = xRange(w);
        w.skeletonPosSeries->addXY(5000, 5000);
        settle(w);
        QVERIFY(sameRange(xRange(w), zoomed));
        // A new import empties every series: the new record is shown whole.
        import(w, answers, record({100, 200, 300}));
        settle(w);
        QVERIFY(!w.cht1->userZoomed());
        QVERIFY(xRange(w).contains(100) && xRange(w).contains(300));
    }

    void mousePositionIsKept() {
        TForm1 w;
        show(w);
        QCOMPARE(QPoint(w.mouseX, w.mouseY), QPoint(0, 0));
        moveMouse(w.cht1, QPointF(123, 234));
        QCOMPARE(QPoint(w.mouseX, w.mouseY), QPoint(123, 234));
        QCOMPARE(w.cht1->lastMousePos(), QPointF(123, 234));
    }

    // ---------------------------------------------------------------- hit test

    void hitTestFindsTheNearestPointUnderTheMouse_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("small series (plain scan)") << 500;
        QTest::newRow("large series (grid)") << 200000;
    }
    void hitTestFindsTheNearestPointUnderTheMouse() {
        QFETCH(int, points);
        TForm1 w;
        show(w);
        std::vector<double> xs(static_cast<size_t>(points)), ys(static_cast<size_t>(points));
        for (size_t i = 0; i < xs.size(); ++i) {
            const double t = double(i) * 20.0 / points;
            xs[i] = (1 + t) * std::sin(t * 6.28);
            ys[i] = 10 * std::tanh(3 * std::sin(t * 6.28 - 0.4));
        }
        w.rawSeries->setPoints(xs, ys);
        settle(w);
        ChartSeries* s = w.rawSeries;
        const QRect area = w.cht1->plotArea();
        auto bruteForce = [&](QPointF p) {
            const double tol = s->hitTolerance();
            int best = -1;
            double bestD = 0;
            for (int i = 0; i < s->count(); ++i) {
                const QPointF q = s->valueToScreen(s->x(i), s->y(i));
                if (!QRectF(area).contains(q)) continue;
                const double d = (q.x() - p.x()) * (q.x() - p.x()) + (q.y() - p.y()) * (q.y() - p.y());
                if (d <= tol * tol && (best < 0 || d < bestD)) {
                    best = i;
                    bestD = d;
                }
            }
            return best;
        };
        std::mt19937 rng(3);
        std::uniform_int_distribution<int> pick(0, points - 1);
        std::uniform_real_distribution<double> jitter(-6, 6);
        for (int q = 0; q < 150; ++q) {
            const int i = pick(rng);
            const QPointF p = s->valueToScreen(s->x(i), s->y(i)) + QPointF(jitter(rng), jitter(rng));
            QCOMPARE(s->pointAt(p), bruteForce(p));
        }
        // A moved point is found at its new place only.
        const int moved = points / 3;
        const QPointF old = s->valueToScreen(s->x(moved), s->y(moved));
        const QPointF target = area.topLeft() + QPointF(3, 3);
        s->movePoint(moved, s->xScreenToValue(target.x()), s->yScreenToValue(target.y()));
        QCOMPARE(s->pointAt(target), moved);
        QCOMPARE(s->pointAt(old), bruteForce(old));
        // The mouse's last position is the cursor's.
        moveMouse(w.cht1, target);
        QCOMPARE(s->cursorValueIndex(), moved);
        // Hidden: nothing is under the mouse. Off the plot area: nothing either.
        s->setActive(false);
        QCOMPARE(s->cursorValueIndex(), -1);
        s->setActive(true);
        QCOMPARE(s->pointAt(QPointF(area.left() - 20, area.top() + 20)), -1);
    }

    // ---------------------------------------------------------------- drag tool

    void dragTool_data() {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<bool>("toolActive");
        QTest::addColumn<bool>("seriesActive");
        QTest::addColumn<bool>("drags");
        QTest::newRow("bound") << true << true << true << true;
        QTest::newRow("unbound") << false << true << true << false;
        QTest::newRow("tool switched off") << true << false << true << false;
        QTest::newRow("series hidden") << true << true << false << false;
    }
    void dragTool() {
        QFETCH(bool, bound);
        QFETCH(bool, toolActive);
        QFETCH(bool, seriesActive);
        QFETCH(bool, drags);
        TForm1 w;
        show(w);
        ChartSeries* s = w.skeletonPosSeries;
        for (double x : {0.0, 2.0, 5.0}) s->addXY(x, 10 * x);
        w.skeletonNegSeries->setPoints({-5, 0}, {-50, 0}); // keeps the axes put when s is hidden
        DragPointTool* tool = w.drgpntlChartTool1;
        std::vector<int> hooked;
        tool->setOnDrag([&](int i) { hooked.push_back(i); });
        if (bound) tool->setSeries(s);
        tool->setActive(toolActive);
        s->setActive(seriesActive);
        settle(w);
        const QCPRange x0 = xRange(w), y0 = yRange(w);
        const QPoint from = s->valueToScreen(2, 20).toPoint();
        // Down right (a zoom rectangle if nothing is dragged), below the plot area.
        const QPoint to(from.x() + 60, w.cht1->plotArea().bottom() + 20);

        send(w.cht1, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(tool->dragging(), drags);
        for (int step = 1; step <= 3; ++step) {
            send(w.cht1, QEvent::MouseMove, from + (to - from) * step / 3, Qt::NoButton, Qt::LeftButton);
            settle(w);
            // The axes hold still while the point moves.
            if (drags) QVERIFY(sameRange(xRange(w), x0) && sameRange(yRange(w), y0));
        }
        const double tx = w.cht1->xScreenToValue(to.x()), ty = w.cht1->yScreenToValue(to.y());
        send(w.cht1, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        settle(w);
        QVERIFY(!tool->dragging());
        QCOMPARE(s->count(), 3);
        if (drags) {
            QCOMPARE(s->x(1), tx);
            QCOMPARE(s->y(1), ty);
            QCOMPARE(hooked, (std::vector<int>{1, 1, 1}));
            QVERIFY(!w.cht1->userZoomed());
            QVERIFY(!sameRange(yRange(w), y0)); // the axes caught up after the release
            QVERIFY(yRange(w).contains(ty));
        } else {
            QCOMPARE(s->x(1), 2.0);
            QCOMPARE(s->y(1), 20.0);
            QVERIFY(hooked.empty());
            QVERIFY(w.cht1->userZoomed()); // the press started a zoom rectangle instead
        }
        QCOMPARE(s->x(0), 0.0);
        QCOMPARE(s->x(2), 5.0);
    }

    void dragStepUpdatesDataAndQueuesTheRedraw() {
        TForm1 w;
        show(w);
        ChartSeries* s = w.rawSeries;
        s->setPoints({0, 1, 2}, {0, 1, 0});
        settle(w);
        DragPointTool* tool = w.drgpntlChartTool1;
        tool->setSeries(s);
        int replots = 0;
        connect(w.cht1, &QCustomPlot::afterReplot, this, [&] { ++replots; });
        QVERIFY(tool->beginDrag(s->valueToScreen(1, 1)));
        QCOMPARE(tool->draggedIndex(), 1);
        for (int i = 0; i < 5; ++i) tool->dragTo(s->valueToScreen(1, 1) + QPointF(i, i));
        QCOMPARE(replots, 0); // data now, picture later
        QCoreApplication::processEvents();
        QCOMPARE(replots, 1); // five moves, one redraw
        tool->setSeries(nullptr); // unbinding ends the drag
        QVERIFY(!tool->dragging());
        QVERIFY(!w.cht1->holdAxes());
        QVERIFY(!tool->beginDrag(s->valueToScreen(s->x(1), s->y(1))));
    }

    void dragStyleLimitsTheMove_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("xMoves");
        QTest::addColumn<bool>("yMoves");
        QTest::newRow("X") << int(DragPointTool::Style::X) << true << false;
        QTest::newRow("Y") << int(DragPointTool::Style::Y) << false << true;
        QTest::newRow("both") << int(DragPointTool::Style::Both) << true << true;
    }
    void dragStyleLimitsTheMove() {
        QFETCH(int, style);
        QFETCH(bool, xMoves);
        QFETCH(bool, yMoves);
        TForm1 w;
        show(w);
        ChartSeries* s = w.skeletonNegSeries;
        s->setPoints({0, -2, -5}, {0, -20, -50});
        settle(w);
        w.drgpntlChartTool1->setSeries(s);
        w.drgpntlChartTool1->setStyle(DragPointTool::Style(style));
        QVERIFY(w.drgpntlChartTool1->beginDrag(s->valueToScreen(-2, -20)));
        w.drgpntlChartTool1->dragTo(s->valueToScreen(-2, -20) + QPointF(30, -30));
        w.drgpntlChartTool1->endDrag();
        QCOMPARE(s->x(1) != -2.0, xMoves);
        QCOMPARE(s->y(1) != -20.0, yMoves);
    }

    // ---------------------------------------------------------------- cursor tool

    void crossHairFollowsTheMouseOnItsOwnLayer() {
        TForm1 w;
        show(w);
        std::vector<double> xs(20000), ys(20000);
        for (size_t i = 0; i < xs.size(); ++i) {
            xs[i] = std::sin(double(i) * 0.01) * double(i);
            ys[i] = std::cos(double(i) * 0.01);
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
        int replots = 0;
        connect(w.cht1, &QCustomPlot::afterReplot, this, [&] { ++replots; });
        for (int i = 1; i <= 10; ++i) {
            moveMouse(w.cht1, p + QPoint(i * 3, -i * 2));
            QCoreApplication::processEvents();
        }
        QCOMPARE(replots, 0); // the series were not drawn again
        QCOMPARE(w.cht1->crossHairPos(), QPointF(p + QPoint(30, -20)));
        QCOMPARE(cursor->xValue(), w.cht1->xScreenToValue(p.x() + 30));
        QCOMPARE(cursor->yValue(), w.cht1->yScreenToValue(p.y() - 20));
        QCOMPARE(w.cht1->seriesCount(), 6); // overlays are not series
        QCOMPARE(w.cht1->legendSeries().size(), size_t(4));

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w.cht1, &leave);
        QVERIFY(!cursor->shown());
        moveMouse(w.cht1, p);
        QVERIFY(cursor->shown());
        cursor->setActive(false);
        QVERIFY(!w.cht1->crossHairShown());
        moveMouse(w.cht1, p + QPoint(5, 5));
        QVERIFY(!w.cht1->crossHairShown());
    }
};

QTEST_MAIN(ChartTest)
#include "chart_test.moc"
