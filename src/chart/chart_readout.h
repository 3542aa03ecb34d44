#pragma once
#include "chart/chart_tool.h"

#include <QPointF>
#include <QString>

#include <functional>
#include <vector>

class ChartSeries;

// Read-outs of the chart under the mouse: the data coordinates of the mouse position over the
// plot area, and a tooltip for the point of a shown curve within a few pixels of the mouse (its
// series, index, displacement and force, and a note its owner may add, such as the loop of a
// point). The hit test is the series' own, which goes through its point grid on large series, so
// hovering costs the same at a million points. It never takes the mouse.
class ChartReadout : public ChartTool {
    Q_OBJECT
public:
    // A point is hovered when its centre is this many pixels or fewer from the mouse.
    static constexpr double kHoverPixels = 5;

    explicit ChartReadout(ChartView* chart);

    // The curves whose points are read out, in drawing order: of two points equally near the
    // mouse, the later curve's wins (it is drawn on top). Hidden curves are passed over.
    void setCurves(std::vector<ChartSeries*> curves);
    // A further line for a point's tooltip, empty for none.
    using PointNote = std::function<QString(const ChartSeries* series, int index)>;
    void setPointNote(PointNote note) { note_ = std::move(note); }
    void setDecimalSeparator(char separator) { separator_ = separator; }
    char decimalSeparator() const { return separator_; }

    struct Hit {
        ChartSeries* series = nullptr;
        int index = -1;
        explicit operator bool() const { return series && index >= 0; }
    };
    // The point of a shown curve nearest to a pixel of the chart widget, within kHoverPixels.
    Hit pointAt(const QPointF& pixel) const;

    // "Disp: x   Force: y" (the axes' titles) at a pixel over the plot area, the values rounded
    // to what one pixel can tell apart; empty outside the plot area.
    QString positionText(const QPointF& pixel) const;
    // The tooltip of a point: "<series>, point <i>", then "<x title>: x", "<y title>: y" and the
    // note; empty for no hit.
    QString pointText(const Hit& hit) const;
    // A point's coordinates, "<x title> x, <y title> y", by the program's number rule.
    QString coordinatesText(double x, double y) const;
    // The axes' titles and a value by the number rule, for texts about points.
    QString xTitle() const;
    QString yTitle() const;
    QString valueText(double v) const;

    // Reads the chart at a pixel as a mouse move there does.
    void readAt(const QPointF& pixel, bool buttonsHeld = false);
    // What the last read showed.
    QString position() const { return position_; }
    QString toolTip() const { return tip_; }
    Hit hoveredPoint() const { return hovered_; }

signals:
    // The position text changed (empty when the mouse left the plot area or the chart).
    void positionChanged(const QString& text);

protected:
    void mouseMoved(QMouseEvent* event, bool captured) override;
    void mouseLeft() override;

private:
    void setPosition(const QString& text);
    void showTip(const Hit& hit, const QPointF& pixel);

    std::vector<ChartSeries*> curves_;
    PointNote note_;
    char separator_ = '.';
    QString position_;
    QString tip_;
    Hit hovered_;
};
