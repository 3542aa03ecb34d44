// The workbook file's number cells, written beside libxlsxwriter's text cells: the same parts as
// libxlsxwriter makes when it writes every cell itself; the compression of large parts on two
// threads; an export stopped from its progress.
#include "export/chart_export.h"
#include "export/part_deflate.h"
#include "export/sheet_part.h"
#include "export/workbook_host.h"
#include "export/xlsx_writer.h"
#include "export_test_support.h"
#include "xlsx_zip.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zlib.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// The number text

std::string printed(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.16G", v);
    return buf;
}

std::string numberText(double v) {
    char buf[tc::kSheetNumberTextMax];
    return {buf, tc::sheetNumberText(v, buf)};
}

TEST(SheetNumberText, IsWhatPrintfWritesForHardValues) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {0,
                             -0.0,
                             1,
                             -1,
                             0.1,
                             0.1 + 0.2,
                             1.0 / 3,
                             2.0 / 3,
                             -19.9919,
                             0.000442,
                             1e-4,
                             9.99999999999999e-5,
                             1e-5,
                             123456.789,
                             1e15,
                             999999999999999.9,
                             9999999999999998,
                             1e16,
                             1e16 + 2,
                             123456789012345678.0,
                             1e21,
                             -1e21,
                             1e22,
                             9.999999999999999e22,
                             1e-300,
                             -1e-300,
                             5e-324,
                             DBL_MIN,
                             DBL_MAX,
                             -DBL_MAX,
                             9007199254740993.0,
                             0.5,
                             2.5,
                             9.5,
                             1.0000000000000002,
                             0.9999999999999999,
                             4.35,
                             inf,
                             -inf,
                             nan};
    for (const double v : values)
        EXPECT_EQ(numberText(v), printed(v)) << "value " << printed(v);
}

TEST(SheetNumberText, IsWhatPrintfWritesForRandomBitPatterns) {
    std::mt19937_64 bits(20261209);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t b = bits();
        double v;
        std::memcpy(&v, &b, sizeof v);
        // How printf shows a NaN whose sign bit is set differs between C libraries ("-NAN" in
        // glibc's, "NAN" in MinGW's); sheets never hold one, the host refuses what is not finite.
        if (std::isnan(v) && std::signbit(v)) continue;
        ASSERT_EQ(numberText(v), printed(v)) << "bits " << b;
    }
}

// ---------------------------------------------------------------------------------------------
// The sheet parts against libxlsxwriter's own

// A cell of a sheet to write: a number or a text.
struct Entry {
    Entry(std::int32_t r, std::int32_t c, double v) : row(r), column(c), number(v) {}
    Entry(std::int32_t r, std::int32_t c, const char* t)
        : row(r), column(c), isText(true), text(t) {}
    std::int32_t row, column;
    bool isText = false;
    double number = 0;
    std::string text;
};
using Sheet = std::vector<Entry>;

tc::WorkbookModel modelOf(const std::vector<Sheet>& sheets) {
    tc::WorkbookModel book;
    for (size_t s = 0; s < sheets.size(); ++s) {
        auto sheet = std::make_shared<tc::WorksheetModel>();
        sheet->name = "Sheet" + std::to_string(s + 1);
        for (const Entry& e : sheets[s]) {
            if (e.isText)
                sheet->cells.setText(e.row, e.column, e.text);
            else
                sheet->cells.setNumber(e.row, e.column, e.number);
        }
        book.sheets.push_back(sheet);
    }
    return book;
}

// The file libxlsxwriter writes when it is given every cell itself, column by column.
void writeWithTheLibraryAlone(const tc::WorkbookModel& book, const fs::path& path) {
    lxw_workbook* wb = workbook_new(path.string().c_str());
    ASSERT_NE(wb, nullptr);
    for (const auto& sheet : book.sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheet->name.c_str());
        const tc::CellGrid& cells = sheet->cells;
        for (std::int32_t c = 1; c <= cells.columnCount(); ++c)
            for (size_t r = 0; r < cells.column(c).size(); ++r) {
                const auto& cell = cells.column(c)[r];
                const auto row = static_cast<lxw_row_t>(r);
                const auto col = static_cast<lxw_col_t>(c - 1);
                lxw_error e = LXW_NO_ERROR;
                if (cell.kind == tc::CellGrid::Kind::Number)
                    e = worksheet_write_number(ws, row, col, cell.number, nullptr);
                else if (cell.kind == tc::CellGrid::Kind::Text)
                    e = worksheet_write_string(ws, row, col, cells.text(cell).c_str(), nullptr);
                ASSERT_EQ(e, LXW_NO_ERROR);
            }
    }
    ASSERT_EQ(workbook_close(wb), 0);
}

