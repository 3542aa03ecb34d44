#include "results/results_overlay.h"

ResultsOverlay::ResultsOverlay(ChartView* chart)
    : ChartMarks(chart), curves_(new ChartPaths(chart)) {}

ResultsOverlay::~ResultsOverlay() {
    delete curves_.data(); // leaves the chart
}

std::vector<ChartMarks::Mark> resultMarks(const tc::SkeletonResult& positive,
                                          const tc::SkeletonResult& negative) {
    using Shape = ChartMarks::Shape;
    std::vector<ChartMarks::Mark> marks;
    const QColor yieldColor(0x00, 0x99, 0x33), peakColor(0xE0, 0x70, 0x00),
        ultimateColor(0x80, 0x00, 0x80);
    auto add = [&](const tc::SkeletonResult& s, const QString& sign) {
        if (!s.valid) return;
        if (s.yield)
            marks.push_back({QPointF(s.yield->x, s.yield->y), QStringLiteral("Y") + sign,
                             Shape::Triangle, yieldColor});
        marks.push_back(
            {QPointF(s.peak.x, s.peak.y), QStringLiteral("P") + sign, Shape::Square, peakColor});
        marks.push_back({QPointF(s.ultimate.x, s.ultimate.y),
                         (s.ultimateReached ? QStringLiteral("U") : QStringLiteral("U*")) + sign,
                         Shape::Diamond, ultimateColor});
    };
    add(positive, QStringLiteral("+"));
    add(negative, QStringLiteral("-"));
    return marks;
}

void ResultsOverlay::setResults(const tc::EngineeringResults& results) {
    std::vector<Mark> marks = resultMarks(results.positive, results.negative);

    std::vector<ChartPaths::Path> curves;
    if (results.curve == tc::EvaluationCurve::FirstCycleEnvelope) {
        auto path = [](const tc::PointList& c, QColor color) {
            ChartPaths::Path p{{}, color};
            p.points.reserve(c.size());
            for (const tc::CurvePoint& q : c)
                p.points.emplace_back(q.x, q.y);
            return p;
        };
        // Darker than the skeleton series' red and blue.
        curves.push_back(path(results.evaluated.positive, QColor(0x99, 0x00, 0x00)));
        curves.push_back(path(results.evaluated.negative, QColor(0x00, 0x00, 0x99)));
    }
    if (curves_) curves_->setPaths(std::move(curves));
    setMarks(std::move(marks));
}
