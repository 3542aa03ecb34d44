// A large series drawn from its reduction to device pixels gives the same picture as drawing
// every point and every marker, to within one pixel: dense hysteresis records zoomed out, zoomed
// in and scrolled, with and without markers, thin and thick lines, and a point dragged.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "workspace/synthetic_record.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 649, kHeight = 612;

int colourDistance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// Pixels where the series changed the picture: their colour is far from the picture without
// the series.
std::vector<uint8_t> inked(const QImage& with, const QImage& without) {
    std::vector<uint8_t> m(static_cast<size_t>(with.width()) * static_cast<size_t>(with.height()));
    for (int y = 0; y < with.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(with.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(without.constScanLine(y));
        for (int x = 0; x < with.width(); ++x) {
            const int d = colourDistance(a[x], b[x]);
            m[static_cast<size_t>(y) * static_cast<size_t>(with.width()) + static_cast<size_t>(x)] =
                d > 120;
        }
    }
    return m;
}

// Pixels inked in `a` with no inked pixel of `b` within one pixel, and not just a shade off
// (overlapping antialiased edges of many segments add up to a slightly darker fringe).
int unmatched(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, const QImage& ia,
              const QImage& ib) {
    const int w = ia.width(), h = ia.height();
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!a[static_cast<size_t>(y * w + x)]) continue;
            if (colourDistance(ia.pixel(x, y), ib.pixel(x, y)) < 128) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int u = x + dx, v = y + dy;
                    near = u >= 0 && v >= 0 && u < w && v < h && b[static_cast<size_t>(v * w + u)];
                }
            if (!near && n < 8 && qEnvironmentVariableIsSet("TC_DRAWING_DEBUG"))
                qDebug() << "unmatched" << x << y;
            n += !near;
        }
    return n;
}

int inkCount(const std::vector<uint8_t>& m) {
    int n = 0;
    for (uint8_t v : m)
        n += v;
    return n;
}

} // namespace

class ChartDrawingTest : public QObject {
    Q_OBJECT
    TForm1* w = nullptr;

    QImage render() {
        return w->cht1->toPixmap(kWidth, kHeight, 1.0)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // Draws the chart reduced, with every point, and without the series under test, and
    // compares what the series inked.
    void compareDrawings(ChartSeries* s) {
        // The legend lies over the curves with a translucent fill, which takes their contrast.
        w->cht1->legend->setVisible(false);
        s->setPixelReduction(true);
        const QImage reduced = render();
        QVERIFY2(s->drawnLinePoints() > 0 || s->lineWidth() == 0 ||
                     s->kind() == ChartSeries::Kind::Point,
                 "the series was not drawn from its reduction");
        QVERIFY(s->drawnLinePoints() < s->count());
        s->setPixelReduction(false);
        const QImage full = render();
        s->setPixelReduction(true);
        s->setActive(false);
        const QImage none = render();
        s->setActive(true);
        const auto a = inked(reduced, none), b = inked(full, none);
        QVERIFY2(inkCount(b) > 500, "the series draws almost nothing in view");
        const int missing = unmatched(b, a, full, reduced);
        const int extra = unmatched(a, b, reduced, full);
        if (missing || extra) {
            reduced.save(QDir::temp().filePath("chart_drawing_reduced.png"));
            full.save(QDir::temp().filePath("chart_drawing_full.png"));
        }
        QCOMPARE(missing, 0);
        QCOMPARE(extra, 0);
    }

    void showRecord(ChartSeries* s, size_t n, unsigned seed) {
        const tc::SyntheticRecord r = tc::makeCyclicRecord(n, seed);
        s->setPoints(r.disp, r.force);
        w->cht1->resetZoom();
        w->cht1->replot();
    }

private slots:
    void init() {
        w = new TForm1;
        w->show();
        QCoreApplication::processEvents();
    }
    void cleanup() { delete w; }

    void reducedDrawingMatchesEveryPoint_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("markers");
        QTest::addColumn<double>("zoom");    // below 1 zooms in about a point off the centre
        QTest::addColumn<QPointF>("scroll"); // pixels, after the zoom
        QTest::addColumn<bool>("thick");     // the skeleton curve's width-2 line and markers
        QTest::newRow("dense hysteresis, all in view")
            << 200000 << false << 1.0 << QPointF() << false;
        QTest::newRow("dense hysteresis, zoomed in 10x")
            << 200000 << false << 0.1 << QPointF() << false;
        QTest::newRow("zoomed in 50x, long segments cut at the edges")
            << 20000 << false << 0.02 << QPointF() << false;
        QTest::newRow("zoomed in and scrolled")
            << 200000 << false << 0.3 << QPointF(90, -60) << false;
        QTest::newRow("with markers, all in view") << 200000 << true << 1.0 << QPointF() << false;
        QTest::newRow("with markers, zoomed in 20x")
            << 200000 << true << 0.05 << QPointF() << false;
        QTest::newRow("width 2 with markers") << 50000 << true << 1.0 << QPointF() << true;
        QTest::newRow("width 2 with markers, zoomed in")
            << 50000 << true << 0.2 << QPointF(-30, 20) << true;
    }
    void reducedDrawingMatchesEveryPoint() {
        QFETCH(int, points);
        QFETCH(bool, markers);
        QFETCH(double, zoom);
        QFETCH(QPointF, scroll);
        QFETCH(bool, thick);
        ChartSeries* s = thick ? w->skeletonPosSeries : w->rawSeries;
        showRecord(s, static_cast<size_t>(points), 7);
        if (!thick) s->setPointerVisible(markers);
        if (zoom != 1.0) w->cht1->zoomAt(w->cht1->plotArea().center() + QPointF(40, -30), zoom);
        if (!scroll.isNull()) w->cht1->scrollBy(scroll);
        compareDrawings(s);
    }

