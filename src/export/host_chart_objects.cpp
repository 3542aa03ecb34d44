// The chart's objects of the workbook host: fonts, colours, lines and fills, and the chart's
// parts (axes, titles, legend, plot area, series).
#include "export/host_object.h"

#include "common/number_text.h"

#include <cmath>

namespace tc::host {

namespace {

// ----------------------------------------------------------------------------------------------
// Fonts, colours, lines, fills

class FontObject final : public HostObject {
public:
    FontObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
               std::shared_ptr<std::optional<std::int32_t>> size)
        : HostObject(std::move(c), std::move(b)), size_(std::move(size)) {}

protected:
    const char* className() const override { return "Font"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Size", kPut}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        const std::int32_t v = a.i4(0);
        if (v < 1 || v > kMaxFontSize)
            a.refuse(std::to_string(v) + " is not a font size (1 to 409)");
        *size_ = v;
        return {};
    }

private:
    std::shared_ptr<std::optional<std::int32_t>> size_;
};

class ColorFormatObject final : public HostObject {
public:
    ColorFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                      std::shared_ptr<ColorModel> color)
        : HostObject(std::move(c), std::move(b)), color_(std::move(color)) {}

protected:
    const char* className() const override { return "ColorFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"RGB", kPut}, {"ObjectThemeColor", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            const std::uint32_t v = a.ui4(0);
            if (v > kMaxRgb) a.refuse(std::to_string(v) + " is not a colour (0 to 16777215)");
            color_->rgb = v;
            color_->themeColor.reset();
        } else {
            const std::int32_t v = a.i4(0);
            if (v < 1 || v > 16) a.refuse(std::to_string(v) + " is not a theme colour (1 to 16)");
            color_->themeColor = v;
            color_->rgb.reset();
        }
        return {};
    }

private:
    std::shared_ptr<ColorModel> color_;
};

class LineFormatObject final : public HostObject {
public:
    LineFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<LineModel> line)
        : HostObject(std::move(c), std::move(b)), line_(std::move(line)) {}

protected:
    const char* className() const override { return "LineFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Visible", kPut}, {"ForeColor", kGet}, {"Weight", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0:
            line_->visible = a.boolean(0);
            return {};
        case 1:
            a.count(0);
            return make<ColorFormatObject>(ctx(), book(),
                                           std::shared_ptr<ColorModel>(line_, &line_->color));
        default: {
            const float w = a.r4(0);
            if (!(w >= 0 && w <= kMaxLineWeight))
                a.refuse(formatNumber(w) + " is not a line weight (0 to 1584 points)");
            line_->weight = w;
            return {};
        }
        }
    }

private:
    std::shared_ptr<LineModel> line_;
};

class FillFormatObject final : public HostObject {
public:
    FillFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<FillModel> fill)
        : HostObject(std::move(c), std::move(b)), fill_(std::move(fill)) {}

protected:
    const char* className() const override { return "FillFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Visible", kPut}, {"ForeColor", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            fill_->visible = a.boolean(0);
            return {};
        }
        a.count(0);
        return make<ColorFormatObject>(ctx(), book(),
                                       std::shared_ptr<ColorModel>(fill_, &fill_->color));
    }

private:
    std::shared_ptr<FillModel> fill_;
};

// The Format of a series (line and marker fill), of an axis or of the plot area (line only).
class ChartFormatObject final : public HostObject {
public:
    ChartFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                      std::shared_ptr<LineModel> line, std::shared_ptr<FillModel> fill)
        : HostObject(std::move(c), std::move(b)), line_(std::move(line)), fill_(std::move(fill)) {}

protected:
    const char* className() const override { return "ChartFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Line", kGet}, {"Fill", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        a.count(0);
        if (member == 0) return make<LineFormatObject>(ctx(), book(), line_);
        if (!fill_) a.refuse("this workbook host keeps a fill only for a series' markers");
        return make<FillFormatObject>(ctx(), book(), fill_);
    }

private:
    std::shared_ptr<LineModel> line_;
    std::shared_ptr<FillModel> fill_;
};

// ----------------------------------------------------------------------------------------------
// Chart parts

class AxisTitleObject final : public HostObject {
public:
    AxisTitleObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<AxisModel> axis)
        : HostObject(std::move(c), std::move(b)), axis_(std::move(axis)) {}

protected:
    const char* className() const override { return "AxisTitle"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Text", kPut}, {"Font", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            axis_->titleText = wellFormedUtf8(a.text(0));
            return {};
        }
        a.count(0);
        return make<FontObject>(
            ctx(), book(),
            std::shared_ptr<std::optional<std::int32_t>>(axis_, &axis_->titleFontSize));
    }

