#pragma once
#include <qcustomplot.h>

#include <QColor>
#include <QString>

#include <vector>

class ChartView;

// One series of the chart: a curve whose points stay in the order they were added (a hysteresis
// curve runs back and forth in X). A point series draws markers only, each in its own colour, and
// can keep its points in ascending X order. The plottable's name() is the series title and its
// data holds exactly the series' points.
class ChartSeries : public QCPCurve {
public:
    enum class Kind { Line, Point };

    ChartSeries(ChartView* chart, Kind kind);

    Kind kind() const { return kind_; }
    ChartView* chart() const;

    QString title() const { return name(); }
    void setTitle(const QString& title);

    QColor seriesColor() const { return color_; }
    void setSeriesColor(const QColor& color);
    void setLineWidth(double width);

    // Active: shown. A hidden series keeps its points.
    bool active() const { return visible(); }
    void setActive(bool active);

    void setPointerStyle(QCPScatterStyle::ScatterShape shape);
    QCPScatterStyle::ScatterShape pointerStyle() const { return shape_; }
    void setPointerSize(double size);
    double pointerSize() const { return size_; }
    void setPointerVisible(bool visible);
    bool pointerVisible() const { return pointerVisible_; }

    // Each point drawn in the colour it was added with.
    void setColorEachPoint(bool on) { colorEachPoint_ = on; }
    bool colorEachPoint() const { return colorEachPoint_; }
    // New points go after every point whose X is less than or equal to theirs.
    void setAscendingX(bool on) { ascendingX_ = on; }
    bool ascendingX() const { return ascendingX_; }

    bool legendVisible() const { return legendVisible_; }
    void setLegendVisible(bool visible);

    int count() const { return data()->size(); }
    double x(int i) const { return data()->at(i)->key; }
    double y(int i) const { return data()->at(i)->value; }
    QColor pointColor(int i) const;
    std::vector<double> xs() const;
    std::vector<double> ys() const;

    // Adds a point; an invalid colour means the series' own colour.
    void addXY(double x, double y, const QColor& color = QColor());
    void clear();
    void deleteAt(int index);
    // Replaces every point in one go, in the order given (series colour for each).
    void setPoints(const std::vector<double>& xs, const std::vector<double>& ys);
    // Moves point i, keeping its place in the point order.
    void movePoint(int index, double x, double y);

    // Pixel of the chart to a value on this series' axes.
    double xScreenToValue(double pixel) const;
    double yScreenToValue(double pixel) const;
    // Index of the point within a few pixels of the given chart pixel, -1 when none.
    int pointAt(const QPointF& pixel, double tolerance = 5.0) const;
    // The point under the chart's last known mouse position, -1 when none.
    int cursorValueIndex() const;

protected:
    void draw(QCPPainter* painter) override;

private:
    void applyStyle();
    void renumber();
    void changed();

    Kind kind_;
    QColor color_ = Qt::black;
    double lineWidth_ = 1;
    QCPScatterStyle::ScatterShape shape_ = QCPScatterStyle::ssCircle;
    double size_ = 3;
    bool pointerVisible_ = false;
    bool colorEachPoint_ = false;
    bool ascendingX_ = false;
    bool legendVisible_ = true;
    std::vector<QColor> pointColors_; // only for colour-each-point series
};
