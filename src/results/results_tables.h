#pragma once
#include "results/engineering_results.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// The one layout of the engineering results: the window shows these tables, the CSV file and the
// workbook write them. A cell holds a number or a text ("--" where a value does not exist).
struct ResultCell {
    std::optional<double> number;
    std::string text;

    static ResultCell of(double v) { return {v, {}}; }
    static ResultCell of(const std::optional<double>& v) { return v ? of(*v) : none(); }
    static ResultCell label(std::string t) { return {std::nullopt, std::move(t)}; }
    static ResultCell none() { return label("--"); }
};

struct ResultTable {
    std::string name; // "Loops", "Skeleton": the workbook's sheet name
    std::vector<std::string> header;
    std::vector<std::vector<ResultCell>> rows;
};

// The name of each yield method as the user picks it.
std::string yieldMethodName(YieldMethod method);
inline constexpr int kYieldMethodCount = 4;

// The loop table (one row per loop) and the skeleton table (one row per quantity, a column per
// direction).
ResultTable loopTable(const std::vector<LoopResult>& loops);
ResultTable skeletonTable(const EngineeringResults& results);
std::vector<ResultTable> resultTables(const EngineeringResults& results);

// A cell as text by the program's number rule.
std::string cellText(const ResultCell& cell, char decimalSeparator);

// The CSV file: each table under a line with its name, tables apart by an empty line, lines
// ending in CR LF. Fields are separated by ',' or, where the decimal separator is ',', by ';'.
// A field holding the separator or a quote is quoted.
std::string resultsCsv(const std::vector<ResultTable>& tables, char decimalSeparator);

// The workbook: a sheet per table, numbers stored as numbers. Throws Error when the file cannot
// be written.
void writeResultsWorkbook(const std::vector<ResultTable>& tables,
                          const std::filesystem::path& path);

} // namespace tc
