// Undo and redo through the window, sessions saved and opened again, the question before unsaved
// work is lost and the recovery copy.
#include "app/tform1.h"
#include "app/web_links.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/drag_point_tool.h"
#include "modal_answerer.h"
#include "results/results_form.h"
#include "session/session_file.h"
#include "test_files.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <cmath>

namespace {

void choose(QComboBox* list, int item) {
    list->setCurrentIndex(item);
    emit list->activated(item); // as the user's choice
}

// A cyclic record: loops of rising amplitude, 0 -> +a -> 0 -> -a -> 0.
QByteArray cyclicRecord(int loops, double scale = 1) {
    QByteArray out;
    for (int n = 1; n <= loops; ++n) {
        const double a = 2.0 * n * scale;
        for (int k = 0; k < 16; ++k) {
            const double d = a * std::sin(k * M_PI / 8);
            const double f = 10 * d + (k < 8 ? 3 : -3) * (k % 8 != 0);
            out += QByteArray::number(d, 'g', 17) + ' ' + QByteArray::number(f, 'g', 17) + '\n';
        }
    }
    out += "0 0\n";
    return out;
}

struct SeriesState {
    std::vector<double> xs, ys;
    QString title;
    bool operator==(const SeriesState& o) const {
        return tc::sameArray(xs, o.xs) && tc::sameArray(ys, o.ys) && title == o.title;
    }
};

// Everything the window shows and holds of the workspace.
struct WindowState {
    std::vector<double> dispRaw, forceRaw;
    std::vector<int> rawSource;
    std::vector<tc::RawPointValue> rawOriginals;
    tc::LoopAnalysis analysis;
    std::vector<SeriesState> series;
    QStringList loops;
    int selected = -1;
    QStringList boxes;
    std::string settings;

    static WindowState of(const TForm1& w) {
        WindowState s;
        s.dispRaw = w.dispRaw;
        s.forceRaw = w.forceRaw;
        s.rawSource = w.rawSeriesSource;
        s.rawOriginals = w.rawOriginals;
        s.analysis = w.analysis;
        for (const ChartSeries* c : {w.pntsrsSeries1, w.pntsrsSeries2, w.rawSeries, w.loopSeries,
                                     w.skeletonPosSeries, w.skeletonNegSeries})
            s.series.push_back({c->xs(), c->ys(), c->title()});
        for (int i = 0; i < w.cbb1->count(); ++i)
            s.loops << w.cbb1->itemText(i);
        s.selected = w.cbb1->currentIndex();
        for (const QLineEdit* e : {w.edt1, w.edt2, w.edt3, w.edt4, w.edt5, w.edt6})
            s.boxes << e->text();
        tc::WorkspaceSettings settings{w.analysisOptions, w.excelOptions, w.importSettings};
        s.settings = tc::settingsText(settings);
        return s;
    }

