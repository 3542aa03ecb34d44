#include "results/results_form.h"

#include "results/result_plot_pages.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// A results table for a view: cells become text only when the view shows them, so a record of
// many thousands of loops refreshes at once.
class ResultTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(tc::ResultTable table, char decimalSeparator, int digits) {
        beginResetModel();
        table_ = std::move(table);
        separator_ = decimalSeparator;
        digits_ = digits;
        endResetModel();
    }
    // The same cells at another precision.
    void setDigits(int digits) {
        digits_ = digits;
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                             {Qt::DisplayRole});
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
        if (role == Qt::DisplayRole)
            return QString::fromStdString(tc::cellText(cell, separator_, digits_));
        // The full number where the cell shows it rounded.
        if (role == Qt::ToolTipRole && cell.number && digits_ < tc::kFileDigits)
            return QString::fromStdString(tc::cellText(cell, separator_));
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
    int digits_ = tc::kDisplayDigits;
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

QWidget* titled(QWidget* parent, const QString& title, QTableView* view) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title, box));
    layout->addWidget(view);
    return box;
}

} // namespace

TResultsForm::TResultsForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ResultsForm"));
    setWindowTitle(QStringLiteral("Engineering Results"));
    setModal(false);
    setSizeGripEnabled(true);
    resize(1000, 680);

    cbbEvaluationCurve = new QComboBox(this);
    cbbEvaluationCurve->setObjectName(QStringLiteral("cbbEvaluationCurve"));
    for (int c = 0; c < tc::kEvaluationCurveCount; ++c)
        cbbEvaluationCurve->addItem(
            QString::fromStdString(tc::evaluationCurveName(static_cast<tc::EvaluationCurve>(c))));
    cbbEvaluationCurve->setCurrentIndex(static_cast<int>(tc::EvaluationCurve::FirstCycleEnvelope));
    cbbEvaluationCurve->setToolTip(
        QStringLiteral("The curve the skeleton results are computed on: the first-cycle envelope "
                       "(the force peak of the first loop of every amplitude level, dashed on the "
                       "chart) or the skeleton curves on the chart as extracted and edited."));
    auto* curveLabel = new QLabel(QStringLiteral("Evaluation curve:"), this);
    curveLabel->setBuddy(cbbEvaluationCurve);

    cbbYieldMethod = new QComboBox(this);
    cbbYieldMethod->setObjectName(QStringLiteral("cbbYieldMethod"));
    for (int m = 0; m < tc::kYieldMethodCount; ++m)
        cbbYieldMethod->addItem(
            QString::fromStdString(tc::yieldMethodName(static_cast<tc::YieldMethod>(m))));
    auto* methodLabel = new QLabel(QStringLiteral("Yield point by:"), this);
    methodLabel->setBuddy(cbbYieldMethod);

    spnDigits = new QSpinBox(this);
    spnDigits->setObjectName(QStringLiteral("spnDigits"));
    spnDigits->setRange(4, tc::kFileDigits);
    spnDigits->setValue(tc::kDisplayDigits);
    spnDigits->setToolTip(QStringLiteral("Significant digits of the numbers shown here; the "
                                         "exported files keep 15."));
    auto* digitsLabel = new QLabel(QStringLiteral("Digits:"), this);
    digitsLabel->setBuddy(spnDigits);

    loopsModel_ = new ResultTableModel(this);
    skeletonModel_ = new ResultTableModel(this);
    levelsModel_ = new ResultTableModel(this);
    tblLoops = table(this, "tblLoops", loopsModel_);
    tblSkeleton = table(this, "tblSkeleton", skeletonModel_);
    tblLevels = table(this, "tblLevels", levelsModel_);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblWarnings = new QLabel(this);
    lblWarnings->setObjectName(QStringLiteral("lblWarnings"));
    lblWarnings->setWordWrap(true);
    lblWarnings->setStyleSheet(QStringLiteral("color: #B00000;"));
    lblWarnings->setVisible(false);

    btnExportResults = new QPushButton(QStringLiteral("Export..."), this);
    btnExportResults->setObjectName(QStringLiteral("btnExportResults"));
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    btnExportResults->setAutoDefault(false);

    // The window may be narrow (beside the main window on a small screen): the choosers shrink
    // and show their full text in the drop-down list.
    for (QComboBox* c : {cbbEvaluationCurve, cbbYieldMethod}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(14);
    }
    lblSummary->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(curveLabel);
    top->addWidget(cbbEvaluationCurve);
    top->addSpacing(12);
    top->addWidget(methodLabel);
    top->addWidget(cbbYieldMethod);
    top->addSpacing(12);
    top->addWidget(digitsLabel);
    top->addWidget(spnDigits);
    top->addStretch();

    auto* bottom = new QSplitter(Qt::Horizontal, this);
    bottom->addWidget(titled(bottom, QStringLiteral("Skeleton curves"), tblSkeleton));
    bottom->addWidget(titled(bottom, QStringLiteral("Amplitude levels"), tblLevels));
    bottom->setStretchFactor(0, 3);
    bottom->setStretchFactor(1, 2);
    tabResults = new QTabWidget(this);
    tabResults->setObjectName(QStringLiteral("tabResults"));
    auto* split = new QSplitter(Qt::Vertical, tabResults);
    split->setObjectName(QStringLiteral("tabTables"));
    split->addWidget(titled(split, QStringLiteral("Loops"), tblLoops));
    split->addWidget(bottom);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    tabResults->addTab(split, QStringLiteral("Tables"));
    plots = new ResultPlotSet(tabResults);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblSummary, 1);
    buttons->addWidget(btnExportResults);
    buttons->addWidget(btnClose);

    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addWidget(lblWarnings);
    box->addWidget(tabResults, 1);
    box->addLayout(buttons);

    connect(cbbYieldMethod, &QComboBox::activated, this, &TResultsForm::yieldMethodChanged);
    connect(cbbEvaluationCurve, &QComboBox::activated, this, &TResultsForm::evaluationCurveChanged);
    connect(spnDigits, &QSpinBox::valueChanged, this, [this](int digits) {
        for (ResultTableModel* m : {loopsModel_, skeletonModel_, levelsModel_})
            m->setDigits(digits);
        showSummary();
    });
    connect(btnExportResults, &QPushButton::clicked, this, &TResultsForm::exportClicked);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