private:
    std::shared_ptr<AxisModel> axis_;
};

class TickLabelsObject final : public HostObject {
public:
    TickLabelsObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<AxisModel> axis)
        : HostObject(std::move(c), std::move(b)), axis_(std::move(axis)) {}

protected:
    const char* className() const override { return "TickLabels"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Font", kGet}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        return make<FontObject>(
            ctx(), book(),
            std::shared_ptr<std::optional<std::int32_t>>(axis_, &axis_->tickLabelFontSize));
    }

private:
    std::shared_ptr<AxisModel> axis_;
};

class AxisObject final : public HostObject {
public:
    AxisObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<AxisModel> axis)
        : HostObject(std::move(c), std::move(b)), axis_(std::move(axis)) {}

protected:
    const char* className() const override { return "Axis"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"AxisTitle", kGet},
                                       {"Format", kGet},
                                       {"CrossesAt", kPut},
                                       {"MajorTickMark", kPut},
                                       {"TickLabels", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0:
            a.count(0);
            if (!axis_->hasTitle) a.refuse("the axis has no title");
            return make<AxisTitleObject>(ctx(), book(), axis_);
        case 1:
            a.count(0);
            return make<ChartFormatObject>(
                ctx(), book(), std::shared_ptr<LineModel>(axis_, &axis_->line), nullptr);
        case 2:
            axis_->crossesAt = a.i4(0);
            return {};
        case 3: {
            const std::int32_t v = a.i4(0);
            // xlTickMarkInside 2, xlTickMarkOutside 3, xlTickMarkCross 4, xlTickMarkNone -4142
            if (v != 2 && v != 3 && v != 4 && v != -4142)
                a.refuse(std::to_string(v) + " is not a tick mark (2, 3, 4 or -4142)");
            axis_->majorTickMark = v;
            return {};
        }
        default:
            a.count(0);
            return make<TickLabelsObject>(ctx(), book(), axis_);
        }
    }

private:
    std::shared_ptr<AxisModel> axis_;
};

class LegendObject final : public HostObject {
public:
    LegendObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "Legend"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"IncludeInLayout", kPut}, {"Font", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            chart_->legend.includeInLayout = a.boolean(0);
            return {};
        }
        a.count(0);
        return make<FontObject>(
            ctx(), book(),
            std::shared_ptr<std::optional<std::int32_t>>(chart_, &chart_->legend.fontSize));
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class PlotAreaObject final : public HostObject {
public:
    PlotAreaObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                   std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "PlotArea"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Format", kGet}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        return make<ChartFormatObject>(
            ctx(), book(), std::shared_ptr<LineModel>(chart_, &chart_->plotAreaLine), nullptr);
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class ChartTitleObject final : public HostObject {
public:
    ChartTitleObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "ChartTitle"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Text", kPut}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        chart_->titleText = wellFormedUtf8(a.text(0));
        return {};
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class SeriesObject final : public HostObject {
public:
    SeriesObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                 std::shared_ptr<SeriesModel> series)
        : HostObject(std::move(c), std::move(b)), series_(std::move(series)) {}

    // Marker styles of the spreadsheet program that a workbook file can hold: 1 square,
    // 2 diamond, 3 triangle, 5 star, 8 circle, 9 plus, -4168 x, -4142 none, -4105 automatic.
    // 4, 6 and 7 are no marker style at all (the options list offers them all the same); the
    // real object model refuses them and so does this host, naming the styles there are, rather
    // than drawing some other marker in their place. Dash, dot and picture markers cannot be
    // written faithfully and are refused too.
    static bool isMarkerStyle(std::int32_t v) {
        switch (v) {
        case 1:
        case 2:
        case 3:
        case 5:
        case 8:
        case 9:
        case -4168:
        case -4142:
        case -4105:
            return true;
        default:
            return false;
        }
    }

protected:
    const char* className() const override { return "Series"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Name", kPut},        {"XValues", kPut},
                                       {"Values", kPut},      {"Format", kGet},
                                       {"MarkerStyle", kPut}, {"MarkerSize", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0: {
            const std::string& t = a.text(0);
            if (!t.empty() && t[0] == '=') {
                auto r = parseReference(t, *book());
                if (!r || r->firstRow != r->lastRow || r->firstColumn != r->lastColumn)
                    a.refuse("'" + t + "' is not a reference to one cell of this workbook");
                series_->nameCell = std::move(r);
                series_->name.reset();
            } else {
                series_->name = wellFormedUtf8(t);
                series_->nameCell.reset();
            }
            return {};
        }
        case 1:
        case 2: {
            const std::string& t = a.text(0);
            auto r = parseReference(t, *book());
            if (!r || (r->firstRow != r->lastRow && r->firstColumn != r->lastColumn))
                a.refuse("'" + t +
                         "' is not a reference to one row or column of cells of this workbook");
            (member == 1 ? series_->xValues : series_->values) = std::move(r);
            return {};
        }
        case 3:
            a.count(0);
            return make<ChartFormatObject>(ctx(), book(),
                                           std::shared_ptr<LineModel>(series_, &series_->line),
                                           std::shared_ptr<FillModel>(series_, &series_->fill));
        case 4: {
            const std::int32_t v = a.i4(0);
            if (!isMarkerStyle(v))
                a.refuse(std::to_string(v) +
                         " is not a marker style (1 square, 2 diamond, 3 triangle, 5 star, "
                         "8 circle, 9 plus, -4168 x, -4142 none, -4105 automatic)");
            series_->markerStyle = v;
            return {};
        }
        default: {
            const std::int32_t v = a.i4(0);
            if (v < kMinMarkerSize || v > kMaxMarkerSize)
                a.refuse(std::to_string(v) + " is not a marker size (2 to 72)");
            series_->markerSize = v;
            return {};
        }
        }
    }

private:
    std::shared_ptr<SeriesModel> series_;
};

