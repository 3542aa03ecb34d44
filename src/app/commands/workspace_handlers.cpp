// Import Loop, Analyze Loop and the loop browser: the handlers that fill the curve workspace.
// The import itself (importRecordFile) is in import_handlers.cpp.
#include "app/tform1.h"
#include "chart/chart_series.h"
#include "ui/command.h"
#include "ui/qt_number.h"
#include "workspace/loop_analysis.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QSignalBlocker>

void TForm1::clearImport() {
    dispRaw.clear();
    forceRaw.clear();
    rawSeriesSource.clear();
    rawOriginals.clear();
    rawSeries->clear();
    edt5->clear();
    edt6->clear();
}

void TForm1::clearAnalysis() {
    loopDisp.clear();
    loopForce.clear();
    crossIndex.clear();
    peakIndex1.clear();
    peakIndex2.clear();
    maxDisp1.clear();
    maxDisp2.clear();
    maxDispForce1.clear();
    maxDispForce2.clear();
    analysis.loopCount = 0;
    analysisInput = {};
    rawAnalysedIndex.clear();
    {
        const QSignalBlocker block(cbb1);
        cbb1->clear();
    }
    pntsrsSeries1->clear();
    pntsrsSeries2->clear();
    loopSeries->clear();
    skeletonPosSeries->clear();
    skeletonNegSeries->clear();
}

void TForm1::clearLoopValues() {
    edt1->clear();
    edt2->clear();
    edt3->clear();
    edt4->clear();
}

void TForm1::btn1Click() {
    importLoopFile();
}

void TForm1::importLoopFile() {
    int beginLine = 0, step = 0;
    if (!readImportParameters(beginLine, step)) return;
    if (dlgOpen1->exec() != QDialog::Accepted || dlgOpen1->selectedFiles().isEmpty()) return;
    importRecordFile(dlgOpen1->selectedFiles().constFirst(), beginLine, step);
}

void TForm1::btn2Click() {
    clearAnalysis();
    clearLoopValues();
    if (dispRaw.size() < 3) {
        tc::gui::showWarning(this, QStringLiteral("Imported Loop is less than 3 points!"));
        return;
    }
    {
        const tc::gui::WaitCursor wait;
        analysis = tc::analyzeLoops(dispRaw, forceRaw, analysisOptions.deadBand);
    }
    // What the analysis read, so that a session can make it again.
    analysisInput = {true, analysisOptions.deadBand, {}};
    for (const tc::RawPointValue& p : rawOriginals) {
        const auto i = static_cast<size_t>(p.index);
        analysisInput.drags.push_back({p.index, dispRaw[i], forceRaw[i]});
    }
    const tc::LoopAnalysis& a = analysis;

    edt6->setText(QString::asprintf("%i", a.loopCount));
    {
        const QSignalBlocker block(cbb1);
        QStringList items;
        items.reserve(a.loopCount);
        for (int n = 1; n <= a.loopCount; ++n)
            items << QStringLiteral("Loop_%1").arg(n);
        cbb1->addItems(items);
        cbb1->setCurrentIndex(0);
    }
    cbb1Change();
}

void TForm1::cbb1Change() {
    clearLoopValues();
    if (crossIndex.empty()) return;
    const int k = cbb1->currentIndex();
    if (k < 0) return;
    loopSeries->clear();
    pntsrsSeries1->clear();
    pntsrsSeries2->clear();

    const char sep = decimalSeparator();
    const auto uk = static_cast<size_t>(k);
    const bool first = uk < maxDisp1.size();
    const bool second = uk < maxDisp2.size();
    const QString none = QStringLiteral("--");
    edt1->setText(first ? tc::gui::numberText(maxDisp1[uk], sep) : none);
    edt3->setText(first ? tc::gui::numberText(maxDispForce1[uk], sep) : none);
    edt2->setText(second ? tc::gui::numberText(maxDisp2[uk], sep) : none);
    edt4->setText(second ? tc::gui::numberText(maxDispForce2[uk], sep) : none);

    const tc::LoopBounds b = tc::loopBounds(crossIndex, static_cast<int>(loopDisp.size()), k);
    loopSeries->setTitle(cbb1->itemText(k));
    loopSeries->setPoints(
        std::vector<double>(loopDisp.begin() + b.start, loopDisp.begin() + b.end + 1),
        std::vector<double>(loopForce.begin() + b.start, loopForce.begin() + b.end + 1));

    auto at = [&](int i) { return static_cast<size_t>(i); };
    pntsrsSeries1->addXY(loopDisp[at(b.start)], loopForce[at(b.start)], QColor(0xFF, 0xFF, 0x00));
    if (b.middle >= 0)
        pntsrsSeries1->addXY(loopDisp[at(b.middle)], loopForce[at(b.middle)],
                             QColor(0xFF, 0x00, 0x00));
    pntsrsSeries1->addXY(loopDisp[at(b.end)], loopForce[at(b.end)], QColor(0x00, 0xFF, 0x00));
    if (first) pntsrsSeries2->addXY(maxDisp1[uk], maxDispForce1[uk], QColor(0x00, 0xFF, 0xFF));
    if (second) pntsrsSeries2->addXY(maxDisp2[uk], maxDispForce2[uk], QColor(0x00, 0xFF, 0xFF));
}
