#include "export/chart_export.h"
#include "export/excel_operation.h"
#include "export/platform_host.h"
#include "export/workbook_host.h"
#include "export_test_support.h"
#include "xlsx_zip.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using tc::ChartSeriesSnapshot;
using tc::ExcelExportOptions;
using Lines = std::vector<std::string>;

ChartSeriesSnapshot series(std::string title, std::uint32_t color, std::vector<double> xs,
                           std::vector<double> ys) {
    return {std::move(title), color, std::move(xs), std::move(ys)};
}

// The plot's six series as the main window has them (colours 0xRRGGBB).
std::vector<ChartSeriesSnapshot> sixSeries() {
    return {series("Point1", 0xFFFF00, {1}, {2}),
            series("Point2", 0xFFFF00, {}, {}),
            series("Loop", 0x000000, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                   {0, 10, 20, 30, 40, 50, 60, 70, 80, 90}),
            series("Loop 1", 0xFF00FF, {0, 1}, {0, 10}),
            series("Tarvel_Positive", 0xFF0000, {1.5, 2.5}, {100, 200}),
            series("Tarvel_Negative", 0x0000FF, {-1.5}, {-100})};
}

struct Recorded {
    Lines calls;
    tc::ExcelExportResult result;
};

Recorded recordExport(const std::vector<ChartSeriesSnapshot>& s, ExcelExportOptions& o,
                      const tc::test::TempFolder& folder, char sep = '.') {
    auto log = std::make_shared<tc::CallLog>();
    Recorded r;
    r.result = tc::ExportChartToExcel(
        s, o, sep, tc::workbookHostFactory(tc::test::recordingSettings(folder.path(), log, sep)));
    r.calls = tc::test::described(*log);
    return r;
}

// The calls from the chart's axes on, for the default options (rows 25 to 36 of the member list).
Lines defaultChartFormatting() {
    Lines out;
    for (const auto& [element, type, title] :
         {std::tuple{301, 1, "X Axis"}, std::tuple{307, 2, "Y Axis"}}) {
        const std::string t = std::to_string(type);
        out.insert(out.end(),
                   {"Chart.SetElement method(VT_I4 " + std::to_string(element) + ")",
                    "Chart.Axes method(VT_I4 " + t + ", VT_I4 1)", "Axis.AxisTitle get()",
                    std::string("AxisTitle.Text put(VT_BSTR \"") + title + "\")",
                    "Axis.AxisTitle get()", "AxisTitle.Font get()", "Font.Size put(VT_I4 10)",
                    "Axis.Format get()", "ChartFormat.Line get()",
                    "LineFormat.Visible put(VT_BOOL true)", "LineFormat.ForeColor get()",
                    "ColorFormat.ObjectThemeColor put(VT_I4 13)",
                    "Axis.CrossesAt put(VT_I4 -10000)", "Axis.MajorTickMark put(VT_I4 2)"});
    }
    for (const char* t : {"2", "1"})
        out.insert(out.end(),
                   {std::string("Chart.Axes method(VT_I4 ") + t + ")", "Axis.TickLabels get()",
                    "TickLabels.Font get()", "Font.Size put(VT_I4 10)"});
    out.insert(out.end(),
               {"Chart.SetElement method(VT_I4 101)", "Chart.Legend get()",
                "Legend.IncludeInLayout put(VT_BOOL false)", "Chart.Legend get()",
                "Legend.Font get()", "Font.Size put(VT_I4 10)", "Chart.PlotArea get()",
                "PlotArea.Format get()", "ChartFormat.Line get()",
                "LineFormat.Visible put(VT_BOOL true)", "LineFormat.ForeColor get()",
                "ColorFormat.ObjectThemeColor put(VT_I4 13)", "Chart.HasTitle put(VT_BOOL false)"});
    return out;
}

