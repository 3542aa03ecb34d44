// Node editing driven through the main window with synthetic mouse events.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "modal_answerer.h"
#include "test_files.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

std::vector<double> xsOf(const ChartSeries* s) { return s->xs(); }

void choose(QComboBox* list, int item) {
    list->setCurrentIndex(item);
    emit list->activated(item); // as the user's choice
}

QStringList itemsOf(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

} // namespace

class NodeEditingTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    // A shown window whose chart has laid out its axes around the given skeleton curves.
    static void showWithCurves(TForm1& w, const std::vector<double>& pos, const std::vector<double>& neg) {
        w.resize(915, 740);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.skeletonPosSeries->setPoints(pos, std::vector<double>(pos.size(), 1.0));
        w.skeletonNegSeries->setPoints(neg, std::vector<double>(neg.size(), -1.0));
        // Room around the curves, so that no point sits under the legend in the top right corner.
        w.loopSeries->setPoints({-10, 10}, {-10, 10});
        w.cht1->replot();
    }
    static void doubleClickAt(TForm1& w, double x, double y) {
        const QPointF p = w.skeletonPosSeries->valueToScreen(x, y);
        QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, p.toPoint());
    }

private slots:
    void curveListFollowsTheOperation() {
        TForm1 w;
        const QStringList all{"None", "Tarvel Postive", "Tarvel Negative", "LOOP"};
        QCOMPARE(itemsOf(w.cbb3), (QStringList{"None", "拖动节点", "增加节点", "删除节点"}));
        QCOMPARE(itemsOf(w.cbb2), all);
        choose(w.cbb3, 1);
        choose(w.cbb2, 3);
        QCOMPARE(w.editSeries, w.rawSeries);
        QVERIFY(w.rawSeries->pointerVisible());
        QCOMPARE(w.drgpntlChartTool1->series(), w.rawSeries);
        choose(w.cbb3, 2); // add node offers no "LOOP": the list falls back to "None"
        QCOMPARE(itemsOf(w.cbb2), all.mid(0, 3));
        QCOMPARE(w.cbb2->currentIndex(), 0);
        QCOMPARE(w.editSeries, nullptr);
        QVERIFY(w.crsrtlChartTool1->active());
        QVERIFY(!w.rawSeries->pointerVisible());
        QCOMPARE(w.drgpntlChartTool1->series(), nullptr);
        choose(w.cbb3, 1); // back to drag node: still "None"
        QCOMPARE(itemsOf(w.cbb2), all);
        QCOMPARE(w.cbb2->currentIndex(), 0);
        QVERIFY(!w.crsrtlChartTool1->active());
        choose(w.cbb2, 2);
        choose(w.cbb3, 3); // any other switch keeps the chosen curve
        QCOMPARE(w.editSeries, w.skeletonNegSeries);
        QCOMPARE(w.drgpntlChartTool1->series(), nullptr);
        choose(w.cbb3, 0);
        QCOMPARE(w.editMode, 0);
        QVERIFY(!w.rawSeries->pointerVisible());
    }

    void addNodeByDoubleClick_data() {
        QTest::addColumn<int>("curve"); // 1 positive, 2 negative
        QTest::addColumn<std::vector<double>>("start");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("at"); // index of the first new point
        QTest::newRow("between") << 1 << std::vector<double>{0, 2, 5} << 3.0 << 1 << 2;
        QTest::newRow("beyond the end") << 1 << std::vector<double>{0, 2, 5} << 6.0 << 1 << 3;
        QTest::newRow("before the first") << 1 << std::vector<double>{0, 2, 5} << -1.0 << 0 << -1;
        QTest::newRow("not monotonic") << 1 << std::vector<double>{0, 5, 3, 8} << 4.0 << 2 << 1;
        QTest::newRow("negative between") << 2 << std::vector<double>{0, -2, -5} << -3.0 << 1 << 2;
        QTest::newRow("negative beyond") << 2 << std::vector<double>{0, -2, -5} << -6.0 << 1 << 3;
        QTest::newRow("negative at the start side") << 2 << std::vector<double>{0, -2, -5} << 1.0 << 0 << -1;
    }
    void addNodeByDoubleClick() {
        QFETCH(int, curve);
        QFETCH(std::vector<double>, start);
        QFETCH(double, x);
        QFETCH(int, added);
        QFETCH(int, at);
        TForm1 w;
        showWithCurves(w, curve == 1 ? start : std::vector<double>{0, 7}, curve == 2 ? start : std::vector<double>{0, -7});
        choose(w.cbb3, 2);
        choose(w.cbb2, curve);
        ChartSeries* s = curve == 1 ? w.skeletonPosSeries : w.skeletonNegSeries;
        doubleClickAt(w, x, 0.5);
        QCOMPARE(s->count(), static_cast<int>(start.size()) + added);
        if (at >= 0) {
            QVERIFY(std::abs(s->x(at) - x) < 0.1);
            QVERIFY(std::abs(s->y(at) - 0.5) < 0.1);
        }
        QCOMPARE(w.dispRaw.size(), size_t(0));
    }

    void deleteNodeUnderTheMouse() {
        TForm1 w;
        showWithCurves(w, {0, 2, 5}, {0, -2, -5});
        choose(w.cbb3, 3);
        choose(w.cbb2, 1);
        doubleClickAt(w, 3.5, 0); // away from every point
        QCOMPARE(w.skeletonPosSeries->count(), 3);
        doubleClickAt(w, 2, 1);
        QCOMPARE(xsOf(w.skeletonPosSeries), (std::vector<double>{0, 5}));
    }

    void dragSkeletonPointLeavesTheArraysAlone() {
        TForm1 w;
        showWithCurves(w, {0, 2, 5}, {0, -2, -5});
        w.dispRaw = {0, 1};
        w.forceRaw = {0, 1};
        choose(w.cbb3, 1);
        choose(w.cbb2, 1);
        const QPoint from = w.skeletonPosSeries->valueToScreen(2, 1).toPoint();
        const QPoint to = from + QPoint(0, -40);
        QTest::mousePress(w.cht1, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, w.cht1->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(w.cht1, &move);
        QTest::mouseRelease(w.cht1, Qt::LeftButton, {}, to);
        QVERIFY(w.skeletonPosSeries->y(1) > 1.2);
        QCOMPARE(w.skeletonPosSeries->count(), 3);
        QCOMPARE(w.dispRaw, (std::vector<double>{0, 1}));
    }

    void rawPointsDragIntoTheArraysAndSurviveDeletes() {
        TForm1 w;
        ModalAnswerer answers;
        w.resize(915, 740);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        answers.queueFile(writeTestFile(tmp, "raw.txt", "0 0\n5 10\n0 0\n-5 -10\n0 0\n6 12\n0 0\n-6 -12\n0 0\n"));
        w.btn1->click();
        w.cht1->replot();
        choose(w.cbb3, 3);
        choose(w.cbb2, 3);
        // Delete point 1 from the chart only.
        QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, w.rawSeries->valueToScreen(5, 10).toPoint());
        QCOMPARE(w.rawSeries->count(), 8);
        QCOMPARE(w.dispRaw.size(), size_t(9));
        // Drag the point (6, 12), now series point 4, array entry 5: the arrays follow every move.
        choose(w.cbb3, 1);
        QVERIFY(w.drgpntlChartTool1->beginDrag(w.rawSeries->valueToScreen(6, 12)));
        QCOMPARE(w.drgpntlChartTool1->draggedIndex(), 4);
        w.drgpntlChartTool1->dragTo(w.rawSeries->valueToScreen(3, 12));
        QVERIFY(std::abs(w.dispRaw[5] - 3) < 0.2);
        QCOMPARE(w.dispRaw[1], 5.0);
        w.drgpntlChartTool1->endDrag();
        // The next analysis reads the moved point and still has the deleted one.
        w.btn2->click();
        QCOMPARE(w.maxDisp1.size(), size_t(2));
        QCOMPARE(w.maxDisp1[0], 5.0);
        QVERIFY(std::abs(w.maxDisp1[1] - 3) < 0.2);
    }
};

QTEST_MAIN(NodeEditingTest)
#include "node_editing_test.moc"
