// Sessions: Save Session, Save Session As, Open Session; the question before unsaved work is
// lost; the recovery copy of unsaved work and its offer at the next start.
#include "app/tform1.h"
#include "app/web_links.h"
#include "chart/chart_series.h"
#include "chart/series_conversion.h"
#include "common/file_replace.h"
#include "results/results_form.h"
#include "ui/command.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QLockFile>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>

#include <filesystem>

namespace {

std::string utf8(const QString& s) {
    return s.toStdString();
}
QString qt(const std::string& s) {
    return QString::fromStdString(s);
}
std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

constexpr int kRecoveryIntervalMs = 30000;
const QString kSessionFilter = QStringLiteral("TarvelCurve sessions (*.tcsession)");

} // namespace

tc::Session TForm1::currentSession() {
    tc::Session s;
    s.record = tc::sessionRecord(dispRaw, forceRaw, rawSeriesSource, rawOriginals);
    s.record.path = utf8(edt5->text());
    s.record.beginLine = utf8(edt7->text());
    s.record.step = utf8(edt8->text());
    if (!analysis.empty()) {
        s.analysis = analysisInput;
        s.analysis.analysed = true;
        s.selectedLoop = cbb1->currentIndex();
    }
    s.skeleton = {tc::gui::seriesPoints(*skeletonPosSeries),
                  tc::gui::seriesPoints(*skeletonNegSeries)};
    s.controls.loopDirection = cbb4->currentIndex() == 1 ? 1 : 0;
    const QRadioButton* rules[] = {rb1, rb2, rb3, rb4, rb5};
    s.controls.rule = 1;
    for (int i = 0; i < 5; ++i)
        if (rules[i]->isChecked()) {
            s.controls.rule = i + 1;
            break;
        }
    s.controls.increasing = chk1->isChecked();
    s.controls.rangeFrom = utf8(edt9->text());
    s.controls.rangeTo = utf8(edt10->text());
    s.controls.tolerance = utf8(edt11->text());
    s.settings = workspaceRefs().settings;
    return s;
}

void TForm1::showSession(const tc::Session& s, tc::RestoredWorkspace w) {
    clearImport();
    clearAnalysis();
    clearLoopValues();
    edt7->setText(qt(s.record.beginLine));
    edt8->setText(qt(s.record.step));
    edt5->setText(qt(s.record.path));
    dispRaw = std::move(w.dispRaw);
    forceRaw = std::move(w.forceRaw);
    rawSeriesSource = std::move(w.rawSource);
    rawOriginals = std::move(w.rawOriginals);
    {
        std::vector<double> xs(rawSeriesSource.size()), ys(rawSeriesSource.size());
        for (size_t j = 0; j < rawSeriesSource.size(); ++j) {
            xs[j] = dispRaw[static_cast<size_t>(rawSeriesSource[j])];
            ys[j] = forceRaw[static_cast<size_t>(rawSeriesSource[j])];
        }
        rawSeries->setPoints(xs, ys);
    }
    analysis = std::move(w.analysis);
    if (!analysis.empty()) {
        analysisInput = s.analysis;
        edt6->setText(QString::asprintf("%i", analysis.loopCount));
        {
            const QSignalBlocker block(cbb1);
            QStringList items;
            for (int n = 1; n <= analysis.loopCount; ++n)
                items << QStringLiteral("Loop_%1").arg(n);
            cbb1->addItems(items);
            cbb1->setCurrentIndex(s.selectedLoop);
        }
        cbb1Change();
    }
    tc::gui::setSeriesPoints(*skeletonPosSeries, s.skeleton.positive);
    tc::gui::setSeriesPoints(*skeletonNegSeries, s.skeleton.negative);

    cbb4->setCurrentIndex(s.controls.loopDirection);
    QRadioButton* rules[] = {rb1, rb2, rb3, rb4, rb5};
    rules[s.controls.rule - 1]->setChecked(true);
    chk1->setChecked(s.controls.increasing);
    edt9->setText(qt(s.controls.rangeFrom));
    edt10->setText(qt(s.controls.rangeTo));
    edt11->setText(qt(s.controls.tolerance));

    analysisOptions = s.settings.analysis;
    const tc::Variant app = excelOptions.excelApp;
    excelOptions = s.settings.excel;
    excelOptions.excelApp = app;
    if (resultsForm) {
        resultsForm->setYieldMethod(analysisOptions.yieldMethod);
        resultsForm->setEvaluationCurve(analysisOptions.evaluationCurve);
    }
    importSettings = s.settings.import;
    applyImportSettings();
    scheduleResultsUpdate();
}

