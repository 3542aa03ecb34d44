#include "results/results_form.h"

#include "export/number_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QTableWidget* table(QWidget* parent, const char* name) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(QLatin1String(name));
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectItems);
    t->setAlternatingRowColors(true);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    return t;
}

void fill(QTableWidget* w, const tc::ResultTable& t, char decimalSeparator) {
    w->setUpdatesEnabled(false);
    w->clear();
    w->setColumnCount(static_cast<int>(t.header.size()));
    w->setRowCount(static_cast<int>(t.rows.size()));
    QStringList header;
    for (const auto& h : t.header)
        header << QString::fromStdString(h);
    w->setHorizontalHeaderLabels(header);
    for (int r = 0; r < static_cast<int>(t.rows.size()); ++r) {
        const auto& row = t.rows[static_cast<size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c) {
            const tc::ResultCell& cell = row[static_cast<size_t>(c)];
            auto* item =
                new QTableWidgetItem(QString::fromStdString(tc::cellText(cell, decimalSeparator)));
            item->setTextAlignment(cell.number || cell.text == "--"
                                       ? Qt::AlignRight | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
            w->setItem(r, c, item);
        }
    }
    w->resizeColumnsToContents();
    w->setUpdatesEnabled(true);
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

    tblLoops = table(this, "tblLoops");
    tblSkeleton = table(this, "tblSkeleton");
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
    fill(tblLoops, tc::loopTable(results.loops), decimalSeparator);
    fill(tblSkeleton, tc::skeletonTable(results), decimalSeparator);
    const double total = results.loops.empty() ? 0 : results.loops.back().cumulativeEnergy;
    lblSummary->setText(
        results.loops.empty()
            ? QStringLiteral("No analysed loops")
            : QStringLiteral("%1 loops, total energy %2")
                  .arg(results.loops.size())
                  .arg(QString::fromStdString(tc::formatNumber(total, decimalSeparator))));
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