std::optional<std::string> partOf(const std::string& zip, const std::string& name) {
    try {
        return tc::test::zipMember(zip, name);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

Sheet exportLayout(std::int32_t longRows) {
    Sheet s{{1, 1, "X"}, {1, 2, "Point1"}, {1, 3, "X"}, {1, 4, "Loop"}};
    for (std::int32_t r = 2; r <= 4; ++r)
        s.push_back({r, 1, r * 1.0}), s.push_back({r, 2, r + 3.0});
    for (std::int32_t r = 2; r <= longRows; ++r)
        s.push_back({r, 3, std::sin(r) * 20}), s.push_back({r, 4, std::cos(r * 0.37) / 7});
    return s;
}

Sheet randomColumns(std::int32_t columns, std::int32_t rows) {
    std::mt19937 g(7);
    std::uniform_real_distribution<double> d(-1e3, 1e3);
    Sheet s;
    for (std::int32_t c = 1; c <= columns; ++c)
        for (std::int32_t r = 1; r <= rows - c; ++r)
            s.push_back({r, c, std::round(d(g) * 1e4) / 1e4});
    return s;
}

TEST(WorkbookWriter, PartsAreThoseTheLibraryWritesWithEveryCell) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* what;
        std::vector<Sheet> sheets;
    } cases[] = {
        {"one number in A1", {{{1, 1, 3.5}}}},
        {"one number away from A1", {{{7, 3, -2.0}}}},
        {"a column of numbers", {{{1, 1, 1.0}, {2, 1, 2.0}, {3, 1, 3.0}, {4, 1, 4.0}}}},
        {"the export's layout", {exportLayout(60)}},
        {"gaps, rows past 16, a far column",
         {{{1, 1, "head"},
           {3, 1, 1.0},
           {20, 3, 2.0},
           {33, 6, 3.0},
           {17, 2, "mid"},
           {40, 4, 4.0},
           {5, 30, 5.0},
           {16, 1, 6.0},
           {5000, 1, "far down"},
           {5001, 2, 7.0}}}},
        {"empty text and repeated texts",
         {{{1, 1, "X"},
           {1, 2, ""},
           {1, 3, "X"},
           {2, 4, "Y"},
           {2, 1, 1.5},
           {3, 2, 2.5},
           {1, 5, "X"},
           {3, 4, "Y"},
           {4, 2, ""}}}},
        {"text alone in a row after the numbers",
         {{{2, 1, 1.0}, {3, 1, 2.0}, {10, 1, 3.0}, {12, 3, "end"}}}},
        {"hard numbers",
         {{{1, 1, -1.0},
           {2, 1, 1e-300},
           {3, 1, 1e21},
           {4, 1, -0.0},
           {5, 1, 5e-324},
           {6, 1, DBL_MAX},
           {7, 1, 0.1 + 0.2},
           {8, 1, 1.0 / 3},
           {9, 1, 1e16},
           {10, 1, 1e-5},
           {11, 1, 123456789e9},
           {12, 1, -1e-4},
           {13, 1, inf},
           {14, 1, -inf},
           {15, 1, std::nan("")},
           {16, 1, 1e15},
           {17, 1, -123.456}}}},
        {"more rows than one piece, on two threads", {randomColumns(3, 20000)}},
        {"the export's layout past several pieces", {exportLayout(30000)}},
        {"text only", {{{1, 1, "a"}, {2, 2, "b"}}}},
        {"nothing at all", {{}}},
        {"two sheets, numbers on the second",
         {{{1, 1, "first"}}, {{1, 1, "second"}, {2, 1, 1.0}, {3, 2, 2.0}}}},
        {"two sheets, numbers on both", {exportLayout(100), randomColumns(2, 9000)}},
    };
    const std::vector<std::string> names = {"[Content_Types].xml",     "docProps/app.xml",
                                            "xl/workbook.xml",         "xl/_rels/workbook.xml.rels",
                                            "xl/styles.xml",           "xl/sharedStrings.xml",
                                            "xl/theme/theme1.xml",     "xl/worksheets/sheet1.xml",
                                            "xl/worksheets/sheet2.xml"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tc::test::TempFolder folder;
        const fs::path ours = folder.path() / "ours.xlsx", theirs = folder.path() / "theirs.xlsx";
        tc::WorkbookModel book = modelOf(c.sheets), reference = modelOf(c.sheets);
        writeWithTheLibraryAlone(reference, theirs);
        tc::writeWorkbookXlsx(book, ours);
        const std::string a = tc::test::readWholeFile(ours.string()),
                          b = tc::test::readWholeFile(theirs.string());
        for (const std::string& name : names) {
            const auto mine = partOf(a, name), its = partOf(b, name);
            ASSERT_EQ(mine.has_value(), its.has_value()) << name;
            if (!mine) continue;
            EXPECT_TRUE(*mine == *its) << name << "\nours:   " << mine->substr(0, 2000)
                                       << "\ntheirs: " << its->substr(0, 2000);
        }
    }
}

