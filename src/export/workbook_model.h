#pragma once
// The in-memory workbook that the workbook host builds and the .xlsx writer writes: plain data,
// in the object model's own terms (points, the spreadsheet program's colour and style numbers).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// A new sheet's grid: every column 48 points (64 pixels) wide, every row 15 points (20 pixels).
inline constexpr double kDefaultColumnWidthPt = 48;
inline constexpr double kDefaultRowHeightPt = 15;
inline constexpr std::int32_t kSheetRows = 1048576;
inline constexpr std::int32_t kSheetColumns = 16384;

// The cells of one sheet, column by column (a column is a run of rows from row 1).
class CellGrid {
public:
    enum class Kind : std::uint8_t { Empty, Number, Text };
    struct Cell {
        double number = 0;
        std::uint32_t text = 0; // index into texts()
        Kind kind = Kind::Empty;
    };

    void setNumber(std::int32_t row, std::int32_t column, double value);
    void setText(std::int32_t row, std::int32_t column, std::string text);
    void clear(std::int32_t row, std::int32_t column);

    // The cell, or an empty one.
    Cell at(std::int32_t row, std::int32_t column) const;
    const std::string& text(const Cell& c) const { return texts_[c.text]; }

    std::int32_t columnCount() const { return static_cast<std::int32_t>(columns_.size()); }
    const std::vector<Cell>& column(std::int32_t column) const { return columns_[column - 1]; }
    // Gives back the storage of one column (used by the writer once it has passed it on).
    void releaseColumn(std::int32_t column) { std::vector<Cell>().swap(columns_[column - 1]); }

private:
    Cell& slot(std::int32_t row, std::int32_t column);
    std::vector<std::vector<Cell>> columns_;
    std::vector<std::string> texts_;
};

// A cell or a one-column range on a named sheet, as a reference formula names it.
struct SheetRange {
    std::string sheet;
    std::int32_t firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
};

struct ColorModel {
    std::optional<std::uint32_t> rgb; // R + 256 G + 65536 B
    std::optional<std::int32_t> themeColor;
};

struct LineModel {
    std::optional<bool> visible;
    ColorModel color;
    std::optional<float> weight; // points
};

struct FillModel {
    std::optional<bool> visible;
    ColorModel color;
};

struct SeriesModel {
    std::optional<std::string> name;    // plain text
    std::optional<SheetRange> nameCell; // or a reference to the cell that holds it
    std::optional<SheetRange> xValues;
    std::optional<SheetRange> values;
    LineModel line;
    FillModel fill; // the marker fill
    std::optional<std::int32_t> markerStyle;
    std::optional<std::int32_t> markerSize;
};

struct AxisModel {
    bool hasTitle = false;
    std::string titleText = "Axis Title";
    std::optional<std::int32_t> titleFontSize;
    LineModel line;
    std::optional<std::int32_t> crossesAt;
    std::optional<std::int32_t> majorTickMark;
    std::optional<std::int32_t> tickLabelFontSize;
};

enum class LegendPosition { Bottom, Right };

struct LegendModel {
    bool visible = true;
    LegendPosition position = LegendPosition::Bottom;
    bool includeInLayout = true;
    std::optional<std::int32_t> fontSize;
};

struct ChartModel {
    std::int32_t style = 0;
    std::int32_t type = 0;
    // Shape position and size in points.
    double left = 0, top = 0, width = 360, height = 216;
    std::vector<std::shared_ptr<SeriesModel>> series;
    AxisModel xAxis; // category axis (type 1)
    AxisModel yAxis; // value axis (type 2)
    LegendModel legend;
    LineModel plotAreaLine;
    bool hasTitle = true;
    std::string titleText = "Chart Title";
};

struct WorksheetModel {
    std::string name;
    CellGrid cells;
    std::vector<std::shared_ptr<ChartModel>> charts; // in the order the shapes were added
};

struct WorkbookModel {
    std::string name; // Book1, Book2, ... within one application
    std::vector<std::shared_ptr<WorksheetModel>> sheets;
    bool written = false; // handed over to the writer; its cells are gone
};

} // namespace tc
