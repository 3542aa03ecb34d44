#include "results/results_form.h"

#include "ui/qt_number.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// A results table for a view: cells become text only when the view shows them, so a record of
// many thousands of loops refreshes at once.
class ResultTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(tc::ResultTable table, char decimalSeparator) {
        beginResetModel();
        table_ = std::move(table);
        separator_ = decimalSeparator;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.header.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const auto& row = table_.rows[static_cast<size_t>(index.row())];
        if (static_cast<size_t>(index.column()) >= row.size()) return {};
        const tc::ResultCell& cell = row[static_cast<size_t>(index.column())];
        if (role == Qt::DisplayRole) return QString::fromStdString(tc::cellText(cell, separator_));
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(cell.number || cell.text == "--"
                                           ? Qt::AlignRight | Qt::AlignVCenter
                                           : Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole ||
            static_cast<size_t>(section) >= table_.header.size())
            return {};
        return QString::fromStdString(table_.header[static_cast<size_t>(section)]);
    }

private:
    tc::ResultTable table_;
    char separator_ = '.';
};

namespace {

QTableView* table(QWidget* parent, const char* name, ResultTableModel* model) {
    auto* t = new QTableView(parent);
    t->setObjectName(QLatin1String(name));
    t->setModel(model);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectItems);
    t->setAlternatingRowColors(true);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setResizeContentsPrecision(200); // widths from the first rows only
    return t;
}

} // namespace

TResultsForm::TResultsForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ResultsForm"));
    setWindowTitle(QStringLiteral("Engineering Results"));
    setModal(false);
    setSizeGripEnabled(true);
    resize(1000, 640);

    cbbYieldMethod = new QComboBox(this);
    cbbYieldMethod->setObjectName(QStringLiteral("cbbYieldMethod"));
    for (int m = 0; m < tc::kYieldMethodCount; ++m)
        cbbYieldMethod->addItem(
            QString::fromStdString(tc::yieldMethodName(static_cast<tc::YieldMethod>(m))));
    auto* methodLabel = new QLabel(QStringLiteral("Yield point by:"), this);
    methodLabel->setBuddy(cbbYieldMethod);

    loopsModel_ = new ResultTableModel(this);
    skeletonModel_ = new ResultTableModel(this);
    tblLoops = table(this, "tblLoops", loopsModel_);
    tblSkeleton = table(this, "tblSkeleton", skeletonModel_);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));

    btnExportResults = new QPushButton(QStringLiteral("Export..."), this);
    btnExportResults->setObjectName(QStringLiteral("btnExportResults"));
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    btnExportResults->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(methodLabel);
    top->addWidget(cbbYieldMethod);
    top->addStretch();
    top->addWidget(lblSummary);

    auto* loopsBox = new QWidget(this);
    auto* loopsLayout = new QVBoxLayout(loopsBox);
    loopsLayout->setContentsMargins(0, 0, 0, 0);
    loopsLayout->addWidget(new QLabel(QStringLiteral("Loops"), loopsBox));
    loopsLayout->addWidget(tblLoops);
    auto* skeletonBox = new QWidget(this);
    auto* skeletonLayout = new QVBoxLayout(skeletonBox);
    skeletonLayout->setContentsMargins(0, 0, 0, 0);
    skeletonLayout->addWidget(new QLabel(QStringLiteral("Skeleton curves"), skeletonBox));
    skeletonLayout->addWidget(tblSkeleton);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(loopsBox);
    split->addWidget(skeletonBox);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnExportResults);
    buttons->addWidget(btnClose);

    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addWidget(split, 1);
    box->addLayout(buttons);

    connect(cbbYieldMethod, &QComboBox::activated, this, &TResultsForm::yieldMethodChanged);
    connect(btnExportResults, &QPushButton::clicked, this, &TResultsForm::exportClicked);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

void TResultsForm::showResults(const tc::EngineeringResults& results, char decimalSeparator) {
    loopsModel_->setTable(tc::loopTable(results.loops), decimalSeparator);
    skeletonModel_->setTable(tc::skeletonTable(results), decimalSeparator);
    tblLoops->resizeColumnsToContents();
    tblSkeleton->resizeColumnsToContents();
    const double total = results.loops.empty() ? 0 : results.loops.back().cumulativeEnergy;
    lblSummary->setText(results.loops.empty()
                            ? QStringLiteral("No analysed loops")
                            : QStringLiteral("%1 loops, total energy %2")
                                  .arg(results.loops.size())
                                  .arg(tc::gui::numberText(total, decimalSeparator)));
}

tc::YieldMethod TResultsForm::yieldMethod() const {
    return static_cast<tc::YieldMethod>(std::max(0, cbbYieldMethod->currentIndex()));
}

void TResultsForm::setYieldMethod(tc::YieldMethod method) {
    cbbYieldMethod->setCurrentIndex(static_cast<int>(method));
}

void TResultsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    emit shownChanged(true);
}

void TResultsForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    emit shownChanged(false);
}
