#include "results/results_overlay.h"

void ResultsOverlay::setResults(const tc::SkeletonResult& positive,
                                const tc::SkeletonResult& negative) {
    std::vector<Mark> marks;
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
    setMarks(std::move(marks));
}
