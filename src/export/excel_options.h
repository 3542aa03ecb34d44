#pragma once
#include "export/automation.h"

#include <cstdint>
#include <string>

namespace tc {

// How the chart export lays out the data and formats the spreadsheet chart. Held by the main
// window for its whole life, edited by the options dialog, read by every export.
struct ExcelExportOptions {
    Variant excelApp;             // the application of the last export; empty before the first one
    std::int32_t chartWidth = 0;  // points
    std::int32_t chartHeight = 0; // points
    bool showLegend = false;
    bool legendInLayout = false;
    bool showTitle = false;
    std::string titleText;
    bool showAxisLine = false;
    std::string xAxisPosition; // crossing value as typed; empty: leave the axis alone
    std::string yAxisPosition;
    bool showAxisTitle = false;
    std::string xAxisTitle;
    std::string yAxisTitle;
    std::int32_t tickLabelFontSize = 0;
    std::int32_t axisTitleFontSize = 0;
    std::int32_t legendFontSize = 0;
    bool showPlotAreaLine = false;
    float lineWeight = 0;             // points
    std::int32_t lineColorMode = 0;   // 0 automatic, 1 the colour of the plot's series
    std::int32_t markerColorMode = 0; // 0 automatic, 1 the colour of the plot's series
    bool showMarker = false;
    std::int32_t markerSize = 0;
    std::int32_t markerStyle = 0;    // spreadsheet marker style number
    std::int32_t combinedOutput = 0; // 0: a column pair and a chart series per plot series
};

// The defaults a fresh start shows: 300 x 450 points, legend shown (not in layout), no title
// ("Graph Title"), axis lines, titles "X Axis"/"Y Axis" and positions "-10000", font sizes 10,
// plot-area line, weight 0.5, automatic colours, circle markers (8) of size 4, single output.
void InitExcelExportOptions(ExcelExportOptions& options);

} // namespace tc
