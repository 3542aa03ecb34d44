#pragma once
#include <QDialog>

class LinkLabel;
class QFrame;
class QLabel;
class QPushButton;
class PictureBox;

// The program's version, as the about box and the report show it.
inline QString programVersion() {
    return QStringLiteral("2019.08.16");
}

// The about dialog: the program's names, version, authors and contact, three pictures and the
// links to the web site and the donation page. Fixed size; the close box works like OK.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner);

    QFrame* Panel1;
    QLabel *lbl1, *lbl2, *lbl3, *lbl4, *lbl5, *lbl7, *lbl8, *lbl10;
    LinkLabel *lbl6, *lbl9, *lbl11;
    PictureBox *img1, *img2, *img3;
    QPushButton* OKButton;

public slots:
    // Escape and the close box end the dialog as OK does.
    void reject() override;
};
