#include "app/tform1.h"

// Skeleton extraction and the region tolerance filter.

void TForm1::btn5Click() {}
void TForm1::btn6Click() {}