TEST(WorkbookWriter, NumberOutsideTheSheetIsRefusedAsTheLibraryRefusesIt) {
    tc::test::TempFolder folder;
    tc::WorkbookModel book = modelOf({{{1, 1, "X"}}});
    book.sheets[0]->cells.setNumber(tc::kSheetRows + 1, 1, 1.0);
    const fs::path path = folder.path() / "b.xlsx";
    try {
        tc::writeWorkbookXlsx(book, path);
        ADD_FAILURE() << "a number below the last row was written";
    } catch (const tc::Error& e) {
        EXPECT_NE(std::string(e.what()).find(lxw_strerror(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE)),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(path));
}

// ---------------------------------------------------------------------------------------------
// Compression on two threads

std::string inflated(const std::string& raw, size_t size) {
    std::string out(size, '\0');
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size() + (size == 0)); // room to see the end
    const int rc = inflate(&z, Z_FINISH);
    EXPECT_EQ(rc, Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u) << "bytes after the end of the stream";
    EXPECT_EQ(z.total_out, size);
    inflateEnd(&z);
    return out;
}

std::string randomText(size_t n, unsigned seed) {
    std::mt19937 g(seed);
    std::string s(n, ' ');
    for (char& c : s)
        c = static_cast<char>('0' + g() % 12);
    return s;
}

TEST(PartDeflate, InflatesToThePiecesInOrder) {
    const std::string repeated = [] {
        std::string s;
        for (int i = 0; i < 40000; ++i)
            s += "<c r=\"A" + std::to_string(i) + "\"><v>" + std::to_string(i % 97) + "</v></c>";
        return s;
    }();
    const struct {
        const char* what;
        std::vector<std::string> pieces;
    } cases[] = {
        {"no piece", {}},
        {"one empty piece", {""}},
        {"one piece", {"abc"}},
        {"two empty pieces", {"", ""}},
        {"two short pieces", {"a", "b"}},
        {"three pieces, the middle one empty", {"first", "", "third"}},
        {"pieces shorter than the window", {"x", "yy", "zzz", "wwww", "v"}},
        {"random pieces",
         {randomText(100000, 1), randomText(70000, 2), randomText(5, 3), randomText(200000, 4),
          randomText(1, 5), randomText(90000, 6), randomText(40000, 7)}},
        {"repeated text that refers back across the halves",
         {repeated, repeated, repeated, repeated}},
        {"many small pieces", std::vector<std::string>(301, "<row r=\"1\" spans=\"1:2\">")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string whole;
        for (const auto& p : c.pieces)
            whole += p;
        const auto piece = [&](size_t i, std::string& out) { out += c.pieces.at(i); };
        const tc::DeflatedPart part = tc::deflatePieces(c.pieces.size(), piece, {});
        EXPECT_EQ(part.size, whole.size());
        EXPECT_EQ(part.crc, crc32(0, reinterpret_cast<const Bytef*>(whole.data()),
                                  static_cast<uInt>(whole.size())));
        EXPECT_TRUE(inflated(part.data, whole.size()) == whole);
        EXPECT_TRUE(tc::deflatePieces(c.pieces.size(), piece, {}).data == part.data)
            << "the same bytes every time";
    }
}

TEST(PartDeflate, ProgressComesFromTheCallingThreadAndReachesTheEnd) {
    std::vector<double> seen;
    const auto caller = std::this_thread::get_id();
    bool otherThread = false;
    const auto piece = [](size_t i, std::string& out) { out += randomText(50000, unsigned(i)); };
    tc::deflatePieces(12, piece, [&](double f) {
        otherThread = otherThread || std::this_thread::get_id() != caller;
        seen.push_back(f);
        return true;
    });
    EXPECT_FALSE(otherThread);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);
}

