// "Save Chart Image...": the chart as a PNG or PDF file at a size the user chooses.
#include "app/command.h"
#include "app/tform1.h"
#include "chart/chart_image.h"
#include "chart/chart_view.h"

#include <QDir>
#include <QFileDialog>

namespace {

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

// The save dialog of the chart image, made at first use and kept by the window, so that it
// remembers the folder and file type of the last image.
QFileDialog* chartImageDialog(TForm1& w) {
    const QString name = QStringLiteral("dlgSaveImage1");
    if (auto* dlg = w.findChild<QFileDialog*>(name, Qt::FindDirectChildrenOnly)) return dlg;
    auto* dlg = new QFileDialog(&w, QString(), w.dlgSave1->directory().absolutePath());
    dlg->setObjectName(name);
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setNameFilters({kPngFilter, kPdfFilter});
    return dlg;
}

} // namespace

void TForm1::SaveChartImage1Click() {
    TChartImageForm sizeForm(cht1->size(), this);
    if (sizeForm.exec() != QDialog::Accepted) return;
    const QSize size = sizeForm.imageSize();

    QFileDialog* dlg = chartImageDialog(*this);
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
