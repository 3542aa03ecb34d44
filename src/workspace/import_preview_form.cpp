#include "workspace/import_preview_form.h"

#include "common/error.h"
#include "common/text_number.h"
#include "ui/command.h"
#include "ui/qt_number.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The table shows at most this many columns; a line with more fields is cut in the view only.
constexpr int kMaxShownColumns = 64;

const QColor kHeaderText(0x90, 0x90, 0x90);
const QColor kDispBackground(0xDD, 0xEE, 0xFF);
const QColor kForceBackground(0xFF, 0xE8, 0xD0);

template <class W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TImportPreviewForm::TImportPreviewForm(const QString& fileName, std::string_view text,
                                       const Choice& start, char userDecimalSeparator,
                                       QWidget* owner)
    : QDialog(owner), fileName_(fileName), text_(text), userSep_(userDecimalSeparator),
      choice_(start) {
    init(start);
}

TImportPreviewForm::TImportPreviewForm(const QString& fileName, std::vector<std::string> sheetNames,
                                       tc::SheetTable shown,
                                       std::function<tc::SheetTable(int)> loadSheet,
                                       const Choice& start, char userDecimalSeparator,
                                       QWidget* owner)
    : QDialog(owner), fileName_(fileName), workbook_(true), sheetNames_(std::move(sheetNames)),
      sheet_(std::move(shown)), loadSheet_(std::move(loadSheet)), userSep_(userDecimalSeparator),
      choice_(start) {
    init(start);
}

