#include "results/results_report.h"

#include "chart/chart_document.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace {

// Sizes in points (the writer works at 72 dots per inch).
constexpr double kFooter = 22;       // the footer's band at the bottom of the page
constexpr double kChartHeight = 330; // a result plot; two fit a page
constexpr double kMainChartHeight = 470;
constexpr double kTableFont = 8; // at most; a wide table gets a smaller one
constexpr double kMinTableFont = 4.5;

// Lays the report out and, in its second run, draws it: the first run counts the pages, so that
// every page can say how many there are.
class ReportLayout {
public:
    ReportLayout(const ReportContent& c, QPdfWriter& writer, DocumentPainter* painter, int total)
        : c_(c), writer_(writer), doc_(painter), p_(painter ? painter->painter() : nullptr),
          total_(total) {
        const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
        width_ = area.width();
        bottom_ = area.height() - kFooter;
        base_ = QFont(QStringLiteral("Helvetica"));
        base_.setPointSizeF(9.5);
    }

    int pages() const { return page_; }

    void run() {
        startPage();
        heading(c_.program + QStringLiteral(" test report"), 16);
        text(c_.title, 11, true);
        space(6);
        section(QStringLiteral("Record"));
        fields(c_.record);
        section(QStringLiteral("Analysis settings"));
        fields(c_.settings);
        if (!c_.warnings.isEmpty()) {
            section(QStringLiteral("Warnings"));
            for (const QString& w : c_.warnings)
                text(w, 9.5, false, QColor(0xB0, 0x00, 0x00));
        }
        if (!c_.tables.empty() && c_.tables.front().name == "Summary") {
            section(QStringLiteral("Summary"));
            table(c_.tables.front(), false);
        }
        if (c_.chart) {
            newPage();
            section(QStringLiteral("Hysteresis curve"));
            chart(c_.chart, kMainChartHeight);
        }
        for (std::size_t i = 0; i < c_.plots.size(); ++i) {
            if (i % 2 == 0) newPage();
            section(c_.plots[i].first);
            chart(c_.plots[i].second, kChartHeight);
        }
        for (const tc::ResultTable& t : c_.tables) {
            if (t.name == "Summary") continue;
            newPage();
            section(QString::fromStdString(t.name));
            table(t, true);
        }
        footer();
    }

private:
    QFont font(double size, bool bold = false) const {
        QFont f = base_;
        f.setPointSizeF(size);
        f.setBold(bold);
        return f;
    }
    QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, &writer_); }

    void startPage() {
        ++page_;
        y_ = 0;
    }
    void newPage() {
        footer();
        if (p_) writer_.newPage();
        startPage();
    }
    void ensure(double h) {
        if (y_ + h > bottom_ && y_ > 0) newPage();
    }
    void footer() {
        if (!p_) return;
        p_->setFont(font(7.5));
        p_->setPen(QColor(0x50, 0x50, 0x50));
        const QRectF band(0, bottom_ + 6, width_, kFooter - 6);
        p_->drawLine(QPointF(0, bottom_ + 4), QPointF(width_, bottom_ + 4));
        p_->drawText(band, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1 %2, %3").arg(c_.program, c_.version, c_.date));
        p_->drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(page_).arg(total_));
    }
    void space(double h) { y_ += h; }

    void heading(const QString& s, double size) { text(s, size, true); }
    void section(const QString& s) {
        const QFont f = font(11.5, true);
        const double h = metrics(f).height();
        ensure(h + 40);
        space(4);
        if (p_) {
            p_->setFont(f);
            p_->setPen(Qt::black);
            p_->drawText(QRectF(0, y_, width_, h), Qt::AlignLeft | Qt::AlignVCenter, s);
            p_->setPen(QColor(0xA0, 0xA0, 0xA0));
            p_->drawLine(QPointF(0, y_ + h + 1), QPointF(width_, y_ + h + 1));
        }
        y_ += h + 5;
    }
    void text(const QString& s, double size, bool bold = false, QColor color = Qt::black) {
        const QFont f = font(size, bold);
        const QRectF need =
            metrics(f).boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap | Qt::AlignLeft, s);
        ensure(need.height());
        if (p_) {
            p_->setFont(f);
            p_->setPen(color);
            p_->drawText(QRectF(0, y_, width_, need.height()), Qt::TextWordWrap | Qt::AlignLeft, s);
        }
        y_ += need.height() + 2;
    }
    // Label and value pairs, the values in a column of their own.
    void fields(const std::vector<std::pair<QString, QString>>& rows) {
        const QFont f = font(9.5), bold = font(9.5, true);
        double labelWidth = 0;
        for (const auto& r : rows)
            labelWidth = std::max(labelWidth, metrics(bold).horizontalAdvance(r.first));
        labelWidth = std::min(labelWidth + 12, width_ / 2);
        for (const auto& r : rows) {
            const QRectF need = metrics(f).boundingRect(
                QRectF(0, 0, width_ - labelWidth, 1e6),
                Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft, r.second);
            const double h = std::max(need.height(), metrics(f).height());
            ensure(h);
            if (p_) {
                p_->setPen(Qt::black);
                p_->setFont(bold);
                p_->drawText(QRectF(0, y_, labelWidth, h), Qt::AlignLeft | Qt::AlignTop, r.first);
                p_->setFont(f);
                p_->drawText(QRectF(labelWidth, y_, width_ - labelWidth, h),
                             Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft, r.second);
            }
            y_ += h + 2;
        }
        space(4);
    }
    void chart(ChartView* view, double height) {
        ensure(height);
        if (doc_) doc_->drawChart(view, QRectF(0, y_, width_, height));
        y_ += height + 8;
    }

    // A table in rows of one line, the header repeated on every page. Column widths follow the
    // widest cell; a table too wide for the page gets a smaller font.
    void table(const tc::ResultTable& t, bool bounded) {
        const std::size_t columns = t.header.size();
        if (columns == 0) return;
        const std::size_t rows = bounded ? std::min(t.rows.size(), c_.maxTableRows) : t.rows.size();
        std::vector<std::vector<QString>> cells(rows);
        const QFont probe = font(kTableFont), probeBold = font(kTableFont, true);
        const QFontMetricsF fm = metrics(probe), fmBold = metrics(probeBold);
        std::vector<double> widths(columns, 0);
        std::vector<QString> header(columns);
        for (std::size_t c = 0; c < columns; ++c) {
            header[c] = QString::fromStdString(t.header[c]);
            // Headers may take two lines: the longer half of their words.
            const QStringList words = header[c].split(QLatin1Char(' '));
            double widest = 0;
            for (const QString& w : words)
                widest = std::max(widest, fmBold.horizontalAdvance(w));
            widths[c] = std::max(widest, fmBold.horizontalAdvance(header[c]) / 2);
        }
        for (std::size_t r = 0; r < rows; ++r) {
            cells[r].resize(columns);
            for (std::size_t c = 0; c < columns && c < t.rows[r].size(); ++c) {
                cells[r][c] = QString::fromStdString(
                    tc::cellText(t.rows[r][c], c_.decimalSeparator, c_.digits));
                widths[c] = std::max(widths[c], fm.horizontalAdvance(cells[r][c]));
            }
        }
        const double pad = 6;
        double total = 0;
        for (double& w : widths)
            total += (w += pad);
        const double scale = total > width_ ? width_ / total : 1.0;
        const double size = std::max(kMinTableFont, kTableFont * scale);
        for (double& w : widths)
            w *= scale;
        // A text column (a note, say) takes the room that is left.
        if (scale == 1.0 && columns > 1 && total < width_) widths.back() += width_ - total;
        const QFont f = font(size), bold = font(size, true);
        const double rowH = metrics(f).height() + 2, headH = 2 * metrics(bold).height() + 4;

        auto drawHeader = [&] {
            if (p_) {
                p_->setFont(bold);
                p_->setPen(Qt::black);
                p_->fillRect(QRectF(0, y_, std::min(width_, total * scale), headH),
                             QColor(0xE8, 0xE8, 0xE8));
                double x = 0;
                for (std::size_t c = 0; c < columns; ++c) {
                    p_->drawText(QRectF(x + 2, y_, widths[c] - 4, headH),
                                 Qt::AlignCenter | Qt::TextWordWrap, header[c]);
                    x += widths[c];
                }
            }
            y_ += headH;
        };
        ensure(headH + rowH);
        drawHeader();
        for (std::size_t r = 0; r < rows; ++r) {
            if (y_ + rowH > bottom_) {
                newPage();
                drawHeader();
            }
            if (p_) {
                p_->setFont(f);
                p_->setPen(Qt::black);
                if (r % 2 == 1)
                    p_->fillRect(QRectF(0, y_, std::min(width_, total * scale), rowH),
                                 QColor(0xF4, 0xF4, 0xF4));
                double x = 0;
                for (std::size_t c = 0; c < columns; ++c) {
                    const tc::ResultCell* cell = c < t.rows[r].size() ? &t.rows[r][c] : nullptr;
                    const bool right = cell && (cell->number || cell->text == "--");
                    const QRectF box(x + pad / 2 * scale, y_, widths[c] - pad * scale, rowH);
                    p_->drawText(
                        box, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                        metrics(f).elidedText(cells[r][c], Qt::ElideRight, box.width() + 1));
                    x += widths[c];
                }
            }
            y_ += rowH;
        }
        if (rows < t.rows.size())
            text(QStringLiteral("Rows %1 to %2 are not listed here; the exported results hold "
                                "every row.")
                     .arg(rows + 1)
                     .arg(t.rows.size()),
                 8.5);
        space(6);
    }

    const ReportContent& c_;
    QPdfWriter& writer_;
    DocumentPainter* doc_;
    QPainter* p_;
    int total_;
    int page_ = 0;
    double y_ = 0, width_ = 0, bottom_ = 0;
    QFont base_;
};

} // namespace

QByteArray reportPdf(const ReportContent& content, int* pages) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    int count = 0;
    bool drawn = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter));
        pdf.setResolution(72);
        pdf.setTitle(content.program + QStringLiteral(" test report: ") + content.title);
        pdf.setCreator(content.program + QLatin1Char(' ') + content.version);
        {
            ReportLayout measure(content, pdf, nullptr, 0);
            measure.run();
            count = measure.pages();
        }
        DocumentPainter painter(&pdf);
        if (painter.isActive()) {
            ReportLayout layout(content, pdf, &painter, count);
            layout.run();
            drawn = painter.end();
        }
    } // the writer finishes the document when it goes
    if (pages) *pages = drawn ? count : 0;
    return drawn ? bytes : QByteArray();
}