    // The first difference, empty when there is none.
    QString differenceFrom(const WindowState& o) const {
        const tc::LoopAnalysis &a = analysis, &b = o.analysis;
        if (!tc::sameArray(dispRaw, o.dispRaw) || !tc::sameArray(forceRaw, o.forceRaw))
            return "record";
        if (rawSource != o.rawSource) return "raw points";
        if (!tc::sameArray(rawOriginals, o.rawOriginals)) return "dragged originals";
        if (!tc::sameArray(a.loopDisp, b.loopDisp) || !tc::sameArray(a.loopForce, b.loopForce) ||
            a.crossIndex != b.crossIndex || a.peakIndex1 != b.peakIndex1 ||
            a.peakIndex2 != b.peakIndex2 || !tc::sameArray(a.maxDisp1, b.maxDisp1) ||
            !tc::sameArray(a.maxDisp2, b.maxDisp2) ||
            !tc::sameArray(a.maxDispForce1, b.maxDispForce1) ||
            !tc::sameArray(a.maxDispForce2, b.maxDispForce2) || a.loopCount != b.loopCount)
            return "analysis";
        for (size_t i = 0; i < series.size(); ++i)
            if (!(series[i] == o.series[i])) return QStringLiteral("series %1").arg(i);
        if (loops != o.loops || selected != o.selected) return "loop list";
        if (boxes != o.boxes) return "boxes " + boxes.join('|') + " / " + o.boxes.join('|');
        if (settings != o.settings) return "settings";
        return {};
    }
};

#define COMPARE_STATE(actual, expected)                                                            \
    do {                                                                                           \
        const QString diff = WindowState::of(actual).differenceFrom(expected);                     \
        QVERIFY2(diff.isEmpty(), qPrintable(diff));                                                \
    } while (false)

void showWindow(TForm1& w) {
    w.resize(915, 740);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

// Drags point `index` of a series with several moves, as one press-move-release.
void drag(TForm1& w, ChartSeries* s, int index, double dx, double dy) {
    choose(w.cbb3, 1);
    choose(w.cbb2, s == w.skeletonPosSeries ? 1 : s == w.skeletonNegSeries ? 2 : 3);
    w.cht1->replot();
    const double x = s->x(index), y = s->y(index);
    QVERIFY(w.drgpntlChartTool1->beginDrag(s->valueToScreen(x, y)));
    QCOMPARE(w.drgpntlChartTool1->draggedIndex(), index);
    for (int k = 1; k <= 4; ++k)
        w.drgpntlChartTool1->dragTo(s->valueToScreen(x + dx * k / 4, y + dy * k / 4));
    QVERIFY(!w.Undo1->isEnabled()); // not in the middle of the drag
    w.drgpntlChartTool1->endDrag();
}

void doubleClick(TForm1& w, const ChartSeries* s, double x, double y) {
    w.cht1->replot();
    QTest::mouseDClick(w.cht1, Qt::LeftButton, {}, s->valueToScreen(x, y).toPoint());
}

} // namespace

class UndoSessionTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    // The scripted work of an engineer: the states after each step, the first one before any.
    std::vector<WindowState> script(TForm1& w, ModalAnswerer& answers) {
        std::vector<WindowState> states{WindowState::of(w)};
        auto stepDone = [&](const char* what) {
            states.push_back(WindowState::of(w));
            QCOMPARE(w.undoStack->index(), int(states.size()) - 1);
            QCOMPARE(w.Undo1->text(), QStringLiteral("Undo ") + what);
        };
        answers.queueFile(writeTestFile(tmp, "a.txt", cyclicRecord(4)));
        w.btn1->click();
        stepDone("Import");
        w.btn2->click();
        stepDone("Analysis");
        w.rb4->setChecked(true);
        w.btn5->click();
        stepDone("Extraction");
        w.edt9->setText("0.5");
        w.edt10->setText("5");
        w.edt11->setText("1.5");
        const int before = w.skeletonPosSeries->count();
        w.btn6->click();
        [&] { QVERIFY(w.skeletonPosSeries->count() < before); }();
        stepDone("Region Filter");
        drag(w, w.skeletonPosSeries, 1, 0.3, 4);
        stepDone("Drag Node");
        drag(w, w.rawSeries, 9, 0.5, -6);
        stepDone("Drag Node");
        choose(w.cbb3, 2);
        choose(w.cbb2, 1);
        {
            const ChartSeries* s = w.skeletonPosSeries;
            doubleClick(w, s, (s->x(1) + s->x(2)) / 2, s->y(1));
        }
        stepDone("Add Node");
        choose(w.cbb3, 3);
        choose(w.cbb2, 2);
        doubleClick(w, w.skeletonNegSeries, w.skeletonNegSeries->x(2), w.skeletonNegSeries->y(2));
        stepDone("Delete Node");
        choose(w.cbb2, 3);
        doubleClick(w, w.rawSeries, w.rawSeries->x(20), w.rawSeries->y(20));
        stepDone("Delete Node");
        w.btn2->click(); // analyses the dragged raw point
        stepDone("Analysis");
        answers.queueFile(writeTestFile(tmp, "b.txt", cyclicRecord(2, 3)));
        w.btn1->click();
        stepDone("Import");
        return states;
    }

private slots:
    void undoToTheStartAndRedoToTheEnd() {
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        const std::vector<WindowState> states = script(w, answers);
        QCOMPARE(int(states.size()), 12);
        QCOMPARE(answers.saveQuestions, 1); // the second import would replace the work
        for (int i = int(states.size()) - 2; i >= 0; --i) {
            w.Undo1->trigger();
            COMPARE_STATE(w, states[size_t(i)]);
        }
        QVERIFY(!w.Undo1->isEnabled());
        QCOMPARE(w.Redo1->text(), QStringLiteral("Redo Import"));
        for (size_t i = 1; i < states.size(); ++i) {
            w.Redo1->trigger();
            COMPARE_STATE(w, states[i]);
        }
        QVERIFY(!w.Redo1->isEnabled());
        QVERIFY(answers.messages.empty());
    }

