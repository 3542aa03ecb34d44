#pragma once
#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// The small dialog of a double click on a point under drag node: the point's exact displacement
// and force, typed. OK accepts only two valid numbers; a bad one is named in a warning and the
// dialog stays open with the text as typed.
class TNodeValueForm : public QDialog {
    Q_OBJECT
public:
    // `what` names the point ("Tarvel_Positive, point 3"); the fields start at its coordinates,
    // written by the program's number rule; the labels are the axes' titles.
    TNodeValueForm(const QString& what, const QString& xTitle, const QString& yTitle, double x,
                   double y, char decimalSeparator, QWidget* owner);

    // The accepted values.
    double xValue() const { return x_; }
    double yValue() const { return y_; }

    QLabel* lblNode;
    QLineEdit *edtNodeX, *edtNodeY;
    QDialogButtonBox* btnsNode;

public slots:
    void accept() override;

private:
    char separator_;
    double x_, y_;
};
