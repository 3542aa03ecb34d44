#pragma once
#include <QDialog>
#include <QSize>
#include <QString>

class ChartView;
class QDialogButtonBox;
class QFileDialog;
class QSpinBox;

// The size dialog of "Save Chart Image...": width and height of the image, in pixels.
class TChartImageForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinSide = 100;
    static constexpr int kMaxSide = 10000;

    // Starts at the given size, each side brought into the allowed range.
    TChartImageForm(const QSize& initial, QWidget* owner);

    QSize imageSize() const;

    QSpinBox *seWidth, *seHeight;
    QDialogButtonBox* btnsImage;
};

// True when the path names a PDF file (".pdf" in any case); every other name is written as PNG.
bool isPdfImagePath(const QString& path);

// The file a chart image goes to: the chosen name when it already ends in .png or .pdf (any case),
// otherwise the chosen name with the suffix of the chosen file type appended.
QString chartImageFileName(const QString& chosen, bool pdfType);

// Writes the chart as it is shown (the same axis ranges and series, without the cursor cross-hair;
// the legend lists the shown series only, without check boxes) at width x height: a vector PDF when
// the path ends in .pdf, else a PNG at scale 1. The chart on screen keeps its size, ranges and
// layout. Returns false when no image could be made; throws Error ("Cannot create file ...", with
// the system's reason) when the file cannot be written, leaving an existing file as it was.
bool saveChartImage(ChartView* chart, const QString& path, int width, int height);

// "Save Image...": the size dialog (starting at the chart's size), then the save dialog for a PNG
// or PDF file named after baseName, then the image; a clear message when it cannot be made. The
// save dialog is made at first use under the given object name, in startFolder, and kept in
// `dialog` (owned by `owner`), so it remembers the folder and file type of the last image.
// Throws Error when the file cannot be written.
void askAndSaveChartImage(ChartView* chart, QFileDialog*& dialog, QWidget* owner,
                          const QString& dialogName, const QString& startFolder,
                          const QString& baseName);