void TImportPreviewForm::init(const Choice& start) {
    const QString& fileName = fileName_;
    setObjectName(QStringLiteral("ImportPreviewForm"));
    setWindowTitle(QStringLiteral("Import with Preview"));
    setModal(true);
    setSizeGripEnabled(true);

    lblFile = named(new QLabel(QDir::toNativeSeparators(fileName), this), "lblFile");
    lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tblPreview = named(new QTableWidget(this), "tblPreview");
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setSelectionMode(QAbstractItemView::NoSelection);
    tblPreview->verticalHeader()->setDefaultSectionSize(18);
    tblPreview->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblPreview->setFocusPolicy(Qt::NoFocus);
    tblPreview->setMinimumSize(560, 260);

    auto label = [this](const char* name, const QString& text) {
        return named(new QLabel(text, this), name);
    };
    auto combo = [this](const char* name, const QStringList& items = {}) {
        auto* c = named(new QComboBox(this), name);
        c->addItems(items);
        return c;
    };
    auto line = [this](const char* name) {
        auto* e = named(new QLineEdit(this), name);
        e->setMaximumWidth(110);
        return e;
    };
    auto spin = [this](const char* name) {
        auto* s = named(new QSpinBox(this), name);
        s->setRange(1, 1'000'000'000);
        return s;
    };

    lblBegin = label("lblBegin", QStringLiteral("F-D Curve Begin Line"));
    spnBegin = spin("spnBegin");
    lblStep = label("lblStep", QStringLiteral("Data Import Step"));
    spnStep = spin("spnStep");
    lblDispColumn = label("lblDispColumn", QStringLiteral("Displacement column"));
    cbbDispColumn = combo("cbbDispColumn");
    lblForceColumn = label("lblForceColumn", QStringLiteral("Force column"));
    cbbForceColumn = combo("cbbForceColumn");
    lblDispScale = label("lblDispScale", QStringLiteral("Scale, sign"));
    edtDispScale = line("edtDispScale");
    cbbDispSign = combo("cbbDispSign", {QStringLiteral("+"), QStringLiteral("-")});
    lblForceScale = label("lblForceScale", QStringLiteral("Scale, sign"));
    edtForceScale = line("edtForceScale");
    cbbForceSign = combo("cbbForceSign", {QStringLiteral("+"), QStringLiteral("-")});
    lblDispUnit = label("lblDispUnit", QStringLiteral("Displacement unit"));
    edtDispUnit = line("edtDispUnit");
    lblForceUnit = label("lblForceUnit", QStringLiteral("Force unit"));
    edtForceUnit = line("edtForceUnit");
    lblDecimal = label("lblDecimal", QStringLiteral("Decimal separator"));
    cbbDecimal = combo("cbbDecimal", {QStringLiteral("The user's (%1)").arg(QChar(userSep_)),
                                      QStringLiteral("Point (.)"), QStringLiteral("Comma (,)")});
    lblFieldSeparator = label("lblFieldSeparator", QStringLiteral("Between fields"));
    cbbFieldSeparator =
        combo("cbbFieldSeparator", {QStringLiteral("Semicolon (;)"), QStringLiteral("Tab")});
    lblDirection = label("lblDirection", QStringLiteral("Loop Direction"));
    cbbDirection = combo("cbbDirection", {QStringLiteral("Positive"), QStringLiteral("Negative")});
    lblSheet = label("lblSheet", QStringLiteral("Sheet"));
    cbbSheet = combo("cbbSheet");
    for (const std::string& name : sheetNames_)
        cbbSheet->addItem(qs(name));
    cbbSheet->setCurrentIndex(
        std::clamp(start.settings.sheet, 0, std::max(0, cbbSheet->count() - 1)));
    lblSheet->setVisible(workbook_);
    cbbSheet->setVisible(workbook_);
    lblNote = label("lblNote", {});
    lblNote->setWordWrap(true);
    for (QLineEdit* e : {edtDispScale, edtForceScale})
        e->setAlignment(Qt::AlignRight);

    auto* grid = new QGridLayout;
    auto pair = [](QWidget* a, QWidget* b) {
        auto* h = new QHBoxLayout;
        h->addWidget(a);
        h->addWidget(b);
        return h;
    };
    grid->addWidget(lblBegin, 0, 0);
    grid->addWidget(spnBegin, 0, 1);
    grid->addWidget(lblStep, 0, 2);
    grid->addWidget(spnStep, 0, 3);
    grid->addWidget(lblDispColumn, 1, 0);
    grid->addWidget(cbbDispColumn, 1, 1);
    grid->addWidget(lblDispScale, 1, 2);
    grid->addLayout(pair(edtDispScale, cbbDispSign), 1, 3);
    grid->addWidget(lblForceColumn, 2, 0);
    grid->addWidget(cbbForceColumn, 2, 1);
    grid->addWidget(lblForceScale, 2, 2);
    grid->addLayout(pair(edtForceScale, cbbForceSign), 2, 3);
    grid->addWidget(lblDispUnit, 3, 0);
    grid->addWidget(edtDispUnit, 3, 1);
    grid->addWidget(lblForceUnit, 3, 2);
    grid->addWidget(edtForceUnit, 3, 3);
    grid->addWidget(lblDecimal, 4, 0);
    grid->addWidget(cbbDecimal, 4, 1);
    grid->addWidget(lblFieldSeparator, 4, 2);
    grid->addWidget(cbbFieldSeparator, 4, 3);
    grid->addWidget(lblDirection, 5, 0);
    grid->addWidget(cbbDirection, 5, 1);
    grid->addWidget(lblSheet, 5, 2);
    grid->addWidget(cbbSheet, 5, 3);
    grid->setColumnStretch(4, 1);

    btnReset = named(new QPushButton(QStringLiteral("Reset"), this), "btnReset");
    btnReset->setToolTip(QStringLiteral("Begin line 1, step 1, fields 1 and 2, scale 1 and +, "
                                        "the user's decimal separator, no units"));
    btnImport = named(new QPushButton(QStringLiteral("Import"), this), "btnImport");
    btnImport->setDefault(true);
    btnCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnReset);
    buttons->addStretch();
    buttons->addWidget(btnImport);
    buttons->addWidget(btnCancel);

    auto* box = new QVBoxLayout(this);
    box->addWidget(lblFile);
    box->addWidget(tblPreview, 1);
    box->addLayout(grid);
    box->addWidget(lblNote);
    box->addLayout(buttons);

    directionTimer_ = new QTimer(this);
    directionTimer_->setSingleShot(true);
    directionTimer_->setInterval(250);
    connect(directionTimer_, &QTimer::timeout, this, [this] { updateDirection(); });

    // What the record suggests, over the settings in force.
    tc::ImportSettings s = start.settings;
    if (workbook_)
        s.sheet = cbbSheet->currentIndex();
    else
        tc::suggestDecimalMode(text_, s.decimal, s.commaSeparator);
    showSettings(s, start.beginLine, start.step);
    applySuggestions(true);
    cbbDirection->setCurrentIndex(choice_.loopDirection);
    updateDirection();

    auto changed = [this](bool resplit) {
        if (updating_) return;
        if (resplit) applySuggestions(false);
        refreshShading();
        scheduleDirection();
    };
    connect(cbbDecimal, &QComboBox::currentIndexChanged, this, [changed] { changed(true); });
    connect(cbbFieldSeparator, &QComboBox::currentIndexChanged, this, [changed] { changed(true); });
    for (QComboBox* c : {cbbDispColumn, cbbForceColumn, cbbDispSign, cbbForceSign})
        connect(c, &QComboBox::currentIndexChanged, this, [changed] { changed(false); });
    for (QSpinBox* sp : {spnBegin, spnStep})
        connect(sp, &QSpinBox::valueChanged, this, [changed] { changed(false); });
    connect(edtDispScale, &QLineEdit::textEdited, this, [changed] { changed(false); });
    connect(cbbSheet, &QComboBox::activated, this,
            [this](int index) { tc::gui::runCommand(this, [&] { chooseSheet(index); }); });
    connect(btnReset, &QPushButton::clicked, this,
            [this] { tc::gui::runCommand(this, [this] { btnResetClick(); }); });
    connect(btnImport, &QPushButton::clicked, this,
            [this] { tc::gui::runCommand(this, [this] { btnImportClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(760, 620);
}

tc::RecordPreview TImportPreviewForm::makePreview(const tc::ImportSettings& s) const {
    return workbook_ ? tc::previewSheet(sheet_, s, userSep_)
                     : tc::previewRecord(text_, s, userSep_);
}

void TImportPreviewForm::chooseSheet(int index) {
    if (!workbook_ || index == choice_.settings.sheet) return;
    try {
        sheet_ = loadSheet_(index);
    } catch (const tc::Error& e) {
        const QSignalBlocker block(cbbSheet);
        cbbSheet->setCurrentIndex(choice_.settings.sheet);
        tc::gui::showWarning(this, QString::fromUtf8(e.what()));
        return;
    }
    choice_.settings.sheet = index;
    applySuggestions(true);
    scheduleDirection();
}

void TImportPreviewForm::showSettings(const tc::ImportSettings& s, int begin, int step) {
    updating_ = true;
    const char sep = userSep_;
    spnBegin->setValue(std::max(1, begin));
    spnStep->setValue(std::max(1, step));
    choice_.settings = s;
    refreshTable();
    edtDispScale->setText(tc::gui::numberText(s.disp.scale, sep));
    edtForceScale->setText(tc::gui::numberText(s.force.scale, sep));
    cbbDispSign->setCurrentIndex(s.disp.negate ? 1 : 0);
    cbbForceSign->setCurrentIndex(s.force.negate ? 1 : 0);
    cbbDecimal->setCurrentIndex(static_cast<int>(s.decimal));
    cbbFieldSeparator->setCurrentIndex(static_cast<int>(s.commaSeparator));
    cbbFieldSeparator->setEnabled(!workbook_ && s.decimal == tc::DecimalMode::Comma);
    edtDispUnit->setText(qs(s.dispUnit));
    edtForceUnit->setText(qs(s.forceUnit));
    refreshShading();
    updating_ = false;
}

bool TImportPreviewForm::readControls(tc::ImportSettings& s, QString& problem) const {
    s.disp.column = cbbDispColumn->currentIndex() + 1;
    s.force.column = cbbForceColumn->currentIndex() + 1;
    s.disp.negate = cbbDispSign->currentIndex() == 1;
    s.force.negate = cbbForceSign->currentIndex() == 1;
    s.decimal = static_cast<tc::DecimalMode>(std::max(0, cbbDecimal->currentIndex()));
    s.commaSeparator =
        static_cast<tc::CommaFieldSeparator>(std::max(0, cbbFieldSeparator->currentIndex()));
    s.sheet = workbook_ ? std::max(0, cbbSheet->currentIndex()) : choice_.settings.sheet;
    s.dispUnit = edtDispUnit->text().trimmed().toStdString();
    s.forceUnit = edtForceUnit->text().trimmed().toStdString();
    for (auto [edit, value] :
         {std::pair{edtDispScale, &s.disp.scale}, {edtForceScale, &s.force.scale}}) {
        if (!tc::tryTextToDouble(edit->text().toStdString(), *value, userSep_)) {
            problem = QString::fromStdString(
                tc::invalidFloatMessage(tc::trimBlanks(edit->text().toStdString())));
            return false;
        }
    }
    return true;
}

void TImportPreviewForm::applySuggestions(bool columnsAndUnits) {
    tc::ImportSettings s = choice_.settings;
    QString problem;
    if (!updating_) readControls(s, problem);
    preview_ = makePreview(s);
    if (columnsAndUnits && preview_.suggestedDispColumn > 0) {
        s.disp.column = preview_.suggestedDispColumn;
        s.force.column = preview_.suggestedForceColumn;
    }
    if (columnsAndUnits) {
        auto unitOf = [this](int column) {
            const auto c = static_cast<size_t>(column - 1);
            return c < preview_.columnUnits.size() ? preview_.columnUnits[c] : std::string();
        };
        if (!unitOf(s.disp.column).empty()) s.dispUnit = unitOf(s.disp.column);
        if (!unitOf(s.force.column).empty()) s.forceUnit = unitOf(s.force.column);
    }
    const int begin = preview_.suggestedBegin > 0 ? preview_.suggestedBegin : spnBegin->value();
    const bool was = updating_;
    showSettings(s, begin, spnStep->value());
    updating_ = was;
}

void TImportPreviewForm::refreshTable() {
    const bool was = updating_;
    updating_ = true;
    preview_ = makePreview(choice_.settings);
    const int columns =
        std::min(kMaxShownColumns, std::max(1, static_cast<int>(preview_.columnCount)));
    tblPreview->clear();
    tblPreview->setRowCount(static_cast<int>(preview_.lines.size()));
    tblPreview->setColumnCount(columns);
    QStringList rows;
    for (size_t i = 0; i < preview_.lines.size(); ++i)
        rows << QString::number(i + 1);
    tblPreview->setVerticalHeaderLabels(rows);
    for (int r = 0; r < tblPreview->rowCount(); ++r) {
        const auto& f = preview_.fields[static_cast<size_t>(r)];
        for (int c = 0; c < columns && c < static_cast<int>(f.size()); ++c)
            tblPreview->setItem(r, c, new QTableWidgetItem(qs(f[static_cast<size_t>(c)])));
    }
    refreshColumnLists();
    updating_ = was;
}

void TImportPreviewForm::refreshColumnLists() {
    const int count = std::max({2, static_cast<int>(preview_.columnCount),
                                choice_.settings.disp.column, choice_.settings.force.column});
    QStringList items, headers;
    for (int c = 1; c <= count; ++c) {
        const auto k = static_cast<size_t>(c - 1);
        const std::string name = k < preview_.columnNames.size() ? preview_.columnNames[k] : "";
        items << (name.empty() ? QString::number(c)
                               : QStringLiteral("%1: %2").arg(c).arg(qs(name)));
        if (c <= tblPreview->columnCount()) headers << items.back();
    }
    tblPreview->setHorizontalHeaderLabels(headers);
    for (auto [box, column] : {std::pair{cbbDispColumn, choice_.settings.disp.column},
                               {cbbForceColumn, choice_.settings.force.column}}) {
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(column - 1);
    }
}

void TImportPreviewForm::refreshShading() {
    const int begin = spnBegin->value();
    const int step = spnStep->value();
    const int disp = cbbDispColumn->currentIndex();
    const int force = cbbForceColumn->currentIndex();
    int headerLines = 0;
    for (int r = 0; r < tblPreview->rowCount(); ++r) {
        const int line = r + 1;
        const bool read = line >= begin && (line - begin) % step == 0;
        if (line < begin) ++headerLines;
        for (int c = 0; c < tblPreview->columnCount(); ++c) {
            QTableWidgetItem* item = tblPreview->item(r, c);
            if (!item) continue;
            item->setForeground(read ? QBrush(Qt::black) : QBrush(kHeaderText));
            item->setBackground(!read        ? QBrush()
                                : c == disp  ? QBrush(kDispBackground)
                                : c == force ? QBrush(kForceBackground)
                                             : QBrush());
        }
    }
    QStringList notes;
    if (preview_.lines.empty())
        notes << QStringLiteral("The file holds no lines.");
    else if (preview_.suggestedBegin == 0)
        notes << QStringLiteral("None of the first %1 lines holds two numbers in the chosen "
                                "columns: check the decimal separator and the columns.")
                     .arg(preview_.lines.size());
    if (headerLines > 0)
        notes << QStringLiteral("Lines above the begin line (%1) are shown grey and not read.")
                     .arg(headerLines);
    lblNote->setText(notes.join(QLatin1Char(' ')));
}

void TImportPreviewForm::scheduleDirection() {
    directionTimer_->start();
}

void TImportPreviewForm::updateDirection() {
    tc::ImportSettings s;
    QString problem;
    if (!readControls(s, problem)) return;
    s.force = tc::ColumnSetting{s.disp.column, 1.0, false}; // only the displacement decides
    tc::RecordReadResult r;
    try {
        r = workbook_
                ? tc::readSheetRecord(sheet_, spnBegin->value(), spnStep->value(), userSep_, s)
                : tc::readRecordWith(text_, spnBegin->value(), spnStep->value(), userSep_, s);
    } catch (const tc::Error&) {
        return;
    }
    const tc::RecordDirection d = tc::suggestLoopDirection(r.disp);
    QString note = QStringLiteral("Loop Direction");
    if (d == tc::RecordDirection::None) {
        note += QStringLiteral(" (no suggestion)");
    } else {
        const int index = d == tc::RecordDirection::Positive ? 0 : 1;
        cbbDirection->setCurrentIndex(index);
        note += QStringLiteral(" (suggested: %1)").arg(cbbDirection->itemText(index));
    }
    lblDirection->setText(note);
}

void TImportPreviewForm::btnResetClick() {
    showSettings(tc::ImportSettings{}, 1, 1);
    scheduleDirection();
}

void TImportPreviewForm::btnImportClick() {
    Choice c;
    QString problem;
    if (!readControls(c.settings, problem)) {
        tc::gui::showWarning(this, problem);
        return;
    }
    try {
        tc::checkSettings(c.settings);
    } catch (const tc::Error& e) {
        tc::gui::showWarning(this, QString::fromUtf8(e.what()));
        return;
    }
    if (workbook_ &&
        !tc::sheetHasNumbers(sheet_, tc::effectiveDecimalSeparator(c.settings, userSep_))) {
        tc::gui::showWarning(this, QStringLiteral("%1: the sheet \"%2\" holds no numbers.")
                                       .arg(QFileInfo(fileName_).fileName(), qs(sheet_.name)));
        return;
    }
    c.beginLine = spnBegin->value();
    c.step = spnStep->value();
    c.loopDirection = cbbDirection->currentIndex();
    // A column beyond the last field of a line that will be read.
    for (size_t i = static_cast<size_t>(c.beginLine - 1); i < preview_.fields.size();
         i += static_cast<size_t>(c.step)) {
        const size_t fields = preview_.fields[i].size();
        if (fields == 0) continue;
        for (auto [name, column] : {std::pair{"displacement", c.settings.disp.column},
                                    {"force", c.settings.force.column}}) {
            if (static_cast<size_t>(column) > fields) {
                tc::gui::showWarning(
                    this, QStringLiteral("%1: the %2 column %3 is beyond the last field (%4) of "
                                         "line %5.")
                              .arg(QFileInfo(fileName_).fileName(), QLatin1String(name))
                              .arg(column)
                              .arg(fields)
                              .arg(i + 1));
                return;
            }
        }
    }
    choice_ = c;
    accept();
}
