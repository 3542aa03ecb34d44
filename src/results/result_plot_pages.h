#pragma once
#include "chart/chart_series.h"
#include "results/result_plots.h"

#include <QString>
#include <QWidget>

#include <vector>

class ChartMarks;
class ChartReadout;
class ChartView;
class LegendPlacement;
class QFileDialog;
class QLabel;
class QPushButton;
class QTabWidget;

// One tab of result plots: the plot, the data coordinates under the mouse, a note on what is
// not plotted, and "Save Image...". Hovering a point shows its tooltip, as on the main chart.
class ResultPlotPage : public QWidget {
    Q_OBJECT
public:
    // name: the object names' stem ("Protocol": tabProtocol, pltProtocol); title: the tab's.
    ResultPlotPage(const QString& name, const QString& title, QWidget* parent);

    QString title() const { return title_; }
    // The stem of the image's file name.
    QString imageName() const { return imageName_; }

    ChartSeries* addSeries(ChartSeries::Kind kind, const QString& title, const QColor& color);
    // Shows the note under the plot; hidden when empty.
    void setNote(const QString& text);
    QString note() const;

    ChartView* plot;
    ChartReadout* readout;
    LegendPlacement* legend; // in the corner that covers the fewest points
    QLabel *lblPosition, *lblNote;
    QPushButton* btnSaveImage;

private:
    QString title_, imageName_;
    std::vector<ChartSeries*> series_;
};

// The result plots of the results window, a tab each: the load protocol, the energy per loop
// with the cumulative energy, the cumulative energy against the cumulative displacement, the
// equivalent damping, the secant stiffness and its degradation per direction, the strength
// degradation per level, and the evaluation curves with their characteristic points and the
// bilinear idealisation of the yield method.
class ResultPlotSet : public QObject {
    Q_OBJECT
public:
    // Adds the pages to the tabs.
    explicit ResultPlotSet(QTabWidget* tabs);

    // The strength plot has a curve for each of the first levels, the others share one.
    static constexpr int kLevelCurves = 9;

    // Fills every plot; the axes are titled after the main chart's (disp, force, with units).
    void show(const tc::ResultPlots& plots, const QString& dispTitle, const QString& forceTitle,
              char decimalSeparator);

    const std::vector<ResultPlotPage*>& pages() const { return pages_; }
    ResultPlotPage* page(const QString& name) const;

private:
    void saveImage(ResultPlotPage* page);

    std::vector<ResultPlotPage*> pages_;
    // protocol
    ChartSeries *protocol_, *boundaries_, *levels_;
    // energy
    ChartSeries *energy_, *cumulative_, *travel_;
    ChartSeries* damping_;
    ChartSeries *kPositive_, *kNegative_, *degPositive_, *degNegative_;
    std::vector<ChartSeries*> strength_; // kLevelCurves level curves, then the rest
    ChartSeries *evalPositive_, *evalNegative_, *bilinearPositive_, *bilinearNegative_;
    ChartMarks* evalMarks_;
    QFileDialog* dlgSaveImage_ = nullptr;
};
