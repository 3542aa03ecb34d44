#include "results/analysis_options_form.h"

#include "common/text_number.h"
#include "ui/command.h"
#include "ui/qt_number.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* numberField(QWidget* parent, const char* name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    e->setAlignment(Qt::AlignRight);
    e->setMinimumWidth(120);
    return e;
}

} // namespace

TAnalysisOptionsForm::TAnalysisOptionsForm(tc::AnalysisOptions& options, char decimalSeparator,
                                           QWidget* owner, const QString& recordNote)
    : QDialog(owner), options_(options), decimalSeparator_(decimalSeparator) {
    setObjectName(QStringLiteral("AnalysisOptionsForm"));
    setWindowTitle(QStringLiteral("Analysis Options"));
    setModal(true);

    edtDeadBand =
        numberField(this, "edtDeadBand", tc::gui::numberText(options.deadBand, decimalSeparator));
    edtDeadBand->setToolTip(
        QStringLiteral("A passage through the reference displacement counts as a crossing only "
                       "when the curve has been more than this far from it on one side and then "
                       "gets more than this far from it on the other side. 0: every passage "
                       "counts."));
    edtLevelTolerance =
        numberField(this, "edtLevelTolerance",
                    tc::gui::numberText(options.levelTolerancePercent, decimalSeparator));
    edtLevelTolerance->setToolTip(
        QStringLiteral("Loops whose peak displacements agree within this share form one amplitude "
                       "level; strength degradation compares each loop with the first of its "
                       "level."));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Displacement dead band:"), edtDeadBand);
    form->addRow(QStringLiteral("Amplitude level tolerance (%):"), edtLevelTolerance);
    auto* note =
        new QLabel(QStringLiteral("The dead band applies from the next \"Analyze Loop\"."), this);
    note->setObjectName(QStringLiteral("lblNote"));

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    if (!recordNote.isEmpty()) {
        auto* record = new QLabel(recordNote, this);
        record->setObjectName(QStringLiteral("lblRecord"));
        box->addWidget(record);
    }
    box->addWidget(note);
    box->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this,
            [this] { tc::gui::runCommand(this, [this] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TAnalysisOptionsForm::btnOKClick() {
    auto read = [this](QLineEdit* e) {
        return tc::textToDouble(e->text().toStdString(), decimalSeparator_);
    };
    const double band = read(edtDeadBand);
    const double tolerance = read(edtLevelTolerance);
    if (!(band >= 0)) {
        edtDeadBand->setFocus();
        tc::gui::showWarning(this, QStringLiteral("The dead band must be 0 or more."));
        return;
    }
    if (!(tolerance >= 0 && tolerance < 100)) {
        edtLevelTolerance->setFocus();
        tc::gui::showWarning(this,
                             QStringLiteral("The level tolerance must be from 0 to below 100 %."));
        return;
    }
    options_.deadBand = band;
    options_.levelTolerancePercent = tolerance;
    accept();
}

bool ShowAnalysisOptions(tc::AnalysisOptions& options, char decimalSeparator, QWidget* owner,
                         const QString& recordNote) {
    TAnalysisOptionsForm form(options, decimalSeparator, owner, recordNote);
    return form.exec() == QDialog::Accepted;
}