const Lines kStart = {
    "create Excel.Application",
    "Application.Application get()",
    "Application.Visible put(VT_BOOL true)",
    "Application.WorkBooks get()",
    "Workbooks.Add method()",
    "Workbook.Sheets get(VT_BSTR \"Sheet1\")",
    "Worksheet.Cells get(VT_I4 5, VT_I4 3)",
    "Range.Left get()",
    "Worksheet.Cells get(VT_I4 5, VT_I4 3)",
    "Range.Top get()",
    "Worksheet.Shapes get()",
    "Shapes.AddChart2 method(VT_I4 240, VT_I4 72)",
    "Shape.Left put(VT_I4 96)",
    "Shape.Top put(VT_I4 60)",
    "Shape.Width put(VT_I4 300)",
    "Shape.Height put(VT_I4 450)",
};

Lines cell(int row, int column, const std::string& text) {
    return {"Worksheet.Cells get(VT_I2 " + std::to_string(row) + ", VT_I2 " +
                std::to_string(column) + ")",
            "Range.Value put(VT_BSTR \"" + text + "\")"};
}

Lines defaultSeriesFormatting() {
    return {"Series.MarkerStyle put(VT_I4 8)",
            "Series.MarkerSize put(VT_I4 4)",
            "Series.Format get()",
            "ChartFormat.Line get()",
            "LineFormat.Visible put(VT_BOOL true)",
            "LineFormat.Weight put(VT_R4 0.5)"};
}

void append(Lines& to, const Lines& more) {
    to.insert(to.end(), more.begin(), more.end());
}

TEST(ChartExport, DefaultSingleOutputMakesTheListedCallsInOrder) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    const auto rec = recordExport({series("Loop", 0x000000, {1.5, 0.00001}, {-2, 1.0 / 3}),
                                   series("Tarvel_Positive", 0xFF0000, {}, {})},
                                  o, folder);
    Lines expected = kStart;
    append(expected, cell(1, 1, "X"));
    append(expected, cell(1, 2, "Loop"));
    append(expected, cell(2, 1, "1.5"));
    append(expected, cell(2, 2, "-2"));
    append(expected, cell(3, 1, "1E-5"));
    append(expected, cell(3, 2, "0.333333333333333"));
    append(expected, cell(1, 3, "X"));
    append(expected, cell(1, 4, "Tarvel_Positive"));
    append(expected, {"Shape.Select call()", "Application.ActiveChart get()",
                      "Chart.SeriesCollection method()", "SeriesCollection.NewSeries method()",
                      "Series.Name put(VT_BSTR \"=Sheet1!$B$1\")",
                      "Series.XValues put(VT_BSTR \"=Sheet1!$A$2:$A$4\")",
                      "Series.Values put(VT_BSTR \"=Sheet1!$B$2:$B$4\")"});
    append(expected, defaultSeriesFormatting());
    append(expected,
           {"SeriesCollection.NewSeries method()", "Series.Name put(VT_BSTR \"=Sheet1!$D$1\")",
            "Series.XValues put(VT_BSTR \"=Sheet1!$C$2:$C$2\")",
            "Series.Values put(VT_BSTR \"=Sheet1!$D$2:$D$2\")"});
    append(expected, defaultSeriesFormatting());
    append(expected, defaultChartFormatting());
    EXPECT_EQ(rec.calls, expected);
    EXPECT_TRUE(std::filesystem::exists(rec.result.workbookPath));
}

