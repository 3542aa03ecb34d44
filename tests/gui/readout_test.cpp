// The chart's read-outs, the legend's placement, the saved image's legend and the results
// window's place, driven through the main window.
#include "app/tform1.h"
#include "chart/chart_image.h"
#include "chart/chart_readout.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/drag_point_tool.h"
#include "chart/legend_placement.h"
#include "chart/node_value_form.h"
#include "modal_answerer.h"
#include "results/results_form.h"
#include "test_files.h"
#include "ui/window_placement.h"
#include "window_driver.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

namespace {

// Two loops: crossings inserted between 5 and -5 and between -5 and 5 (the second closes loop 1).
const char* kTwoLoops = "0 0\n5 20\n-5 -20\n5 25\n-5 -25\n0 0\n";

void send(QWidget* to, QEvent::Type type, QPointF pos, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent e(type, pos, to->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &e);
}
void moveMouse(QWidget* to, QPointF pos) {
    send(to, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

void choose(QComboBox* list, int item) {
    list->setCurrentIndex(item);
    emit list->activated(item); // as the user's choice
}

// Answers the node dialog with these texts and OK; when OK refuses them the dialog is cancelled.
std::function<bool(QWidget*)> answerNode(QString x, QString y, QString* shown = nullptr) {
    return [=](QWidget* d) {
        auto* form = qobject_cast<TNodeValueForm*>(d);
        if (!form) return false;
        if (shown)
            *shown =
                form->lblNode->text() + " " + form->edtNodeX->text() + " " + form->edtNodeY->text();
        form->edtNodeX->setText(x);
        form->edtNodeY->setText(y);
        form->btnsNode->button(QDialogButtonBox::Ok)->click();
        if (form->isVisible()) form->btnsNode->button(QDialogButtonBox::Cancel)->click();
        return true;
    };
}

} // namespace

class ReadoutTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    static void show(TForm1& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        settle(w);
    }
    // Runs the queued redraw now: the axes have followed the data, the legend has its place.
    static void settle(TForm1& w) {
        QCoreApplication::processEvents();
        w.cht1->replot();
    }
    static QPointF pixelOf(const TForm1& w, double x, double y) {
        return w.rawSeries->valueToScreen(x, y);
    }

private slots:
    // ------------------------------------------------------------ read-outs under the mouse

    void tooltipNamesThePointUnderTheMouse_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QPointF>("offset"); // pixels from the point
        QTest::addColumn<bool>("extract");
        QTest::addColumn<QString>("tip");
        QTest::newRow("imported point of loop 1")
            << 5.0 << 20.0 << QPointF(0, 0) << false << "Loop, point 1\nDisp: 5\nForce: 20\nLoop 1";
        QTest::newRow("a few pixels off") << -5.0 << -20.0 << QPointF(3, -3) << false
                                          << "Loop, point 2\nDisp: -5\nForce: -20\nLoop 1";
        QTest::newRow("imported point of loop 2") << -5.0 << -25.0 << QPointF(0, 0) << false
                                                  << "Loop, point 4\nDisp: -5\nForce: -25\nLoop 2";
        QTest::newRow("too far") << 5.0 << 25.0 << QPointF(6, 6) << false << "";
        // The skeleton curves lie on the imported curve: the curve drawn on top wins.
        QTest::newRow("skeleton over the record") << 5.0 << 25.0 << QPointF(0, 0) << true
                                                  << "Tarvel_Positive, point 2\nDisp: 5\nForce: 25";
    }
    void tooltipNamesThePointUnderTheMouse() {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QPointF, offset);
        QFETCH(bool, extract);
        QFETCH(QString, tip);
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        w.rb2->setChecked(true); // displacement peaks: (0,0) (5,20) (5,25)
        if (extract) w.btn5->click();
        settle(w);
        // Only the last loop is drawn as the selected loop; hide it to read the record's points.
        w.loopSeries->setActive(false);
        settle(w);
        moveMouse(w.cht1, pixelOf(w, x, y) + offset);
        QCOMPARE(w.chartReadout->toolTip(), tip);
        QVERIFY(answers.messages.empty());
    }

    void hiddenCurvesAndTheEdgeOfThePlot() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        settle(w);
        w.loopSeries->setActive(false);
        w.rawSeries->setActive(false);
        settle(w);
        moveMouse(w.cht1, pixelOf(w, 5, 20));
        QCOMPARE(w.chartReadout->toolTip(), QString()); // a hidden curve is not read out
        QVERIFY(!w.rzfldsts6->text().isEmpty());
        // Off the plot area (over an axis) and off the chart: no coordinates.
        const QRect area = w.cht1->plotArea();
        moveMouse(w.cht1, QPointF(area.left() - 10, area.center().y()));
        QCOMPARE(w.rzfldsts6->text(), QString());
        moveMouse(w.cht1, area.center());
        QVERIFY(!w.rzfldsts6->text().isEmpty());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w.cht1, &leave);
        QCOMPARE(w.rzfldsts6->text(), QString());
    }

    void statusBarShowsTheDataCoordinatesUnderTheMouse() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        settle(w);
        // Exactly at data points: the values, rounded to what a pixel tells apart.
        for (auto [x, y, text] : {std::tuple{5.0, 20.0, "Disp: 5   Force: 20"},
                                  std::tuple{-5.0, -25.0, "Disp: -5   Force: -25"},
                                  std::tuple{0.0, 0.0, "Disp: 0   Force: 0"}}) {
            moveMouse(w.cht1, pixelOf(w, x, y));
            QCOMPARE(w.rzfldsts6->text(), QString::fromLatin1(text));
        }
        // Between points: within one pixel's worth of the true value, and no more digits.
        const QPointF p = pixelOf(w, 1.2345678, 3.456789);
        moveMouse(w.cht1, p);
        const QStringList parts = w.rzfldsts6->text().split(' ', Qt::SkipEmptyParts);
        QCOMPARE(parts.size(), 4);
        const double perPixelX =
            std::abs(w.cht1->xScreenToValue(p.x() + 1) - w.cht1->xScreenToValue(p.x()));
        QVERIFY(std::abs(parts[1].toDouble() - w.cht1->xScreenToValue(p.x())) <= perPixelX);
        QVERIFY2(parts[1].size() <= 6, qPrintable(parts[1]));
    }

    // ------------------------------------------------------------ the node being edited

    void draggedAndAddedNodesShowTheirCoordinates() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        w.rb2->setChecked(true);
        w.btn5->click(); // positive (0,0) (5,20) (5,25)
        settle(w);
        choose(w.cbb3, 1); // drag node
        choose(w.cbb2, 1); // the positive curve
        settle(w);
        QVERIFY(w.drgpntlChartTool1->beginDrag(pixelOf(w, 5, 20)));
        w.drgpntlChartTool1->dragTo(pixelOf(w, 3, 10));
        w.drgpntlChartTool1->endDrag();
        const double x = w.skeletonPosSeries->x(1), y = w.skeletonPosSeries->y(1);
        QCOMPARE(w.rzfldsts7->text(), QStringLiteral("Tarvel_Positive point 1: Disp %1, Force %2")
                                          .arg(QString::number(x, 'g', 15))
                                          .arg(QString::number(y, 'g', 15)));

        choose(w.cbb3, 2); // add node
        choose(w.cbb2, 1);
        settle(w);
        QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, pixelOf(w, 4, 22).toPoint());
        const int added = 2; // after (0,0) and the dragged point, before (5,25)
        QCOMPARE(w.skeletonPosSeries->count(), 4);
        QCOMPARE(w.rzfldsts7->text(),
                 QStringLiteral("Added Tarvel_Positive point %1: Disp %2, Force %3")
                     .arg(added)
                     .arg(QString::number(w.skeletonPosSeries->x(added), 'g', 15))
                     .arg(QString::number(w.skeletonPosSeries->y(added), 'g', 15)));
        // Left of the first point nothing is added, and the status bar says why.
        QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, pixelOf(w, -3, 22).toPoint());
        QCOMPARE(w.skeletonPosSeries->count(), 4);
        QVERIFY2(w.rzfldsts7->text().startsWith("No point added: Disp -"),
                 qPrintable(w.rzfldsts7->text()));
        QVERIFY(answers.messages.empty());
    }

    void doubleClickUnderDragNodeTypesExactCoordinates_data() {
        QTest::addColumn<int>("curve"); // item of the curve list
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("typedX");
        QTest::addColumn<QString>("typedY");
        QTest::addColumn<QString>("message");
        QTest::newRow("imported point") << 3 << -5.0 << -20.0 << " 7.25 "
                                        << "-1E3"
                                        << "";
        QTest::newRow("skeleton point") << 1 << 5.0 << 25.0 << "6"
                                        << "30.5"
                                        << "";
        QTest::newRow("bad displacement") << 3 << -5.0 << -20.0 << "abc"
                                          << "1"
                                          << "'abc' is not a valid floating point value";
        QTest::newRow("bad force") << 1 << 5.0 << 25.0 << "1"
                                   << "1,5"
                                   << "'1,5' is not a valid floating point value";
    }
    void doubleClickUnderDragNodeTypesExactCoordinates() {
        QFETCH(int, curve);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QString, typedX);
        QFETCH(QString, typedY);
        QFETCH(QString, message);
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        w.rb2->setChecked(true);
        w.btn5->click();
        w.loopSeries->setActive(false);
        choose(w.cbb3, 1); // drag node
        choose(w.cbb2, curve);
        settle(w);
        ChartSeries* s = w.editSeries;
        const int i = s->pointAt(pixelOf(w, x, y));
        QVERIFY(i >= 0);
        const std::vector<double> dispBefore = w.dispRaw;
        QString shown;
        answers.otherDialog = answerNode(typedX, typedY, &shown);
        QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, pixelOf(w, x, y).toPoint());
        QCOMPARE(shown, QStringLiteral("%1, point %2 %3 %4")
                            .arg(s->title())
                            .arg(i)
                            .arg(QString::number(x), QString::number(y)));
        if (!message.isEmpty()) {
            // Refused, the dialog cancelled: nothing changed.
            QCOMPARE(answers.messageTexts(), QStringList{message});
            QCOMPARE(s->x(i), x);
            QCOMPARE(s->y(i), y);
            QCOMPARE(w.dispRaw, dispBefore);
            return;
        }
        QVERIFY(answers.messages.empty());
        const double nx = typedX.trimmed().toDouble(), ny = typedY.toDouble();
        QCOMPARE(s->x(i), nx);
        QCOMPARE(s->y(i), ny);
        if (s == w.rawSeries) {
            QCOMPARE(w.dispRaw[static_cast<size_t>(w.rawSeriesSource[static_cast<size_t>(i)])], nx);
            QCOMPARE(w.forceRaw[static_cast<size_t>(w.rawSeriesSource[static_cast<size_t>(i)])],
                     ny);
        } else {
            QCOMPARE(w.dispRaw, dispBefore); // a skeleton point is not the record's
        }
        QCOMPARE(w.rzfldsts7->text(), QStringLiteral("%1 point %2: Disp %3, Force %4")
                                          .arg(s->title())
                                          .arg(i)
                                          .arg(QString::number(nx), QString::number(ny)));
    }

    void doubleClickOpensNoDialogInOtherStates_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("curve");
        QTest::newRow("none") << 0 << 3;
        QTest::newRow("drag node without a curve") << 1 << 0;
        QTest::newRow("delete node: deletes") << 3 << 1;
    }
    void doubleClickOpensNoDialogInOtherStates() {
        QFETCH(int, mode);
        QFETCH(int, curve);
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        w.rb2->setChecked(true);
        w.btn5->click();
        choose(w.cbb3, mode);
        choose(w.cbb2, curve);
        settle(w);
        bool opened = false;
        answers.otherDialog = [&](QWidget* d) {
            opened = opened || qobject_cast<TNodeValueForm*>(d);
            return false;
        };
        const int before = w.skeletonPosSeries->count();
        QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, pixelOf(w, 5, 25).toPoint());
        QTest::qWait(50);
        QVERIFY(!opened);
        QCOMPARE(w.skeletonPosSeries->count(), mode == 3 ? before - 1 : before);
    }

    // ------------------------------------------------------------ legend and axes

    void legendGoesWhereItCoversTheFewestPoints_data() {
        QTest::addColumn<int>("empty"); // the corner of the plot left without points
        QTest::newRow("top right") << int(LegendCorner::TopRight);
        QTest::newRow("top left") << int(LegendCorner::TopLeft);
        QTest::newRow("bottom right") << int(LegendCorner::BottomRight);
        QTest::newRow("bottom left") << int(LegendCorner::BottomLeft);
    }
    void legendGoesWhereItCoversTheFewestPoints() {
        QFETCH(int, empty);
        // A cloud of points in each corner of the data but one, and the extremes of the data in
        // the middle of its edges, so that it spans the same box whichever corner is empty.
        QByteArray record = "0 0\n100 0\n0 100\n-100 0\n0 -100\n";
        const double cx[4] = {100, -100, 100, -100}, cy[4] = {100, 100, -100, -100};
        for (int c = 0; c < 4; ++c) {
            if (c == empty) continue;
            for (int k = 0; k < 60; ++k) {
                const double dx = (k % 6) * 5.0, dy = (k / 6) * 2.0;
                const double x = cx[c] - (cx[c] > 0 ? dx : -dx), y = cy[c] - (cy[c] > 0 ? dy : -dy);
                record += QByteArray::number(x) + ' ' + QByteArray::number(y) + '\n';
            }
        }
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        answers.queueFile(writeTestFile(tmp, QStringLiteral("corners.txt"), record));
        w.btn1->click();
        settle(w);
        QCOMPARE(int(legendCorner(w.cht1)), empty);
        const QRect area = w.cht1->plotArea(), legend = w.cht1->legendRect();
        QVERIFY(area.contains(legend));
        const std::array<size_t, 4> counts = pointsUnderLegend(w.cht1, legend.size());
        QCOMPARE(counts[static_cast<size_t>(empty)], size_t(0));
        for (int c = 0; c < 4; ++c)
            if (c != empty) QVERIFY(counts[static_cast<size_t>(c)] > 0);
    }

    void legendIsRecomputedAndCanBeDragged() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        settle(w);
        const LegendCorner placed = legendCorner(w.cht1);
        const QRect legend = w.cht1->legendRect();
        const QRect area = w.cht1->plotArea();
        // Dragged by an entry to the opposite quarter: the entry keeps its state.
        const QPointF from = w.cht1->legendEntryRect(w.skeletonPosSeries).center();
        const QPointF to(placed == LegendCorner::TopLeft || placed == LegendCorner::BottomLeft
                             ? area.right() - 20
                             : area.left() + 20,
                         area.bottom() - 20);
        send(w.cht1, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            send(w.cht1, QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton,
                 Qt::LeftButton);
        send(w.cht1, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        settle(w);
        QCOMPARE(legendCorner(w.cht1), cornerAt(w.cht1, to));
        QVERIFY(w.skeletonPosSeries->active());
        QVERIFY(!w.cht1->userZoomed()); // no zoom rectangle either
        QVERIFY(w.cht1->legendRect() != legend);
        // A click still switches the entry.
        QTest::mouseClick(w.cht1, Qt::LeftButton, {},
                          w.cht1->legendCheckBoxRect(w.skeletonPosSeries).center());
        QVERIFY(!w.skeletonPosSeries->active());
        w.skeletonPosSeries->setActive(true);
        // The next analysis places it anew.
        w.btn2->click();
        settle(w);
        QCOMPARE(legendCorner(w.cht1), placed);
    }

    void axesLeaveRoomAroundTheData() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        settle(w);
        const QRect area = w.cht1->plotArea();
        // The extreme points sit about 3 % of the plot inside its frame.
        const QPointF hi = pixelOf(w, 5, 25), lo = pixelOf(w, -5, -25);
        const double mx = 0.025 * area.width(), my = 0.025 * area.height();
        QVERIFY(hi.x() < area.right() - mx && hi.y() > area.top() + my);
        QVERIFY(lo.x() > area.left() + mx && lo.y() < area.bottom() - my);
    }

    // ------------------------------------------------------------ the saved image

    void savedImageHasNoCheckBoxesAndNoHiddenSeries() {
        TForm1 w;
        ModalAnswerer answers;
        show(w);
        importAndAnalyze(w, answers, tmp, kTwoLoops);
        w.btn5->click();
        w.rawSeries->setActive(false); // the black entry: what is left in the legend is colour
        settle(w);
        const QSize size = w.cht1->size();

        // Pixels of the legend that are grey or black: only check boxes and check marks, since
        // the shown entries are coloured.
        auto neutral = [](const QImage& image, QRect r) {
            int n = 0;
            r = r.adjusted(2, 2, -2, -2); // inside the legend's frame
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() == c.green() && c.green() == c.blue() && c.red() < 0xC0) ++n;
                }
            return n;
        };
        const QRect screenLegend = w.cht1->legendRect();
        const QImage screen = w.cht1->toPixmap(size.width(), size.height()).toImage();
        QVERIFY(neutral(screen, screenLegend) > 20);

        const QString path = tmp.filePath(QStringLiteral("legend.png"));
        QVERIFY(saveChartImage(w.cht1, path, size.width(), size.height()));
        w.cht1->setImageLegend(true);
        const QRect imageLegend = w.cht1->legendRect();
        const std::vector<ChartSeries*> listed = w.cht1->legendSeries();
        QVERIFY(w.cht1->legendCheckBoxRect(w.loopSeries).isEmpty());
        w.cht1->setImageLegend(false);
        QCOMPARE(listed, (std::vector<ChartSeries*>{w.loopSeries, w.skeletonPosSeries,
                                                    w.skeletonNegSeries}));
        QVERIFY(imageLegend.width() < screenLegend.width());
        QCOMPARE(neutral(QImage(path), imageLegend), 0);

        // The chart on screen keeps its legend.
        QCOMPARE(w.cht1->legendSeries().size(), size_t(4));
        QCOMPARE(w.cht1->legendRect(), screenLegend);
        QVERIFY(!w.cht1->legendCheckBoxRect(w.rawSeries).isEmpty());
    }

    // ------------------------------------------------------------ the results window

    void resultsWindowPlacement_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("placed");
        // The chart fills the main window's right part: 259 px from its left edge on.
        const QRect main(100, 50, 915, 740);
        QTest::newRow("room on the right")
            << QRect(0, 0, 2200, 1200) << main << QSize(1000, 640) << QRect(1015, 50, 1000, 640);
        QTest::newRow("room on the left only")
            << QRect(0, 0, 2200, 1200) << main.translated(1100, 0) << QSize(1000, 640)
            << QRect(200, 50, 1000, 640);
        QTest::newRow("no room: over the panel, short of the chart's centre")
            << QRect(0, 0, 1280, 1024) << main << QSize(1000, 640) << QRect(100, 50, 583, 640);
        QTest::newRow("taller than the screen") << QRect(0, 0, 1920, 700) << QRect(0, 100, 915, 600)
                                                << QSize(800, 900) << QRect(915, 0, 800, 700);
    }
    void resultsWindowPlacement() {
        QFETCH(QRect, screen);
        QFETCH(QRect, main);
        QFETCH(QSize, size);
        QFETCH(QRect, placed);
        const QRect chart(main.left() + 259, main.top() + 80, main.width() - 266, 620);
        const QRect at = tc::gui::placeBesideWindow(screen, main, chart, size);
        QCOMPARE(at, placed);
        QVERIFY(!at.contains(chart.center()));
        QVERIFY(screen.contains(at));
    }

    void resultsWindowIsIndependentAndKeepsItsPlace() {
        auto* w = new TForm1;
        ModalAnswerer answers;
        show(*w);
        importAndAnalyze(*w, answers, tmp, kTwoLoops);
        w->EngineeringResults1->trigger();
        TResultsForm* form = w->resultsForm;
        QVERIFY(form && form->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(form));
        // No child of the main window: it neither stays above it nor minimises with it.
        QCOMPARE(form->parentWidget(), nullptr);
        QVERIFY(form->windowHandle() && !form->windowHandle()->transientParent());
        QVERIFY(form->isWindow());
        // Never over the chart's centre.
        const QPoint centre = w->cht1->mapToGlobal(w->cht1->rect().center());
        QVERIFY(!form->frameGeometry().contains(centre));
        // Moved by the user, closed and opened again: where the user left it.
        form->move(form->pos() + QPoint(-7, 9));
        const QPoint moved = form->pos();
        form->close();
        w->EngineeringResults1->trigger();
        QCOMPARE(form->pos(), moved);
        // Closing the main window does not wait for the results window; deleting it takes the
        // results window first, before the chart its marks are on.
        QPointer<TResultsForm> alive(form);
        delete w;
        QVERIFY(!alive);
    }
};

QTEST_MAIN(ReadoutTest)
#include "readout_test.moc"
