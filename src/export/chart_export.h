#pragma once
// Copying the plot's series into a new workbook with a formatted scatter chart.
#include "common/text_number.h"
#include "export/automation.h"
#include "export/excel_options.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// One series of the plot as the export reads it.
struct ChartSeriesSnapshot {
    std::string title;       // UTF-8
    std::uint32_t color = 0; // 0xRRGGBB, as the plot draws it (#FF0000 is red)
    std::vector<double> xs;  // X of every point, in point order
    std::vector<double> ys;  // Y of every point; as many as xs
};

// A series (single output) or all series together (combined output) can hold at most this many
// points: rows 2 to count + 1 hold them and the ranges reach row count + 2, the last row of a
// sheet.
inline constexpr std::size_t kMaxExportPoints = 1048574;

// The spreadsheet application could not be started. The caller shows message() in a message box
// captioned kCaption, with the information icon.
class ExcelStartError : public Error {
public:
    static constexpr const char* kMessage = "创建Excel文件出错, 请确认本机是否安装了MS-EXCEL.";
    static constexpr const char* kCaption = "错误";
    ExcelStartError() : Error(kMessage) {}
};

// The export stopped half-way with what() as its message (an automation call that was refused,
// an axis position that is not a number, ...). What it had done stays: on the workbook host that
// was written to workbookPath().
class ExcelExportError : public Error {
public:
    ExcelExportError(const std::string& message, std::string workbookPath)
        : Error(message), workbookPath_(std::move(workbookPath)) {}
    const std::string& workbookPath() const { return workbookPath_; }

private:
    std::string workbookPath_;
};

struct ExcelExportResult {
    // The .xlsx file the workbook host wrote; empty on the COM host, whose workbook stays open,
    // unsaved, in the visible spreadsheet program.
    std::string workbookPath;
};

// Names the Excel series after its title cell and points it at its X and Y ranges.
void SetSeriesSource(const Variant& excelSeries, std::string name, std::string xReference,
                     std::string yReference);

// Applies the series options: line colour, markers, marker colour, line weight. color is the
// plot series' colour, 0xRRGGBB; without one the colour options have nothing to apply.
void FormatExcelSeries(const Variant& excelSeries, std::optional<std::uint32_t> color,
                       const ExcelExportOptions& options);

// The plot colour 0xRRGGBB as the object model's RGB value R + 256 G + 65536 B.
std::uint32_t excelRgb(std::uint32_t rrggbb);

// Writes every series into the sheet "Sheet1" of a new workbook and builds a scatter chart on
// it formatted by the options. options.excelApp is replaced by the new application.
// Throws Error before anything is started when a series (single output) or all series together
// (combined output) have more than kMaxExportPoints points, or when a series has not as many Y
// as X values; ExcelStartError when the host or the application cannot be created;
// ExcelExportError when the export stops half-way.
// progress hears how far the export is, now and then; when it says stop, the export throws
// Cancelled and writes nothing (the workbook host leaves no file behind).
ExcelExportResult ExportChartToExcel(const std::vector<ChartSeriesSnapshot>& series,
                                     ExcelExportOptions& options, char decimalSeparator,
                                     const AutomationHostFactory& hostFactory,
                                     const WorkProgress& progress = {});

} // namespace tc
