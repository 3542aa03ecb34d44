#pragma once
// Starting the spreadsheet application and the operations on its worksheet that the chart export
// is built from. All go through the call primitives of automation.h.
#include "export/automation.h"

#include <cstdint>
#include <string>

namespace tc {

inline constexpr std::string_view kExcelProgId = "Excel.Application";

// Creates a new application object ("Excel.Application") with the host and stores it in excelApp;
// returns a copy. On any failure excelApp becomes null and null is returned; when failure is not
// null it receives the host's reason (for diagnostics; the user is shown a fixed message).
Variant CreateExcelApp(Variant& excelApp, AutomationHost& host, std::string* failure = nullptr);

// Makes the application visible: Application, then Visible = true.
void ShowExcelApp(const Variant& app);

// Position of a cell's left / top edge in points, rounded to an integer.
std::int32_t GetCellLeft(const Variant& sheet, std::int32_t row, std::int32_t column);
std::int32_t GetCellTop(const Variant& sheet, std::int32_t row, std::int32_t column);

// Chart style and type of the shape the export adds: scatter with smoothed lines and markers.
inline constexpr std::int32_t kExportChartStyle = 240;
inline constexpr std::int32_t kXlXYScatterSmooth = 72;

// Adds a scatter chart shape to the sheet and places it; returns the shape.
Variant AddChartShape(const Variant& sheet, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height);

// Writes text into one cell: Cells(row, column), then Value = text. Row and column travel as
// 16-bit integers while the row fits one (up to 32767) and as 32-bit integers beyond, so every
// row of a sheet can be written.
void SetCellText(const Variant& sheet, std::int32_t row, std::int32_t column, std::string text);

// Writes a number as its text (the one number-to-text rule, with the user's decimal separator).
void SetCellNumber(const Variant& sheet, std::int32_t row, std::int32_t column, double value,
                   char decimalSeparator);

} // namespace tc
