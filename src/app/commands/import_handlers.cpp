// The one import path (importRecordFile) and the commands that reach it besides Import Loop:
// Import with Preview, a record dropped on the window, the recent records.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "common/text_number.h"
#include "ui/command.h"
#include "ui/long_work.h"
#include "workspace/import_preview_form.h"
#include "workspace/import_settings.h"
#include "workspace/record_file.h"
#include "workspace/record_preview.h"
#include "workspace/sheet_table.h"
#include "workspace/workbook_reader.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <numeric>

namespace {

constexpr int kRecentRecords = 8;

std::string utf8(const QString& s) {
    return s.toStdString();
}

std::filesystem::path filePath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

bool isWorkbook(const QString& path) {
    return tc::workbookFormatOfName(utf8(path)) != tc::WorkbookFormat::None;
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Reads a workbook's sheet and checks that a record can come out of it; false with the problem,
// naming the file, when not.
bool loadWorkbook(const QString& path, const tc::ImportSettings& s, char sep,
                  tc::WorkbookSheet& book, QString& problem) {
    try {
        book = tc::readWorkbook(localPath(path), s.sheet);
    } catch (const tc::Error& e) {
        problem = QString::fromUtf8(e.what());
        return false;
    }
    const QString file = QFileInfo(path).fileName();
    const QString sheet = QString::fromStdString(book.table.name);
    if (!tc::sheetHasNumbers(book.table, tc::effectiveDecimalSeparator(s, sep))) {
        problem = QStringLiteral("%1: the sheet \"%2\" holds no numbers.").arg(file, sheet);
        return false;
    }
    size_t widest = 0;
    for (size_t r = 0; r < book.table.rowCount(); ++r)
        widest = std::max(widest, book.table.rowSize(r));
    const int column = std::max(s.disp.column, s.force.column);
    if (static_cast<size_t>(column) > widest) {
        problem = QStringLiteral("%1: column %2 is beyond the last column (%3) of the sheet "
                                 "\"%4\".")
                      .arg(file)
                      .arg(column)
                      .arg(widest)
                      .arg(sheet);
        return false;
    }
    return true;
}

// The first local file of a drag, or an empty string.
QString droppedFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) return url.toLocalFile();
    return {};
}

} // namespace

bool TForm1::readImportParameters(int& beginLine, int& step) {
    try {
        beginLine = tc::textToInt(utf8(edt7->text()));
    } catch (const tc::Error& e) {
        tc::gui::showWarning(this, QString::fromUtf8(e.what()));
        return false;
    }
    if (beginLine <= 0) {
        tc::gui::showWarning(this, QStringLiteral("First Line must large than 0!"));
        edt7->setFocus();
        return false;
    }
    step = tc::textToInt(utf8(edt8->text())); // a bad step ends the command here
    if (step <= 0) {
        tc::gui::showWarning(this, QStringLiteral("Data Import Step must large than 0!"));
        edt8->setFocus();
        return false;
    }
    return true;
}

void TForm1::importRecordFile(const QString& path, int beginLine, int step) {
    // The new record would replace unsaved work: asked once per import, before anything is read.
    if (!changesConfirmed_ && !maySaveChanges()) return;
    const QScopedValueRollback confirmed(changesConfirmed_, true);
    runStep(QStringLiteral("Import"), tc::AllParts, false,
            [&] { readIntoWorkspace(path, beginLine, step); });
}

