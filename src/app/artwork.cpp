#include "app/artwork.h"

#include "skeleton/skeleton_extraction.h"
#include "workspace/loop_analysis.h"
#include "workspace/synthetic_record.h"

#include <QImage>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tc::gui::art {

namespace {

QFont pictureFont(double pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    f.setBold(bold);
    return f;
}

// Bounds of a set of points, widened a little so that lines do not touch the frame.
QRectF bounds(const std::vector<QPointF>& pts) {
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    for (const QPointF& q : pts) {
        x0 = std::min(x0, q.x());
        x1 = std::max(x1, q.x());
        y0 = std::min(y0, q.y());
        y1 = std::max(y1, q.y());
    }
    const double dx = (x1 - x0) * 0.06, dy = (y1 - y0) * 0.08;
    return QRectF(QPointF(x0 - dx, y0 - dy), QPointF(x1 + dx, y1 + dy));
}

// Maps data values (y up) into a pixel rectangle (y down).
struct Mapper {
    QRectF data, plot;
    QPointF operator()(QPointF v) const {
        return {plot.left() + (v.x() - data.left()) / data.width() * plot.width(),
                plot.bottom() - (v.y() - data.top()) / data.height() * plot.height()};
    }
};

QPolygonF mapped(const std::vector<QPointF>& pts, const Mapper& m) {
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(pts.size()));
    for (const QPointF& q : pts)
        poly << m(q);
    return poly;
}

// A step of 1, 2 or 5 times a power of ten that gives about `count` intervals over `span`.
double niceStep(double span, int count) {
    const double raw = span / std::max(1, count);
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double k : {1.0, 2.0, 5.0, 10.0})
        if (raw <= k * mag) return k * mag;
    return 10 * mag;
}

void arrowHead(QPainter& p, QPointF tip, QPointF from, double size) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    const QPointF u = d / len, n(-u.y(), u.x());
    p.drawPolygon(QPolygonF{tip, tip - u * size + n * size * 0.5, tip - u * size - n * size * 0.5});
}

} // namespace

std::vector<QPointF> sampleRecord(int pointsPerCycle) {
    const tc::SyntheticRecord r = tc::makeSampleRecord(pointsPerCycle);
    std::vector<QPointF> out;
    out.reserve(r.disp.size());
    for (size_t i = 0; i < r.disp.size(); ++i)
        out.emplace_back(r.disp[i], r.force[i]);
    return out;
}

Skeleton sampleSkeleton(int pointsPerCycle) {
    // As the program extracts it: the force peak of each half, only points that carry the curve
    // outwards (the repeated cycle of each amplitude adds nothing).
    const tc::SyntheticRecord r = tc::makeSampleRecord(pointsPerCycle);
    const tc::LoopAnalysis analysis = tc::analyzeLoops(r.disp, r.force);
    tc::SkeletonSettings settings;
    settings.rule = tc::SkeletonRule::ForcePeak;
    settings.keepIncreasing = true;
    const tc::SkeletonCurves curves = tc::extractSkeleton(analysis, analysis.loopCount, settings);
    Skeleton s;
    for (const tc::CurvePoint& p : curves.positive)
        s.positive.emplace_back(p.x, p.y);
    for (const tc::CurvePoint& p : curves.negative)
        s.negative.emplace_back(p.x, p.y);
    return s;
}

