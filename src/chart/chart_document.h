#pragma once
#include <QRectF>

#include <memory>

class ChartView;
class QCPPainter;
class QPaintDevice;
class QPainter;

// A painter for a document that holds charts among its text (a report): a plain QPainter for
// the text and tables that can also draw a chart into a rectangle.
class DocumentPainter {
public:
    explicit DocumentPainter(QPaintDevice* device);
    ~DocumentPainter();
    DocumentPainter(const DocumentPainter&) = delete;
    DocumentPainter& operator=(const DocumentPainter&) = delete;

    bool isActive() const;
    QPainter* painter();
    // Ends the painting; false when the device could not be painted on.
    bool end();

    // The chart as a saved image shows it, laid out at the rectangle's size (in the painter's
    // units) and drawn in it, vectorised.
    void drawChart(ChartView* chart, const QRectF& target);

private:
    std::unique_ptr<QCPPainter> painter_;
};
