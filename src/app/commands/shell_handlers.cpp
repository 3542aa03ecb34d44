#include "app/about_box.h"
#include "app/donation_box.h"
#include "app/tform1.h"
#include "app/web_links.h"

// About and donation dialogs and the web links.

void TForm1::btn3Click() {
    showAboutBox();
}
void TForm1::HLAP1Click() {
    showAboutBox();
}
void TForm1::btn4Click() {
    showDonationBox();
}
void TForm1::mniDonation1Click() {
    showDonationBox();
}
void TForm1::Howtouse1Click() {
    tc::gui::openWebPage(tc::gui::userGuideUrl());
}
void TForm1::mniWebsite1Click() {
    tc::gui::openWebPage(tc::gui::webSiteUrl());
}

// Each opening makes a new dialog owned by this window; it is destroyed when it closes.
void TForm1::showAboutBox() {
    TAboutBox box(this);
    box.exec();
}

void TForm1::showDonationBox() {
    TDonationBox box(this);
    box.exec();
}
