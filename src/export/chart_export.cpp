#include "export/chart_export.h"

#include "export/excel_operation.h"
#include "export/worksheet_address.h"

#include <cmath>
#include <exception>
#include <limits>

namespace tc {

namespace {

// Numbers of the spreadsheet object model the export uses.
constexpr std::int32_t kXlMarkerStyleNone = -4142;
constexpr std::int32_t kXlCategory = 1, kXlValue = 2, kXlPrimary = 1;
constexpr std::int32_t kXlTickMarkInside = 2;
constexpr std::int32_t kMsoThemeColorText1 = 13;
constexpr std::int32_t kElementCategoryAxisTitleAdjacentToAxis = 301;
constexpr std::int32_t kElementValueAxisTitleAdjacentToAxis = 307;
constexpr std::int32_t kElementLegendRight = 101;

// Where the chart's top-left corner goes: cell C5.
constexpr std::int32_t kChartRow = 5, kChartColumn = 3;

// The share of an export's time that goes into the workbook's cells and chart (measured on a
// 1,000,000-point chart with the workbook host); the rest is the writing.
constexpr double kBuildShare = 0.3;

// Points between two progress reports while the cells are written.
constexpr std::size_t kPointsPerReport = 1 << 14;

// Counts the points written into the sheet and reports them to progress now and then.
class PointProgress {
public:
    PointProgress(const WorkProgress& progress, const std::vector<ChartSeriesSnapshot>& series)
        : progress_(progress) {
        for (const auto& s : series)
            total_ += s.xs.size();
    }
    void pointDone() {
        if (++done_ % kPointsPerReport == 0)
            reportProgress(progress_, static_cast<double>(done_) / total_);
    }

private:
    const WorkProgress& progress_;
    std::size_t total_ = 0, done_ = 0;
};

void checkSeries(const std::vector<ChartSeriesSnapshot>& series, bool combined) {
    std::size_t total = 0;
    for (const auto& s : series) {
        if (s.xs.size() != s.ys.size())
            throw Error("The series \"" + s.title + "\" has " + std::to_string(s.xs.size()) +
                        " X values but " + std::to_string(s.ys.size()) + " Y values.");
        if (!combined && s.xs.size() > kMaxExportPoints)
            throw Error("The series \"" + s.title + "\" has " + std::to_string(s.xs.size()) +
                        " points; a worksheet column takes at most " +
                        std::to_string(kMaxExportPoints) + " points of a series.");
        total += s.xs.size();
    }
    if (combined && total > kMaxExportPoints)
        throw Error("The series have " + std::to_string(total) +
                    " points together; a worksheet takes at most " +
                    std::to_string(kMaxExportPoints) + " points in combined output.");
}

std::int32_t row(std::size_t zeroBasedPoint) {
    return static_cast<std::int32_t>(zeroBasedPoint) + 2;
}

// The typed axis position, truncated toward zero ("2.9" gives 2, "-2.9" gives -2).
std::int32_t axisCrossing(const std::string& text, char decimalSeparator) {
    const double t = std::trunc(textToDouble(text, decimalSeparator));
    if (t < std::numeric_limits<std::int32_t>::min() ||
        t > std::numeric_limits<std::int32_t>::max())
        throw Error("'" + text + "' is out of range for an axis position (" +
                    std::to_string(std::numeric_limits<std::int32_t>::min()) + " to " +
                    std::to_string(std::numeric_limits<std::int32_t>::max()) + ")");
    return static_cast<std::int32_t>(t);
}

void writeSingle(const Variant& sheet, const std::vector<ChartSeriesSnapshot>& series, char sep,
                 PointProgress& progress) {
    for (std::size_t i = 0; i < series.size(); ++i) {
        const auto& s = series[i];
        const auto xCol = static_cast<std::int32_t>(2 * i + 1), yCol = xCol + 1;
        SetCellText(sheet, 1, xCol, "X");
        SetCellText(sheet, 1, yCol, s.title);
        for (std::size_t p = 0; p < s.xs.size(); ++p) {
            SetCellNumber(sheet, row(p), xCol, s.xs[p], sep);
            SetCellNumber(sheet, row(p), yCol, s.ys[p], sep);
            progress.pointDone();
        }
    }
}

void writeCombined(const Variant& sheet, const std::vector<ChartSeriesSnapshot>& series, char sep,
                   PointProgress& progress) {
    SetCellText(sheet, 1, 1, "Serie Name");
    SetCellText(sheet, 1, 2, "X");
    SetCellText(sheet, 1, 3, "Y");
    std::int32_t r = 2;
    for (const auto& s : series) {
        // An empty series leaves its title where its first point would be, for the next series
        // to write over.
        SetCellText(sheet, r, 1, s.title);
        for (std::size_t p = 0; p < s.xs.size(); ++p, ++r) {
            SetCellNumber(sheet, r, 2, s.xs[p], sep);
            SetCellNumber(sheet, r, 3, s.ys[p], sep);
            progress.pointDone();
        }
    }
}

void addSeries(const Variant& collection, const std::vector<ChartSeriesSnapshot>& series,
               const ExcelExportOptions& o) {
    if (o.combinedOutput != 0) {
        std::size_t total = 0;
        for (const auto& s : series)
            total += s.xs.size();
        const Variant excelSeries = callMethod(collection, "NewSeries");
        SetSeriesSource(excelSeries, "X-Y", RangeReference(2, row(total), 2),
                        RangeReference(2, row(total), 3));
        // One series for all: it takes the colour of the plot's first series.
        FormatExcelSeries(
            excelSeries,
            series.empty() ? std::nullopt : std::optional<std::uint32_t>(series[0].color), o);
        return;
    }
    for (std::size_t i = 0; i < series.size(); ++i) {
        const auto& s = series[i];
        const auto xCol = static_cast<std::int32_t>(2 * i + 1), yCol = xCol + 1;
        const Variant excelSeries = callMethod(collection, "NewSeries");
        // The ranges reach one row below the last value: an empty series refers to the one
        // blank cell of row 2.
        SetSeriesSource(excelSeries, CellReference(1, yCol),
                        RangeReference(2, row(s.xs.size()), xCol),
                        RangeReference(2, row(s.ys.size()), yCol));
        FormatExcelSeries(excelSeries, s.color, o);
    }
}

void formatAxis(const Variant& chart, std::int32_t type, std::int32_t titleElement,
                const std::string& title, const std::string& position, const ExcelExportOptions& o,
                char sep) {
    if (o.showAxisTitle) callMethodI4(chart, "SetElement", titleElement);
    const Variant axis = callMethodI4(chart, "Axes", type, kXlPrimary);
    if (o.showAxisTitle) {
        putText(getProperty(axis, "AxisTitle"), "Text", title);
        putI4(getProperty(getProperty(axis, "AxisTitle"), "Font"), "Size", o.axisTitleFontSize);
    }
    {
        const Variant line = getProperty(getProperty(axis, "Format"), "Line");
        putBool(line, "Visible", o.showAxisLine);
        if (o.showAxisLine)
            putI4(getProperty(line, "ForeColor"), "ObjectThemeColor", kMsoThemeColorText1);
    }
    if (!position.empty()) putI4(axis, "CrossesAt", axisCrossing(position, sep));
    putI4(axis, "MajorTickMark", kXlTickMarkInside);
}

void formatChart(const Variant& chart, const ExcelExportOptions& o, char sep) {
    formatAxis(chart, kXlCategory, kElementCategoryAxisTitleAdjacentToAxis, o.xAxisTitle,
               o.xAxisPosition, o, sep);
    formatAxis(chart, kXlValue, kElementValueAxisTitleAdjacentToAxis, o.yAxisTitle, o.yAxisPosition,
               o, sep);

    for (const std::int32_t type : {kXlValue, kXlCategory})
        putI4(getProperty(getProperty(callMethodI4(chart, "Axes", type), "TickLabels"), "Font"),
              "Size", o.tickLabelFontSize);

    if (o.showLegend) {
        callMethodI4(chart, "SetElement", kElementLegendRight);
        putBool(getProperty(chart, "Legend"), "IncludeInLayout", o.legendInLayout);
        putI4(getProperty(getProperty(chart, "Legend"), "Font"), "Size", o.legendFontSize);
    }

    {
        const Variant line =
            getProperty(getProperty(getProperty(chart, "PlotArea"), "Format"), "Line");
        putBool(line, "Visible", o.showPlotAreaLine);
        if (o.showPlotAreaLine)
            putI4(getProperty(line, "ForeColor"), "ObjectThemeColor", kMsoThemeColorText1);
    }

    putBool(chart, "HasTitle", o.showTitle);
    if (o.showTitle && toBool(getProperty(chart, "HasTitle")))
        putText(getProperty(chart, "ChartTitle"), "Text", o.titleText);
}

void buildWorkbook(const Variant& app, const std::vector<ChartSeriesSnapshot>& series,
                   const ExcelExportOptions& o, char sep, const WorkProgress& progress) {
    ShowExcelApp(app);
    const Variant workbook = callMethod(getProperty(app, "WorkBooks"), "Add");
    const Variant sheet = getProperty(workbook, "Sheets", std::string(kExportSheetName));

    const std::int32_t left = GetCellLeft(sheet, kChartRow, kChartColumn);
    const std::int32_t top = GetCellTop(sheet, kChartRow, kChartColumn);
    const Variant shape = AddChartShape(sheet, left, top, o.chartWidth, o.chartHeight);

    PointProgress points(progress, series);
    if (o.combinedOutput != 0)
        writeCombined(sheet, series, sep, points);
    else
        writeSingle(sheet, series, sep, points);

    callProcedure(shape, "Select");
    const Variant chart = getProperty(app, "ActiveChart");
    addSeries(callMethod(chart, "SeriesCollection"), series, o);
    formatChart(chart, o, sep);
}

} // namespace

std::uint32_t excelRgb(std::uint32_t rrggbb) {
    return ((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16);
}

void SetSeriesSource(const Variant& excelSeries, std::string name, std::string xReference,
                     std::string yReference) {
    putText(excelSeries, "Name", std::move(name));
    putText(excelSeries, "XValues", std::move(xReference));
    putText(excelSeries, "Values", std::move(yReference));
}

void FormatExcelSeries(const Variant& s, std::optional<std::uint32_t> color,
                       const ExcelExportOptions& o) {
    if (o.lineColorMode == 1 && color) {
        const Variant line = getProperty(getProperty(s, "Format"), "Line");
        putBool(line, "Visible", true);
        putUI4(getProperty(line, "ForeColor"), "RGB", excelRgb(*color));
    }
    if (o.showMarker) {
        putI4(s, "MarkerStyle", o.markerStyle);
        putI4(s, "MarkerSize", o.markerSize);
        if (o.markerColorMode == 1 && color) {
            const Variant fill = getProperty(getProperty(s, "Format"), "Fill");
            putBool(fill, "Visible", true);
            putUI4(getProperty(fill, "ForeColor"), "RGB", excelRgb(*color));
        }
    } else {
        putI4(s, "MarkerStyle", kXlMarkerStyleNone);
    }
    const Variant line = getProperty(getProperty(s, "Format"), "Line");
    putBool(line, "Visible", true);
    putR4(line, "Weight", o.lineWeight);
}

ExcelExportResult ExportChartToExcel(const std::vector<ChartSeriesSnapshot>& series,
                                     ExcelExportOptions& options, char decimalSeparator,
                                     const AutomationHostFactory& hostFactory,
                                     const WorkProgress& progress) {
    checkSeries(series, options.combinedOutput != 0);

    std::unique_ptr<AutomationHost> host;
    try {
        if (hostFactory) host = hostFactory();
    } catch (const std::exception&) {
        // The application could not be started: host stays empty and is reported below.
    }
    if (!host) {
        options.excelApp = Variant::null();
        throw ExcelStartError();
    }
    const Variant app = CreateExcelApp(options.excelApp, *host);
    if (app.isNull()) throw ExcelStartError();

    try {
        buildWorkbook(app, series, options, decimalSeparator,
                      progressPart(progress, 0, kBuildShare));
    } catch (const Cancelled&) {
        // Stopped by the user: nothing of it is written.
        throw;
    } catch (const std::exception& e) {
        // What was done stays, and is written where the host writes.
        std::string path;
        try {
            path = host->finishExport();
        } catch (const std::exception& w) {
            throw ExcelExportError(std::string(e.what()) + "\n" + w.what(), "");
        }
        throw ExcelExportError(e.what(), path);
    }
    return {host->finishExportReporting(progressPart(progress, kBuildShare, 1))};
}

} // namespace tc