    // Scroll steps draw the line kept from the view before, moved by whole pixels, until the
    // view leaves the area it was reduced for; each picture is that of every point.
    void scrolledViewIsDrawnFromTheKeptLine() {
        ChartSeries* s = w->rawSeries;
        showRecord(s, 200000, 5);
        w->cht1->zoomAt(w->cht1->plotArea().center() + QPointF(40, -30), 0.3);
        (void)render();
        const int before = s->lineReductions();
        compareDrawings(s);
        QCOMPARE(s->lineReductions(), before);
        for (const QPointF step : {QPointF(45, -30), QPointF(-80, 25), QPointF(0, 140)}) {
            w->cht1->scrollBy(step);
            compareDrawings(s);
        }
        // (One step may change the axes' labels, and with them the plot's size.)
        QVERIFY2(s->lineReductions() <= before + 1, "the scroll steps reduced the line afresh");
        // Far beyond the kept area, and after a zoom, the line is reduced afresh.
        w->cht1->scrollBy(QPointF(-450, 0));
        compareDrawings(s);
        w->cht1->zoomAt(w->cht1->plotArea().center(), 0.8);
        compareDrawings(s);
        QVERIFY(s->lineReductions() >= before + 2);
    }

    // A dragged point updates the reduction's index in place: the next picture shows it where
    // it went, as a drawing of every point does.
    void movedPointIsDrawnWhereItWent() {
        ChartSeries* s = w->rawSeries;
        showRecord(s, 100000, 3);
        s->setPointerVisible(true);
        (void)render(); // the index is built
        for (int i : {50000, 50001, 99999, 0}) {
            w->cht1->setHoldAxes(true);
            s->movePoint(i, s->x(i) * 0.5 + 0.3, s->y(i) * 0.5 - 4);
            w->cht1->setHoldAxes(false);
            compareDrawings(s);
        }
    }

    // A dragged point reduces again only the stretches of the line that hold it, and updates
    // the pixels holding a marker: its marker leaves where it was unless another point is
    // there. Each picture is that of every point.
    void movedPointUpdatesTheKeptDrawing() {
        ChartSeries* s = w->rawSeries;
        showRecord(s, 200000, 3);
        s->setPointerVisible(true);
        w->cht1->setHoldAxes(true);
        (void)render();
        (void)s->pointAt(s->valueToScreen(s->x(0), s->y(0))); // the hit-test grid, as in a drag
        const int lines = s->lineReductions(), searches = s->markerSearches();
        const QCPRange xr = w->cht1->xAxis->range(), yr = w->cht1->yAxis->range();
        auto at = [&](double fx, double fy) {
            return QPointF(xr.lower + fx * xr.size(), yr.lower + fy * yr.size());
        };
        const int i = 120000, j = 65536; // j: where two stretches of the line meet
        const QPointF home(s->x(i), s->y(i)), other(s->x(7), s->y(7));
        auto move = [&](int k, QPointF to) { s->movePoint(k, to.x(), to.y()); };
        // Into empty space, a little on within it, onto another point's place, and back.
        for (const QPointF to : {at(0.1, 0.9), at(0.12, 0.88), other, home}) {
            move(i, to);
            compareDrawings(s);
        }
        // The point before j into empty space; then two points moved before one redraw, j
        // twice: the segment between j and the point before it must follow, in the other
        // stretch.
        move(j - 1, at(0.2, 0.8));
        compareDrawings(s);
        move(j, at(0.15, 0.7));
        move(i, at(0.8, 0.2));
        move(j, at(0.25, 0.9));
        compareDrawings(s);
        QCOMPARE(s->lineReductions(), lines);
        QCOMPARE(s->markerSearches(), searches);
        w->cht1->setHoldAxes(false);
    }

    // Reduction and index follow every change of the points.
    void changedPointsAreDrawnAfresh() {
        ChartSeries* s = w->rawSeries;
        showRecord(s, 60000, 1);
        (void)render();
        s->deleteAt(30000);
        s->addXY(2.5, 40);
        compareDrawings(s);
        const tc::SyntheticRecord r = tc::makeCyclicRecord(30000, 9);
        s->setPoints(r.disp, r.force);
        w->cht1->resetZoom();
        compareDrawings(s);
    }

    // A real record, when the shared test records are present.
    void realRecordMatchesEveryPoint() {
        const QString dir = QStringLiteral(TC_TEST_DATA_DIR "/../../../shared/realdata");
        const QStringList files =
            QDir(dir).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Size);
        if (files.isEmpty()) QSKIP("no real records in ../shared/realdata");
        QFile f(QDir(dir).filePath(files.first()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        std::vector<double> xs, ys;
        while (!f.atEnd()) {
            const QList<QByteArray> fields = f.readLine().simplified().replace(',', ' ').split(' ');
            bool ok1 = false, ok2 = false;
            if (fields.size() < 2) continue;
            const double x = fields[0].toDouble(&ok1), y = fields[1].toDouble(&ok2);
            if (ok1 && ok2) xs.push_back(x), ys.push_back(y);
        }
        if (xs.size() < 5000) QSKIP("the largest real record is too small to be reduced");
        w->rawSeries->setPoints(xs, ys);
        w->cht1->resetZoom();
        w->cht1->replot();
        compareDrawings(w->rawSeries);
        w->rawSeries->setPointerVisible(true);
        compareDrawings(w->rawSeries);
    }
};

QTEST_MAIN(ChartDrawingTest)
#include "chart_drawing_test.moc"
