#include "chart/node_value_form.h"

#include "common/text_number.h"
#include "ui/command.h"
#include "ui/qt_number.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TNodeValueForm::TNodeValueForm(const QString& what, const QString& xTitle, const QString& yTitle,
                               double x, double y, char decimalSeparator, QWidget* owner)
    : QDialog(owner), separator_(decimalSeparator), x_(x), y_(y) {
    setObjectName(QStringLiteral("NodeValueForm"));
    setWindowTitle(QStringLiteral("Node Coordinates"));
    setModal(true);

    lblNode = new QLabel(what, this);
    lblNode->setObjectName(QStringLiteral("lblNode"));
    edtNodeX = new QLineEdit(tc::gui::numberText(x, separator_), this);
    edtNodeX->setObjectName(QStringLiteral("edtNodeX"));
    edtNodeY = new QLineEdit(tc::gui::numberText(y, separator_), this);
    edtNodeY->setObjectName(QStringLiteral("edtNodeY"));
    for (QLineEdit* e : {edtNodeX, edtNodeY})
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    edtNodeX->selectAll();

    btnsNode = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnsNode->setObjectName(QStringLiteral("btnsNode"));
    connect(btnsNode, &QDialogButtonBox::accepted, this, &TNodeValueForm::accept);
    connect(btnsNode, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(xTitle, edtNodeX);
    fields->addRow(yTitle, edtNodeY);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNode);
    layout->addLayout(fields);
    layout->addWidget(btnsNode);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TNodeValueForm::accept() {
    double x = 0, y = 0;
    for (auto [edit, out] : {std::pair{edtNodeX, &x}, std::pair{edtNodeY, &y}}) {
        const std::string text = edit->text().toStdString();
        if (!tc::tryTextToDouble(text, *out, separator_)) {
            tc::gui::showWarning(
                this, QString::fromStdString(tc::invalidFloatMessage(tc::trimBlanks(text))));
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    x_ = x;
    y_ = y;
    QDialog::accept();
}