void paintProgramIcon(QPainter& p, const QRectF& r) {
    const double s = std::min(r.width(), r.height());
    const QRectF b(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient bg(b.topLeft(), b.bottomLeft());
    bg.setColorAt(0, QColor(0x2f, 0x80, 0xc8));
    bg.setColorAt(1, QColor(0x15, 0x3a, 0x66));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(b.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.02), s * 0.18, s * 0.18);

    const QRectF plot = b.adjusted(s * 0.14, s * 0.14, -s * 0.14, -s * 0.14);
    p.setPen(QPen(QColor(255, 255, 255, 120), std::max(1.0, s * 0.03)));
    p.drawLine(QPointF(plot.left(), plot.center().y()), QPointF(plot.right(), plot.center().y()));
    p.drawLine(QPointF(plot.center().x(), plot.top()), QPointF(plot.center().x(), plot.bottom()));

    // Two cycles of the sample record (amplitudes 4 and 10) and its skeleton curve.
    const int perCycle = 48;
    const std::vector<QPointF> rec = sampleRecord(perCycle);
    const Skeleton sk = sampleSkeleton(perCycle);
    double fmax = 0;
    for (const QPointF& q : rec)
        fmax = std::max(fmax, std::abs(q.y()));
    const Mapper m{QRectF(-10.8, -fmax * 1.12, 21.6, fmax * 2.24), plot};

    QPen loopPen(QColor(255, 255, 255), std::max(1.0, s * 0.045));
    loopPen.setJoinStyle(Qt::RoundJoin);
    p.setBrush(Qt::NoBrush);
    for (int cycle : {4, 10}) {
        if (s < 32 && cycle == 4) continue; // too small to tell two loops apart
        const auto first = rec.begin() + cycle * perCycle;
        loopPen.setColor(QColor(255, 255, 255, cycle == 10 ? 255 : 170));
        p.setPen(loopPen);
        p.drawPolyline(mapped(std::vector<QPointF>(first, first + perCycle + 1), m));
    }

    std::vector<QPointF> skeleton(sk.negative.rbegin(), sk.negative.rend());
    skeleton.insert(skeleton.end(), sk.positive.begin() + 1, sk.positive.end());
    QPen skPen(QColor(0xff, 0x6a, 0x3d), std::max(1.2, s * 0.065));
    skPen.setCapStyle(Qt::RoundCap);
    skPen.setJoinStyle(Qt::RoundJoin);
    p.setPen(skPen);
    p.drawPolyline(mapped(skeleton, m));
    if (s >= 48) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xd2, 0x3f));
        for (const QPointF& q : {skeleton.front(), skeleton.back()})
            p.drawEllipse(m(q), s * 0.05, s * 0.05);
    }
    p.restore();
}