class SeriesCollectionObject final : public HostObject {
public:
    SeriesCollectionObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                           std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "SeriesCollection"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"NewSeries", kMethod}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        auto s = std::make_shared<SeriesModel>();
        chart_->series.push_back(s);
        return make<SeriesObject>(ctx(), book(), std::move(s));
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class ChartObject final : public HostObject {
public:
    ChartObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "Chart"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"SeriesCollection", kMethod},
                                       {"SetElement", kMethod},
                                       {"Axes", kMethod},
                                       {"Legend", kGet},
                                       {"PlotArea", kGet},
                                       {"HasTitle", kGet | kPut},
                                       {"ChartTitle", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind kind, const Args& a) override {
        switch (member) {
        case 0:
            a.count(0);
            return make<SeriesCollectionObject>(ctx(), book(), chart_);
        case 1: {
            a.count(1);
            switch (a.i4(0)) {
            case 301:
                chart_->xAxis.hasTitle = true;
                break; // primary category axis title
            case 307:
                chart_->yAxis.hasTitle = true;
                break; // primary value axis title
            case 101:  // legend at the right, taking its own room
                chart_->legend.visible = true;
                chart_->legend.position = LegendPosition::Right;
                chart_->legend.includeInLayout = true;
                break;
            default:
                a.refuse(std::to_string(a.i4(0)) +
                         " is not a chart element this workbook host can set (301, 307, 101)");
            }
            return {};
        }
        case 2: {
            a.count(1, 2);
            const std::int32_t type = a.i4(0);
            const std::int32_t group = a.size() > 1 ? a.i4(1) : 1;
            if (type != 1 && type != 2)
                a.refuse(std::to_string(type) + " is not an axis of a scatter chart (1 or 2)");
            if (group != 1) a.refuse("the chart has no secondary axes");
            return make<AxisObject>(
                ctx(), book(),
                std::shared_ptr<AxisModel>(chart_, type == 1 ? &chart_->xAxis : &chart_->yAxis));
        }
        case 3:
            a.count(0);
            if (!chart_->legend.visible) a.refuse("the chart has no legend");
            return make<LegendObject>(ctx(), book(), chart_);
        case 4:
            a.count(0);
            return make<PlotAreaObject>(ctx(), book(), chart_);
        case 5:
            if (kind == InvokeKind::PropertyGet) {
                a.count(0);
                return Variant::boolean(chart_->hasTitle);
            }
            chart_->hasTitle = a.boolean(0);
            return {};
        default:
            a.count(0);
            if (!chart_->hasTitle) a.refuse("the chart has no title");
            return make<ChartTitleObject>(ctx(), book(), chart_);
        }
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

} // namespace

Variant makeChartObject(ContextPtr ctx, std::shared_ptr<WorkbookModel> book,
                        std::shared_ptr<ChartModel> chart) {
    return make<ChartObject>(std::move(ctx), std::move(book), std::move(chart));
}

} // namespace tc::host
