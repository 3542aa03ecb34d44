#pragma once
#include "workspace/import_settings.h"
#include "workspace/record_preview.h"
#include "workspace/sheet_table.h"

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

// "Import with Preview": the first 200 lines of a record split by the import's field rule, with
// the begin line, step, columns, scales, signs, decimal separator and units to import them by,
// and the loop direction the record suggests. Header lines above the begin line are grey. "Import"
// checks the choices and closes; "Reset" returns to the defaults. The dialog only chooses: the
// command imports.
class TImportPreviewForm : public QDialog {
    Q_OBJECT
public:
    struct Choice {
        tc::ImportSettings settings;
        int beginLine = 1;
        int step = 1;
        int loopDirection = 0; // index of the main window's Loop Direction list
    };

    // text: the whole record as decoded for the import (it must outlive the dialog); start: the
    // settings in force, the begin line, step and loop direction of the main window. The record's
    // own suggestions (begin line, columns, units, comma decimals, loop direction) are applied.
    TImportPreviewForm(const QString& fileName, std::string_view text, const Choice& start,
                       char userDecimalSeparator, QWidget* owner);
    // A workbook: its sheets' names, the sheet shown first (start.settings.sheet) and the reader
    // of a sheet, called when another is chosen (it throws tc::Error when it cannot).
    TImportPreviewForm(const QString& fileName, std::vector<std::string> sheetNames,
                       tc::SheetTable shown, std::function<tc::SheetTable(int)> loadSheet,
                       const Choice& start, char userDecimalSeparator, QWidget* owner);

    Choice choice() const { return choice_; }

    void btnResetClick();
    void btnImportClick();

    QLabel *lblFile, *lblBegin, *lblStep, *lblDispColumn, *lblForceColumn, *lblDispScale,
        *lblForceScale, *lblDecimal, *lblFieldSeparator, *lblDispUnit, *lblForceUnit, *lblDirection,
        *lblNote, *lblSheet;
    QTableWidget* tblPreview;
    QSpinBox *spnBegin, *spnStep;
    QComboBox *cbbDispColumn, *cbbForceColumn, *cbbDispSign, *cbbForceSign, *cbbDecimal,
        *cbbFieldSeparator, *cbbDirection, *cbbSheet;
    QLineEdit *edtDispScale, *edtForceScale, *edtDispUnit, *edtForceUnit;
    QPushButton *btnReset, *btnImport, *btnCancel;

private:
    void init(const Choice& start);
    tc::RecordPreview makePreview(const tc::ImportSettings& s) const;
    void chooseSheet(int index);
    void applySuggestions(bool columnsAndUnits);
    void showSettings(const tc::ImportSettings& s, int begin, int step);
    // Reads the controls into settings; false with a note when a scale does not convert.
    bool readControls(tc::ImportSettings& s, QString& problem) const;
    void refreshTable();
    void refreshColumnLists();
    void refreshShading();
    void scheduleDirection();
    void updateDirection();

    QString fileName_;
    std::string_view text_;
    bool workbook_ = false;
    std::vector<std::string> sheetNames_;
    tc::SheetTable sheet_;
    std::function<tc::SheetTable(int)> loadSheet_;
    char userSep_;
    Choice choice_;
    tc::RecordPreview preview_;
    QTimer* directionTimer_;
    bool updating_ = false;
};