TEST(PartDeflate, StopsWhenTheProgressSaysSoAndPassesOnTheSecondHalfsFailure) {
    const auto piece = [](size_t i, std::string& out) { out += randomText(20000, unsigned(i)); };
    EXPECT_THROW(tc::deflatePieces(10, piece, [](double) { return false; }), tc::Cancelled);
    EXPECT_THROW(tc::deflatePieces(1, piece, [](double) { return false; }), tc::Cancelled);

    const auto failing = [](size_t i, std::string& out) {
        if (i == 8) throw std::runtime_error("piece 8");
        out += randomText(20000, unsigned(i));
    };
    try {
        tc::deflatePieces(10, failing, {});
        ADD_FAILURE() << "the failure of a piece was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "piece 8");
    }
}

// ---------------------------------------------------------------------------------------------
// Cancelling

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.push_back(e.path());
    return out;
}

TEST(WorkbookWriter, CancelledWritingLeavesTheTargetAsItWas) {
    for (const bool existed : {false, true}) {
        SCOPED_TRACE(existed ? "over an existing file" : "a new file");
        tc::test::TempFolder folder;
        const fs::path path = folder.path() / "b.xlsx";
        if (existed) std::ofstream(path) << "before";
        tc::WorkbookModel book = modelOf({exportLayout(20000)});
        int calls = 0;
        EXPECT_THROW(tc::writeWorkbookXlsx(book, path, [&](double) { return ++calls < 3; }),
                     tc::Cancelled);
        EXPECT_EQ(calls, 3);
        if (existed) {
            EXPECT_EQ(filesIn(folder.path()), std::vector<fs::path>{path});
            EXPECT_EQ(tc::test::readWholeFile(path.string()), "before");
        } else {
            EXPECT_EQ(filesIn(folder.path()), std::vector<fs::path>{});
        }
    }
}

std::vector<tc::ChartSeriesSnapshot> longChart() {
    std::vector<double> xs(60000), ys(60000);
    for (size_t i = 0; i < xs.size(); ++i)
        xs[i] = std::sin(i * 0.01) * 10, ys[i] = std::round(std::cos(i * 0.013) * 1e5) / 1e3;
    return {{"Loop", 0x000000, xs, ys}, {"Point1", 0xFFFF00, {1, 2}, {3, 4}}};
}

TEST(ChartExport, CancelledExportLeavesNoFile) {
    const struct {
        const char* what;
        double stopAt; // the first share done that the progress refuses
    } cases[] = {{"at the first report", 0},
                 {"while the cells are made", 0.2},
                 {"while the file is written", 0.5},
                 {"at the very end", 1.0}};
    const auto chart = longChart();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tc::test::TempFolder folder;
        auto options = tc::test::defaultOptions();
        double last = -1;
        EXPECT_THROW(tc::ExportChartToExcel(chart, options, '.',
                                            tc::test::workbookFileHostFactory(folder.path()),
                                            [&](double f) {
                                                last = f;
                                                return f < c.stopAt;
                                            }),
                     tc::Cancelled);
        EXPECT_GE(last, c.stopAt);
        EXPECT_EQ(filesIn(folder.path()), std::vector<fs::path>{});
    }
}

TEST(ChartExport, ProgressRisesToTheEndOfAFinishedExport) {
    tc::test::TempFolder folder;
    auto options = tc::test::defaultOptions();
    std::vector<double> seen;
    const auto result = tc::ExportChartToExcel(
        longChart(), options, '.', tc::test::workbookFileHostFactory(folder.path()), [&](double f) {
            seen.push_back(f);
            return true;
        });
    EXPECT_TRUE(fs::exists(result.workbookPath));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LT(seen.front(), 0.3) << "the cells report before the writing";
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);
}

} // namespace