void TResultsForm::showResults(const tc::EngineeringResults& results, char decimalSeparator) {
    const int digits = significantDigits();
    loopsModel_->setTable(tc::loopTable(results.loops), decimalSeparator, digits);
    skeletonModel_->setTable(tc::skeletonTable(results), decimalSeparator, digits);
    levelsModel_->setTable(tc::levelTable(results.levels), decimalSeparator, digits);
    for (QTableView* t : {tblLoops, tblSkeleton, tblLevels})
        t->resizeColumnsToContents();
    loops_ = results.loops.size();
    closedLoops_ = results.closedLoops;
    closedEnergy_ = results.closedLoopEnergy;
    recordEnergy_ = results.recordEnergy;
    separator_ = decimalSeparator;
    showSummary();
    QStringList warnings;
    for (const std::string& w : results.warnings)
        warnings << QString::fromStdString(w);
    lblWarnings->setText(warnings.join(QLatin1Char('\n')));
    lblWarnings->setVisible(!warnings.isEmpty());
}

void TResultsForm::showPlots(const tc::ResultPlots& data, const QString& dispTitle,
                             const QString& forceTitle) {
    plots->show(data, dispTitle, forceTitle, separator_);
}

void TResultsForm::showSummary() {
    auto number = [this](double v) {
        return QString::fromStdString(
            tc::cellText(tc::ResultCell::of(v), separator_, significantDigits()));
    };
    lblSummary->setText(
        loops_ == 0
            ? QStringLiteral("No analysed loops")
            : QStringLiteral("%1, %2 closed; energy of the closed loops %3, of the record %4")
                  .arg(loops_ == 1 ? QStringLiteral("1 loop")
                                   : QStringLiteral("%1 loops").arg(loops_))
                  .arg(closedLoops_)
                  .arg(number(closedEnergy_), number(recordEnergy_)));
}

tc::YieldMethod TResultsForm::yieldMethod() const {
    return static_cast<tc::YieldMethod>(std::max(0, cbbYieldMethod->currentIndex()));
}

void TResultsForm::setYieldMethod(tc::YieldMethod method) {
    cbbYieldMethod->setCurrentIndex(static_cast<int>(method));
}

tc::EvaluationCurve TResultsForm::evaluationCurve() const {
    return static_cast<tc::EvaluationCurve>(std::max(0, cbbEvaluationCurve->currentIndex()));
}

void TResultsForm::setEvaluationCurve(tc::EvaluationCurve curve) {
    cbbEvaluationCurve->setCurrentIndex(static_cast<int>(curve));
}

int TResultsForm::significantDigits() const {
    return spnDigits->value();
}

void TResultsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    emit shownChanged(true);
}

void TResultsForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    emit shownChanged(false);
}
