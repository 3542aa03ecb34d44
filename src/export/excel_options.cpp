#include "export/excel_options.h"

namespace tc {

void InitExcelExportOptions(ExcelExportOptions& o) {
    o.excelApp = Variant();
    o.chartWidth = 300;
    o.chartHeight = 450;
    o.showLegend = true;
    o.legendInLayout = false;
    o.showTitle = false;
    o.titleText = "Graph Title";
    o.showAxisLine = true;
    o.xAxisPosition = "-10000";
    o.yAxisPosition = "-10000";
    o.showAxisTitle = true;
    o.xAxisTitle = "X Axis";
    o.yAxisTitle = "Y Axis";
    o.tickLabelFontSize = 10;
    o.axisTitleFontSize = 10;
    o.legendFontSize = 10;
    o.showPlotAreaLine = true;
    o.lineWeight = 0.5f;
    o.lineColorMode = 0;
    o.markerColorMode = 0;
    o.showMarker = true;
    o.markerSize = 4;
    o.markerStyle = 8;
    o.combinedOutput = 0;
}

} // namespace tc