TEST(ChartExport, CombinedOutputWritesOneTableAndOneSeries) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    o.combinedOutput = 1;
    o.lineColorMode = 1;
    o.markerColorMode = 1;
    const auto rec =
        recordExport({series("A", 0xFFFF00, {1, 2, 3}, {4, 5, 6}), series("B", 0xFF0000, {}, {}),
                      series("C", 0x0000FF, {7, 8}, {9, 10})},
                     o, folder);
    Lines expected = kStart;
    append(expected, cell(1, 1, "Serie Name"));
    append(expected, cell(1, 2, "X"));
    append(expected, cell(1, 3, "Y"));
    append(expected, cell(2, 1, "A"));
    for (int i = 0; i < 3; ++i) {
        append(expected, cell(2 + i, 2, std::to_string(1 + i)));
        append(expected, cell(2 + i, 3, std::to_string(4 + i)));
    }
    append(expected, cell(5, 1, "B"));
    append(expected, cell(5, 1, "C"));
    for (int i = 0; i < 2; ++i) {
        append(expected, cell(5 + i, 2, std::to_string(7 + i)));
        append(expected, cell(5 + i, 3, std::to_string(9 + i)));
    }
    // One series named X-Y, coloured like the plot's first series: yellow, R + 256 G = 65535.
    append(expected, {"Shape.Select call()",
                      "Application.ActiveChart get()",
                      "Chart.SeriesCollection method()",
                      "SeriesCollection.NewSeries method()",
                      "Series.Name put(VT_BSTR \"X-Y\")",
                      "Series.XValues put(VT_BSTR \"=Sheet1!$B$2:$B$7\")",
                      "Series.Values put(VT_BSTR \"=Sheet1!$C$2:$C$7\")",
                      "Series.Format get()",
                      "ChartFormat.Line get()",
                      "LineFormat.Visible put(VT_BOOL true)",
                      "LineFormat.ForeColor get()",
                      "ColorFormat.RGB put(VT_UI4 65535)",
                      "Series.MarkerStyle put(VT_I4 8)",
                      "Series.MarkerSize put(VT_I4 4)",
                      "Series.Format get()",
                      "ChartFormat.Fill get()",
                      "FillFormat.Visible put(VT_BOOL true)",
                      "FillFormat.ForeColor get()",
                      "ColorFormat.RGB put(VT_UI4 65535)",
                      "Series.Format get()",
                      "ChartFormat.Line get()",
                      "LineFormat.Visible put(VT_BOOL true)",
                      "LineFormat.Weight put(VT_R4 0.5)"});
    append(expected, defaultChartFormatting());
    EXPECT_EQ(rec.calls, expected);
}

// The calls of one export that name a member, in the order made.
Lines callsTo(const Lines& calls, const std::string& member) {
    Lines out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const std::string& c) { return c.find(member) != std::string::npos; });
    return out;
}

TEST(ChartExport, OptionsChangeOnlyTheirOwnCalls) {
    const struct Case {
        const char* what;
        std::function<void(ExcelExportOptions&)> set;
        const char* member;
        Lines calls;
    } cases[] = {
        {"plot colours as RGB values",
         [](auto& o) { o.lineColorMode = 1; },
         "RGB",
         {"ColorFormat.RGB put(VT_UI4 65535)", "ColorFormat.RGB put(VT_UI4 65535)",
          "ColorFormat.RGB put(VT_UI4 0)", "ColorFormat.RGB put(VT_UI4 16711935)",
          "ColorFormat.RGB put(VT_UI4 255)", "ColorFormat.RGB put(VT_UI4 16711680)"}},
        {"no markers",
         [](auto& o) {
             o.showMarker = false;
             o.markerColorMode = 1;
         },
         "Marker", Lines(6, "Series.MarkerStyle put(VT_I4 -4142)")},
        {"no marker fill while markers are shown automatically coloured", [](auto&) {}, "Fill", {}},
        {"no axis line",
         [](auto& o) { o.showAxisLine = false; },
         "ThemeColor",
         {"ColorFormat.ObjectThemeColor put(VT_I4 13)"}},
        {"no axis titles", [](auto& o) { o.showAxisTitle = false; }, "AxisTitle", {}},
        {"X axis position emptied",
         [](auto& o) { o.xAxisPosition = ""; },
         "CrossesAt",
         {"Axis.CrossesAt put(VT_I4 -10000)"}},
        {"positions truncated toward zero",
         [](auto& o) {
             o.xAxisPosition = " 2.9";
             o.yAxisPosition = "-2.9";
         },
         "CrossesAt",
         {"Axis.CrossesAt put(VT_I4 2)", "Axis.CrossesAt put(VT_I4 -2)"}},
        {"title shown",
         [](auto& o) {
             o.showTitle = true;
             o.showAxisTitle = false;
         },
         "Title",
         {"Chart.HasTitle put(VT_BOOL true)", "Chart.HasTitle get()", "Chart.ChartTitle get()",
          "ChartTitle.Text put(VT_BSTR \"Graph Title\")"}},
        {"no legend", [](auto& o) { o.showLegend = false; }, "Legend", {}},
        {"legend in layout",
         [](auto& o) { o.legendInLayout = true; },
         "IncludeInLayout",
         {"Legend.IncludeInLayout put(VT_BOOL true)"}},
        {"line weight", [](auto& o) { o.lineWeight = 0.1f; }, "Weight",
         Lines(6, "LineFormat.Weight put(VT_R4 0.100000001490116)")},
    };
    for (const auto& c : cases) {
        tc::test::TempFolder folder;
        auto o = tc::test::defaultOptions();
        c.set(o);
        EXPECT_EQ(callsTo(recordExport(sixSeries(), o, folder).calls, c.member), c.calls) << c.what;
    }
}

