// Result export commands: the text and CSV files, the workbook with its chart, the options.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/series_conversion.h"
#include "common/text_number.h"
#include "export/chart_export.h"
#include "export/export_options_form.h"
#include "export/platform_host.h"
#include "export/text_export.h"
#include "ui/command.h"
#include "ui/file_dialogs.h"
#include "ui/file_writing.h"
#include "ui/long_work.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

using tc::gui::WaitCursor;
using tc::gui::writeWholeFile;

// Runs the save dialog with the suggested name; returns the file to write and its type, or an
// empty path when the user cancelled.
static std::pair<QString, tc::TextFileType> chooseResultFile(TForm1& w, std::string_view suffix) {
    const std::string suggested = tc::suggestedExportName(w.edt5->text().toStdString(), suffix);
    w.dlgSave1->selectFile(QString::fromStdString(suggested));
    if (w.dlgSave1->exec() != QDialog::Accepted || w.dlgSave1->selectedFiles().isEmpty()) return {};
    const tc::TextFileType type =
        tc::textFileTypeFromFilterIndex(tc::gui::selectedFilterIndex(*w.dlgSave1));
    const QString chosen = w.dlgSave1->selectedFiles().constFirst();
    return {QString::fromStdString(tc::exportTargetName(chosen.toStdString(), type)), type};
}

void TForm1::ExportModifiedLoop1Click() {
    const auto [path, type] = chooseResultFile(*this, tc::kModifiedLoopsSuffix);
    if (path.isEmpty()) return;
    const WaitCursor wait;
    writeWholeFile(path, tc::modifiedLoopFileBytes(loopDisp, loopForce, type, decimalSeparator()));
}

void TForm1::ExportResults1Click() {
    const auto [path, type] = chooseResultFile(*this, tc::kAnalysisResultsSuffix);
    if (path.isEmpty()) return;
    tc::LoopExtremes loops;
    loops.loopCount = cbb1->count();
    loops.maxDisp1 = maxDisp1;
    loops.maxDispForce1 = maxDispForce1;
    loops.maxDisp2 = maxDisp2;
    loops.maxDispForce2 = maxDispForce2;
    writeWholeFile(path, tc::fileBytes(tc::analysisResultLines(loops, type, decimalSeparator())));
}

void TForm1::btn7Click() {
    ExportResults1Click();
}

namespace tc::gui {

// Opens a written workbook in the program the desktop associates with it; says where it is when
// nothing opens it.
void openWorkbook(QWidget* parent, const std::string& path) {
    if (path.empty()) return;
    const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        QMessageBox::information(
            parent, appTitle(),
            QStringLiteral("The workbook was written to\n%1").arg(QDir::toNativeSeparators(file)));
}

} // namespace tc::gui

// The folder the workbook goes to: the temporary folder; when the one the environment names does
// not exist (Qt then gives no folder at all) or cannot be written, /tmp, then the program's cache
// folder (made when missing). Always a full path, never the current folder. Throws Error when
// there is none.
static std::filesystem::path workbookFolder() {
    QStringList candidates{QDir::tempPath()};
#ifndef Q_OS_WIN
    candidates << QStringLiteral("/tmp");
#endif
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    candidates << cache;
    for (const QString& c : candidates) {
        if (c.isEmpty() || !QFileInfo(c).isAbsolute()) continue;
        if (c == cache) (void)QDir().mkpath(c);
        const QFileInfo folder(c);
        if (folder.isDir() && folder.isWritable())
            return std::filesystem::path(folder.absoluteFilePath().toStdWString());
    }
    const QString named = qEnvironmentVariable("TMPDIR", QDir::tempPath());
    throw tc::Error(QStringLiteral("Cannot create the workbook: the temporary folder \"%1\" does "
                                   "not exist or cannot be written.")
                        .arg(QDir::toNativeSeparators(named))
                        .toStdString());
}

static void exportChartWorkbook(TForm1& w, ChartView& chart) {
    const std::vector<tc::ChartSeriesSnapshot> series = tc::gui::chartSnapshot(chart);
    const char sep = w.decimalSeparator();
    tc::ExcelExportResult result;
    try {
        const WaitCursor wait;
        tc::gui::LongWork work(&w, QStringLiteral("Writing the workbook"),
                               w.workbookProgressDelayMs);
        result = tc::ExportChartToExcel(series, w.excelOptions, sep,
                                        tc::defaultExcelHostFactory(workbookFolder(), sep),
                                        [&work](double fraction) { return work.update(fraction); });
    } catch (const tc::Cancelled&) {
        // Not an error: nothing was written, and the status bar says so.
        w.rzstsbr1->showMessage(
            QStringLiteral("Workbook export cancelled: no workbook was written."), 5000);
        return;
    } catch (const tc::ExcelStartError& e) {
        QMessageBox::information(&w, QString::fromUtf8(tc::ExcelStartError::kCaption),
                                 QString::fromUtf8(e.what()));
        return;
    } catch (const tc::ExcelExportError& e) {
        // What was done so far is in the workbook: show it, then the error.
        tc::gui::openWorkbook(&w, e.workbookPath());
        throw;
    } catch (const tc::Error& e) {
        // Refused before anything was started (a series too long for a sheet).
        tc::gui::showWarning(&w, QString::fromUtf8(e.what()));
        return;
    }
    tc::gui::openWorkbook(&w, result.workbookPath);
}

void TForm1::btn8Click() {
    exportChartWorkbook(*this, *cht1);
}
void TForm1::ExportDraw12Excel1Click() {
    exportChartWorkbook(*this, *cht1);
}
void TForm1::ExcelExportOptions1Click() {
    ShowExcelExportOptions(excelOptions, this);
}
