// "Save Chart Image...": the chart as a PNG or PDF file at a size the user chooses.
#include "app/tform1.h"
#include "chart/chart_image.h"
#include "chart/chart_view.h"
#include "ui/command.h"

#include <QDir>
#include <QFileDialog>

namespace {

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

} // namespace

void TForm1::SaveChartImage1Click() {
    TChartImageForm sizeForm(cht1->size(), this);
    if (sizeForm.exec() != QDialog::Accepted) return;
    const QSize size = sizeForm.imageSize();

    // Made at first use, in the folder of the result files, and kept by the window, so that it
    // remembers the folder and file type of the last image.
    if (!dlgSaveImage1) {
        dlgSaveImage1 = new QFileDialog(this, QString(), dlgSave1->directory().absolutePath());
        dlgSaveImage1->setObjectName(QStringLiteral("dlgSaveImage1"));
        dlgSaveImage1->setAcceptMode(QFileDialog::AcceptSave);
        dlgSaveImage1->setFileMode(QFileDialog::AnyFile);
        dlgSaveImage1->setNameFilters({kPngFilter, kPdfFilter});
    }
    QFileDialog* dlg = dlgSaveImage1;
    const bool lastWasPdf = dlg->selectedNameFilter() == kPdfFilter;
    dlg->selectFile(lastWasPdf ? QStringLiteral("chart.pdf") : QStringLiteral("chart.png"));
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty()) return;
    const QString path = chartImageFileName(dlg->selectedFiles().constFirst(),
                                            dlg->selectedNameFilter() == kPdfFilter);

    bool written = false;
    {
        const tc::gui::WaitCursor wait;
        written = saveChartImage(cht1, path, size.width(), size.height());
    }
    if (!written)
        tc::gui::showError(this,
                           QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(path)));
}