TEST(ChartExport, SixSeriesFillSixColumnPairs) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    const auto rec = recordExport(sixSeries(), o, folder);
    const Lines names = callsTo(rec.calls, "Series.Name");
    ASSERT_EQ(names.size(), 6u);
    const char* cells[] = {"$B$1", "$D$1", "$F$1", "$H$1", "$J$1", "$L$1"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(names[i], std::string("Series.Name put(VT_BSTR \"=Sheet1!") + cells[i] + "\")");
    const Lines x = callsTo(rec.calls, "Series.XValues");
    EXPECT_EQ(x[2], "Series.XValues put(VT_BSTR \"=Sheet1!$E$2:$E$12\")")
        << "10 points: rows 2 to 12";
    EXPECT_EQ(callsTo(rec.calls, "Series.Values")[2],
              "Series.Values put(VT_BSTR \"=Sheet1!$F$2:$F$12\")");
    EXPECT_EQ(x[1], "Series.XValues put(VT_BSTR \"=Sheet1!$C$2:$C$2\")") << "an empty series";
}

TEST(ChartExport, CommaLocaleWritesCommaNumbersThatStayNumbers) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    o.xAxisPosition = "-2,9";
    const auto rec = recordExport({series("L", 0, {0.5}, {-1.25})}, o, folder, ',');
    EXPECT_EQ(callsTo(rec.calls, "Range.Value")[2], "Range.Value put(VT_BSTR \"0,5\")");
    EXPECT_EQ(callsTo(rec.calls, "CrossesAt")[0], "Axis.CrossesAt put(VT_I4 -2)");
    const std::string sheet = tc::test::zipMember(tc::test::readWholeFile(rec.result.workbookPath),
                                                  "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<c r=\"A2\"><v>0.5</v></c>"), std::string::npos) << sheet;
}

// ----------------------------------------------------------------------------------------------
// Refusals before anything starts, and a host that cannot start

struct FactoryProbe {
    int calls = 0;
    tc::AutomationHostFactory factory() {
        return [this]() -> std::unique_ptr<tc::AutomationHost> {
            ++calls;
            throw std::runtime_error("no server here");
        };
    }
};

TEST(ChartExport, RefusesMorePointsThanASheetHoldsBeforeStarting) {
    const std::vector<double> limit(tc::kMaxExportPoints), over(tc::kMaxExportPoints + 1);
    const std::vector<double> half(600000);
    const struct {
        const char* what;
        int combined;
        std::vector<ChartSeriesSnapshot> series;
        bool refused;
    } cases[] = {
        {"single, at the limit", 0, {series("Loop", 0, limit, limit)}, false},
        {"single, one over", 0, {series("Loop", 0, over, over)}, true},
        {"single, two large series",
         0,
         {series("A", 0, half, half), series("B", 0, half, half)},
         false},
        {"combined, over in total",
         1,
         {series("A", 0, half, half), series("B", 0, half, half)},
         true},
        {"combined, at the limit",
         1,
         {series("A", 0, limit, limit), series("B", 0, {}, {})},
         false},
    };
    for (const auto& c : cases) {
        auto o = tc::test::defaultOptions();
        o.combinedOutput = c.combined;
        FactoryProbe probe;
        try {
            tc::ExportChartToExcel(c.series, o, '.', probe.factory());
            ADD_FAILURE() << c.what << ": the failing factory was not reached";
        } catch (const tc::ExcelStartError&) {
            EXPECT_FALSE(c.refused) << c.what;
        } catch (const tc::Error& e) {
            EXPECT_TRUE(c.refused) << c.what << ": " << e.what();
            EXPECT_EQ(probe.calls, 0) << c.what;
            const std::string m = e.what();
            EXPECT_NE(m.find(c.combined ? "1200000" : "1048575"), std::string::npos) << m;
            EXPECT_NE(m.find("1048574"), std::string::npos) << m;
        }
    }
}

