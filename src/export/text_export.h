#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// The two kinds of result file the save dialog offers: its filter index 1 is text, 2 is CSV.
enum class TextFileType { Text = 1, Csv = 2 };

// Filter index of the save dialog to file type: 2 is CSV, anything else text.
TextFileType textFileTypeFromFilterIndex(int filterIndex);

inline constexpr std::string_view kModifiedLoopsSuffix = "_ModifiedLoops";
inline constexpr std::string_view kAnalysisResultsSuffix = "_TarvelCurveAnalysisResults";

// The name proposed in the save dialog: the file-name part of importedPath (what follows the last
// '\', '/' or ':'), without its extension (from its last '.' on), followed by suffix. No folder,
// no extension. An empty path gives the suffix alone.
std::string suggestedExportName(std::string_view importedPath, std::string_view suffix);

// The file actually written for the name the dialog returned: ".csv" appended for CSV, ".txt"
// otherwise, whatever the name already ends with (out.csv becomes out.csv.csv).
std::string exportTargetName(std::string_view chosenName, TextFileType type);

// Lines of the "Export Modified Loop" file: the header "X Y" / "X,Y", then one line per point of
// the analysed curve. disp and force must have the same length.
std::vector<std::string> modifiedLoopLines(std::span<const double> disp,
                                           std::span<const double> force, TextFileType type,
                                           char decimalSeparator);

// The per-loop extreme points as the analysis leaves them: the second-half arrays may be shorter
// than the first-half ones, and both may be shorter than the loop count.
struct LoopExtremes {
    int loopCount = 0; // number of loops listed (the items of the loop list)
    std::span<const double> maxDisp1, maxDispForce1;
    std::span<const double> maxDisp2, maxDispForce2;
};

// Lines of the "Export Analysis Results" file: the header, then per loop its number and the two
// extreme points ("--" for a missing one), every data line ending with a separator.
std::vector<std::string> analysisResultLines(const LoopExtremes& loops, TextFileType type,
                                             char decimalSeparator);

// The bytes of a result file: every line followed by CR LF, the last one included.
std::string fileBytes(const std::vector<std::string>& lines);

// The bytes of the "Export Modified Loop" file built in one pass (same content as
// fileBytes(modifiedLoopLines(...)), without a string per line).
std::string modifiedLoopFileBytes(std::span<const double> disp, std::span<const double> force,
                                  TextFileType type, char decimalSeparator);

} // namespace tc