void paintSampleChart(QPainter& p, const QRectF& r, ChartStyle style) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(r, Qt::white);

    const std::vector<QPointF> rec = sampleRecord();
    const Skeleton sk = sampleSkeleton();
    const QRectF data = bounds(rec);
    const double fontPx = std::clamp(r.height() / 22.0, 8.0, 11.0);
    p.setFont(pictureFont(fontPx));
    const QFontMetricsF fm(p.font());
    const QRectF plot = r.adjusted(fm.horizontalAdvance(QStringLiteral("-000")) + fm.height() + 6,
                                   fm.height() + 6, -10, -(2 * fm.height() + 8));
    const Mapper m{data, plot};

    // Grid and tick labels.
    const double sx = niceStep(data.width(), 6), sy = niceStep(data.height(), 6);
    p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
    for (double x = std::ceil(data.left() / sx) * sx; x <= data.right(); x += sx) {
        const double px = m({x, 0}).x();
        p.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
    }
    for (double y = std::ceil(data.top() / sy) * sy; y <= data.bottom(); y += sy) {
        const double py = m({0, y}).y();
        p.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
    }
    p.setPen(Qt::black);
    for (double x = std::ceil(data.left() / sx) * sx; x <= data.right(); x += sx) {
        const double px = m({x, 0}).x();
        const QString t = QString::number(std::round(x / sx) * sx);
        p.drawText(QRectF(px - 30, plot.bottom() + 2, 60, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, t);
    }
    for (double y = std::ceil(data.top() / sy) * sy; y <= data.bottom(); y += sy) {
        const double py = m({0, y}).y();
        const QString t = QString::number(std::round(y / sy) * sy);
        p.drawText(QRectF(r.left(), py - fm.height() / 2, plot.left() - r.left() - 3, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, t);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.drawText(QRectF(plot.left(), plot.bottom() + fm.height() + 2, plot.width(), fm.height() + 2),
               Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Disp"));
    p.save();
    p.translate(r.left() + 1, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), fm.height() + 2),
               Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Force"));
    p.restore();

    p.save();
    p.setClipRect(plot);
    p.setPen(QPen(style == ChartStyle::SkeletonOnly ? QColor(0xb8, 0xb8, 0xb8) : Qt::black, 1));
    p.drawPolyline(mapped(rec, m));
    for (const auto& [pts, colour] :
         {std::pair{&sk.positive, QColor(0xFF, 0, 0)}, {&sk.negative, QColor(0, 0, 0xFF)}}) {
        p.setPen(QPen(colour, 2));
        p.setBrush(Qt::NoBrush);
        const QPolygonF poly = mapped(*pts, m);
        p.drawPolyline(poly);
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        for (const QPointF& q : poly)
            p.drawEllipse(q, 3, 3);
    }
    p.restore();

    // Legend, top left inside the plot.
    const QString names[] = {QStringLiteral("Loop"), QStringLiteral("Tarvel_Positive"),
                             QStringLiteral("Tarvel_Negative")};
    const QColor colours[] = {style == ChartStyle::SkeletonOnly ? QColor(0xb8, 0xb8, 0xb8)
                                                                : Qt::black,
                              QColor(0xFF, 0, 0), QColor(0, 0, 0xFF)};
    double lw = 0;
    for (const QString& n : names)
        lw = std::max(lw, fm.horizontalAdvance(n));
    const QRectF legend(plot.left() + 6, plot.top() + 6, lw + 30, 3 * fm.height() + 8);
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(legend);
    for (int i = 0; i < 3; ++i) {
        const double y = legend.top() + 4 + (i + 0.5) * fm.height();
        p.setPen(QPen(colours[i], 2));
        p.drawLine(QPointF(legend.left() + 5, y), QPointF(legend.left() + 21, y));
        p.setPen(colours[i]);
        p.drawText(QRectF(legend.left() + 25, y - fm.height() / 2, lw + 4, fm.height()),
                   Qt::AlignVCenter, names[i]);
    }
    p.restore();
}

void paintTestSetup(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0xf4, 0xf8, 0xfc));
    sky.setColorAt(1, QColor(0xe2, 0xea, 0xf3));
    p.fillRect(r, sky);

    const double w = r.width(), h = r.height();
    auto at = [&](double fx, double fy) { return QPointF(r.left() + fx * w, r.top() + fy * h); };
    auto box = [&](double fx, double fy, double fw, double fh) {
        return QRectF(at(fx, fy), QSizeF(fw * w, fh * h));
    };
    const QColor steel(0x5b, 0x6b, 0x7d), concrete(0xb9, 0xb4, 0xaa), dark(0x33, 0x3a, 0x44);

    // Strong floor and reaction wall.
    const QRectF floor = box(0.0, 0.84, 1.0, 0.16);
    p.fillRect(floor, QColor(0x9a, 0x96, 0x8e));
    p.fillRect(floor, QBrush(QColor(0x7d, 0x79, 0x72), Qt::BDiagPattern));
    const QRectF wall = box(0.05, 0.14, 0.13, 0.70);
    p.fillRect(wall, concrete.darker(115));
    p.fillRect(wall, QBrush(QColor(0x8e, 0x89, 0x80), Qt::BDiagPattern));
    p.setPen(QPen(dark, 1));
    p.drawRect(wall);

    // Specimen: a column on its foundation block.
    const QRectF footing = box(0.50, 0.74, 0.30, 0.10);
    const QRectF column = box(0.59, 0.26, 0.12, 0.48);
    p.setBrush(concrete);
    p.drawRect(footing);
    p.drawRect(column);
    p.setPen(QPen(concrete.darker(140), 1, Qt::DashLine));
    for (double f : {0.3, 0.5, 0.7})
        p.drawLine(at(0.605, 0.26 + 0.48 * f), at(0.695, 0.26 + 0.48 * f));
    // The deflected shape, drawn faintly.
    QPainterPath bent(at(0.59, 0.74));
    bent.cubicTo(at(0.59, 0.55), at(0.62, 0.35), at(0.64, 0.26));
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b, 150), 1.5, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bent);

    // Actuator from the wall to the column head.
    const double ay = 0.32;
    p.setPen(QPen(dark, 1));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(at(0.18, ay - 0.05), at(0.40, ay + 0.05)), 4, 4);
    p.setBrush(QColor(0xc9, 0xd1, 0xda));
    p.drawRect(QRectF(at(0.40, ay - 0.018), at(0.59, ay + 0.018)));
    p.setBrush(steel);
    p.drawRect(QRectF(at(0.555, ay - 0.05), at(0.59, ay + 0.05)));

    // Cyclic displacement and axial load.
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 2));
    p.setBrush(QColor(0xc0, 0x39, 0x2b));
    const QPointF a0 = at(0.54, 0.19), a1 = at(0.76, 0.19);
    p.drawLine(a0, a1);
    arrowHead(p, a0, a1, 8);
    arrowHead(p, a1, a0, 8);
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 2));
    p.setBrush(QColor(0x1f, 0x5f, 0xa8));
    p.drawLine(at(0.65, 0.06), at(0.65, 0.24));
    arrowHead(p, at(0.65, 0.255), at(0.65, 0.06), 8);

    const double fontPx = std::clamp(h / 20.0, 9.0, 12.0);
    p.setFont(pictureFont(fontPx, true));
    p.setPen(QColor(0xc0, 0x39, 0x2b));
    p.drawText(QRectF(at(0.77, 0.15), QSizeF(0.2 * w, 0.08 * h)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("±Δ"));
    p.setPen(QColor(0x1f, 0x5f, 0xa8));
    p.drawText(QRectF(at(0.67, 0.04), QSizeF(0.2 * w, 0.08 * h)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("N"));
    p.setPen(dark);
    p.drawText(QRectF(at(0.03, 0.02), QSizeF(0.5 * w, 0.09 * h)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Cyclic loading test"));
    p.setFont(pictureFont(fontPx));
    p.drawText(QRectF(at(0.19, ay + 0.075), QSizeF(0.3 * w, 0.07 * h)),
               Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Actuator"));
    p.drawText(QRectF(at(0.72, 0.60), QSizeF(0.27 * w, 0.08 * h)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Specimen"));

    // The imposed displacement history, growing cycle by cycle.
    const QRectF inset = box(0.78, 0.30, 0.19, 0.22);
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
    p.setBrush(Qt::white);
    p.drawRect(inset);
    QPolygonF hist;
    const int n = 160;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        const double amp = 0.12 + 0.85 * std::floor(t * 6) / 6;
        hist << QPointF(inset.left() + 3 + t * (inset.width() - 6),
                        inset.center().y() - amp * (inset.height() / 2 - 3) *
                                                 std::sin(2 * std::numbers::pi * 12 * t));
    }
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 1));
    p.drawPolyline(hist);
    p.restore();
}

void paintThankYou(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xe0, 0xc9, 0xa6), 1));
    p.setBrush(QColor(0xff, 0xf6, 0xe8));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);

    const double w = r.width(), h = r.height();
    const QColor cup(0x8a, 0x5a, 0x3b), coffee(0x5a, 0x36, 0x20);
    const QRectF body(r.left() + w * 0.32, r.top() + h * 0.27, w * 0.30, h * 0.30);
    // Steam.
    p.setPen(QPen(QColor(0xb5, 0xa4, 0x96), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (double fx : {0.38, 0.47, 0.56}) {
        QPainterPath steam(QPointF(r.left() + w * fx, r.top() + h * 0.23));
        steam.cubicTo(QPointF(r.left() + w * (fx - 0.04), r.top() + h * 0.17),
                      QPointF(r.left() + w * (fx + 0.04), r.top() + h * 0.12),
                      QPointF(r.left() + w * fx, r.top() + h * 0.05));
        p.drawPath(steam);
    }
    // Handle, cup and saucer.
    p.setPen(QPen(cup, std::max(2.0, w * 0.03)));
    p.drawEllipse(QRectF(body.right() - w * 0.04, body.top() + h * 0.06, w * 0.14, h * 0.16));
    p.setPen(Qt::NoPen);
    p.setBrush(cup);
    QPainterPath cupPath;
    cupPath.moveTo(body.topLeft());
    cupPath.lineTo(body.topRight());
    cupPath.cubicTo(QPointF(body.right(), body.bottom() - h * 0.05),
                    QPointF(body.right() - w * 0.05, body.bottom()),
                    QPointF(body.center().x(), body.bottom()));
    cupPath.cubicTo(QPointF(body.left() + w * 0.05, body.bottom()),
                    QPointF(body.left(), body.bottom() - h * 0.05), body.topLeft());
    p.drawPath(cupPath);
    p.setBrush(coffee);
    p.drawEllipse(QRectF(body.left(), body.top() - h * 0.03, body.width(), h * 0.06));
    p.setBrush(cup.lighter(130));
    p.drawEllipse(QRectF(r.left() + w * 0.22, body.bottom() - h * 0.01, w * 0.50, h * 0.07));

    p.setPen(QColor(0x6b, 0x3e, 0x26));
    p.setFont(pictureFont(std::clamp(h / 9.0, 11.0, 18.0), true));
    p.drawText(QRectF(r.left(), r.top() + h * 0.64, w, h * 0.18), Qt::AlignCenter,
               QStringLiteral("谢谢!"));
    p.setFont(pictureFont(std::clamp(h / 14.0, 9.0, 12.0)));
    p.drawText(QRectF(r.left(), r.top() + h * 0.82, w, h * 0.14), Qt::AlignCenter,
               QStringLiteral("Thank you!"));
    p.restore();
}

QImage programIconImage(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintProgramIcon(p, QRectF(0, 0, size, size));
    return img;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

} // namespace tc::gui::art

PictureBox::PictureBox(const char* name, const QRect& geometry, Painter painter, QWidget* parent)
    : QFrame(parent), painter_(std::move(painter)) {
    setObjectName(QLatin1String(name));
    setGeometry(geometry);
    setFixedSize(geometry.size());
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    painter_(p, QRectF(contentsRect()));
}
