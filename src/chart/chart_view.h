#pragma once
#include "chart/chart_series.h"

#include <qcustomplot.h>

#include <QPointF>
#include <QRect>

#include <vector>

class ChartTool;

// The chart control: a QCustomPlot holding the program's series in a fixed list order, a legend
// with a check box per listed series, mouse navigation and the tools.
//
// Mouse: a left drag down and to the right zooms into the rectangle, a left drag up or to the
// left shows all data again, a right drag scrolls, the wheel zooms about the mouse. A press on
// the legend toggles the entry under it and then reports legendClicked(); dragging the legend
// (the press moves by a few pixels) takes back that toggle and puts the legend in the corner of
// the quarter of the plot area the mouse is released in. Tools see a press
// before the navigation does and may take the mouse (a drag tool pressed on its series' point).
//
// The axes follow the data of the shown series whenever points change or a series is shown or
// hidden, unless the user has zoomed or scrolled, and they hold still while a point is dragged.
// Every redraw is queued, so a burst of changes or mouse moves costs one redraw.
class ChartView : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    // The layer of the point series and of marks drawn over the curves.
    static const QString kMarkerLayer;
    // Queues one redraw (a burst of calls costs one).
    void refresh() { scheduleReplot(); }

    // The titles of the bottom (displacement) and left (force) axes, "Disp" and "Force" at first.
    void setAxisTitles(const QString& x, const QString& y);
    QString xAxisTitle() const;
    QString yAxisTitle() const;
    // The title of the right value axis, shown while a series is on it.
    void setRightAxisTitle(const QString& title);
    QString rightAxisTitle() const;

    // ---- series ----
    // Creates a series and appends it to the series list.
    ChartSeries* addSeries(ChartSeries::Kind kind);
    const std::vector<ChartSeries*>& seriesList() const { return series_; }
    int seriesCount() const { return static_cast<int>(series_.size()); }
    ChartSeries* getSeries(int i) const { return series_.at(static_cast<size_t>(i)); }

    // Last mouse position over the chart, in pixels of the chart widget; (0, 0) before any.
    QPointF lastMousePos() const { return lastMouse_; }
    // The plot area (inside the axes), in pixels of the chart widget.
    QRect plotArea();
    // A pixel of the chart widget to a value on the bottom or left axis.
    double xScreenToValue(double pixel) const;
    double yScreenToValue(double pixel) const;

    // ---- legend ----
    // The series listed in the legend, top to bottom.
    std::vector<ChartSeries*> legendSeries() const;
    // Where the legend, an entry and an entry's check box are, in pixels of the chart widget;
    // empty when the series has no entry.
    QRect legendRect();
    QRect legendEntryRect(const ChartSeries* series);
    QRect legendCheckBoxRect(const ChartSeries* series);
    // The legend of a saved image: only the shown series, without check boxes. Off by default.
    void setImageLegend(bool on);
    bool imageLegend() const { return imageLegend_; }

    // ---- navigation ----
    bool userZoomed() const { return userZoomed_; }
    // Shows all data again and lets the axes follow the data.
    void resetZoom();
    // Shows the part of the plot inside a rectangle of widget pixels.
    void zoomToRect(const QRect& pixels);
    // Moves the view so the contents follow the mouse by the given pixels.
    void scrollBy(const QPointF& pixels);
    // Scales both axes about a pixel; a factor below 1 zooms in.
    void zoomAt(const QPointF& pixel, double factor);
    // Fits the axes to the data of all shown series now.
    void fitToData();
    // While held (a point drag), the axes do not follow the data; on release they catch up.
    void setHoldAxes(bool hold);
    bool holdAxes() const { return holdAxes_; }

    // ---- overlays ----
    // The cross-hair over the plot area, drawn on a layer of its own: showing or moving it
    // repaints that layer only, never the series.
    void showCrossHair(const QPointF& pixel);
    void hideCrossHair();
    bool crossHairShown() const;
    QPointF crossHairPos() const;
    // The zoom rectangle while the left button is dragged (empty when none).
    QRect zoomBand() const;

    // ---- images ----
    // The chart laid out at width x height as a PNG file (96 dots per inch, scale 1) or as a
    // one-page vector PDF whose page is width x height points; empty when none could be made.
    // The chart on screen keeps its viewport; the axis rectangle stays laid out for the image
    // until the next redraw.
    QByteArray pngBytes(int width, int height);
    QByteArray pdfBytes(int width, int height);
    // Draws the chart laid out at size (in the painter's units) with its top left corner at the
    // painter's origin, vectorised, as a saved image shows it (no cross-hair; the legend lists the
    // shown series without check boxes). The chart on screen is drawn again afterwards.
    void paintInto(QCPPainter* painter, const QSize& size);

    // ---- tools ----
    // Called by ChartTool's constructor.
    void addTool(ChartTool* tool);
    const std::vector<ChartTool*>& tools() const { return tools_; }

    // ---- called by the series layer ----
    void seriesPointsChanged(ChartSeries* series);
    void seriesPointMoved(ChartSeries* series);
    void seriesLookChanged(ChartSeries* series);
    void seriesActiveChanged(ChartSeries* series);
    void seriesLegendChanged(ChartSeries* series);

signals:
    // The mouse moved over the chart (also reported for a double click's position).
    void chartMouseMove(int x, int y);
    void chartDoubleClick();
    // Any press on the legend, after a press on an entry has switched its series.
    void legendClicked();
    // The chart is being destroyed: what refers to it (its marks and paths) lets go before its
    // children are deleted, when it is no longer a ChartView.
    void closing();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { None, ZoomBand, Scroll, Tool, Legend };
    class LegendEntry;
    class Band;
    class CrossHair;

    void scheduleReplot();
    void rebuildLegend();
    LegendEntry* legendEntryOf(const ChartSeries* series) const;
    // The series of the legend entry under the pixel, if any.
    ChartSeries* legendSeriesAt(const QPointF& pixel) const;
    void noteMouse(const QPointF& pixel);
    void finishZoomBand(const QPointF& end);
    // The axes that follow the data: bottom, left and, when shown, right.
    std::vector<QCPAxis*> valueAxes() const;

    std::vector<ChartSeries*> series_;
    std::vector<ChartTool*> tools_;
    QPointF lastMouse_;
    bool userZoomed_ = false;
    bool holdAxes_ = false;
    bool movedWhileHeld_ = false;
    bool fitPending_ = false;

    Drag drag_ = Drag::None;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    ChartTool* dragTool_ = nullptr;
    ChartSeries* legendToggled_ = nullptr; // the entry a press on the legend switched
    bool legendMoved_ = false;
    bool imageLegend_ = false;
    bool legendWasVisible_ = true;
    QPointF pressPos_;
    QCPRange pressXRange_, pressYRange_, pressY2Range_;

    Band* band_ = nullptr;
    CrossHair* crossHair_ = nullptr;
    QCPLayer* crossHairLayer_ = nullptr;
};
