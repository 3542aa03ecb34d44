#include "chart/chart_image.h"

#include "chart/chart_view.h"
#include "ui/command.h"
#include "ui/file_writing.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* sideBox(QWidget* parent, const char* name, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(TChartImageForm::kMinSide, TChartImageForm::kMaxSide);
    box->setSuffix(QStringLiteral(" px"));
    box->setValue(value); // clamped to the range
    return box;
}

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

bool hasSuffix(const QString& path, QLatin1String suffix) {
    return QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

} // namespace

TChartImageForm::TChartImageForm(const QSize& initial, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ChartImageForm"));
    setWindowTitle(QStringLiteral("Save Chart Image"));
    setModal(true);

    seWidth = sideBox(this, "seWidth", initial.width());
    seHeight = sideBox(this, "seHeight", initial.height());
    btnsImage = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnsImage->setObjectName(QStringLiteral("btnsImage"));
    connect(btnsImage, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(btnsImage, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Width"), seWidth);
    fields->addRow(QStringLiteral("Height"), seHeight);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(btnsImage);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QSize TChartImageForm::imageSize() const {
    return {seWidth->value(), seHeight->value()};
}

bool isPdfImagePath(const QString& path) {
    return hasSuffix(path, QLatin1String("pdf"));
}

QString chartImageFileName(const QString& chosen, bool pdfType) {
    if (isPdfImagePath(chosen) || hasSuffix(chosen, QLatin1String("png"))) return chosen;
    return chosen + (pdfType ? QStringLiteral(".pdf") : QStringLiteral(".png"));
}

bool saveChartImage(ChartView* chart, const QString& path, int width, int height) {
    if (!chart || width <= 0 || height <= 0) return false;
    // A queued redraw may still owe the axes a fit to new data: the image shows the chart as the
    // next frame on screen will.
    chart->replot(QCustomPlot::rpImmediateRefresh);

    // The cross-hair marks where the mouse is; it has no place in a picture of the curves.
    const bool crossHair = chart->crossHairShown();
    const QPointF crossHairPos = chart->crossHairPos();
    if (crossHair) chart->hideCrossHair();
    // The check boxes are for the mouse, and a hidden series has no place in the picture's legend.
    chart->setImageLegend(true);

    // Both exports lay the plot out for the image size and restore the viewport afterwards, but
    // leave the axis rectangle (and so every pixel-to-value mapping) laid out for the image until
    // the next redraw: redraw at once.
    const QByteArray bytes =
        isPdfImagePath(path) ? chart->pdfBytes(width, height) : chart->pngBytes(width, height);
    chart->setImageLegend(false);
    chart->replot(QCustomPlot::rpImmediateRefresh);

    if (crossHair) chart->showCrossHair(crossHairPos);
    if (bytes.isEmpty()) return false;
    tc::gui::writeWholeFile(path, std::string_view(bytes.constData(), bytes.size()));
    return true;
}

void askAndSaveChartImage(ChartView* chart, QFileDialog*& dialog, QWidget* owner,
                          const QString& dialogName, const QString& startFolder,
                          const QString& baseName) {
    TChartImageForm sizeForm(chart->size(), owner);
    if (sizeForm.exec() != QDialog::Accepted) return;
    const QSize size = sizeForm.imageSize();

    if (!dialog) {
        dialog = new QFileDialog(owner, QString(), startFolder);
        dialog->setObjectName(dialogName);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setNameFilters({kPngFilter, kPdfFilter});
    }
    const bool lastWasPdf = dialog->selectedNameFilter() == kPdfFilter;
    dialog->selectFile(baseName + (lastWasPdf ? QStringLiteral(".pdf") : QStringLiteral(".png")));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return;
    const QString path = chartImageFileName(dialog->selectedFiles().constFirst(),
                                            dialog->selectedNameFilter() == kPdfFilter);

    bool written = false;
    {
        const tc::gui::WaitCursor wait;
        written = saveChartImage(chart, path, size.width(), size.height());
    }
    if (!written)
        tc::gui::showError(owner,
                           QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(path)));
}
