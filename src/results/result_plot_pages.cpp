#include "results/result_plot_pages.h"

#include "chart/chart_image.h"
#include "chart/chart_marks.h"
#include "chart/chart_readout.h"
#include "chart/chart_view.h"
#include "chart/legend_placement.h"
#include "results/results_overlay.h"
#include "ui/command.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

// Up to this many amplitude levels the protocol's level lines are dashed, up to the second
// number they are drawn at all.
constexpr std::size_t kDashedLevels = 200;
constexpr std::size_t kMarkedLevels = 1000;

// Colours of the level curves, in level order.
const QColor kLevelColors[ResultPlotSet::kLevelCurves] = {
    QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00), QColor(0x00, 0x00, 0xFF),
    QColor(0xFF, 0x00, 0xFF), QColor(0x00, 0x80, 0x80), QColor(0x80, 0x00, 0x00),
    QColor(0x80, 0x80, 0x00), QColor(0x00, 0x00, 0x80), QColor(0x80, 0x00, 0x80)};

// The unit of an axis title "Disp (mm)": "mm"; empty when the title names none.
QString unitOf(const QString& title) {
    const qsizetype open = title.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !title.endsWith(QLatin1Char(')'))) return {};
    return title.mid(open + 1, title.size() - open - 2).trimmed();
}

QString withUnit(const QString& name, const QString& unit) {
    return unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit);
}

void setPoints(ChartSeries* s, const tc::PlotPoints& p) {
    s->setPoints(p.x, p.y);
}

// "3 loops without an energy are not plotted." for n = 3; empty for none.
QString missingNote(std::size_t n, const QString& what, const QString& without) {
    if (n == 0) return {};
    return QStringLiteral("%1 %2%3 without %4 %5 not plotted.")
        .arg(n)
        .arg(what)
        .arg(n == 1 ? QString() : QStringLiteral("s"))
        .arg(without)
        .arg(n == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

QString joinNotes(const QStringList& notes) {
    QStringList kept;
    for (const QString& n : notes)
        if (!n.isEmpty()) kept << n;
    return kept.join(QLatin1Char(' '));
}

} // namespace

// ---- one page ----

ResultPlotPage::ResultPlotPage(const QString& name, const QString& title, QWidget* parent)
    : QWidget(parent), title_(title), imageName_(name.toLower()) {
    setObjectName(QStringLiteral("tab") + name);
    plot = new ChartView(this);
    plot->setObjectName(QStringLiteral("plt") + name);
    readout = new ChartReadout(plot);
    legend = new LegendPlacement(plot);
    lblPosition = new QLabel(this);
    lblPosition->setObjectName(QStringLiteral("lblPosition"));
    // Neither label widens the window: the results window may be placed narrow.
    lblPosition->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->setVisible(false);
    btnSaveImage = new QPushButton(QStringLiteral("Save Image..."), this);
    btnSaveImage->setObjectName(QStringLiteral("btnSaveImage"));
    btnSaveImage->setAutoDefault(false);
    btnSaveImage->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(readout, &ChartReadout::positionChanged, lblPosition, &QLabel::setText);

    lblNote->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblPosition, 1);
    bottom->addWidget(btnSaveImage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plot, 1);
    layout->addWidget(lblNote);
    layout->addLayout(bottom);
}

ChartSeries* ResultPlotPage::addSeries(ChartSeries::Kind kind, const QString& title,
                                       const QColor& color) {
    ChartSeries* s = plot->addSeries(kind);
    s->setTitle(title);
    s->setSeriesColor(color);
    if (kind == ChartSeries::Kind::Line) s->setLineWidth(2);
    if (kind == ChartSeries::Kind::Point) s->setPointerSize(3);
    series_.push_back(s);
    readout->setCurves(series_);
    return s;
}

void ResultPlotPage::setNote(const QString& text) {
    lblNote->setText(text);
    lblNote->setVisible(!text.isEmpty());
}

QString ResultPlotPage::note() const {
    return lblNote->text();
}

// ---- the set ----

