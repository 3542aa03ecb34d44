// Skeleton extraction and the region filter driven through the main window.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "modal_answerer.h"
#include "test_files.h"
#include "window_driver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using Points = QList<QPointF>;
Q_DECLARE_METATYPE(Points)

namespace {

Points pointsOf(const ChartSeries* s) {
    Points p;
    for (int i = 0; i < s->count(); ++i) p << QPointF(s->x(i), s->y(i));
    return p;
}

// The analysed curve of one loop: crossings at 0, 5 and 10.
const char* kLoop = "0 0\n1 10\n2 15\n3 14\n2 5\n0 -3\n-1 -9\n-2 -12\n-3 -11\n-1 -2\n0 2\n";

} // namespace

class SkeletonTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    void load(TForm1& w, ModalAnswerer& answers, const char* record) {
        importAndAnalyze(w, answers, tmp, record);
    }

private slots:
    void workedExample_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("increasing");
        QTest::addColumn<Points>("positive");
        QTest::addColumn<Points>("negative");
        const QPointF o(0, 0);
        QTest::newRow("rule 1") << 1 << 0 << false << Points{o, {2, 15}} << Points{o, {-2, -12}};
        QTest::newRow("rule 2") << 2 << 0 << false << Points{o, {3, 14}} << Points{o, {-3, -11}};
        QTest::newRow("rule 3") << 3 << 0 << false << Points{o, {2, 15}, {3, 14}}
                                << Points{o, {-2, -12}, {-3, -11}};
        QTest::newRow("rule 4") << 4 << 0 << false << Points{o, {1, 10}, {2, 15}}
                                << Points{o, {-1, -9}, {-2, -12}};
        QTest::newRow("rule 5") << 5 << 0 << false << Points{o, {1, 10}, {2, 15}, {3, 14}}
                                << Points{o, {-1, -9}, {-2, -12}, {-3, -11}};
        QTest::newRow("rule 3 increasing") << 3 << 0 << true << Points{o, {2, 15}, {3, 14}}
                                           << Points{o, {-2, -12}, {-3, -11}};
        QTest::newRow("rule 1 opposite direction") << 1 << 1 << false << Points{o, {0, 2}} << Points{o, {0, -3}};
        QTest::newRow("rule 2 opposite direction") << 2 << 1 << false << Points{o, {-3, -11}} << Points{o, {3, 14}};
        QTest::newRow("rule 1 opposite, increasing") << 1 << 1 << true << Points{o} << Points{o};
        QTest::newRow("rule 5 opposite") << 5 << 1 << false << Points{o} << Points{o};
    }
    void workedExample() {
        QFETCH(int, rule);
        QFETCH(int, direction);
        QFETCH(bool, increasing);
        QFETCH(Points, positive);
        QFETCH(Points, negative);
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kLoop);
        QCOMPARE(w.crossIndex, (std::vector<int>{0, 5, 10}));
        QRadioButton* buttons[] = {w.rb1, w.rb2, w.rb3, w.rb4, w.rb5};
        buttons[rule - 1]->setChecked(true);
        w.cbb4->setCurrentIndex(direction);
        w.chk1->setChecked(increasing);
        w.btn5->click();
        QCOMPARE(pointsOf(w.skeletonPosSeries), positive);
        QCOMPARE(pointsOf(w.skeletonNegSeries), negative);
        QVERIFY(answers.messages.empty());
    }

    void extractionBeforeAnalysisLeavesBothEmpty() {
        TForm1 w;
        w.btn5->click();
        QCOMPARE(w.skeletonPosSeries->count() + w.skeletonNegSeries->count(), 0);
    }

    void filter_data() {
        QTest::addColumn<QString>("lo");
        QTest::addColumn<QString>("hi");
        QTest::addColumn<QString>("tol");
        QTest::addColumn<Points>("positive");
        QTest::addColumn<QString>("error");
        const Points all{{0, 0}, {1, 10}, {2, 15}, {3, 14}};
        QTest::newRow("empty tolerance") << "0" << "0" << "" << all << "'' is not a valid floating point value";
        QTest::newRow("bad range end") << "x" << "4" << "1" << all << "'x' is not a valid floating point value";
        QTest::newRow("start values") << "0" << "0" << "1" << all << "";
        QTest::newRow("thins inside") << "0.5" << "2.5" << "1.5" << Points{{0, 0}, {2, 15}, {3, 14}} << "";
        QTest::newRow("ends swapped") << "2.5" << "0.5" << "-1.5" << Points{{0, 0}, {2, 15}, {3, 14}} << "";
    }
    void filter() {
        QFETCH(QString, lo);
        QFETCH(QString, hi);
        QFETCH(QString, tol);
        QFETCH(Points, positive);
        QFETCH(QString, error);
        TForm1 w;
        ModalAnswerer answers;
        load(w, answers, kLoop);
        w.rb5->setChecked(true);
        w.btn5->click();
        const Points negative = pointsOf(w.skeletonNegSeries);
        w.edt9->setText(lo);
        w.edt10->setText(hi);
        w.edt11->setText(tol);
        w.btn6->click();
        QCOMPARE(pointsOf(w.skeletonPosSeries), positive);
        QCOMPARE(pointsOf(w.skeletonNegSeries), negative);
        QCOMPARE(answers.messageTexts(), error.isEmpty() ? QStringList() : QStringList{error});
    }
};

QTEST_MAIN(SkeletonTest)
#include "skeleton_test.moc"
