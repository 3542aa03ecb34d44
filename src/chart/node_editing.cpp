#include "app/tform1.h"

// Node editing on the chart: choosing the operation and the curve, dragging, adding and deleting
// points.

void TForm1::cbb3Change() {}
void TForm1::cbb2Change() {}
void TForm1::applyEditState(int, ChartSeries*) {}
void TForm1::drgpntlChartTool1Drag(int) {}
void TForm1::cht1DblClick() {}