ResultPlotSet::ResultPlotSet(QTabWidget* tabs) : QObject(tabs) {
    using K = ChartSeries::Kind;
    auto page = [&](const char* name, const char* title) {
        auto* p = new ResultPlotPage(QLatin1String(name), QLatin1String(title), tabs);
        tabs->addTab(p, p->title());
        pages_.push_back(p);
        connect(p->btnSaveImage, &QPushButton::clicked, this,
                [this, p] { tc::gui::runCommand(p, [this, p] { saveImage(p); }); });
        return p;
    };
    auto markers = [](ChartSeries* s, double size) {
        s->setPointerVisible(true);
        s->setPointerSize(size);
        return s;
    };

    ResultPlotPage* p = page("Protocol", "Load protocol");
    protocol_ = p->addSeries(K::Line, QStringLiteral("Displacement"), Qt::black);
    protocol_->setLineWidth(1);
    boundaries_ =
        p->addSeries(K::Point, QStringLiteral("Loop boundaries"), QColor(0x00, 0x80, 0x80));
    boundaries_->setPointerSize(2);
    levels_ = p->addSeries(K::Line, QStringLiteral("Amplitude levels"), QColor(0xE0, 0x70, 0x00));
    levels_->setDashed(true);

    p = page("Energy", "Energy per loop");
    energy_ = p->addSeries(K::Bar, QStringLiteral("Energy E"), QColor(0x40, 0x90, 0xD0));
    energy_->setBarWidth(0.7);
    cumulative_ =
        markers(p->addSeries(K::Line, QStringLiteral("Cumulative E"), QColor(0xC0, 0x00, 0x00)), 2);
    cumulative_->setOnRightAxis(true);

    p = page("EnergyTravel", "Energy and displacement");
    travel_ =
        markers(p->addSeries(K::Line, QStringLiteral("Cumulative E"), QColor(0xC0, 0x00, 0x00)), 2);

    p = page("Damping", "Damping");
    // Markers only: the loops' amplitudes go up and down with the protocol.
    damping_ = p->addSeries(K::Point, QStringLiteral("Damping he"), QColor(0x00, 0x80, 0x00));

    p = page("Stiffness", "Stiffness");
    kPositive_ =
        markers(p->addSeries(K::Line, QStringLiteral("K, positive"), QColor(0xFF, 0x00, 0x00)), 3);
    kNegative_ =
        markers(p->addSeries(K::Line, QStringLiteral("K, negative"), QColor(0x00, 0x00, 0xFF)), 3);
    degPositive_ = markers(
        p->addSeries(K::Line, QStringLiteral("Degradation, positive"), QColor(0x99, 0x00, 0x00)),
        2);
    degNegative_ = markers(
        p->addSeries(K::Line, QStringLiteral("Degradation, negative"), QColor(0x00, 0x00, 0x99)),
        2);
    for (ChartSeries* s : {degPositive_, degNegative_}) {
        s->setDashed(true);
        s->setOnRightAxis(true);
    }

    p = page("Strength", "Strength degradation");
    for (int i = 0; i < kLevelCurves; ++i)
        strength_.push_back(markers(
            p->addSeries(K::Line, QStringLiteral("Level %1").arg(i + 1), kLevelColors[i]), 3));
    strength_.push_back(p->addSeries(K::Point, QStringLiteral("Other levels"), Qt::gray));

    p = page("Evaluation", "Evaluation curve");
    evalPositive_ =
        markers(p->addSeries(K::Line, QStringLiteral("Positive"), QColor(0xFF, 0x00, 0x00)), 3);
    evalNegative_ =
        markers(p->addSeries(K::Line, QStringLiteral("Negative"), QColor(0x00, 0x00, 0xFF)), 3);
    bilinearPositive_ =
        p->addSeries(K::Line, QStringLiteral("Bilinear, positive"), QColor(0x99, 0x00, 0x00));
    bilinearNegative_ =
        p->addSeries(K::Line, QStringLiteral("Bilinear, negative"), QColor(0x00, 0x00, 0x99));
    for (ChartSeries* s : {bilinearPositive_, bilinearNegative_})
        s->setDashed(true);
    evalMarks_ = new ChartMarks(p->plot);
}

