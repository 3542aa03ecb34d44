// "Save Chart Image..." driven through the main window: the size dialog, the save dialog, the
// written PNG and PDF files, failures, and the chart on screen left as it was.
#include "app/tform1.h"
#include "chart/chart_image.h"
#include "chart/chart_view.h"
#include "modal_answerer.h"
#include "test_files.h"
#include "window_driver.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// Everything of the on-screen chart that an image export must leave alone, down to the
// value-to-pixel mapping that clicks and drags rely on.
static QString chartState(ChartView& c) {
    QString s;
    QDebug(&s) << c.size() << c.axisRect()->rect() << c.xAxis->range() << c.yAxis->range()
               << c.userZoomed() << c.xAxis->coordToPixel(0) << c.yAxis->coordToPixel(0);
    return s;
}

class ChartImageTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    TForm1* w = nullptr;
    ModalAnswerer* answers = nullptr;

    // The size dialog gets this size and OK (or Cancel); offered receives the size it showed.
    void answerSize(QSize size, bool ok = true, QSize* offered = nullptr) {
        answers->otherDialog = [=](QWidget* d) {
            auto* form = qobject_cast<TChartImageForm*>(d);
            if (!form) return false;
            if (offered) *offered = form->imageSize();
            form->seWidth->setValue(size.width());
            form->seHeight->setValue(size.height());
            form->btnsImage->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            return true;
        };
    }
    QStringList files() const { return QDir(tmp.path()).entryList(QDir::Files | QDir::System); }

private slots:
    // A fresh window with two loops of a record imported and analysed, and an empty folder.
    void init() {
        for (const QString& f : files())
            if (f != "rec.txt") QFile::remove(tmp.filePath(f));
        w = new TForm1;
        w->show();
        answers = new ModalAnswerer;
        importAndAnalyze(*w, *answers, tmp,
                         "0 0\n10 125.5\n0 0\n-9.5 -118\n0 0\n20 230\n0 0\n-19.5 -221\n0 0\n");
        QCoreApplication::processEvents(); // the redraw that fits the axes to the new data
    }
    void cleanup() {
        delete answers;
        delete w;
    }

    void sizeDialogStartsAtTheChartSizeWithinLimits() {
        QSize offered;
        answerSize({400, 300}, false, &offered);
        w->SaveChartImage1->trigger();
        QCOMPARE(offered, w->cht1->size());
        QCOMPARE(answers->fileDialogsSeen, 1); // the import's only: Cancel ends the command
        TChartImageForm form(QSize(20, 50000), w);
        QCOMPARE(form.imageSize(), QSize(100, 10000));
    }

    void writesTheChosenFileAtTheChosenSize_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("png") << "a.png" << 0 << "a.png";
        QTest::newRow("pdf") << "b.pdf" << 1 << "b.pdf";
        QTest::newRow("no suffix: the file type's") << "c" << 1 << "c.pdf";
        QTest::newRow("suffix in any case wins over the type") << "D.PNG" << 1 << "D.PNG";
        QTest::newRow("other suffix: the type's appended") << "fig.v2" << 0 << "fig.v2.png";
    }
    void writesTheChosenFileAtTheChosenSize() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        const QRect area = w->cht1->plotArea();
        w->cht1->zoomToRect(QRect(area.center(), area.bottomRight()));
        w->cht1->replot();
        const QString before = chartState(*w->cht1);
        answerSize({800, 600}); // another shape than on screen: a layout left behind would show
        answers->queueFile(tmp.filePath(typed), filter);
        w->SaveChartImage1->trigger();

        QCOMPARE(answers->lastSuggestedName, QStringLiteral("chart.png"));
        QVERIFY(answers->messages.empty());
        QCOMPARE(files(), (QStringList{written, "rec.txt"}));
        const QByteArray bytes = readTestFile(tmp.filePath(written));
        if (written.endsWith(".pdf")) { // one page of the chosen size, in points
            QVERIFY(bytes.startsWith("%PDF"));
            static const QRegularExpression page(R"(/MediaBox \[0 0 800(\.0*)? 600(\.0*)?\])");
            QCOMPARE(QString::fromLatin1(bytes).count(page), 1);
        } else {
            QCOMPARE(QImage::fromData(bytes, "PNG").size(), QSize(800, 600));
        }
        QCOMPARE(chartState(*w->cht1), before);
    }

    void imageShowsTheSettledChartWithoutCrossHair() {
        w->rawSeries->addXY(5000, -300); // no event processed: the fit to it is still owed
        const QPointF at = w->cht1->plotArea().center();
        w->cht1->showCrossHair(at);
        QVERIFY(saveChartImage(w->cht1, tmp.filePath("early.png"), 400, 300));
        QVERIFY(w->cht1->crossHairShown());
        QCOMPARE(w->cht1->crossHairPos(), at);
        QCoreApplication::processEvents();
        w->cht1->hideCrossHair();
        QVERIFY(saveChartImage(w->cht1, tmp.filePath("settled.png"), 400, 300));
        QVERIFY(QImage(tmp.filePath("early.png")) == QImage(tmp.filePath("settled.png")));
    }

    void cancelledSaveDialogWritesNothing() {
        answerSize({800, 600});
        answers->queueCancel();
        w->SaveChartImage1->trigger();
        QCOMPARE(answers->fileDialogsSeen, 2);
        QCOMPARE(files(), QStringList{"rec.txt"});
        QVERIFY(answers->messages.empty());
    }

    void unwritableTargetNamesThePath_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "chart.png";
        QTest::newRow("pdf") << "chart.pdf";
    }
    void unwritableTargetNamesThePath() {
        QFETCH(QString, name);
        // A link into a folder that is gone: nothing can be written through it, whoever runs the
        // test, and the save dialog takes it for a new file.
        const QString target = tmp.filePath(name);
        QVERIFY(QFile::link(tmp.filePath("gone/" + name), target));
        const QString before = chartState(*w->cht1);
        answerSize({640, 480});
        answers->queueFile(target);
        w->SaveChartImage1->trigger();
        QCOMPARE(answers->messages.size(), size_t(1));
        QCOMPARE(answers->messages[0].icon, QMessageBox::Critical);
        // The system's reason follows the path.
        QCOMPARE(answers->messages[0].text, "Cannot create file \"" +
                                                QDir::toNativeSeparators(target) +
                                                "\". No such file or directory");
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(chartState(*w->cht1), before);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(ChartImageTest)
#include "chart_image_test.moc"
