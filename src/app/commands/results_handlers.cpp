// The engineering results commands of the main window: the analysis options, the results window
// with its chart marks, and the results export.
#include "app/tform1.h"
#include "chart/chart_view.h"
#include "chart/series_conversion.h"
#include "export/text_export.h"
#include "results/analysis_options_form.h"
#include "results/results_form.h"
#include "results/results_overlay.h"
#include "results/results_tables.h"
#include "ui/command.h"
#include "ui/file_dialogs.h"
#include "ui/file_writing.h"
#include "ui/qt_number.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace {

constexpr std::string_view kEngineeringResultsSuffix = "_EngineeringResults";

enum class ResultsFileType { Csv = 1, Workbook = 2 };

} // namespace

tc::EngineeringResults TForm1::engineeringResults() const {
    tc::EngineeringResults r;
    r.method = analysisOptions.yieldMethod;
    r.loops = tc::loopResults(analysis, cbb1->count(), analysisOptions.levelTolerancePercent / 100);
    r.positive = tc::skeletonResult(tc::gui::seriesPoints(*skeletonPosSeries), 1, r.method);
    r.negative = tc::skeletonResult(tc::gui::seriesPoints(*skeletonNegSeries), -1, r.method);
    return r;
}

void TForm1::scheduleResultsUpdate() {
    if (resultsForm && resultsForm->isVisible()) resultsTimer_->start();
}

void TForm1::updateEngineeringResults() {
    if (!resultsForm || !resultsForm->isVisible()) return;
    const tc::EngineeringResults r = engineeringResults();
    resultsForm->showResults(r, decimalSeparator());
    if (resultsOverlay) resultsOverlay->setResults(r.positive, r.negative);
}

void TForm1::AnalysisOptions1Click() {
    // The imported displacements around the reference: the dead band is a small share of them.
    QString note;
    if (!dispRaw.empty()) {
        const auto [lo, hi] = std::minmax_element(dispRaw.begin(), dispRaw.end());
        auto text = [this](double v) { return tc::gui::numberText(v, decimalSeparator()); };
        note = QStringLiteral("The imported displacements run from %1 to %2; the reference is %3.")
                   .arg(text(*lo), text(*hi), text(dispRaw.front()));
    }
    ShowAnalysisOptions(analysisOptions, decimalSeparator(), this, note);
}

void TForm1::EngineeringResults1Click() {
    if (!resultsForm) {
        resultsForm = new TResultsForm(this);
        resultsForm->setYieldMethod(analysisOptions.yieldMethod);
        connect(resultsForm, &TResultsForm::yieldMethodChanged, this, [this] {
            analysisOptions.yieldMethod = resultsForm->yieldMethod();
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