void TForm1::updateTitle() {
    const QString caption = tc::gui::mainWindowCaption();
    if (sessionPath.isEmpty()) {
        setWindowTitle(caption);
        setWindowModified(false);
        return;
    }
    setWindowTitle(QFileInfo(sessionPath).fileName() + QStringLiteral("[*] - ") + caption);
    setWindowModified(!undoStack->isClean());
}

bool TForm1::saveSession(const QString& path) {
    try {
        const tc::gui::WaitCursor wait;
        tc::writeSessionFile(fsPath(path), currentSession());
    } catch (const tc::Error& e) {
        tc::gui::showError(this, qt(e.what()));
        return false;
    }
    sessionPath = path;
    undoStack->setClean();
    if (!recoveryFile.isEmpty()) QFile::remove(recoveryFile); // the work is saved now
    updateTitle();
    rzstsbr1->showMessage(QStringLiteral("Session saved: %1").arg(QDir::toNativeSeparators(path)),
                          5000);
    return true;
}

// The session dialog for saving (a suggested name) or opening.
static QString chooseSessionFile(TForm1& w, bool save) {
    if (!w.dlgSession) {
        w.dlgSession = new QFileDialog(&w);
        w.dlgSession->setObjectName(QStringLiteral("dlgSession"));
        w.dlgSession->setNameFilters({kSessionFilter, QStringLiteral("All Files (*)")});
        w.dlgSession->setDefaultSuffix(QStringLiteral("tcsession"));
        w.dlgSession->setDirectory(QCoreApplication::applicationDirPath());
    }
    QFileDialog& d = *w.dlgSession;
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setWindowTitle(save ? QStringLiteral("Save Session As") : QStringLiteral("Open Session"));
    d.selectNameFilter(kSessionFilter);
    if (save) {
        // The session's own name, else the record's.
        QString name = QFileInfo(w.sessionPath).completeBaseName();
        if (name.isEmpty()) name = QFileInfo(w.edt5->text()).completeBaseName();
        if (name.isEmpty()) name = QStringLiteral("session");
        d.selectFile(name + QStringLiteral(".tcsession"));
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().constFirst();
}

void TForm1::SaveSession1Click() {
    if (sessionPath.isEmpty()) {
        SaveSessionAs1Click();
        return;
    }
    saveSession(sessionPath);
}

void TForm1::SaveSessionAs1Click() {
    const QString path = chooseSessionFile(*this, true);
    if (path.isEmpty()) return;
    saveSession(path);
}

bool TForm1::maySaveChanges() {
    if (!hasUnsavedWork()) return true;
    QMessageBox box(QMessageBox::Question, tc::gui::appTitle(),
                    QStringLiteral("Save the changes to the session?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("SaveChangesQuestion"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Discard) return true;
    if (answer != QMessageBox::Save) return false;
    if (!sessionPath.isEmpty()) return saveSession(sessionPath);
    const QString path = chooseSessionFile(*this, true);
    return !path.isEmpty() && saveSession(path);
}

void TForm1::OpenSession1Click() {
    const QString path = chooseSessionFile(*this, false);
    if (path.isEmpty()) return;
    openSession(path);
}

void TForm1::openSession(const QString& path) {
    // Read and checked whole before the window changes: a file that cannot be used leaves it as
    // it was, and asks nothing.
    tc::Session s;
    tc::RestoredWorkspace w;
    {
        const tc::gui::WaitCursor wait;
        s = tc::readSessionFile(fsPath(path));
        const std::u8string u8 = fsPath(path).u8string();
        w = tc::restoreWorkspace(s, std::string(u8.begin(), u8.end()));
    }
    if (!maySaveChanges()) return; // the session would replace unsaved work
    const tc::gui::WaitCursor wait;
    showSession(s, std::move(w));
    undoStack->clear();
    sessionPath = path;
    undoStack->setClean();
    updateTitle();
    rzstsbr1->showMessage(QStringLiteral("Session opened: %1").arg(QDir::toNativeSeparators(path)),
                          5000);
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool close = true;
    tc::gui::runCommand(this, [&] { close = maySaveChanges(); });
    if (!close) {
        event->ignore();
        return;
    }
    // A normal end: the recovery copy of this run goes.
    if (!recoveryFile.isEmpty()) {
        if (recoveryWriter_.joinable()) recoveryWriter_.join();
        delete recoveryTimer_;
        recoveryTimer_ = nullptr;
        QFile::remove(recoveryFile);
        recoveryLock_.reset();
        recoveryFile.clear();
    }
    QMainWindow::closeEvent(event);
}

// ---- crash recovery ----

void TForm1::startRecovery(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) return;
    const QDir dir(folder);
    // A copy whose run has ended without closing the window: its lock is free.
    const QFileInfoList copies =
        dir.entryInfoList({QStringLiteral("recovery-*.tcsession")}, QDir::Files, QDir::Time);
    for (const QFileInfo& copy : copies) {
        QLockFile lock(dir.filePath(copy.completeBaseName() + QStringLiteral(".lock")));
        lock.setStaleLockTime(0);       // only a lock whose process is gone is stale
        if (!lock.tryLock(0)) continue; // another running instance's copy
        const QMessageBox::StandardButton answer = QMessageBox::question(
            this, tc::gui::appTitle(),
            QStringLiteral("Work that was not saved was found from a run that ended on %1 "
                           "without closing. Restore it?")
                .arg(QLocale().toString(copy.lastModified(), QLocale::ShortFormat)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            tc::gui::runCommand(this, [&] {
                const tc::Session s = tc::readSessionFile(fsPath(copy.absoluteFilePath()));
                tc::RestoredWorkspace w = tc::restoreWorkspace(s, utf8(copy.absoluteFilePath()));
                showSession(s, std::move(w));
                undoStack->clear();
                sessionPath.clear();
                undoStack->resetClean(); // restored work is in no saved session
                updateTitle();
            });
        }
        QFile::remove(copy.absoluteFilePath());
        break; // one offer per start
    }
    const QString base =
        dir.filePath(QStringLiteral("recovery-%1").arg(QCoreApplication::applicationPid()));
    recoveryLock_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    recoveryLock_->setStaleLockTime(0);
    if (!recoveryLock_->tryLock(0)) {
        recoveryLock_.reset();
        return;
    }
    recoveryFile = base + QStringLiteral(".tcsession");
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setInterval(kRecoveryIntervalMs);
    connect(recoveryTimer_, &QTimer::timeout, this,
            [this] { tc::gui::runCommand(this, [this] { writeRecoveryCopy(); }); });
    recoveryTimer_->start();
}

void TForm1::writeRecoveryCopy() {
    if (recoveryFile.isEmpty() || stepDepth_ > 0) return; // not in the middle of a drag
    if (!hasUnsavedWork()) {
        if (QFile::exists(recoveryFile)) QFile::remove(recoveryFile);
        recoveryIndex_ = -1;
        return;
    }
    if (recoveryIndex_ == recoveryChanges_) return; // the copy is up to date
    // The text is made here; the file is written beside the work, so a large record does not
    // hold the window up.
    std::string text = tc::sessionText(currentSession());
    if (recoveryWriter_.joinable()) recoveryWriter_.join();
    recoveryWriter_ = std::thread([path = fsPath(recoveryFile), text = std::move(text)] {
        try {
            tc::replaceFileContents(path, text);
        } catch (const std::exception&) {
            // A copy that cannot be written is tried again at the next change.
        }
    });
    recoveryIndex_ = recoveryChanges_;
}