ResultPlotPage* ResultPlotSet::page(const QString& name) const {
    for (ResultPlotPage* p : pages_)
        if (p->objectName() == QStringLiteral("tab") + name) return p;
    return nullptr;
}

void ResultPlotSet::show(const tc::ResultPlots& plots, const QString& dispTitle,
                         const QString& forceTitle, char decimalSeparator) {
    const QString dUnit = unitOf(dispTitle), fUnit = unitOf(forceTitle);
    const QString eUnit = dUnit.isEmpty() || fUnit.isEmpty()
                              ? QString()
                              : QStringLiteral("%1\u00B7%2").arg(fUnit, dUnit);
    for (ResultPlotPage* p : pages_) {
        p->readout->setDecimalSeparator(decimalSeparator);
        p->legend->request();
    }
    auto titles = [](ResultPlotPage* p, const QString& x, const QString& y,
                     const QString& y2 = {}) {
        p->plot->setAxisTitles(x, y);
        p->plot->setRightAxisTitle(y2);
    };

    // Load protocol.
    ResultPlotPage* p = page(QStringLiteral("Protocol"));
    titles(p, QStringLiteral("Point"), dispTitle);
    setPoints(protocol_, plots.protocol.curve);
    setPoints(boundaries_, plots.protocol.boundaries);
    // Two level lines per level, apart by a gap; dashed while they are few. The thousands of
    // levels of a noisy record would only cover the plot (and take long to draw): the note says
    // so and the level table lists them.
    const std::size_t levelCount = plots.protocol.levels.size();
    const bool drawLevels = levelCount <= kMarkedLevels;
    {
        constexpr double gap = std::numeric_limits<double>::quiet_NaN();
        std::vector<double> x, y;
        if (drawLevels) {
            x.reserve(6 * levelCount);
            y.reserve(6 * levelCount);
            for (const tc::ProtocolLevel& l : plots.protocol.levels)
                for (double d : {l.d1, l.d2}) {
                    x.insert(x.end(), {l.firstPoint, l.lastPoint, gap});
                    y.insert(y.end(), {d, d, gap});
                }
        }
        levels_->setPoints(x, y);
        levels_->setDashed(levelCount <= kDashedLevels);
    }
    const QString levelNote =
        drawLevels ? QString()
                   : QStringLiteral("%1 amplitude levels are too many to mark; the level table "
                                    "lists them.")
                         .arg(levelCount);
    p->setNote(joinNotes({missingNote(plots.protocol.curve.missing, QStringLiteral("point"),
                                      QStringLiteral("a finite displacement")),
                          levelNote}));

    // Energy per loop and cumulative energy.
    p = page(QStringLiteral("Energy"));
    titles(p, QStringLiteral("Loop"), withUnit(QStringLiteral("Energy E"), eUnit),
           withUnit(QStringLiteral("Cumulative E"), eUnit));
    setPoints(energy_, plots.energy.perLoop);
    setPoints(cumulative_, plots.energy.cumulative);
    p->setNote(missingNote(plots.energy.perLoop.missing, QStringLiteral("loop"),
                           QStringLiteral("an energy (open or beyond the range of numbers)")));

    p = page(QStringLiteral("EnergyTravel"));
    titles(p, withUnit(QStringLiteral("Cumulative displacement"), dUnit),
           withUnit(QStringLiteral("Cumulative E"), eUnit));
    setPoints(travel_, plots.energy.versusTravel);
    p->setNote(missingNote(plots.energy.versusTravel.missing, QStringLiteral("loop"),
                           QStringLiteral("a finite value")));

    p = page(QStringLiteral("Damping"));
    titles(p, withUnit(QStringLiteral("Amplitude (mean of both peaks)"), dUnit),
           QStringLiteral("Damping he"));
    setPoints(damping_, plots.damping);
    p->setNote(missingNote(plots.damping.missing, QStringLiteral("loop"),
                           QStringLiteral("a damping value")));

    p = page(QStringLiteral("Stiffness"));
    titles(p, withUnit(QStringLiteral("Peak displacement"), dUnit),
           withUnit(QStringLiteral("Secant stiffness K"),
                    fUnit.isEmpty() || dUnit.isEmpty() ? QString()
                                                       : QStringLiteral("%1/%2").arg(fUnit, dUnit)),
           QStringLiteral("Stiffness degradation"));
    setPoints(kPositive_, plots.stiffness.positive);
    setPoints(kNegative_, plots.stiffness.negative);
    setPoints(degPositive_, plots.stiffness.positiveDegradation);
    setPoints(degNegative_, plots.stiffness.negativeDegradation);
    p->setNote(missingNote(plots.stiffness.positive.missing, QStringLiteral("level"),
                           QStringLiteral("a secant stiffness")));

    p = page(QStringLiteral("Strength"));
    titles(p, QStringLiteral("Loop"), QStringLiteral("Strength degradation"));
    {
        std::size_t missing = 0;
        tc::PlotPoints rest;
        for (std::size_t i = 0; i < plots.strength.size(); ++i) {
            const tc::PlotPoints& pts = plots.strength[i].points;
            missing += pts.missing;
            if (i < static_cast<std::size_t>(kLevelCurves)) {
                setPoints(strength_[i], pts);
            } else {
                rest.x.insert(rest.x.end(), pts.x.begin(), pts.x.end());
                rest.y.insert(rest.y.end(), pts.y.begin(), pts.y.end());
            }
        }
        for (std::size_t i = plots.strength.size(); i < static_cast<std::size_t>(kLevelCurves); ++i)
            strength_[i]->clear();
        setPoints(strength_.back(), rest);
        for (std::size_t i = 0; i < strength_.size(); ++i)
            strength_[i]->setLegendVisible(i < plots.strength.size() ||
                                           (i == strength_.size() - 1 && !rest.x.empty()));
        const int levels = static_cast<int>(plots.strength.size());
        strength_.back()->setTitle(
            levels == kLevelCurves + 1
                ? QStringLiteral("Level %1").arg(levels)
                : QStringLiteral("Levels %1 to %2").arg(kLevelCurves + 1).arg(levels));
        p->setNote(missingNote(missing, QStringLiteral("loop"),
                               QStringLiteral("a strength degradation factor")));
    }

    p = page(QStringLiteral("Evaluation"));
    titles(p, dispTitle, forceTitle);
    setPoints(evalPositive_, plots.positive.curve);
    setPoints(evalNegative_, plots.negative.curve);
    auto bilinear = [](ChartSeries* s, const tc::PointList& b) {
        std::vector<double> x, y;
        for (const tc::CurvePoint& q : b) {
            x.push_back(q.x);
            y.push_back(q.y);
        }
        s->setPoints(x, y);
    };
    bilinear(bilinearPositive_, plots.positive.bilinear);
    bilinear(bilinearNegative_, plots.negative.bilinear);
    evalMarks_->setMarks(resultMarks(plots.positive.result, plots.negative.result));
    {
        QStringList notes;
        auto side = [&](const tc::EvaluationPlot& e, const QString& name) {
            QStringList why;
            for (const std::string& n : e.result.notes)
                why << QString::fromStdString(n);
            if (e.curve.missing > 0)
                why << missingNote(e.curve.missing, QStringLiteral("point"),
                                   QStringLiteral("finite coordinates"));
            if (!why.isEmpty())
                notes << QStringLiteral("%1: %2.").arg(name, why.join(QStringLiteral("; ")));
        };
        side(plots.positive, QStringLiteral("Positive"));
        side(plots.negative, QStringLiteral("Negative"));
        p->setNote(joinNotes(notes));
    }
}

void ResultPlotSet::saveImage(ResultPlotPage* page) {
    askAndSaveChartImage(page->plot, dlgSaveImage_, page->window(),
                         QStringLiteral("dlgSavePlotImage"), QString(), page->imageName());
}