void TForm1::readIntoWorkspace(const QString& path, int beginLine, int step) {
    const char sep = decimalSeparator();
    const std::string fileName = utf8(QFileInfo(path).fileName());
    // The record is read into new arrays and the workspace changes only once it has been read:
    // a workbook that gives no record, a file that is not a regular one or a cancelled import
    // leave everything as it was.
    tc::RecordReadResult r;
    QString details;
    bool offerPreview = false;
    if (isWorkbook(path)) {
        tc::WorkbookSheet book;
        QString problem;
        bool loaded = false;
        {
            const tc::gui::WaitCursor wait;
            loaded = loadWorkbook(path, importSettings, sep, book, problem);
        }
        if (!loaded) {
            tc::gui::showWarning(this, problem);
            return;
        }
        const tc::gui::WaitCursor wait;
        r = tc::readSheetRecord(book.table, beginLine, step, sep, importSettings);
        if (r.badLine > 0) {
            const tc::StopExplanation e = tc::explainSheetStop(
                book.table, r, beginLine, fileName,
                tc::previewSheet(book.table, importSettings, sep).suggestedBegin);
            details = QString::fromStdString(e.text);
            offerPreview = e.notANumber;
        }
    } else {
        try {
            const tc::gui::WaitCursor wait;
            tc::gui::LongWork work(this,
                                   QStringLiteral("Importing %1").arg(QFileInfo(path).fileName()),
                                   importProgressDelayMs);
            const auto progress = [&work](const tc::ImportProgress& p) {
                return work.update(p.fraction());
            };
            // The record is parsed in place as it is read; only a stop needs its text, to be
            // explained.
            r = tc::readRecordFileWith(filePath(path), beginLine, step, sep, importSettings,
                                       progress);
            if (r.badLine > 0) {
                const std::string text = tc::readRecordFileText(filePath(path)).text;
                tc::forgiveTrailingBlanks(text, r);
                if (r.badLine > 0) {
                    const tc::StopExplanation e =
                        tc::explainStop(text, r, beginLine, importSettings, fileName,
                                        tc::suggestBeginLine(text, importSettings, sep));
                    details = QString::fromStdString(e.text);
                    offerPreview = e.notANumber;
                }
            }
        } catch (const tc::NotRegularFileError& e) {
            tc::gui::showWarning(this, QString::fromStdString(e.what()));
            return;
        } catch (const tc::FileOpenError& e) {
            // A file that cannot be read: the workspace is emptied.
            clearImport();
            clearAnalysis();
            clearLoopValues();
            tc::gui::showWarning(this, QString::fromStdString(e.what()));
            return;
        }
        if (r.cancelled) {
            rzstsbr1->showMessage(QStringLiteral("Import cancelled: the workspace is as it was."),
                                  5000);
            return;
        }
    }

    clearImport();
    clearAnalysis();
    clearLoopValues();
    edt5->setText(QDir::toNativeSeparators(path));
    dispRaw = std::move(r.disp);
    forceRaw = std::move(r.force);
    addRecentRecord(path);
    {
        const tc::gui::WaitCursor wait;
        rawSeriesSource.resize(dispRaw.size());
        std::iota(rawSeriesSource.begin(), rawSeriesSource.end(), 0);
        rawSeries->setPoints(dispRaw, forceRaw);
    }
    const QString warning = QString::fromStdString(r.warning);
    if (warning.isEmpty()) return;
    if (details.isEmpty()) {
        tc::gui::showWarning(this, warning);
        return;
    }
    const bool preview = tc::gui::showWarning(
        this, warning, details, offerPreview ? QStringLiteral("Import with Preview...") : QString(),
        "btnImportWithPreview");
    if (preview) previewRecordFile(path);
}

void TForm1::ImportWithPreview1Click() {
    if (dlgOpen1->exec() != QDialog::Accepted || dlgOpen1->selectedFiles().isEmpty()) return;
    previewRecordFile(dlgOpen1->selectedFiles().constFirst());
}

