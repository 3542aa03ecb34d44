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
                                           QWidget* owner, const QString& recordNote,
                                           DeadBandSuggester suggest)
    : QDialog(owner), options_(options), decimalSeparator_(decimalSeparator),
      suggest_(std::move(suggest)) {
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

    btnSuggest = new QPushButton(QStringLiteral("Suggest"), this);
    btnSuggest->setObjectName(QStringLiteral("btnSuggest"));
    btnSuggest->setAutoDefault(false);
    btnSuggest->setEnabled(static_cast<bool>(suggest_));
    btnSuggest->setToolTip(suggest_ ? QStringLiteral("Proposes a dead band from the jitter of the "
                                                     "imported record around its reference.")
                                    : QStringLiteral("Import a record first."));
    lblSuggestion = new QLabel(this);
    lblSuggestion->setObjectName(QStringLiteral("lblSuggestion"));
    lblSuggestion->setWordWrap(true);
    lblSuggestion->setVisible(false);
    auto* band = new QHBoxLayout;
    band->addWidget(edtDeadBand, 1);
    band->addWidget(btnSuggest);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Displacement dead band:"), band);
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
    box->addWidget(lblSuggestion);
    box->addWidget(note);
    box->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this,
            [this] { tc::gui::runCommand(this, [this] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnSuggest, &QPushButton::clicked, this,
            [this] { tc::gui::runCommand(this, [this] { btnSuggestClick(); }); });
}

void TAnalysisOptionsForm::btnSuggestClick() {
    if (!suggest_) return;
    tc::DeadBandSuggestion s;
    {
        const tc::gui::WaitCursor wait;
        s = suggest_();
    }
    auto text = [this](double v) { return tc::gui::numberText(v, decimalSeparator_); };
    auto loopCount = [](int n) {
        return n == 1 ? QStringLiteral("1 loop") : QStringLiteral("%1 loops").arg(n);
    };
    edtDeadBand->setText(text(s.band));
    if (s.band > 0)
        lblSuggestion->setText(
            QStringLiteral("%1 excursions of the record around its reference reach at most %2: a "
                           "dead band of %3 gives %4 instead of %5. OK takes it.")
                .arg(s.jitterCount)
                .arg(text(s.jitter), text(s.band), loopCount(s.loops), loopCount(s.loopsWithout)));
    else
        lblSuggestion->setText(QStringLiteral("The record does not jitter around its reference: "
                                              "no dead band is needed (%1).")
                                   .arg(loopCount(s.loops)));
    lblSuggestion->setVisible(true);
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
                         const QString& recordNote, DeadBandSuggester suggest) {
    TAnalysisOptionsForm form(options, decimalSeparator, owner, recordNote, std::move(suggest));
    return form.exec() == QDialog::Accepted;
}
