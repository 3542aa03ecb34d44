#pragma once
#include <QFrame>
#include <QIcon>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <vector>

class QPainter;

// The program's pictures, drawn with QPainter in logical pixels so that they stay sharp at any
// screen scale: the icon, charts of a sample record, a test set-up and a thank-you card.
namespace tc::gui::art {

// A cyclic record of a softening Bouc-Wen spring under amplitudes 1, 2, 4, 6, 8 and 10 (each
// applied twice, `pointsPerCycle` points a cycle, starting and ending at zero displacement).
std::vector<QPointF> sampleRecord(int pointsPerCycle = 120);
// Its skeleton curves by the force peak of each half cycle, both starting at the origin.
struct Skeleton {
    std::vector<QPointF> positive, negative;
};
Skeleton sampleSkeleton(int pointsPerCycle = 120);

void paintProgramIcon(QPainter& p, const QRectF& r);
enum class ChartStyle { LoopsAndSkeleton, SkeletonOnly };
void paintSampleChart(QPainter& p, const QRectF& r, ChartStyle style);
void paintTestSetup(QPainter& p, const QRectF& r);
void paintThankYou(QPainter& p, const QRectF& r);

// The icon at the usual sizes from 16 to 256 pixels.
QIcon programIcon();
QImage programIconImage(int size);

} // namespace tc::gui::art

// A fixed-size picture drawn by a painting function whenever it is shown.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;
    PictureBox(const char* name, const QRect& geometry, Painter painter, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter painter_;
};
