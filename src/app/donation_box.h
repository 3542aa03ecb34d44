#pragma once
#include <QDialog>

class LinkLabel;
class QLabel;
class QPushButton;
class PictureBox;

// The donation dialog: four pictures, the donation-page link and a Close button. Fixed size,
// only the system menu in its title bar.
class TDonationBox : public QDialog {
    Q_OBJECT
public:
    explicit TDonationBox(QWidget* owner);

    QLabel *lbl1, *lbl2, *lbl3, *lbl4, *lbl5, *lbl10;
    LinkLabel* lbl11;
    PictureBox *img1, *img2, *img3, *img4;
    QPushButton* btn1;

public slots:
    // Escape and the close box end the dialog as Close does.
    void reject() override;
};