TEST(ChartExport, RefusesASeriesWithMoreXThanYValues) {
    auto o = tc::test::defaultOptions();
    FactoryProbe probe;
    EXPECT_THROW(tc::ExportChartToExcel({series("A", 0, {1, 2}, {1})}, o, '.', probe.factory()),
                 tc::Error);
    EXPECT_EQ(probe.calls, 0);
}

class RefusingHost : public tc::AutomationHost {
public:
    tc::Variant createObject(std::string_view) override { throw tc::Error("Invalid class string"); }
    std::string finishExport() override { return {}; }
};

TEST(ChartExport, HostThatCannotStartGivesTheStartErrorAndANullApplication) {
    const struct {
        const char* what;
        tc::AutomationHostFactory factory;
    } cases[] = {
        {"factory throws",
         []() -> std::unique_ptr<tc::AutomationHost> { throw std::runtime_error("no COM"); }},
        {"factory gives nothing", [] { return std::unique_ptr<tc::AutomationHost>(); }},
        {"no factory", nullptr},
        {"server not registered", [] { return std::make_unique<RefusingHost>(); }},
    };
    for (const auto& c : cases) {
        auto o = tc::test::defaultOptions();
        o.excelApp = tc::Variant::i4(1); // something held from before
        try {
            tc::ExportChartToExcel(sixSeries(), o, '.', c.factory);
            ADD_FAILURE() << c.what;
        } catch (const tc::ExcelStartError& e) {
            EXPECT_STREQ(e.what(), "创建Excel文件出错, 请确认本机是否安装了MS-EXCEL.") << c.what;
            EXPECT_STREQ(tc::ExcelStartError::kCaption, "错误");
        }
        EXPECT_TRUE(o.excelApp.isNull()) << c.what;
    }
}

TEST(ChartExport, EveryExportReplacesTheApplication) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    EXPECT_TRUE(o.excelApp.isEmpty());
    const auto factory = tc::test::workbookFileHostFactory(folder.path(), '.');
    const auto first = tc::ExportChartToExcel(sixSeries(), o, '.', factory);
    ASSERT_TRUE(o.excelApp.isObject());
    std::weak_ptr<tc::Dispatch> firstApp = o.excelApp.objectValue();
    const auto second = tc::ExportChartToExcel(sixSeries(), o, '.', factory);
    EXPECT_TRUE(firstApp.expired()) << "the first application is let go";
    EXPECT_NE(first.workbookPath, second.workbookPath);
    EXPECT_TRUE(std::filesystem::exists(first.workbookPath));
    EXPECT_TRUE(std::filesystem::exists(second.workbookPath));
}

// ----------------------------------------------------------------------------------------------
// The workbook file

struct Workbook {
    std::string sheet, strings, chart, drawing;
    explicit Workbook(const std::string& path) {
        const std::string zip = tc::test::readWholeFile(path);
        sheet = tc::test::zipMember(zip, "xl/worksheets/sheet1.xml");
        strings = tc::test::zipMember(zip, "xl/sharedStrings.xml");
        chart = tc::test::zipMember(zip, "xl/charts/chart1.xml");
        drawing = tc::test::zipMember(zip, "xl/drawings/drawing1.xml");
        workbook = tc::test::zipMember(zip, "xl/workbook.xml");
    }
    std::string workbook;
};

bool has(const std::string& xml, const std::string& part) {
    return xml.find(part) != std::string::npos;
}

