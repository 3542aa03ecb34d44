#pragma once
#include "chart/marker_image.h"
#include "chart/pixel_reduction.h"
#include "chart/point_grid.h"

#include <qcustomplot.h>

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class ChartView;

// One series of the chart. A line series is a curve whose points stay in the order they were
// added (a hysteresis loop runs back and forth in X and is drawn as a path, never sorted). A
// point series draws markers only and may keep its points in ascending X order. A bar series
// draws a bar from 0 to each point's Y, centred on its X (a value per loop, say). The points of a
// series are exactly its data; the title is the plottable's name.
//
// A large series is drawn at the pixel limit: from its points a redraw keeps only what the
// device pixels can show (see reduceToPixels) and draws one marker per occupied pixel, so the
// cost of a redraw follows the size of the plot, not the number of points. The points
// themselves are never touched.
//
// Code outside the chart folder uses only the members declared here, never the QCustomPlot
// interface this class inherits.
class ChartSeries : public QCPCurve {
public:
    enum class Kind { Line, Point, Bar };
    // Marker shapes.
    enum class PointerStyle {
        Rectangle,
        Circle,
        Triangle,
        DownTriangle,
        Diamond,
        Cross,
        DiagCross,
        Star,
        SmallDot
    };

    ChartSeries(ChartView* chart, Kind kind);

    Kind kind() const { return kind_; }
    // The chart this series belongs to.
    ChartView* chart() const;

    QString title() const { return name(); }
    void setTitle(const QString& title);

    QColor seriesColor() const { return color_; }
    void setSeriesColor(const QColor& color);
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width);

    // Active: the series is drawn. A hidden series keeps its points and cannot be hit.
    bool active() const { return visible(); }
    void setActive(bool active);

    PointerStyle pointerStyle() const { return pointerStyle_; }
    void setPointerStyle(PointerStyle style);
    // Half the marker's width in pixels: a size-5 marker is 11 pixels across.
    double pointerSize() const { return pointerSize_; }
    void setPointerSize(double size);
    bool pointerVisible() const { return pointerVisible_; }
    void setPointerVisible(bool visible);
    // A dashed line instead of a solid one.
    bool dashed() const { return dashed_; }
    void setDashed(bool on);
    // The width of a bar series' bars in X units (1 at first); bars narrower than a pixel are
    // drawn one per pixel column, from 0 to the farthest value that column holds.
    double barWidth() const { return barWidth_; }
    void setBarWidth(double width);
    // On the chart's right value axis instead of its left one (the right axis is shown then).
    bool onRightAxis() const { return rightAxis_; }
    void setOnRightAxis(bool on);

    // Each point drawn in the colour it was added with instead of the series colour.
    bool colorEachPoint() const { return colorEachPoint_; }
    void setColorEachPoint(bool on);
    // New points go after every point whose X is less than or equal to theirs (so points with
    // equal X keep the order they were added in). Off: points are kept in the order added.
    bool ascendingX() const { return ascendingX_; }
    void setAscendingX(bool on) { ascendingX_ = on; }

    // Whether the series has an entry in the chart's legend.
    bool legendVisible() const { return legendVisible_; }
    void setLegendVisible(bool visible);

    int count() const { return data()->size(); }
    double x(int i) const { return data()->at(i)->key; }
    double y(int i) const { return data()->at(i)->value; }
    // The colour point i is drawn in.
    QColor pointColor(int i) const;
    std::vector<double> xs() const;
    std::vector<double> ys() const;

    // Adds a point; an invalid colour means the series' own colour.
    void addXY(double x, double y, const QColor& color = QColor());
    void clear();
    // Removes point index; the later points move down by one.
    void deleteAt(int index);
    // Replaces every point in one go, in the order given, each in the series colour.
    void setPoints(const std::vector<double>& xs, const std::vector<double>& ys);
    // Moves point index, which keeps its place in the point order. The chart redraws later, and
    // the axes do not follow while the chart holds them (a point drag).
    void movePoint(int index, double x, double y);

    // A pixel of the chart widget to a value on this series' horizontal or vertical axis.
    double xScreenToValue(double pixel) const;
    double yScreenToValue(double pixel) const;
    // A value to a pixel of the chart widget.
    QPointF valueToScreen(double x, double y) const;

    // Index of the point nearest to a pixel of the chart widget, if it lies within `tolerance`
    // pixels of it and inside the plot area; -1 when none or when the series is hidden. On equal
    // distances the lower index wins. A negative tolerance means the series' own: its marker
    // radius, at least 4 pixels.
    int pointAt(const QPointF& pixel, double tolerance = -1) const;
    // The point under the chart's last known mouse position, -1 when none.
    int cursorValueIndex() const;
    double hitTolerance() const;

    // On (the default): a series of more than a few thousand points is drawn from its reduction
    // to device pixels. Off: every point and every marker is drawn (a reference picture).
    bool pixelReduction() const { return pixelReduction_; }
    void setPixelReduction(bool on);
    // How many points the last redraw handed to the painter for the line (for diagnostics).
    int drawnLinePoints() const { return drawnLinePoints_; }
    // How often the line has been reduced afresh; a scroll draws the kept one moved, a moved
    // point reduces again only the stretches of the line it lies on (for diagnostics).
    int lineReductions() const { return lineReductions_; }
    // How often the pixels holding a marker have been found afresh; a moved point updates the
    // kept ones (for diagnostics).
    int markerSearches() const { return markerSearches_; }

