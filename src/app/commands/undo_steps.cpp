// Undo and redo: every command that changes the workspace becomes one step of the undo stack,
// holding only what it changed (tc::WorkspaceDelta); undo and redo put that back.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/series_conversion.h"
#include "results/results_form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <QUndoStack>

#include <algorithm>

namespace {

// One command's change of the workspace. It is pushed after the command has run, so the first
// redo (from the push) has nothing to do.
class WorkspaceStep : public QUndoCommand {
public:
    WorkspaceStep(TForm1* window, const QString& what, tc::WorkspaceDelta delta, bool work)
        : QUndoCommand(what), window_(window), delta_(std::move(delta)), work_(work) {}

    void undo() override { window_->applyStep(delta_, false); }
    void redo() override {
        if (pushed_) window_->applyStep(delta_, true);
        pushed_ = true;
    }
    bool work() const { return work_; }

private:
    TForm1* window_;
    tc::WorkspaceDelta delta_;
    bool work_;
    bool pushed_ = false;
};

std::string utf8(const QString& s) {
    return s.toStdString();
}

} // namespace

tc::WorkspaceRefs TForm1::workspaceRefs() {
    tc::WorkspaceRefs r;
    r.dispRaw = &dispRaw;
    r.forceRaw = &forceRaw;
    r.rawSource = &rawSeriesSource;
    r.rawOriginals = &rawOriginals;
    r.analysis = &analysis;
    r.analysisInput = &analysisInput;
    r.skeleton = {tc::gui::seriesPoints(*skeletonPosSeries),
                  tc::gui::seriesPoints(*skeletonNegSeries)};
    r.texts.path = utf8(edt5->text());
    r.texts.loopCount = utf8(edt6->text());
    r.texts.selectedLoop = cbb1->currentIndex();
    r.texts.values = {utf8(edt1->text()), utf8(edt2->text()), utf8(edt3->text()),
                      utf8(edt4->text())};
    r.texts.loopTitle = utf8(loopSeries->title());
    r.settings.analysis = analysisOptions;
    r.settings.excel = excelOptions;
    r.settings.excel.excelApp = {};
    r.settings.import = importSettings;
    return r;
}

void TForm1::beginStep(const QString& what, unsigned parts, bool work) {
    if (stepDepth_++ > 0) return; // part of the step already being recorded
    step_ = std::make_unique<PendingStep>();
    step_->what = what;
    step_->work = work;
    step_->before = tc::captureState(workspaceRefs(), parts);
    // No undo in the middle of a step (Ctrl+Z while a point is being dragged).
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
}

void TForm1::endStep() {
    if (stepDepth_ == 0 || --stepDepth_ > 0) return;
    const std::unique_ptr<PendingStep> p = std::move(step_);
    Undo1->setEnabled(undoStack->canUndo());
    Redo1->setEnabled(undoStack->canRedo());
    if (!p) return;
    tc::WorkspaceDelta delta = tc::makeDelta(p->before, workspaceRefs());
    if (delta.empty()) return; // nothing changed: no step
    undoStack->push(new WorkspaceStep(this, p->what, std::move(delta), p->work));
}

void TForm1::runStep(const QString& what, unsigned parts, bool work,
                     const std::function<void()>& handler) {
    beginStep(what, parts, work);
    try {
        handler();
    } catch (...) {
        // A command that fails half-way may have changed the workspace: that is a step too.
        endStep();
        throw;
    }
    endStep();
}

