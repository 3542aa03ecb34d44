#include "app/donation_box.h"

#include "app/artwork.h"
#include "app/dialog_common.h"
#include "app/link_label.h"
#include "app/web_links.h"

#include <QPushButton>

using namespace tc::gui;
using dialogs::label;
using dialogs::tahoma;

TDonationBox::TDonationBox(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("DonationBox"));
    // A single border with the system menu only: no minimise, maximise or help buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Donation (捐助)"));
    setFont(tahoma(11));
    setFixedSize(651, 463);
    setModal(true);

    img1 = new PictureBox("img1", QRect(16, 14, 64, 64), art::paintProgramIcon, this);
    const QFont heading = tahoma(15, true);
    lbl1 =
        label(this, "lbl1", 96, 16, QStringLiteral("Tarvel Curve Analysis is free."), 0, &heading);
    lbl2 =
        label(this, "lbl2", 96, 42,
              QStringLiteral(
                  "If it saves you time with your test records, you can support its development."));
    const QFont bold = tahoma(11, true);
    lbl10 = label(this, "lbl10", 96, 64, QStringLiteral("Donation (捐助) :    "), 0, &bold);
    lbl11 = new LinkLabel(webSiteHost() + QStringLiteral("/donate"), donationUrl(), this);
    lbl11->setObjectName(QStringLiteral("lbl11"));
    lbl11->move(lbl10->geometry().right() + 1, 64);
    lbl11->adjustSize();

    const QString hint = QStringLiteral("Tarvel Curve Analysis - ") + webSiteHost();
    img2 = new PictureBox(
        "img2", QRect(16, 94, 300, 240),
        [](QPainter& p, const QRectF& r) {
            art::paintSampleChart(p, r, art::ChartStyle::LoopsAndSkeleton);
        },
        this);
    img3 = new PictureBox(
        "img3", QRect(335, 94, 300, 240),
        [](QPainter& p, const QRectF& r) {
            art::paintSampleChart(p, r, art::ChartStyle::SkeletonOnly);
        },
        this);
    for (PictureBox* img : {img2, img3}) {
        img->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        img->setToolTip(hint);
    }
    img4 = new PictureBox("img4", QRect(16, 346, 150, 104), art::paintThankYou, this);
    lbl3 = label(
        this, "lbl3", 184, 360,
        QStringLiteral("Every contribution keeps the program free and goes into new features,"));
    lbl4 = label(this, "lbl4", 184, 378,
                 QStringLiteral("more sample records and a better user guide."));
    lbl5 = label(this, "lbl5", 184, 404, QStringLiteral("感谢您的支持!"), 0, &bold);

    btn1 = new QPushButton(QStringLiteral("Close"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(560, 425, 75, 25);
    btn1->setDefault(true);
    connect(btn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TDonationBox::reject() {
    accept();
}