    void shortcuts() {
        TForm1 w;
        QCOMPARE(w.Undo1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(w.Redo1->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
        QCOMPARE(w.SaveSession1->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    }

    // A drag of a point of a long record is one small step, and its undo touches one point.
    void dragOfALongRecordIsOneSmallStep() {
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        answers.queueFile(writeTestFile(tmp, "long.txt", cyclicRecord(3000)));
        w.btn1->click();
        const WindowState imported = WindowState::of(w);
        drag(w, w.rawSeries, 4004, 1, 1); // a peak: no other point under it
        QCOMPARE(w.undoStack->count(), 2);
        QVERIFY(w.dispRaw[4004] != imported.dispRaw[4004]);
        w.Undo1->trigger();
        COMPARE_STATE(w, imported);
    }

    // Save, close, open in a new window: the same window state, point for point.
    void saveCloseAndOpenAgain() {
        const QString path = tmp.filePath("work.tcsession");
        WindowState saved;
        {
            TForm1 w;
            ModalAnswerer answers;
            showWindow(w);
            script(w, answers);
            w.Undo1->trigger();              // back to the edited first record
            drag(w, w.rawSeries, 3, 0.2, 1); // after the analysis: not in it
            w.edt11->setText("0.75");
            w.cbb4->setCurrentIndex(1);
            w.chk1->setChecked(true);
            w.excelOptions.titleText = "Specimen 3";
            w.analysisOptions.yieldMethod = tc::YieldMethod::Park;
            saved = WindowState::of(w);
            QCOMPARE(w.windowTitle(), tc::gui::mainWindowCaption()); // no session yet
            answers.queueFile(path);
            w.SaveSessionAs1->trigger();
            QVERIFY(QFile::exists(path));
            QCOMPARE(w.windowTitle(),
                     QStringLiteral("work.tcsession[*] - ") + tc::gui::mainWindowCaption());
            QVERIFY(!w.isWindowModified());
            QVERIFY(w.close()); // saved: no question
            QCOMPARE(answers.saveQuestions, 1);
        }
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        answers.queueFile(path);
        w.OpenSession1->trigger();
        QVERIFY2(answers.messages.empty(), qPrintable(answers.messageTexts().join('\n')));
        COMPARE_STATE(w, saved);
        QCOMPARE(w.edt11->text(), QStringLiteral("0.75"));
        QCOMPARE(w.cbb4->currentIndex(), 1);
        QVERIFY(w.chk1->isChecked());
        QVERIFY(w.rb4->isChecked());
        QCOMPARE(w.sessionPath, path);
        QVERIFY(!w.Undo1->isEnabled());
        // A change shows the star; Save Session writes the same file again.
        w.btn5->click();
        QVERIFY(w.isWindowModified());
        w.SaveSession1->trigger();
        QVERIFY(!w.isWindowModified());
        QCOMPARE(tc::readSessionFile(path.toStdString()).skeleton.positive.size(),
                 size_t(w.skeletonPosSeries->count()));
    }

    // A session that cannot be used: a message naming the file and the problem, the window as
    // it was.
    void damagedSessionLeavesTheWindowAlone() {
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        answers.queueFile(writeTestFile(tmp, "c.txt", cyclicRecord(2)));
        w.btn1->click();
        w.btn2->click();
        const WindowState before = WindowState::of(w);
        const QString bad =
            writeTestFile(tmp, "bad.tcsession", "{\"format\": \"TarvelCurve session\"");
        answers.queueFile(bad);
        w.OpenSession1->trigger();
        QCOMPARE(answers.saveQuestions, 0); // the file is refused before anything is asked
        QCOMPARE(answers.messages.size(), size_t(1));
        QVERIFY(answers.messages[0].text.startsWith("Cannot open session \"" + bad + "\". "));
        QVERIFY(answers.messages[0].text.contains("damaged"));
        COMPARE_STATE(w, before);
        QVERIFY(w.sessionPath.isEmpty());
    }

    // Opening a session over unsaved work asks first; Cancel keeps the work.
    void openSessionAsksBeforeReplacingWork() {
        const QString path = tmp.filePath("other.tcsession");
        {
            TForm1 w;
            ModalAnswerer answers;
            answers.queueFile(writeTestFile(tmp, "g.txt", cyclicRecord(2)));
            w.btn1->click();
            answers.queueFile(path);
            w.SaveSessionAs1->trigger();
        }
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        answers.queueFile(writeTestFile(tmp, "h.txt", cyclicRecord(3)));
        w.btn1->click();
        w.btn2->click();
        const WindowState work = WindowState::of(w);
        answers.saveAnswers.push_back(QMessageBox::Cancel);
        answers.queueFile(path);
        w.OpenSession1->trigger();
        QCOMPARE(answers.saveQuestions, 1);
        COMPARE_STATE(w, work);
        answers.queueFile(path); // Discard
        w.OpenSession1->trigger();
        QCOMPARE(answers.saveQuestions, 2);
        QCOMPARE(w.dispRaw.size(), size_t(33));
        QVERIFY(w.analysis.empty());
    }

    // The results window's choices are steps of their own.
    void yieldMethodAndEvaluationCurveAreSteps() {
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        answers.queueFile(writeTestFile(tmp, "i.txt", cyclicRecord(3)));
        w.btn1->click();
        w.btn2->click();
        w.EngineeringResults1->trigger();
        QComboBox* method = w.resultsForm->cbbYieldMethod;
        choose(method, 2);
        QCOMPARE(w.analysisOptions.yieldMethod, tc::YieldMethod::Park);
        QCOMPARE(w.Undo1->text(), QStringLiteral("Undo Yield Method"));
        choose(w.resultsForm->cbbEvaluationCurve, 0);
        QCOMPARE(w.Undo1->text(), QStringLiteral("Undo Evaluation Curve"));
        w.Undo1->trigger();
        QCOMPARE(w.analysisOptions.evaluationCurve, tc::EvaluationCurve::FirstCycleEnvelope);
        QCOMPARE(w.resultsForm->cbbEvaluationCurve->currentIndex(), 1);
        w.Undo1->trigger();
        QCOMPARE(w.analysisOptions.yieldMethod, tc::YieldMethod::GeneralYieldMoment);
        QCOMPARE(method->currentIndex(), 0);
        w.resultsForm->close();
    }

    // The question on closing: only for unsaved work, and its three answers.
    void closeQuestion_data() {
        QTest::addColumn<QString>("work");
        QTest::addColumn<int>("answer"); // 0 none queued
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::newRow("unchanged") << "" << 0 << 0 << true;
        QTest::newRow("imported only") << "import" << 0 << 0 << true;
        QTest::newRow("analysed, cancel") << "analyse" << int(QMessageBox::Cancel) << 1 << false;
        QTest::newRow("analysed, discard") << "analyse" << int(QMessageBox::Discard) << 1 << true;
        QTest::newRow("analysed, save") << "analyse" << int(QMessageBox::Save) << 1 << true;
        QTest::newRow("saved") << "save" << 0 << 0 << true;
        QTest::newRow("undone to the import") << "undo" << 0 << 0 << true;
    }
    void closeQuestion() {
        QFETCH(QString, work);
        QFETCH(int, answer);
        QFETCH(int, questions);
        QFETCH(bool, closed);
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        const QString path = tmp.filePath(QStringLiteral("close_%1.tcsession")
                                              .arg(QTest::currentDataTag())
                                              .replace(' ', '_')
                                              .replace(',', '_'));
        if (!work.isEmpty()) {
            answers.queueFile(writeTestFile(tmp, "d.txt", cyclicRecord(2)));
            w.btn1->click();
        }
        if (work == "analyse" || work == "save" || work == "undo") w.btn2->click();
        if (work == "undo") w.Undo1->trigger();
        if (work == "save") {
            answers.queueFile(path);
            w.SaveSessionAs1->trigger();
        }
        if (answer) answers.saveAnswers.push_back(QMessageBox::StandardButton(answer));
        if (answer == QMessageBox::Save) answers.queueFile(path); // no session yet: Save As
        QCOMPARE(w.close(), closed);
        QCOMPARE(answers.saveQuestions, questions);
        QCOMPARE(w.isVisible(), !closed);
        if (answer == QMessageBox::Save) {
            QVERIFY(QFile::exists(path));
            QVERIFY(tc::readSessionFile(path.toStdString()).analysis.analysed);
        }
    }

    // The import's refusals ask nothing.
    void noQuestionWhenTheImportIsRefused() {
        TForm1 w;
        ModalAnswerer answers;
        showWindow(w);
        answers.queueFile(writeTestFile(tmp, "e.txt", cyclicRecord(2)));
        w.btn1->click();
        w.btn2->click();
        answers.queueCancel();
        w.btn1->click(); // dialog cancelled
        w.edt7->setText("0");
        w.btn1->click(); // begin line refused
        QCOMPARE(answers.saveQuestions, 0);
        QCOMPARE(answers.fileDialogsSeen, 2);
    }

    // Unsaved work is copied for recovery; a copy left by a run that did not end is offered at
    // the next start and restored; a normal close removes this run's copy.
    void recoveryCopy() {
        QTemporaryDir folder;
        QString left;
        WindowState state;
        {
            TForm1 w;
            ModalAnswerer answers;
            showWindow(w);
            w.startRecovery(folder.path());
            QVERIFY(!w.recoveryFile.isEmpty());
            answers.queueFile(writeTestFile(tmp, "f.txt", cyclicRecord(3)));
            w.btn1->click();
            w.writeRecoveryCopy(); // an import alone is not work worth a copy
            QTest::qWait(50);
            QVERIFY(!QFile::exists(w.recoveryFile));
            w.btn2->click();
            w.btn5->click();
            state = WindowState::of(w);
            w.writeRecoveryCopy();
            QTRY_VERIFY(QFile::exists(w.recoveryFile));
            // The copy of a run that ended without closing: under another name, with no lock.
            left = folder.filePath("recovery-999999999.tcsession");
            QVERIFY(QFile::copy(w.recoveryFile, left));
            const QString own = w.recoveryFile;
            answers.saveAnswers.push_back(QMessageBox::Discard);
            QVERIFY(w.close());
            QVERIFY(!QFile::exists(own));
        }
        TForm1 w;
        ModalAnswerer answers; // answers the offer with Yes
        showWindow(w);
        w.startRecovery(folder.path());
        QCOMPARE(answers.messages.size(), size_t(1));
        QVERIFY(answers.messages[0].text.contains("Restore it?"));
        COMPARE_STATE(w, state);
        QVERIFY(!QFile::exists(left));
        QVERIFY(w.hasUnsavedWork()); // the restored work is in no saved session
        answers.saveAnswers.push_back(QMessageBox::Discard);
        QVERIFY(w.close());
        QCOMPARE(answers.saveQuestions, 1);
    }
};

QTEST_MAIN(UndoSessionTest)
#include "undo_session_test.moc"
