// The engineering results commands of the main window: the analysis options, the results window
// with its chart marks, and the results export.
#include "app/tform1.h"
#include "chart/chart_view.h"
#include "chart/series_conversion.h"
#include "export/text_export.h"
#include "results/analysis_options_form.h"
#include "results/result_plots.h"
#include "results/results_form.h"
#include "results/results_overlay.h"
#include "results/results_tables.h"
#include "ui/command.h"
#include "ui/file_dialogs.h"
#include "ui/file_writing.h"
#include "ui/qt_number.h"
#include "ui/window_placement.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

constexpr std::string_view kEngineeringResultsSuffix = "_EngineeringResults";

enum class ResultsFileType { Csv = 1, Workbook = 2 };

} // namespace

tc::EngineeringResults TForm1::engineeringResults() const {
    tc::ResultSettings s;
    s.levelTolerance = analysisOptions.levelTolerancePercent / 100;
    s.direction =
        cbb4->currentIndex() == 1 ? tc::LoopDirection::Negative : tc::LoopDirection::Positive;
    s.curve = analysisOptions.evaluationCurve;
    s.method = analysisOptions.yieldMethod;
    const tc::SkeletonCurves chart{tc::gui::seriesPoints(*skeletonPosSeries),
                                   tc::gui::seriesPoints(*skeletonNegSeries)};
    return tc::engineeringResults(analysis, cbb1->count(), chart, s);
}

void TForm1::scheduleResultsUpdate() {
    resultsTimer_->start();
}

void TForm1::updateEngineeringResults() {
    const double band = analysisOptions.deadBand;
    rzfldsts4->setText(
        QStringLiteral("Dead band: %1").arg(tc::gui::numberText(band, decimalSeparator())));
    rzfldsts4->setVisible(band > 0);

    const bool shown = resultsForm && resultsForm->isVisible();
    if (!shown && analysis.empty()) {
        rzfldsts5->clear();
        rzfldsts5->setToolTip({});
        return;
    }
    const tc::EngineeringResults r = engineeringResults();
    // A message of the status bar, never a box: the commands themselves show nothing new.
    QStringList warnings;
    for (const std::string& w : r.warnings)
        warnings << QString::fromStdString(w);
    QString text = warnings.value(0);
    if (warnings.size() > 1) text += QStringLiteral(" (and %1 more)").arg(warnings.size() - 1);
    rzfldsts5->setText(text);
    rzfldsts5->setToolTip(warnings.join(QLatin1Char('\n')));
    if (!shown) return;
    resultsForm->showResults(r, decimalSeparator());
    resultsForm->showPlots(tc::resultPlots(analysis, r), cht1->xAxisTitle(), cht1->yAxisTitle());
    if (resultsOverlay) resultsOverlay->setResults(r);
}

void TForm1::AnalysisOptions1Click() {
    // The imported displacements around the reference: the dead band is a small share of them.
    QString note;
    DeadBandSuggester suggest;
    if (!dispRaw.empty()) {
        const auto [lo, hi] = std::minmax_element(dispRaw.begin(), dispRaw.end());
        auto text = [this](double v) { return tc::gui::numberText(v, decimalSeparator()); };
        note = QStringLiteral("The imported displacements run from %1 to %2; the reference is %3.")
                   .arg(text(*lo), text(*hi), text(dispRaw.front()));
        suggest = [this] { return tc::suggestDeadBand(dispRaw, forceRaw); };
    }
    ShowAnalysisOptions(analysisOptions, decimalSeparator(), this, note, suggest);
}

// Where the results window opens the first time: beside this window when the screen has room,
// else over it, never over the chart's centre. Later it stays where the user leaves it.
static void placeResultsWindow(TForm1& w, TResultsForm& form) {
    const QScreen* screen = w.screen();
    if (!screen) return;
    const QRect main = w.frameGeometry();
    // Not shown yet, the results window has no frame: take this window's.
    const QSize frame = main.size() - w.geometry().size();
    const QRect chart(w.cht1->mapToGlobal(QPoint(0, 0)), w.cht1->size());
    const QRect at =
        tc::gui::placeBesideWindow(screen->availableGeometry(), main, chart, form.size() + frame);
    form.resize(at.size() - frame);
    form.move(at.topLeft());
}

void TForm1::EngineeringResults1Click() {
    if (!resultsForm) {
        // A window of its own (no parent), so that it neither stays above this one nor goes
        // with it when this one is minimised. Closing this window still ends the program.
        resultsForm = new TResultsForm(nullptr);
        resultsForm->setWindowFlag(Qt::Window);
        resultsForm->setAttribute(Qt::WA_QuitOnClose, false);
        resultsForm->setFont(font());
        placeResultsWindow(*this, *resultsForm);
        resultsForm->setYieldMethod(analysisOptions.yieldMethod);
        resultsForm->setEvaluationCurve(analysisOptions.evaluationCurve);
        connect(resultsForm, &TResultsForm::yieldMethodChanged, this, [this] {
            tc::gui::runCommand(this, [this] {
                runStep(QStringLiteral("Yield Method"), tc::SettingsPart, false,
                        [this] { analysisOptions.yieldMethod = resultsForm->yieldMethod(); });
            });
            scheduleResultsUpdate();
        });
        connect(resultsForm, &TResultsForm::evaluationCurveChanged, this, [this] {
            tc::gui::runCommand(this, [this] {
                runStep(QStringLiteral("Evaluation Curve"), tc::SettingsPart, false, [this] {
                    analysisOptions.evaluationCurve = resultsForm->evaluationCurve();
                });
            });
            scheduleResultsUpdate();
        });
        connect(resultsForm, &TResultsForm::exportClicked, this, [this] {
            tc::gui::runCommand(resultsForm, [this] { ExportEngineeringResults1Click(); });
        });
        // The marks belong to the window: drawn while it is open, gone when it closes.
        connect(resultsForm, &TResultsForm::shownChanged, this, [this](bool shown) {
            if (shown) {
                if (!resultsOverlay) resultsOverlay = new ResultsOverlay(cht1);
                scheduleResultsUpdate();
            } else if (resultsOverlay) {
                delete resultsOverlay; // leaves the chart
                resultsOverlay = nullptr;
            }
        });
    }
    resultsForm->show();
    resultsForm->raise();
    resultsForm->activateWindow();
    updateEngineeringResults();
}

void TForm1::ExportEngineeringResults1Click() {
    const std::string suggested =
        tc::suggestedExportName(edt5->text().toStdString(), kEngineeringResultsSuffix);
    dlgSaveResults->selectFile(QString::fromStdString(suggested));
    if (dlgSaveResults->exec() != QDialog::Accepted || dlgSaveResults->selectedFiles().isEmpty())
        return;
    const auto type = static_cast<ResultsFileType>(tc::gui::selectedFilterIndex(*dlgSaveResults));
    QString path = dlgSaveResults->selectedFiles().constFirst();
    const QString suffix =
        type == ResultsFileType::Workbook ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;

    const tc::gui::WaitCursor wait;
    const std::vector<tc::ResultTable> tables = tc::resultTables(engineeringResults());
    if (type == ResultsFileType::Workbook)
        tc::writeResultsWorkbook(tables, std::filesystem::path(path.toStdWString()));
    else
        tc::gui::writeWholeFile(path, tc::resultsCsv(tables, decimalSeparator()));
}
