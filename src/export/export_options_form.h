#pragma once
#include "export/excel_options.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The "Export Options" dialog: shows the workbook export options and stores them with "Update".
class TExportOptionForm : public QDialog {
    Q_OBJECT
public:
    TExportOptionForm(tc::ExcelExportOptions& options, QWidget* owner);

    // Fills every control from the options record.
    void fill();
    // "Update": stores the controls into the record member by member; a value that does not
    // convert throws, and the members stored before it keep their new values.
    void btn1Click();
    // "Cancel": closes the dialog; what "Update" stored stays.
    void btn2Click();

    QComboBox *cbb1, *cbb2, *cbb3, *cbb4, *cbb5;
    QCheckBox *chk1, *chk2, *chk3, *chk4, *chk5, *chk6, *chk7;
    QLineEdit *edt1, *edt2, *edt3, *edt4, *edt5, *edt6, *edt7, *edt8, *edt9, *edt10, *edt11;
    QRadioButton *rb1, *rb2;
    QPushButton *btn1, *btn2;

private:
    tc::ExcelExportOptions& options_;
};

// Creates the dialog owned by owner, fills it from options, runs it modally and destroys it.
void ShowExcelExportOptions(tc::ExcelExportOptions& options, QWidget* owner);
