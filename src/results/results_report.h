#pragma once
#include "results/results_tables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <utility>
#include <vector>

class ChartView;

// What the test report holds, gathered by its command: the record, the settings, the charts and
// the tables.
struct ReportContent {
    QString program, version, date;
    QString title;                                     // the record's name
    std::vector<std::pair<QString, QString>> record;   // name, path, size, import settings
    std::vector<std::pair<QString, QString>> settings; // the analysis settings
    QStringList warnings;
    ChartView* chart = nullptr; // the hysteresis chart with its marks
    std::vector<std::pair<QString, ChartView*>> plots;
    std::vector<tc::ResultTable> tables; // the summary first
    char decimalSeparator = '.';
    int digits = tc::kDisplayDigits; // the numbers rounded as the results window shows them
    // A table longer than this lists its first rows and says how many it leaves out.
    std::size_t maxTableRows = 2000;
};

// The report as a vector PDF on A4 pages, each numbered "Page n of N" under the program's name,
// version and the date: the record and the settings, the chart, the result plots two to a page
// and the tables. pages receives the number of pages. Empty when no document could be made.
QByteArray reportPdf(const ReportContent& content, int* pages = nullptr);
