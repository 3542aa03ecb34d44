#include "common/error.h"
#include "workspace/record_preview.h"
#include "workspace/sheet_table.h"
#include "workspace/workbook_reader.h"

#include <gtest/gtest.h>

namespace {

std::string book(const char* name) {
    return std::string(TC_TEST_DATA_DIR) + "/workbooks/" + name;
}

using V = std::vector<double>;

TEST(WorkbookReader, RecordsInEachFormat) {
    if (!tc::workbookReadersAvailable()) GTEST_SKIP() << "this build reads no workbooks";
    const struct {
        const char* file;
        int sheet;
        std::vector<std::string> sheets;
        std::vector<std::string> names, units;
        V disp, force;
        const char* warning;
        int badLine;
        size_t rows;
    } cases[] = {
        // A row left out of the sheet is an empty row: the reading stops there, cells follow.
        {"record.xlsx",
         0,
         {"Record", "Notes"},
         {"disp_mm", "force_kN"},
         {"mm", "kN"},
         V{0, 1.25, 2.5},
         V{0.5, -2000, -4000},
         "List index out of bounds (0)",
         5,
         6},
        // Repeated rows are written out; the filler of empty rows at the end is not.
        {"record.ods",
         1,
         {"Notes", "Record"},
         {"Disp (mm)", "Force (kN)"},
         {"mm", "kN"},
         V{0, 1.25, 1.25},
         V{0.5, -2000, -2000},
         "List index out of bounds (0)",
         5,
         5},
        {"record.xls",
         0,
         {"Record", "Notes"},
         {"disp_in", "force_kip"},
         {"in", "kip"},
         V{0, 1.25, 2.5},
         V{0.5, -2000, 7},
         "",
         0,
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const tc::WorkbookSheet w = tc::readWorkbook(book(c.file), c.sheet);
        EXPECT_EQ(w.sheetNames, c.sheets);
        EXPECT_EQ(w.table.name, c.sheets[static_cast<size_t>(c.sheet)]);
        EXPECT_EQ(w.table.rowCount(), c.rows);
        const tc::RecordPreview p = tc::previewSheet(w.table, {}, '.');
        EXPECT_EQ(p.suggestedBegin, 2);
        EXPECT_EQ(p.columnNames, c.names);
        EXPECT_EQ(p.columnUnits, c.units);
        const tc::RecordReadResult r = tc::readSheetRecord(w.table, 2, 1, '.', {});
        EXPECT_EQ(r.disp, c.disp);
        EXPECT_EQ(r.force, c.force);
        EXPECT_EQ(r.warning, c.warning);
        EXPECT_EQ(r.badLine, c.badLine);
        EXPECT_TRUE(tc::sheetHasNumbers(w.table, '.'));
    }
}

TEST(WorkbookReader, BadWorkbooksSayWhatIsWrongWithWhichFile) {
    if (!tc::workbookReadersAvailable()) GTEST_SKIP() << "this build reads no workbooks";
    const struct {
        const char* file;
        int sheet;
        const char* message;
    } cases[] = {
        {"renamed_text.xlsx", 0, "renamed_text.xlsx: the file is not an .xlsx workbook"},
        {"renamed_text.ods", 0, "renamed_text.ods: the file is not an .ods workbook"},
        {"renamed_text.xls", 0, "renamed_text.xls: the file is not an .xls workbook"},
        {"damaged.xlsx", 0, "damaged.xlsx: the workbook is damaged"},
        {"encrypted.xlsx", 0, "encrypted.xlsx: the workbook is password-protected"},
        {"encrypted.ods", 0, "encrypted.ods: the workbook is password-protected"},
        {"record.xlsx", 5, "record.xlsx: the workbook has no sheet 6 (it has 2)."},
        {"record.ods", 2, "record.ods: the workbook has no sheet 3 (it has 2)."},
        {"record.xls", 2, "record.xls: the workbook has no sheet 3 (it has 2)."},
        {"missing.xlsx", 0, "missing.xlsx: the file cannot be opened"},
        {"missing.xls", 0, "missing.xls: the file cannot be opened"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        try {
            tc::readWorkbook(book(c.file), c.sheet);
            ADD_FAILURE() << "no error";
        } catch (const tc::Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
    const tc::WorkbookSheet text = tc::readWorkbook(book("no_numbers.xlsx"), 0);
    EXPECT_FALSE(tc::sheetHasNumbers(text.table, '.'));
}

TEST(SheetRecord, SettingsAndWhereItStopped) {
    if (!tc::workbookReadersAvailable()) GTEST_SKIP() << "this build reads no workbooks";
    const tc::SheetTable t = tc::readWorkbook(book("record.xlsx"), 0).table;
    tc::ImportSettings s;
    s.disp = {2, 1, true};
    s.force = {1, 1000, false};
    const tc::RecordReadResult swapped = tc::readSheetRecord(t, 2, 2, '.', s);
    EXPECT_EQ(swapped.disp, (V{-0.5, 4000}));
    EXPECT_EQ(swapped.force, (V{0, 2500}));
    // A column beyond the last cell of the rows.
    s = {};
    s.force.column = 3;
    const tc::RecordReadResult beyond = tc::readSheetRecord(t, 2, 1, '.', s);
    EXPECT_EQ(beyond.warning, "List index out of bounds (2)");
    EXPECT_EQ(beyond.badLine, 2);
    EXPECT_EQ(tc::explainSheetStop(t, beyond, 2, "record.xlsx", 0).text,
              "Row 2 of record.xlsx, sheet \"Record\":\n0, 0.5\nRow 2 has no value in column 3.");
    // A header row at the begin line.
    const tc::RecordReadResult header = tc::readSheetRecord(t, 1, 1, '.', {});
    const tc::StopExplanation e = tc::explainSheetStop(t, header, 1, "record.xlsx", 2);
    EXPECT_TRUE(e.notANumber);
    EXPECT_EQ(e.text,
              "Row 1 of record.xlsx, sheet \"Record\":\ndisp_mm, force_kN\nThe row looks "
              "like a header: set F-D Curve Begin Line to 2, or use File \u2192 Import with "
              "Preview.");
}

TEST(WorkbookFormat, ByExtension) {
    EXPECT_EQ(tc::workbookFormatOfName("a/b.XLSX"), tc::WorkbookFormat::Xlsx);
    EXPECT_EQ(tc::workbookFormatOfName("b.ods"), tc::WorkbookFormat::Ods);
    EXPECT_EQ(tc::workbookFormatOfName("b.Xls"), tc::WorkbookFormat::Xls);
    EXPECT_EQ(tc::workbookFormatOfName("b.csv"), tc::WorkbookFormat::None);
    EXPECT_EQ(tc::workbookFormatOfName("xlsx"), tc::WorkbookFormat::None);
}

} // namespace