TEST(ChartExport, DefaultWorkbookHoldsNumbersAndAFormattedScatterChart) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    const auto result = tc::ExportChartToExcel(
        sixSeries(), o, '.', tc::test::workbookFileHostFactory(folder.path(), '.'));
    const Workbook wb(result.workbookPath);

    EXPECT_TRUE(has(wb.workbook, "name=\"Sheet1\"")) << wb.workbook;
    // Values are numbers, headers shared strings.
    EXPECT_TRUE(has(wb.sheet, "<c r=\"A2\"><v>1</v></c><c r=\"B2\"><v>2</v></c>"))
        << wb.sheet.substr(0, 2000);
    EXPECT_TRUE(has(wb.sheet, "<c r=\"F11\"><v>90</v></c>"));
    EXPECT_TRUE(has(wb.sheet, "<c r=\"I3\"><v>2.5</v></c>"));
    EXPECT_TRUE(has(wb.sheet, "<c r=\"K2\"><v>-1.5</v></c>"));
    EXPECT_FALSE(has(wb.sheet, "r=\"A3\"")) << "Point1 has one point";
    EXPECT_EQ(tc::test::countOf(wb.sheet, " t=\"s\""), 12u) << "12 header cells";
    for (const char* s :
         {"Point1", "Point2", "Loop", "Loop 1", "Tarvel_Positive", "Tarvel_Negative"})
        EXPECT_TRUE(has(wb.strings, std::string("<t>") + s + "</t>")) << s;

    // Scatter chart with smoothed lines and markers, six series named after their title cells.
    EXPECT_TRUE(has(wb.chart, "<c:scatterStyle val=\"smoothMarker\"/>"));
    EXPECT_EQ(tc::test::countOf(wb.chart, "<c:smooth val=\"1\"/>"), 6u);
    for (const char* f : {"Sheet1!$B$1", "Sheet1!$L$1", "Sheet1!$E$2:$E$12", "Sheet1!$F$2:$F$12",
                          "Sheet1!$C$2:$C$2", "Sheet1!$D$2:$D$2"})
        EXPECT_TRUE(has(wb.chart, std::string("<c:f>") + f + "</c:f>")) << f;
    EXPECT_FALSE(has(wb.chart, "<c:numCache>")) << "no cached copy of the values";
    // Markers: circles of size 4; lines 0.5 pt wide (6350 EMU).
    EXPECT_EQ(tc::test::countOf(wb.chart, "<c:symbol val=\"circle\"/><c:size val=\"4\"/>"), 6u);
    EXPECT_EQ(tc::test::countOf(wb.chart, "<a:ln w=\"6350\">"), 6u);
    // Axes: titles, crossings, inside ticks, font sizes, black lines.
    EXPECT_TRUE(has(wb.chart, "<a:t>X Axis</a:t>"));
    EXPECT_TRUE(has(wb.chart, "<a:t>Y Axis</a:t>"));
    EXPECT_EQ(tc::test::countOf(wb.chart, "<c:crossesAt val=\"-10000\"/>"), 2u);
    EXPECT_EQ(tc::test::countOf(wb.chart, "<c:majorTickMark val=\"in\"/>"), 2u);
    EXPECT_GE(tc::test::countOf(wb.chart, "sz=\"1000\""), 4u);
    EXPECT_GE(tc::test::countOf(wb.chart, "<a:srgbClr val=\"000000\"/>"), 3u)
        << "two axis lines, the plot area";
    // Legend at the right, over the plot; no title.
    EXPECT_TRUE(has(wb.chart, "<c:legendPos val=\"r\"/>"));
    EXPECT_TRUE(has(wb.chart, "<c:overlay val=\"1\"/>"));
    EXPECT_TRUE(has(wb.chart, "<c:autoTitleDeleted val=\"1\"/>"));
    // Placed at C5 (column 2, row 4 counted from 0).
    EXPECT_TRUE(has(wb.drawing,
                    "<xdr:from><xdr:col>2</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>4</xdr:row>"))
        << wb.drawing;
}

