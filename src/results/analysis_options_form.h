#pragma once
#include "results/analysis_options.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// The "Analysis Options" dialog: the dead band of the crossing test and the tolerance of the
// amplitude levels. "OK" checks and stores both; a value that does not convert or is out of range
// leaves the options as they were and the dialog open.
class TAnalysisOptionsForm : public QDialog {
    Q_OBJECT
public:
    // recordNote: a line about the imported record that helps to choose the dead band; none when
    // empty.
    TAnalysisOptionsForm(tc::AnalysisOptions& options, char decimalSeparator, QWidget* owner,
                         const QString& recordNote = {});

    void btnOKClick();

    QLineEdit *edtDeadBand, *edtLevelTolerance;
    QPushButton *btnOK, *btnCancel;

private:
    tc::AnalysisOptions& options_;
    char decimalSeparator_;
};

// Runs the dialog modally over owner; true when the options were changed.
bool ShowAnalysisOptions(tc::AnalysisOptions& options, char decimalSeparator, QWidget* owner,
                         const QString& recordNote = {});
