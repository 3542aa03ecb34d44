#pragma once
#include "results/result_plots.h"
#include "results/results_tables.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class ResultPlotSet;
class ResultTableModel;

// The "Engineering Results" window: the loop, skeleton and level tables, the result plots (a tab
// each), the evaluation curve, the yield method, the warnings and the display precision. Not modal:
// it stays open beside the main window and is refreshed by its owner.
class TResultsForm : public QDialog {
    Q_OBJECT
public:
    explicit TResultsForm(QWidget* owner);

    // Shows the tables; numbers by the program's number rule with this decimal separator,
    // rounded to the window's significant digits.
    void showResults(const tc::EngineeringResults& results, char decimalSeparator);
    // Fills the result plots; their axes are titled after the main chart's.
    void showPlots(const tc::ResultPlots& plots, const QString& dispTitle,
                   const QString& forceTitle);
    tc::YieldMethod yieldMethod() const;
    void setYieldMethod(tc::YieldMethod method);
    tc::EvaluationCurve evaluationCurve() const;
    void setEvaluationCurve(tc::EvaluationCurve curve);
    int significantDigits() const;

    QComboBox *cbbEvaluationCurve, *cbbYieldMethod;
    QTabWidget* tabResults; // the tables first, then the plots
    ResultPlotSet* plots;
    QSpinBox* spnDigits;
    QTableView *tblLoops, *tblSkeleton, *tblLevels;
    QLabel *lblSummary, *lblWarnings;
    QPushButton *btnExportResults, *btnClose;

signals:
    void yieldMethodChanged();
    void evaluationCurveChanged();
    void exportClicked();
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showSummary();

    ResultTableModel *loopsModel_, *skeletonModel_, *levelsModel_;
    // The summary's numbers, shown again at another precision.
    std::size_t loops_ = 0;
    int closedLoops_ = 0;
    double closedEnergy_ = 0, recordEnergy_ = 0;
    char separator_ = '.';
};
