#include "common/text_number.h"
#include "export/excel_operation.h"
#include "export/utf8_path.h"
#include "export/workbook_host.h"
#include "export_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>

namespace {

using tc::Variant;

// A started application with a workbook, its sheet, a chart shape (selected) and one series.
struct Session {
    explicit Session(char sep = '.', std::shared_ptr<tc::CallLog> log = nullptr)
        : host(tc::test::recordingSettings(folder.path(), std::move(log), sep)) {
        app = host.createObject("Excel.Application");
        book = tc::callMethod(tc::getProperty(app, "WorkBooks"), "Add");
        sheet = tc::getProperty(book, "Sheets", std::string("Sheet1"));
        shape = tc::AddChartShape(sheet, 96, 60, 300, 450);
        tc::callProcedure(shape, "Select");
        chart = tc::getProperty(app, "ActiveChart");
        series = tc::callMethod(tc::callMethod(chart, "SeriesCollection"), "NewSeries");
    }
    tc::CellGrid::Cell cell(int row, int column) const {
        return host.workbooks().at(0)->sheets.at(0)->cells.at(row, column);
    }
    const tc::CellGrid& cells() const { return host.workbooks().at(0)->sheets.at(0)->cells; }

    tc::test::TempFolder folder;
    tc::WorkbookHost host;
    Variant app, book, sheet, shape, chart, series;
};

TEST(WorkbookHost, RefusesWhatTheObjectModelRefuses) {
    using tc::putI4;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct Case {
        const char* what;
        std::function<void(Session&)> call;
        const char* message;
    } cases[] = {
        {"unknown member", [](Session& s) { tc::getProperty(s.sheet, "Cell"); },
         "Worksheet has no member named 'Cell'"},
        {"get of a put-only member", [](Session& s) { tc::getProperty(s.series, "MarkerSize"); },
         "Series.MarkerSize: cannot be read"},
        {"put of a get-only member", [](Session& s) { putI4(s.sheet, "Shapes", 1); },
         "Worksheet.Shapes: cannot be set"},
        {"cell index as text",
         [](Session& s) {
             const Variant args[] = {Variant::text("1"), Variant::i4(1)};
             tc::getProperty(s.sheet, "Cells", args);
         },
         "Worksheet.Cells: argument 1 must be VT_I4 or VT_I2, not VT_BSTR"},
        {"cell with one index",
         [](Session& s) {
             const Variant args[] = {Variant::i4(1)};
             tc::getProperty(s.sheet, "Cells", args);
         },
         "Worksheet.Cells: takes 2 arguments, not 1"},
        {"row 0", [](Session& s) { tc::getPropertyI4(s.sheet, "Cells", 0, 1); },
         "row 0 is outside the sheet"},
        {"row wrapped to negative",
         [](Session& s) { tc::getPropertyI2(s.sheet, "Cells", -32768, 1); },
         "row -32768 is outside the sheet"},
        {"row past the sheet", [](Session& s) { tc::getPropertyI4(s.sheet, "Cells", 1048577, 1); },
         "row 1048577 is outside the sheet"},
        {"column past the sheet", [](Session& s) { tc::getPropertyI4(s.sheet, "Cells", 1, 16385); },
         "column 16385 is outside the sheet"},
        {"NaN cell",
         [nan](Session& s) {
             tc::putProperty(tc::getPropertyI4(s.sheet, "Cells", 2, 1), "Value", Variant::r8(nan));
         },
         "Range.Value: NAN is not a number a cell can hold"},
        {"infinite cell",
         [inf](Session& s) {
             tc::putProperty(tc::getPropertyI4(s.sheet, "Cells", 2, 1), "Value", Variant::r8(-inf));
         },
         "Range.Value: -INF is not a number a cell can hold"},
        {"cell value as integer",
         [](Session& s) { putI4(tc::getPropertyI4(s.sheet, "Cells", 2, 1), "Value", 3); },
         "Range.Value: argument 1 must be VT_BSTR, not VT_I4"},
        {"cell text too long",
         [](Session& s) {
             tc::putText(tc::getPropertyI4(s.sheet, "Cells", 2, 1), "Value",
                         std::string(32768, 'a'));
         },
         "a cell holds at most 32767 characters"},
        {"marker size 1", [](Session& s) { putI4(s.series, "MarkerSize", 1); },
         "Series.MarkerSize: 1 is not a marker size (2 to 72)"},
        {"marker size 73", [](Session& s) { putI4(s.series, "MarkerSize", 73); },
         "Series.MarkerSize: 73 is not a marker size (2 to 72)"},
        {"marker size as 16-bit",
         [](Session& s) { tc::putProperty(s.series, "MarkerSize", Variant::i2(4)); },
         "Series.MarkerSize: argument 1 must be VT_I4, not VT_I2"},
        {"marker style 4", [](Session& s) { putI4(s.series, "MarkerStyle", 4); },
         "4 is not a marker style"},
        {"marker style 6", [](Session& s) { putI4(s.series, "MarkerStyle", 6); },
         "6 is not a marker style"},
        {"marker style 7", [](Session& s) { putI4(s.series, "MarkerStyle", 7); },
         "7 is not a marker style"},
        {"font size 0",
         [](Session& s) {
             putI4(tc::getProperty(
                       tc::getProperty(tc::callMethodI4(s.chart, "Axes", 1), "TickLabels"), "Font"),
                   "Size", 0);
         },
         "Font.Size: 0 is not a font size"},
        {"negative legend font size",
         [](Session& s) {
             putI4(tc::getProperty(tc::getProperty(s.chart, "Legend"), "Font"), "Size", -2);
         },
         "Font.Size: -2 is not a font size"},
        {"chart width 0", [](Session& s) { putI4(s.shape, "Width", 0); },
         "Shape.Width: 0 points is not a size the chart can have"},
        {"chart height -5", [](Session& s) { putI4(s.shape, "Height", -5); },
         "Shape.Height: -5 points is not a size the chart can have"},
        {"line weight as 32-bit integer",
         [](Session& s) {
             putI4(tc::getProperty(tc::getProperty(s.series, "Format"), "Line"), "Weight", 1);
         },
         "LineFormat.Weight: argument 1 must be VT_R4, not VT_I4"},
        {"negative line weight",
         [](Session& s) {
             tc::putR4(tc::getProperty(tc::getProperty(s.series, "Format"), "Line"), "Weight", -1);
         },
         "LineFormat.Weight: -1 is not a line weight"},
        {"colour out of range",
         [](Session& s) {
             tc::putUI4(
                 tc::getProperty(tc::getProperty(tc::getProperty(s.series, "Format"), "Fill"),
                                 "ForeColor"),
                 "RGB", 0x1000000);
         },
         "ColorFormat.RGB: 16777216 is not a colour"},
        {"visible as 32-bit integer",
         [](Session& s) { putI4(tc::getProperty(s.app, "Application"), "Visible", 1); },
         "Application.Visible: argument 1 must be VT_BOOL, not VT_I4"},
        {"sheet that does not exist",
         [](Session& s) { tc::getProperty(s.book, "Sheets", std::string("Sheet2")); },
         "Workbook.Sheets: the workbook has no sheet named 'Sheet2'"},
        {"chart type other than smooth scatter",
         [](Session& s) {
             tc::callMethodI4(tc::getProperty(s.sheet, "Shapes"), "AddChart2", 240, 4);
         },
         "Shapes.AddChart2: chart type 4 is not available"},
        {"values without '='",
         [](Session& s) { tc::putText(s.series, "Values", "Sheet1!$A$1:$A$2"); },
         "is not a reference to one row or column of cells"},
        {"values on another sheet",
         [](Session& s) { tc::putText(s.series, "Values", "=Sheet2!$A$1:$A$2"); },
         "is not a reference to one row or column of cells"},
        {"values of two columns",
         [](Session& s) { tc::putText(s.series, "XValues", "=Sheet1!$A$1:$B$3"); },
         "is not a reference to one row or column of cells"},
        {"name of two cells",
         [](Session& s) { tc::putText(s.series, "Name", "=Sheet1!$A$1:$A$2"); },
         "is not a reference to one cell"},
        {"axis title before it was made",
         [](Session& s) { tc::getProperty(tc::callMethodI4(s.chart, "Axes", 1, 1), "AxisTitle"); },
         "Axis.AxisTitle: the axis has no title"},
        {"secondary axis", [](Session& s) { tc::callMethodI4(s.chart, "Axes", 1, 2); },
         "Chart.Axes: the chart has no secondary axes"},
        {"unknown chart element", [](Session& s) { tc::callMethodI4(s.chart, "SetElement", 5); },
         "Chart.SetElement: 5 is not a chart element"},
        {"chart title after it was removed",
         [](Session& s) {
             tc::putBool(s.chart, "HasTitle", false);
             tc::getProperty(s.chart, "ChartTitle");
         },
         "Chart.ChartTitle: the chart has no title"},
        {"tick mark 1",
         [](Session& s) { putI4(tc::callMethodI4(s.chart, "Axes", 2), "MajorTickMark", 1); },
         "Axis.MajorTickMark: 1 is not a tick mark"},
        {"call on no object", [](Session&) { tc::getProperty(Variant(), "Cells"); },
         "Object required: 'Cells' was called on VT_EMPTY"},
        {"other server", [](Session& s) { s.host.createObject("Word.Application"); },
         "Invalid class string"},
    };
    for (const auto& c : cases) {
        Session s;
        try {
            c.call(s);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const tc::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
}

TEST(WorkbookHost, AcceptsTheLimitsThemselves) {
    Session s;
    EXPECT_NO_THROW(tc::putI4(s.series, "MarkerSize", 2));
    EXPECT_NO_THROW(tc::putI4(s.series, "MarkerSize", 72));
    for (int style : {1, 2, 3, 5, 8, 9, -4168, -4142, -4105})
        EXPECT_NO_THROW(tc::putI4(s.series, "MarkerStyle", style)) << style;
    EXPECT_NO_THROW(tc::putI4(s.shape, "Width", 1));
    EXPECT_NO_THROW(tc::getPropertyI4(s.sheet, "Cells", 1048576, 16384));
}

TEST(WorkbookHost, CellTextThatSpellsANumberIsStoredAsTheNumber) {
    const struct {
        char sep;
        const char* text;
        tc::CellGrid::Kind kind;
        double number;
    } cases[] = {
        {'.', "12", tc::CellGrid::Kind::Number, 12},
        {'.', "-3.25", tc::CellGrid::Kind::Number, -3.25},
        {'.', "1E-5", tc::CellGrid::Kind::Number, 1e-5},
        {'.', "0.333333333333333", tc::CellGrid::Kind::Number, 0.333333333333333},
        {'.', "1E15", tc::CellGrid::Kind::Number, 1e15},
        {'.', "0,5", tc::CellGrid::Kind::Text, 0},
        {',', "0,5", tc::CellGrid::Kind::Number, 0.5},
        {',', "0.5", tc::CellGrid::Kind::Text, 0},
        {'.', "Loop", tc::CellGrid::Kind::Text, 0},
        {'.', "NAN", tc::CellGrid::Kind::Text, 0},
        {'.', "", tc::CellGrid::Kind::Empty, 0},
    };
    for (const auto& c : cases) {
        Session s(c.sep);
        tc::SetCellText(s.sheet, 3, 2, "old");
        tc::SetCellText(s.sheet, 3, 2, c.text);
        const auto cell = s.cell(3, 2);
        EXPECT_EQ(cell.kind, c.kind) << c.text;
        if (c.kind == tc::CellGrid::Kind::Number) {
            EXPECT_EQ(cell.number, c.number) << c.text;
        }
        if (c.kind == tc::CellGrid::Kind::Text) {
            EXPECT_EQ(s.cells().text(cell), c.text);
        }
    }
}

TEST(WorkbookHost, MalformedUtf8BecomesReplacementCharacters) {
    Session s;
    tc::SetCellText(s.sheet, 1, 1,
                    "a\xFF"
                    "b\xC3");
    EXPECT_EQ(s.cells().text(s.cell(1, 1)), "a\xEF\xBF\xBD"
                                            "b\xEF\xBF\xBD");
    tc::SetCellText(s.sheet, 1, 2, "骨架 Ü");
    EXPECT_EQ(s.cells().text(s.cell(1, 2)), "骨架 Ü");
}

TEST(WorkbookHost, CellPositionsFollowTheDefaultGrid) {
    Session s;
    EXPECT_EQ(tc::GetCellLeft(s.sheet, 5, 3), 96);
    EXPECT_EQ(tc::GetCellTop(s.sheet, 5, 3), 60);
    EXPECT_EQ(tc::GetCellLeft(s.sheet, 1, 1), 0);
    EXPECT_EQ(tc::GetCellTop(s.sheet, 1, 1), 0);
    EXPECT_EQ(tc::GetCellLeft(s.sheet, 7, 2), 48);
    EXPECT_EQ(tc::GetCellTop(s.sheet, 7, 2), 90);
}

TEST(WorkbookHost, ResolvesNamesRegardlessOfCaseAndRecordsTheCallersSpelling) {
    auto log = std::make_shared<tc::CallLog>();
    Session s('.', log);
    log->clear();
    EXPECT_NO_THROW(tc::getProperty(s.app, "workbooks"));
    EXPECT_NO_THROW(tc::getProperty(s.app, "WorkBooks"));
    EXPECT_EQ(tc::test::described(*log), (std::vector<std::string>{"Application.workbooks get()",
                                                                   "Application.WorkBooks get()"}));
}

TEST(WorkbookHost, CellWritesSwitchToThirtyTwoBitsAboveRow32767) {
    auto log = std::make_shared<tc::CallLog>();
    Session s('.', log);
    log->clear();
    tc::SetCellText(s.sheet, 32767, 2, "1");
    tc::SetCellText(s.sheet, 32768, 2, "2");
    tc::SetCellText(s.sheet, 1048576, 16384, "3");
    EXPECT_EQ(
        tc::test::described(*log),
        (std::vector<std::string>{
            "Worksheet.Cells get(VT_I2 32767, VT_I2 2)", "Range.Value put(VT_BSTR \"1\")",
            "Worksheet.Cells get(VT_I4 32768, VT_I4 2)", "Range.Value put(VT_BSTR \"2\")",
            "Worksheet.Cells get(VT_I4 1048576, VT_I4 16384)", "Range.Value put(VT_BSTR \"3\")"}));
    EXPECT_EQ(s.cell(32768, 2).number, 2);
    EXPECT_EQ(s.cell(1048576, 16384).number, 3);
}

TEST(WorkbookHost, HeldCellsStayWhereTheyPoint) {
    Session s;
    const Variant a = tc::getPropertyI4(s.sheet, "Cells", 2, 1);
    const Variant b = tc::getPropertyI4(s.sheet, "Cells", 3, 1);
    tc::putText(a, "Value", "1");
    tc::putText(b, "Value", "2");
    EXPECT_EQ(s.cell(2, 1).number, 1);
    EXPECT_EQ(s.cell(3, 1).number, 2);
}

TEST(WorkbookHost, WrittenWorkbookIsClosed) {
    Session s;
    tc::SetCellText(s.sheet, 1, 1, "X");
    const std::string path = s.host.finishExport();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::path(path).filename(), "TarvelCurve_Book1.xlsx");
    EXPECT_THROW(tc::SetCellText(s.sheet, 1, 1, "X"), tc::Error);
    EXPECT_EQ(s.host.finishExport(), "") << "nothing left to write";
}

TEST(WorkbookHost, UniqueFileNamesAndUnwritableFolders) {
    tc::test::TempFolder folder;
    EXPECT_EQ(tc::createUniqueFile(folder.path(), "B", ".x").filename(), "B1.x");
    EXPECT_EQ(tc::createUniqueFile(folder.path(), "B", ".x").filename(), "B2.x");
    std::ofstream(folder.path() / "plain_file") << "x";
    try {
        tc::createUniqueFile(folder.path() / "plain_file", "B", ".x");
        ADD_FAILURE() << "a folder below a file was accepted";
    } catch (const tc::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create file"), std::string::npos) << e.what();
    }
}

// Names are UTF-8 text throughout; on Windows a narrow file name would be in the ANSI code page.
TEST(WorkbookHost, WorkbookGoesIntoAFolderWithAChineseName) {
    tc::test::TempFolder parent;
    const std::filesystem::path folder = parent.path() / std::filesystem::path(u8"试验 导出");
    EXPECT_EQ(tc::createUniqueFile(folder, "B", ".x"), folder / "B1.x");
    EXPECT_EQ(tc::createUniqueFile(folder, "B", ".x"), folder / "B2.x");
    std::ofstream(folder / "file") << "x";
    try {
        tc::createUniqueFile(folder / "file", "B", ".x");
        ADD_FAILURE() << "a folder below a file was accepted";
    } catch (const tc::Error& e) {
        EXPECT_NE(std::string(e.what()).find("试验 导出"), std::string::npos) << e.what();
    }

#ifdef __MINGW32__
    GTEST_SKIP() << "libxlsxwriter built with MinGW opens files by their ANSI name, not UTF-8";
#endif
    tc::WorkbookHost host(tc::test::recordingSettings(folder, nullptr));
    const Variant app = host.createObject("Excel.Application");
    const Variant book = tc::callMethod(tc::getProperty(app, "WorkBooks"), "Add");
    tc::SetCellText(tc::getProperty(book, "Sheets", std::string("Sheet1")), 1, 1, "X");
    const std::string path = host.finishExport();
    EXPECT_EQ(path, tc::utf8Path(folder / "TarvelCurve_Book1.xlsx"));
    EXPECT_NE(path.find("试验 导出"), std::string::npos) << path;
    EXPECT_GT(std::filesystem::file_size(folder / "TarvelCurve_Book1.xlsx"), 0u);
}

} // namespace
