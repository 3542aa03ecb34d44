#pragma once
#include "results/analysis_options.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// What "Suggest" proposes for the record at hand.
using DeadBandSuggester = std::function<tc::DeadBandSuggestion()>;

// The "Analysis Options" dialog: the dead band of the crossing test and the tolerance of the
// amplitude levels. "OK" checks and stores both; a value that does not convert or is out of range
// leaves the options as they were and the dialog open. "Suggest" puts a dead band read from the
// record's jitter into the field and says how many loops it gives; only "OK" takes it.
class TAnalysisOptionsForm : public QDialog {
    Q_OBJECT
public:
    // recordNote: a line about the imported record that helps to choose the dead band; none when
    // empty. suggest: empty when there is no record ("Suggest" is then disabled).
    TAnalysisOptionsForm(tc::AnalysisOptions& options, char decimalSeparator, QWidget* owner,
                         const QString& recordNote = {}, DeadBandSuggester suggest = {});

    void btnOKClick();
    void btnSuggestClick();

    QLineEdit *edtDeadBand, *edtLevelTolerance;
    QPushButton *btnSuggest, *btnOK, *btnCancel;
    QLabel* lblSuggestion;

private:
    tc::AnalysisOptions& options_;
    char decimalSeparator_;
    DeadBandSuggester suggest_;
};

// Runs the dialog modally over owner; true when the options were changed.
bool ShowAnalysisOptions(tc::AnalysisOptions& options, char decimalSeparator, QWidget* owner,
                         const QString& recordNote = {}, DeadBandSuggester suggest = {});
