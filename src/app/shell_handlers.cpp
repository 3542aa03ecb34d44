#include "app/tform1.h"

// About and donation dialogs and the web links.

void TForm1::btn3Click() { showAboutBox(); }
void TForm1::HLAP1Click() { showAboutBox(); }
void TForm1::btn4Click() { showDonationBox(); }
void TForm1::mniDonation1Click() { showDonationBox(); }
void TForm1::Howtouse1Click() {}
void TForm1::mniWebsite1Click() {}
void TForm1::showAboutBox() {}
void TForm1::showDonationBox() {}