protected:
    void draw(QCPPainter* painter) override;

private:
    void applyStyle();
    void renumber();
    void pointsChanged();
    void drawMarkers(QCPPainter* painter);
    void drawBars(QCPPainter* painter);
    bool drawReduced(QCPPainter* painter);
    // Draws the markers of the occupied cells; `meanwhile` (drawing what lies beneath them) runs
    // while their image is being made. `changed`: the cells that changed since the last drawing,
    // null when all may have.
    void drawOccupiedMarkers(QCPPainter* painter, const QRect& area, double pixelRatio,
                             const std::function<void()>& meanwhile,
                             const std::vector<QPoint>* changed);
    const tc::PointGrid& grid() const;
    // The points as the reduction reads them.
    tc::StridedPoints points() const;

    // A point moved by movePoint: which, and where it was.
    struct PointMove {
        size_t index;
        double x, y;
    };
    // The moves that took the points from `generation` to now; none when they are not all
    // known (the points changed otherwise, or too many moves).
    std::optional<std::span<const PointMove>> movesSince(uint64_t generation) const;
    // The kept line's stretches that hold a segment of a moved point, reduced again in the
    // pixels `ax`, `ay` and the box they were reduced for.
    void reduceMovedStretches(std::span<const PointMove> moves, const tc::PixelAxis& ax,
                              const tc::PixelAxis& ay, const tc::PixelBox& box);
    // Stretches [from, to) of the line reduced afresh; with `cells`, the marker cells of their
    // points marked there on the way.
    void reduceStretches(size_t from, size_t to, const tc::PixelAxis& ax, const tc::PixelAxis& ay,
                         const tc::PixelBox& box, tc::PixelMask* cells = nullptr);
    // The cells of occupied_ updated for moved points (marking where they went, unmarking where
    // they were when no other point is there); returns the cells that changed.
    std::vector<QPoint> updateOccupied(std::span<const PointMove> moves, const tc::PixelAxis& cx,
                                       const tc::PixelAxis& cy);

    Kind kind_;
    QColor color_ = Qt::black;
    double lineWidth_ = 1;
    PointerStyle pointerStyle_ = PointerStyle::Circle;
    double pointerSize_ = 3;
    bool pointerVisible_ = false;
    bool colorEachPoint_ = false;
    bool ascendingX_ = false;
    bool legendVisible_ = true;
    bool dashed_ = false;
    double barWidth_ = 1;
    bool rightAxis_ = false;
    std::vector<QColor> pointColors_; // one per point while colour-each-point is on
    bool pixelReduction_ = true;

    // Working memory of the reduced drawing, kept from one redraw to the next.
    // The reduced line, in stretches of a fixed number of points, each stretch sharing its last
    // point with the next; the first `firstPart_` are drawn as one part, the others as a second.
    std::vector<std::vector<tc::PixelPoint>> stretches_;
    size_t firstPart_ = 0;
    // Of these, what shows in the view, and the same in widget pixels (what is drawn); the move
    // of the kept line they were made for.
    std::vector<tc::PixelPoint> shown_, shown2_;
    QVector<QPointF> lines_, lines2_;
    std::optional<QPointF> shownAt_;
    tc::PixelMask occupied_, otherCells_; // the marker cells; those a second thread found
    MarkerImage markerImage_;
    int drawnLinePoints_ = 0;
    int lineReductions_ = 0;
    int markerSearches_ = 0;
    // The moves of points from generation movesFrom_ on, one per generation.
    std::vector<PointMove> moves_;
    uint64_t movesFrom_ = 0;
    // Bounds of runs of consecutive points, built on the first reduced redraw after the points
    // change and kept up to date while a point is dragged.
    tc::PointRunIndex runs_;
    bool runsValid_ = false;
    // What the kept reduction was made from: a redraw of the same points in the same view (a
    // hover, another series changing) draws it again as it is.
    struct ReducedFrom {
        const double* x = nullptr;
        size_t count = 0;
        uint64_t generation = 0;
        tc::PixelAxis ax, ay;
        tc::PixelBox box;
        QRect mask;
        bool operator==(const ReducedFrom& o) const;
        // The same points in the same pixels, whatever their generation.
        bool sameView(const ReducedFrom& o) const;
        // How far, in device pixels, what was reduced from this has to be moved to be what
        // would be reduced from `now` for the visible box `view` (the points' generation
        // aside): a whole number of pixels with the same scale, the view within this box. None
        // otherwise.
        std::optional<QPointF> movedTo(const ReducedFrom& now, const tc::PixelBox& view) const;
    };
    std::optional<ReducedFrom> lineFrom_, markersFrom_;
    uint64_t generation_ = 0; // counts the changes of the points

    // Hit-test index of a large series, rebuilt on the first hit test after its points change.
    mutable tc::PointGrid grid_;
    mutable bool gridValid_ = false;
};