TEST(ChartExport, WorkbookCarriesColoursTitleAndLegendOptions) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    o.lineColorMode = 1;
    o.markerColorMode = 1;
    o.markerStyle = 2;
    o.showTitle = true;
    o.titleText = "骨架曲线";
    o.showPlotAreaLine = false;
    o.legendInLayout = true;
    o.legendFontSize = 12;
    o.showAxisLine = false;
    const auto result = tc::ExportChartToExcel(
        sixSeries(), o, '.', tc::test::workbookFileHostFactory(folder.path(), '.'));
    const Workbook wb(result.workbookPath);
    for (const char* c : {"FFFF00", "000000", "FF00FF", "FF0000", "0000FF"})
        EXPECT_TRUE(has(wb.chart, std::string("<a:srgbClr val=\"") + c + "\"/>")) << c;
    EXPECT_EQ(tc::test::countOf(wb.chart, "<c:symbol val=\"diamond\"/>"), 6u);
    EXPECT_TRUE(has(wb.chart, "<a:t>骨架曲线</a:t>"));
    EXPECT_FALSE(has(wb.chart, "autoTitleDeleted val=\"1\""));
    EXPECT_FALSE(has(wb.chart, "<c:overlay val=\"1\"/>"));
    EXPECT_TRUE(has(wb.chart, "sz=\"1200\""));
    EXPECT_GE(tc::test::countOf(wb.chart, "<a:ln><a:noFill/></a:ln>"), 3u)
        << "axis lines and plot area hidden";
}

// The crossing value of the axis element that sits at axPos (b: the X axis, l: the Y axis).
std::string crossingOf(const std::string& chart, const std::string& axPos) {
    const size_t at = chart.find("<c:axPos val=\"" + axPos + "\"/>");
    const size_t end = chart.find("</c:valAx>", at);
    const std::string tag = "<c:crossesAt val=\"";
    const size_t c = chart.find(tag, at);
    if (at == std::string::npos || c == std::string::npos || c > end) return "";
    const size_t v = c + tag.size();
    return chart.substr(v, chart.find('"', v) - v);
}

TEST(ChartExport, AxisPositionsCrossTheRightAxes) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    o.xAxisPosition = "-111"; // the X value where the Y axis crosses
    o.yAxisPosition = "-222"; // the Y value where the X axis crosses
    const auto result = tc::ExportChartToExcel(
        sixSeries(), o, '.', tc::test::workbookFileHostFactory(folder.path(), '.'));
    const Workbook wb(result.workbookPath);
    EXPECT_EQ(crossingOf(wb.chart, "l"), "-111");
    EXPECT_EQ(crossingOf(wb.chart, "b"), "-222");
}

// The legend element of the chart part.
std::string legendOf(const std::string& chart) {
    const size_t at = chart.find("<c:legend>"), end = chart.find("</c:legend>");
    return at == std::string::npos || end == std::string::npos ? "" : chart.substr(at, end - at);
}

// An overlaid legend keeps its flag and its font whatever the size, the flag before the shape
// and text properties as the file format orders them.
TEST(ChartExport, OverlaidLegendKeepsFlagAndFontInTheirOrder) {
    struct Case {
        bool inLayout;
        std::int32_t fontSize;
    };
    for (const Case c : {Case{false, 14}, Case{false, 10}, Case{false, 8}, Case{true, 14}}) {
        SCOPED_TRACE(std::to_string(c.fontSize) + (c.inLayout ? " in layout" : " overlaid"));
        tc::test::TempFolder folder;
        auto o = tc::test::defaultOptions();
        o.legendInLayout = c.inLayout;
        o.legendFontSize = c.fontSize;
        const auto result = tc::ExportChartToExcel(
            sixSeries(), o, '.', tc::test::workbookFileHostFactory(folder.path(), '.'));
        const std::string legend = legendOf(Workbook(result.workbookPath).chart);
        EXPECT_TRUE(has(legend, "sz=\"" + std::to_string(c.fontSize * 100) + "\"")) << legend;
        const size_t overlay = legend.find("<c:overlay val=\"1\"/>");
        EXPECT_EQ(overlay == std::string::npos, c.inLayout) << legend;
        if (overlay == std::string::npos) continue;
        EXPECT_LT(overlay, legend.find("<c:txPr>")) << legend;
        EXPECT_EQ(legend.find("<c:spPr>"), std::string::npos) << legend;
        EXPECT_EQ(tc::test::countOf(legend, "<c:overlay"), 1u) << legend;
    }
}

