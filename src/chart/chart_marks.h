#pragma once
#include <qcustomplot.h>

#include <QColor>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <vector>

class ChartView;

// Labelled marks at points of the chart (a yield or a peak point, say). Not a series: they are
// drawn on the chart's marker layer and never appear in the series list or the legend. Deleting
// the marks takes them off the chart.
class ChartMarks : public QCPLayerable {
public:
    enum class Shape { Triangle, Square, Diamond };
    struct Mark {
        QPointF point; // chart coordinates
        QString label; // a label ending in '+' sits above right, any other below left
        Shape shape = Shape::Square;
        QColor color;
    };

    explicit ChartMarks(ChartView* chart);
    ~ChartMarks() override;

    // Replaces every mark and queues a redraw.
    void setMarks(std::vector<Mark> marks);
    const std::vector<Mark>& marks() const { return marks_; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
    QRect clipRect() const override;

private:
    QPointer<ChartView> chart_;
    std::vector<Mark> marks_;
};
