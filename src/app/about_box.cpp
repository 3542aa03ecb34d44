#include "app/about_box.h"

#include "app/artwork.h"
#include "app/dialog_common.h"
#include "app/link_label.h"
#include "app/web_links.h"

#include <QFrame>
#include <QPushButton>

using namespace tc::gui;
using dialogs::label;
using dialogs::tahoma;

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("About"));
    setFont(tahoma(11));
    setFixedSize(767, 602);
    setModal(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(8, 8, 751, 548);
    QWidget* p = Panel1;

    img1 = new PictureBox("img1", QRect(24, 20, 112, 112), art::paintProgramIcon, p);
    const QFont title = tahoma(22, true);
    const QFont subtitle = tahoma(19, true);
    lbl1 = label(p, "lbl1", 160, 24, QStringLiteral("滞回曲线骨架分析程序"), 560, &title);
    lbl2 =
        label(p, "lbl2", 160, 62, QStringLiteral("Tarvel Curve Analysis Program"), 560, &subtitle);
    lbl3 = label(p, "lbl3", 160, 98, QStringLiteral("Version: ") + programVersion());
    lbl4 = label(p, "lbl4", 160, 118, QStringLiteral("Author: ") + authorCredit());
    lbl5 = label(p, "lbl5", 160, 138, QStringLiteral("E-mail: ") + contactAddress());
    lbl7 = label(p, "lbl7", 160, 158, QStringLiteral("Web site:"));
    lbl6 = new LinkLabel(webSiteHost(), webSiteUrl(), p);
    lbl6->setObjectName(QStringLiteral("lbl6"));
    lbl6->move(lbl7->geometry().right() + 6, 158);
    lbl6->adjustSize();

    img2 = new PictureBox(
        "img2", QRect(24, 190, 346, 262),
        [](QPainter& painter, const QRectF& r) {
            art::paintSampleChart(painter, r, art::ChartStyle::LoopsAndSkeleton);
        },
        p);
    img2->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    img3 = new PictureBox("img3", QRect(381, 190, 346, 262), art::paintTestSetup, p);
    img3->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    lbl9 = new LinkLabel(
        QStringLiteral("Thank you for using Tarvel Curve Analysis! Examples, news and updates: ") +
            webSiteHost(),
        webSiteUrl(), p, false);
    lbl9->setObjectName(QStringLiteral("lbl9"));
    lbl9->move(24, 468);
    lbl9->adjustSize();
    lbl10 = label(p, "lbl10", 24, 492, QStringLiteral("Support the program:"));
    lbl11 = new LinkLabel(webSiteHost() + QStringLiteral("/donate"), donationUrl(), p);
    lbl11->setObjectName(QStringLiteral("lbl11"));
    lbl11->move(lbl10->geometry().right() + 6, 492);
    lbl11->adjustSize();
    lbl8 = label(p, "lbl8", 24, 518,
                 QStringLiteral("Free to use for research, teaching and practice. Check every "
                                "result before you rely on it."));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(346, 566, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::reject() {
    accept();
}
