// "Export Report...": the PDF with its pages and text, the message when it cannot be written,
// and the long tables that go on over pages.
#include "app/tform1.h"
#include "chart/chart_view.h"
#include "modal_answerer.h"
#include "results/results_report.h"
#include "test_files.h"
#include "window_driver.h"

#include <QAction>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Three amplitude levels, two cycles each; the repeats carry 0.8 of the first cycle's force.
const char* kLevels = "0 0\n1 10\n0.5 4\n0 -1\n-1 -10\n-0.5 -4\n0 1\n1 8\n0.5 3\n0 -1\n-1 -8\n"
                      "-0.5 -3\n0 1\n2 18\n1 8\n0 -2\n-2 -18\n-1 -8\n0 2\n2 14.4\n1 6\n0 -2\n"
                      "-2 -14.4\n-1 -6\n0 2\n3 20\n2 12\n0 -3\n-3 -20\n-2 -12\n0 3\n3 16\n"
                      "2 9\n0 -3\n-3 -16\n-2 -9\n0 3\n";

// The pages of a PDF as its page objects count them.
int pageObjects(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

// The text of a PDF by pdftotext (poppler-utils), or a null string where it is not installed.
QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void theReportHoldsEverythingOnNumberedPages() {
        TForm1 w;
        ModalAnswerer answers;
        importAndAnalyze(w, answers, tmp, kLevels, QStringLiteral("specimen_A.txt"));
        w.rb1->setChecked(true);
        w.btn5->click();
        const QString path = tmp.filePath(QStringLiteral("report"));
        answers.queueFile(path);
        w.ExportReport1->trigger();
        QVERIFY2(answers.messages.empty(), qPrintable(answers.messageTexts().join('\n')));
        QCOMPARE(answers.lastSuggestedName, QStringLiteral("specimen_A_Report.pdf"));
        const QByteArray pdf = readTestFile(path + QStringLiteral(".pdf"));
        QVERIFY(pdf.startsWith("%PDF"));
        // The record, settings and summary; the chart; seven plots two to a page; the skeleton,
        // level and loop tables.
        constexpr int pages = 1 + 1 + 4 + 3;
        QCOMPARE(pageObjects(pdf), pages);
        QCOMPARE(w.rzstsbr1->currentMessage(),
                 QStringLiteral("Report written: %1 (%2 pages)")
                     .arg(QDir::toNativeSeparators(path + QStringLiteral(".pdf")))
                     .arg(pages));
        // No mark is left on the chart after the report.
        QCOMPARE(w.cht1->layer(ChartView::kMarkerLayer)->children().size(), 2);

        const QString text = pdfText(path + QStringLiteral(".pdf"));
        if (text.isNull())
            QSKIP("pdftotext (poppler-utils) is not installed: the report's text is not checked");
        for (const QString& s :
             {QStringLiteral("TarvelCurve test report"), QStringLiteral("specimen_A.txt"),
              QStringLiteral("Dead band"), QStringLiteral("Loop Direction"),
              QStringLiteral("Positive"), QStringLiteral("Skeleton rule"),
              QStringLiteral("控制位移递增"), QStringLiteral("First-cycle envelope"),
              QStringLiteral("General yield moment"), QStringLiteral("Load protocol"),
              QStringLiteral("Evaluation curve"), QStringLiteral("Strength"),
              QStringLiteral("Page 1 of 9"), QStringLiteral("Page 9 of 9"),
              QStringLiteral("2019.08.16"), QStringLiteral("Peak force Pmax")})
            QVERIFY2(text.contains(s), qPrintable(s + QLatin1Char('\n') + text));
        // Numbers as the results window shows them, rounded to 6 significant digits: the
        // stiffness of level 1, 20 / 2 = 10, and its degradation at level 3, (40 / 6) / 10.
        QVERIFY(text.contains(QStringLiteral("0.666667")));
        QVERIFY(!text.contains(QStringLiteral("0.6666666")));
    }

    void aReportThatCannotBeWrittenSaysWhy() {
        TForm1 w;
        ModalAnswerer answers;
        importAndAnalyze(w, answers, tmp, kLevels);
        const QString target = tmp.filePath(QStringLiteral("gone.pdf"));
        QVERIFY(QFile::link(tmp.filePath(QStringLiteral("gone/report.pdf")), target));
        answers.queueFile(target);
        w.ExportReport1->trigger();
        QCOMPARE(answers.messages.size(), 1u);
        QCOMPARE(answers.messages[0].text, "Cannot create file \"" +
                                               QDir::toNativeSeparators(target) +
                                               "\". No such file or directory");
        QVERIFY(!QFileInfo::exists(target));
    }

    void withoutAnAnalysisTheStatusBarSaysWhy() {
        TForm1 w;
        ModalAnswerer answers;
        w.ExportReport1->trigger();
        QCOMPARE(answers.fileDialogsSeen, 0);
        QVERIFY(w.rzstsbr1->currentMessage().startsWith(QStringLiteral("No report: ")));
    }

    void longTablesGoOnOverPagesWithTheirHeader() {
        tc::ResultTable t;
        t.name = "Loops";
        t.header = {"Loop", "Energy E"};
        for (int i = 1; i <= 500; ++i)
            t.rows.push_back({tc::ResultCell::of(i), tc::ResultCell::of(i / 3.0)});
        ReportContent c;
        c.program = QStringLiteral("TarvelCurve");
        c.tables = {t};
        int all = 0, cut = 0;
        const QByteArray full = reportPdf(c, &all);
        QCOMPARE(pageObjects(full), all);
        QVERIFY(all > 5); // the title page and several pages of rows
        c.maxTableRows = 100;
        const QByteArray part = reportPdf(c, &cut);
        QCOMPARE(pageObjects(part), cut);
        const QString path = writeTestFile(tmp, QStringLiteral("part.pdf"), part);
        const QString text = pdfText(path);
        QVERIFY(cut >= 3 && cut < all); // the title page and 100 rows over two pages at least
        if (text.isNull()) QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(text.contains(QStringLiteral("Rows 101 to 500 are not listed here")));
        QVERIFY(text.contains(QStringLiteral("33.3333"))); // row 100, 6 digits
    }
};

QTEST_MAIN(ReportTest)
#include "report_test.moc"
