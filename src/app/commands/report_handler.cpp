// "Export Report...": the record, the settings, the chart with its skeleton curves and marks,
// the result plots and the tables as one PDF file.
#include "app/about_box.h"
#include "app/tform1.h"
#include "chart/chart_view.h"
#include "common/error.h"
#include "export/text_export.h"
#include "results/result_plot_pages.h"
#include "results/result_plots.h"
#include "results/results_form.h"
#include "results/results_overlay.h"
#include "results/results_report.h"
#include "results/results_tables.h"
#include "ui/command.h"
#include "ui/file_writing.h"
#include "ui/qt_number.h"
#include "workspace/import_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>

#include <memory>

namespace {

constexpr std::string_view kReportSuffix = "_Report";
// The size the result plots are laid out at on the page, in points.
const QSize kPlotSize(510, 330);

QString checkedRule(const TForm1& w) {
    for (const QRadioButton* rb : {w.rb1, w.rb2, w.rb3, w.rb4, w.rb5})
        if (rb->isChecked()) return rb->text().trimmed();
    return QStringLiteral("(none chosen)");
}

} // namespace

void TForm1::ExportReport1Click() {
    if (analysis.empty()) {
        rzstsbr1->showMessage(
            QStringLiteral("No report: import and analyse a record first (Analyze Loop)."), 8000);
        return;
    }
    if (!dlgSaveReport) {
        dlgSaveReport = new QFileDialog(this, QStringLiteral("Export Report"),
                                        dlgSave1->directory().absolutePath());
        dlgSaveReport->setObjectName(QStringLiteral("dlgSaveReport"));
        dlgSaveReport->setAcceptMode(QFileDialog::AcceptSave);
        dlgSaveReport->setFileMode(QFileDialog::AnyFile);
        dlgSaveReport->setNameFilters({QStringLiteral("PDF documents (*.pdf *.PDF)")});
    }
    dlgSaveReport->selectFile(
        QString::fromStdString(tc::suggestedExportName(edt5->text().toStdString(), kReportSuffix)) +
        QStringLiteral(".pdf"));
    if (dlgSaveReport->exec() != QDialog::Accepted || dlgSaveReport->selectedFiles().isEmpty())
        return;
    QString path = dlgSaveReport->selectedFiles().constFirst();
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");

    const tc::gui::WaitCursor wait;
    int pages = 0;
    const QByteArray pdf = reportBytes(&pages);
    if (pdf.isEmpty())
        throw tc::Error("Cannot make the report of " +
                        QDir::toNativeSeparators(path).toStdString() +
                        ": the PDF document could not be drawn.");
    tc::gui::writeWholeFile(path, std::string_view(pdf.constData(), pdf.size()));
    rzstsbr1->showMessage(QStringLiteral("Report written: %1 (%2 pages)")
                              .arg(QDir::toNativeSeparators(path))
                              .arg(pages),
                          8000);
}

QByteArray TForm1::reportBytes(int* pages) {
    const tc::EngineeringResults r = engineeringResults();
    const char sep = decimalSeparator();
    auto number = [sep](double v) { return tc::gui::numberText(v, sep); };

    ReportContent c;
    c.program = tc::gui::appTitle();
    c.version = programVersion();
    c.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QFileInfo record(edt5->text());
    c.title = record.fileName().isEmpty() ? QStringLiteral("(no file name)") : record.fileName();
    c.record = {
        {QStringLiteral("Name"), c.title},
        {QStringLiteral("Path"), QDir::toNativeSeparators(edt5->text())},
        {QStringLiteral("Size"),
         QStringLiteral("%1 bytes; %2 points imported, %3 analysed, %4 loops")
             .arg(record.exists() ? QString::number(record.size()) : QStringLiteral("--"))
             .arg(dispRaw.size())
             .arg(loopDisp.size())
             .arg(analysis.loopCount)},
        {lbl7->text(), edt7->text()},
        {lbl8->text(), edt8->text()},
        {QStringLiteral("Import settings"),
         importSettings.isDefault() ? QStringLiteral("defaults (displacement field 1, force "
                                                     "field 2)")
                                    : QString::fromStdString(tc::describeSettings(importSettings))},
        {QStringLiteral("Axes"), cht1->xAxisTitle() + QStringLiteral(", ") + cht1->yAxisTitle()}};
    c.settings = {
        {QStringLiteral("Dead band"), number(analysisOptions.deadBand)},
        {lbl11->text(), cbb4->currentText()},
        {QStringLiteral("Skeleton rule"), checkedRule(*this)},
        {chk1->text().trimmed(), chk1->isChecked() ? QStringLiteral("on") : QStringLiteral("off")},
        {lbl9->text(), edt9->text() + QStringLiteral(" to ") + edt10->text()},
        {lbl10->text(), edt11->text()},
        {QStringLiteral("Level tolerance"),
         number(analysisOptions.levelTolerancePercent) + QStringLiteral(" %")},
        {QStringLiteral("Evaluation curve"),
         QString::fromStdString(tc::evaluationCurveName(r.curve))},
        {QStringLiteral("Yield method"), QString::fromStdString(tc::yieldMethodName(r.method))}};
    for (const std::string& w : r.warnings)
        c.warnings << QString::fromStdString(w);
    c.decimalSeparator = sep;
    c.digits = resultsForm ? resultsForm->significantDigits() : tc::kDisplayDigits;
    c.tables = {tc::summaryTable(r), tc::skeletonTable(r), tc::levelTable(r.levels),
                tc::loopTable(r.loops)};

    // The chart with the marks of the results, whether or not the results window shows them.
    std::unique_ptr<ResultsOverlay> marks;
    if (!resultsOverlay) {
        marks = std::make_unique<ResultsOverlay>(cht1);
        marks->setResults(r);
    }
    c.chart = cht1;
    // The plots laid out for the page, apart from the results window's.
    QTabWidget plotTabs;
    auto* plots = new ResultPlotSet(&plotTabs);
    plots->show(tc::resultPlots(analysis, r), cht1->xAxisTitle(), cht1->yAxisTitle(), sep);
    for (ResultPlotPage* p : plots->pages()) {
        p->plot->resize(kPlotSize);
        c.plots.emplace_back(p->title(), p->plot);
    }

    const QByteArray pdf = reportPdf(c, pages);
    marks.reset();
    return pdf;
}