void TForm1::previewRecordFile(const QString& path) {
    std::string text;
    QString problem;
    tc::WorkbookSheet book;
    const bool workbook = isWorkbook(path);
    if (workbook) {
        const tc::gui::WaitCursor wait;
        try {
            // The sheet in force, or the first where the workbook has fewer sheets.
            try {
                book = tc::readWorkbook(localPath(path), importSettings.sheet);
            } catch (const tc::Error&) {
                if (importSettings.sheet == 0) throw;
                book = tc::readWorkbook(localPath(path), 0);
            }
        } catch (const tc::Error& e) {
            problem = QString::fromUtf8(e.what());
        }
    } else {
        try {
            const tc::gui::WaitCursor wait;
            text = tc::readRecordFileText(filePath(path)).text;
        } catch (const tc::Error& e) {
            problem = QString::fromUtf8(e.what());
        }
    }
    if (!problem.isEmpty()) {
        tc::gui::showWarning(this, problem);
        return;
    }
    TImportPreviewForm::Choice start;
    start.settings = importSettings;
    auto positive = [](const QLineEdit* e) {
        try {
            return std::max(1, tc::textToInt(utf8(e->text())));
        } catch (const tc::Error&) {
            return 1;
        }
    };
    start.beginLine = positive(edt7);
    start.step = positive(edt8);
    start.loopDirection = std::max(0, cbb4->currentIndex());
    std::unique_ptr<TImportPreviewForm> form;
    if (workbook) {
        const std::string file = localPath(path);
        start.settings.sheet = importSettings.sheet < static_cast<int>(book.sheetNames.size())
                                   ? importSettings.sheet
                                   : 0;
        form = std::make_unique<TImportPreviewForm>(
            path, book.sheetNames, std::move(book.table),
            [file](int sheet) { return tc::readWorkbook(file, sheet).table; }, start,
            decimalSeparator(), this);
    } else {
        form = std::make_unique<TImportPreviewForm>(path, text, start, decimalSeparator(), this);
    }
    if (form->exec() != QDialog::Accepted) return;
    const TImportPreviewForm::Choice c = form->choice();
    form.reset();
    if (!changesConfirmed_ && !maySaveChanges()) return;
    const QScopedValueRollback confirmed(changesConfirmed_, true);
    importSettings = c.settings;
    edt7->setText(QString::number(c.beginLine));
    edt8->setText(QString::number(c.step));
    cbb4->setCurrentIndex(c.loopDirection);
    applyImportSettings();
    importRecordFile(path, c.beginLine, c.step);
}

void TForm1::importRecordWithoutDialog(const QString& path) {
    int beginLine = 0, step = 0;
    if (!readImportParameters(beginLine, step)) return;
    importRecordFile(path, beginLine, step);
}

void TForm1::applyImportSettings() {
    cht1->setAxisTitles(QString::fromStdString(tc::dispAxisTitle(importSettings)),
                        QString::fromStdString(tc::forceAxisTitle(importSettings)));
    if (!importOptionsNote) {
        importOptionsNote = new QLabel(rzstsbr1);
        importOptionsNote->setObjectName(QStringLiteral("importOptionsNote"));
        rzstsbr1->addPermanentWidget(importOptionsNote);
    }
    const QString note = QString::fromStdString(tc::describeSettings(importSettings));
    importOptionsNote->setText(note);
    importOptionsNote->setToolTip(note);
    importOptionsNote->setVisible(!note.isEmpty());
}

void TForm1::addRecentRecord(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    recentRecords.removeAll(full);
    recentRecords.prepend(full);
    while (recentRecords.size() > kRecentRecords)
        recentRecords.removeLast();
    // Eight fixed items, made at first use: an item is never deleted while it runs its import.
    QList<QAction*> items = RecentRecords1->actions();
    while (items.size() < kRecentRecords) {
        const int k = static_cast<int>(items.size());
        QAction* a = RecentRecords1->addAction(QString());
        a->setObjectName(QStringLiteral("RecentRecord%1").arg(k + 1));
        connect(a, &QAction::triggered, this, [this, k] {
            if (k >= recentRecords.size()) return;
            const QString file = recentRecords.at(k);
            tc::gui::runCommand(this, [&] { importRecordWithoutDialog(file); });
            scheduleResultsUpdate();
        });
        items.append(a);
    }
    for (int k = 0; k < items.size(); ++k) {
        QAction* a = items.at(k);
        const bool used = k < recentRecords.size();
        a->setVisible(used);
        if (!used) continue;
        const QString file = recentRecords.at(k);
        a->setText(QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(file).fileName()));
        a->setToolTip(QDir::toNativeSeparators(file));
        a->setStatusTip(QDir::toNativeSeparators(file));
    }
    RecentRecords1->setEnabled(!recentRecords.isEmpty());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    tc::gui::runCommand(this, [&] { importRecordWithoutDialog(path); });
    scheduleResultsUpdate();
}
