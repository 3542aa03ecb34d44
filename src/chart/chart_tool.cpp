#include "chart/chart_tool.h"

#include "chart/chart_view.h"

ChartTool::ChartTool(ChartView* chart) : QObject(chart), chart_(chart) {
    chart->addTool(this);
}

bool ChartTool::mousePressed(QMouseEvent*) {
    return false;
}
void ChartTool::mouseMoved(QMouseEvent*, bool) {}
void ChartTool::mouseReleased(QMouseEvent*) {}
void ChartTool::mouseLeft() {}