TEST(ChartExport, RowsBeyondSixteenBitsAreWritten) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    std::vector<double> x(40000), y(40000);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<double>(i), y[i] = 2.0 * static_cast<double>(i);
    const auto result = tc::ExportChartToExcel(
        {series("Loop", 0, x, y)}, o, '.', tc::test::workbookFileHostFactory(folder.path(), '.'));
    const Workbook wb(result.workbookPath);
    EXPECT_TRUE(has(wb.sheet, "<c r=\"A40001\"><v>39999</v></c><c r=\"B40001\"><v>79998</v></c>"));
    EXPECT_TRUE(has(wb.chart, "<c:f>Sheet1!$A$2:$A$40002</c:f>"));
}

TEST(ChartExport, ExportStoppedHalfWayStillWritesWhatItDid) {
    const struct {
        const char* what;
        std::function<void(ExcelExportOptions&)> set;
        const char* message;
        bool seriesFormatted;
    } cases[] = {
        {"X axis position not a number", [](auto& o) { o.xAxisPosition = "abc"; },
         "'abc' is not a valid floating point value", true},
        {"Y axis position beyond 32 bits", [](auto& o) { o.yAxisPosition = "1E10"; },
         "'1E10' is out of range for an axis position", true},
        {"marker style 4", [](auto& o) { o.markerStyle = 4; },
         "Series.MarkerStyle: 4 is not a marker style", false},
        {"marker size 73", [](auto& o) { o.markerSize = 73; },
         "Series.MarkerSize: 73 is not a marker size", false},
    };
    for (const auto& c : cases) {
        tc::test::TempFolder folder;
        auto o = tc::test::defaultOptions();
        c.set(o);
        try {
            tc::ExportChartToExcel(sixSeries(), o, '.',
                                   tc::test::workbookFileHostFactory(folder.path(), '.'));
            ADD_FAILURE() << c.what;
        } catch (const tc::ExcelExportError& e) {
            EXPECT_EQ(std::string(e.what()).find(c.message), 0u) << c.what << ": " << e.what();
            ASSERT_TRUE(std::filesystem::exists(e.workbookPath())) << c.what;
            const Workbook wb(e.workbookPath());
            EXPECT_TRUE(has(wb.sheet, "<c r=\"F11\"><v>90</v></c>"))
                << c.what << ": the data is there";
            EXPECT_TRUE(has(wb.chart, "<c:f>Sheet1!$B$1</c:f>"))
                << c.what << ": the first series is there";
            EXPECT_EQ(has(wb.chart, "<c:f>Sheet1!$L$1</c:f>"), c.seriesFormatted) << c.what;
        }
        EXPECT_TRUE(o.excelApp.isObject()) << "the application of the export is kept";
    }
}

TEST(ChartExport, UnwritableFolderIsReported) {
    tc::test::TempFolder folder;
    std::ofstream(folder.path() / "file") << "x";
    auto o = tc::test::defaultOptions();
    try {
        tc::ExportChartToExcel(sixSeries(), o, '.',
                               tc::test::workbookFileHostFactory(folder.path() / "file", '.'));
        ADD_FAILURE() << "nothing reported";
    } catch (const tc::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create file"), std::string::npos) << e.what();
    }
}

TEST(ChartExport, EmptyChartStillGetsHeadersAndEmptySeries) {
    tc::test::TempFolder folder;
    auto o = tc::test::defaultOptions();
    std::vector<ChartSeriesSnapshot> empty = {series("Point1", 0xFFFF00, {}, {}),
                                              series("Loop", 0, {}, {})};
    const auto result = tc::ExportChartToExcel(
        empty, o, '.', tc::test::workbookFileHostFactory(folder.path(), '.'));
    const Workbook wb(result.workbookPath);
    EXPECT_TRUE(has(wb.chart, "<c:f>Sheet1!$A$2:$A$2</c:f>"));
    EXPECT_TRUE(has(wb.chart, "<c:f>Sheet1!$D$2:$D$2</c:f>"));
    EXPECT_EQ(tc::test::countOf(wb.sheet, " t=\"s\""), 4u);
}

} // namespace
