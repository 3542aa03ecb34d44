#pragma once
#include "results/results_tables.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class ResultTableModel;

// The "Engineering Results" window: the loop table and the skeleton table, and the yield method.
// Not modal: it stays open beside the main window and is refreshed by its owner.
class TResultsForm : public QDialog {
    Q_OBJECT
public:
    explicit TResultsForm(QWidget* owner);

    // Shows the tables; numbers by the program's number rule with this decimal separator.
    void showResults(const tc::EngineeringResults& results, char decimalSeparator);
    tc::YieldMethod yieldMethod() const;
    void setYieldMethod(tc::YieldMethod method);

    QComboBox* cbbYieldMethod;
    QTableView *tblLoops, *tblSkeleton;
    QLabel* lblSummary;
    QPushButton *btnExportResults, *btnClose;

signals:
    void yieldMethodChanged();
    void exportClicked();
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ResultTableModel *loopsModel_, *skeletonModel_;
};
