// "Save Chart Image...": the chart as a PNG or PDF file at a size the user chooses.
#include "app/tform1.h"
#include "chart/chart_image.h"
#include "chart/chart_view.h"

#include <QFileDialog>

void TForm1::SaveChartImage1Click() {
    // In the folder of the result files at first, then where the last image went.
    askAndSaveChartImage(cht1, dlgSaveImage1, this, QStringLiteral("dlgSaveImage1"),
                         dlgSave1->directory().absolutePath(), QStringLiteral("chart"));
}
