#pragma once
#include "results/engineering_results.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// The one layout of the engineering results: the window shows these tables, the CSV file and the
// workbook write them. A cell holds a number or a text ("--" where a value does not exist). A
// number that is not finite never enters a table: it is "--".
struct ResultCell {
    std::optional<double> number;
    std::string text;

    static ResultCell of(double v) { return std::isfinite(v) ? ResultCell{v, {}} : none(); }
    static ResultCell of(const std::optional<double>& v) { return v ? of(*v) : none(); }
    static ResultCell label(std::string t) { return {std::nullopt, std::move(t)}; }
    static ResultCell none() { return label("--"); }
};

struct ResultTable {
    std::string name; // "Loops", "Skeleton": the workbook's sheet name
    std::vector<std::string> header;
    std::vector<std::vector<ResultCell>> rows;
};

// The name of each yield method and evaluation curve as the user picks it.
std::string yieldMethodName(YieldMethod method);
inline constexpr int kYieldMethodCount = 6;
std::string evaluationCurveName(EvaluationCurve curve);
inline constexpr int kEvaluationCurveCount = 2;

// The loop table (one row per loop), the skeleton table (one row per quantity, a column per
// direction), the level table (one row per amplitude level) and the summary (one row per
// quantity of the whole record, the evaluation curve, the yield method and the warnings).
ResultTable loopTable(const std::vector<LoopResult>& loops);
ResultTable skeletonTable(const EngineeringResults& results);
ResultTable levelTable(const std::vector<LevelResult>& levels);
ResultTable summaryTable(const EngineeringResults& results);
std::vector<ResultTable> resultTables(const EngineeringResults& results);

// A cell as text by the program's number rule; for the screen a number may be rounded to fewer
// significant digits first (from 1 to 15; the files keep 15).
inline constexpr int kFileDigits = 15;
inline constexpr int kDisplayDigits = 6;
std::string cellText(const ResultCell& cell, char decimalSeparator, int significantDigits = 15);

// value rounded to significantDigits (1..15) significant decimal digits.
double roundToSignificant(double value, int significantDigits);

// The CSV file: each table under a line with its name, tables apart by an empty line, lines
// ending in CR LF. Fields are separated by ',' or, where the decimal separator is ',', by ';'.
// A field holding the separator or a quote is quoted.
std::string resultsCsv(const std::vector<ResultTable>& tables, char decimalSeparator);

// The workbook: a sheet per table, numbers stored as numbers. Throws Error when the file cannot
// be written.
void writeResultsWorkbook(const std::vector<ResultTable>& tables,
                          const std::filesystem::path& path);

} // namespace tc
