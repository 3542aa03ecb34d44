#include "app/tform1.h"

// Text, CSV and workbook export commands, and the export options.

void TForm1::ExportModifiedLoop1Click() {}
void TForm1::ExportResults1Click() {}
void TForm1::btn7Click() { ExportResults1Click(); }
void TForm1::btn8Click() {}
void TForm1::ExportDraw12Excel1Click() {}
void TForm1::ExcelExportOptions1Click() {}