// The chart's imported curve after its arrays changed: the moved points alone when only a few
// moved, otherwise all of it.
static void refreshRawSeries(TForm1& w, const tc::WorkspaceDelta& d) {
    constexpr size_t kFew = 64;
    const bool moves = d.rawSource.empty() && d.dispRaw.before.size() == d.dispRaw.after.size() &&
                       d.forceRaw.before.size() == d.forceRaw.after.size() &&
                       d.dispRaw.before.size() <= kFew && d.forceRaw.before.size() <= kFew;
    const std::vector<int>& source = w.rawSeriesSource;
    if (moves) {
        auto move = [&](size_t at, size_t n) {
            for (size_t i = at; i < at + n; ++i) {
                // The chart's points keep the record's order: their sources ascend.
                const auto it = std::lower_bound(source.begin(), source.end(), static_cast<int>(i));
                if (it == source.end() || *it != static_cast<int>(i)) continue;
                w.rawSeries->movePoint(static_cast<int>(it - source.begin()), w.dispRaw[i],
                                       w.forceRaw[i]);
            }
        };
        move(d.dispRaw.at, d.dispRaw.before.size());
        move(d.forceRaw.at, d.forceRaw.before.size());
        return;
    }
    std::vector<double> xs(source.size()), ys(source.size());
    for (size_t j = 0; j < source.size(); ++j) {
        xs[j] = w.dispRaw[static_cast<size_t>(source[j])];
        ys[j] = w.forceRaw[static_cast<size_t>(source[j])];
    }
    w.rawSeries->setPoints(xs, ys);
}

void TForm1::applyStep(const tc::WorkspaceDelta& d, bool forward) {
    const tc::WorkspaceRefs now = workspaceRefs();
    tc::applyDelta(now, d, forward);
    if (d.changesRecord() || d.changesAnalysis()) rawAnalysedIndex.clear(); // made again on need
    if (d.changesRecord()) refreshRawSeries(*this, d);
    if (d.changesSkeleton()) {
        const tc::SkeletonCurves s = tc::applySkeleton(now.skeleton, d, forward);
        if (!d.positive.empty()) tc::gui::setSeriesPoints(*skeletonPosSeries, s.positive);
        if (!d.negative.empty()) tc::gui::setSeriesPoints(*skeletonNegSeries, s.negative);
    }
    if (d.changesAnalysis() || d.texts.changed) {
        const tc::WorkspaceTexts& t = d.texts.changed ? d.texts.value(forward) : now.texts;
        {
            const QSignalBlocker block(cbb1);
            if (d.changesAnalysis()) {
                cbb1->clear();
                QStringList items;
                for (int n = 1; n <= analysis.loopCount; ++n)
                    items << QStringLiteral("Loop_%1").arg(n);
                cbb1->addItems(items);
            }
            cbb1->setCurrentIndex(t.selectedLoop);
        }
        // The selected loop on the chart, then the texts exactly as they were.
        if (analysis.empty()) {
            loopSeries->clear();
            pntsrsSeries1->clear();
            pntsrsSeries2->clear();
        } else {
            cbb1Change();
        }
        edt5->setText(QString::fromStdString(t.path));
        edt6->setText(QString::fromStdString(t.loopCount));
        QLineEdit* values[] = {edt1, edt2, edt3, edt4};
        for (int i = 0; i < 4; ++i)
            values[i]->setText(QString::fromStdString(t.values[static_cast<size_t>(i)]));
        loopSeries->setTitle(QString::fromStdString(t.loopTitle));
    }
    if (d.settings.changed) {
        const tc::WorkspaceSettings& s = d.settings.value(forward);
        analysisOptions = s.analysis;
        const tc::Variant app = excelOptions.excelApp; // the last export's application stays
        excelOptions = s.excel;
        excelOptions.excelApp = app;
        if (resultsForm) {
            resultsForm->setYieldMethod(analysisOptions.yieldMethod);
            resultsForm->setEvaluationCurve(analysisOptions.evaluationCurve);
        }
        if (!(s.import == importSettings)) {
            importSettings = s.import;
            applyImportSettings();
        }
    }
    scheduleResultsUpdate();
}

bool TForm1::hasUnsavedWork() const {
    if (undoStack->isClean()) return false;
    const int clean = undoStack->cleanIndex();
    const int now = undoStack->index();
    if (clean < 0) return true; // the saved state can no longer be reached
    for (int i = std::min(clean, now); i < std::max(clean, now); ++i) {
        const auto* step = dynamic_cast<const WorkspaceStep*>(undoStack->command(i));
        if (!step || step->work()) return true;
    }
    return false;
}
