#pragma once
#include "workspace/record_file.h"

#include <string>
#include <string_view>

namespace tc {

// How numbers are written in the record: with the user's decimal separator (the comma and blanks
// separate fields), with a point, or with a comma (then ';' or the tab separates fields).
enum class DecimalMode { User, Point, Comma };
enum class CommaFieldSeparator { Semicolon, Tab };

// One imported quantity: the 1-based field it is read from, and value = sign * scale * field.
struct ColumnSetting {
    int column = 1;
    double scale = 1.0;
    bool negate = false;
    bool operator==(const ColumnSetting&) const = default;
};

// The options of an import beyond its begin line and step. At the defaults the import reads field
// 1 as the displacement and field 2 as the force exactly as readRecord does.
struct ImportSettings {
    ColumnSetting disp{1, 1.0, false};
    ColumnSetting force{2, 1.0, false};
    DecimalMode decimal = DecimalMode::User;
    CommaFieldSeparator commaSeparator = CommaFieldSeparator::Semicolon;
    int sheet = 0;        // the sheet of a workbook, 0-based
    std::string dispUnit; // axis units, shown as "Disp (mm)"; empty: none
    std::string forceUnit;

    bool isDefault() const { return *this == ImportSettings{}; }
    // Whether the reading differs from the specified one (units only name the axes).
    bool changesReading() const;
    bool operator==(const ImportSettings&) const = default;
};

// The decimal separator the settings read numbers with.
char effectiveDecimalSeparator(const ImportSettings& s, char userDecimalSeparator);

// The fields of one line under the settings: the import's field rule; for comma decimals the
// same rule with the roles of the characters swapped, so that ';' (or the tab) separates and the
// comma stays inside the number. Returned fields are written with the comma again. Stops after
// maxFields fields (0: no limit).
std::vector<std::string> splitRecordLine(std::string_view line, const ImportSettings& s,
                                         size_t maxFields = 0);

// The separator the settings split fields at, and where they read the point of a line from.
FieldSeparator fieldSeparator(const ImportSettings& s);
FieldPick fieldPick(const ImportSettings& s, char userDecimalSeparator);

// A short text of the settings that are not the defaults ("disp = field 2 x 1000, comma
// decimals (;)"), empty at the defaults.
std::string describeSettings(const ImportSettings& s);

// The axis titles: "Disp (mm)" with a unit, "Disp" without.
std::string dispAxisTitle(const ImportSettings& s);
std::string forceAxisTitle(const ImportSettings& s);

// Checks a setting the user typed; throws Error with a message for the user when a column is
// below 1 or a scale is zero or not finite.
void checkSettings(const ImportSettings& s);

// Reads the record like readRecord, with the columns, scales, signs and separators of the
// settings; at settings that change nothing it is readRecord itself. Blank lines at the very end
// of the text (nothing but blanks after the last line read) end the reading without a warning.
// A scaled value beyond the number range ends the reading with a warning.
RecordReadResult readRecordWith(std::string_view text, int beginLine, int step,
                                char userDecimalSeparator, const ImportSettings& s,
                                const ProgressFn& progress = {});

// Reads a record file as readRecordFile does (in place, in one pass), with the settings as
// readRecordWith takes them; the stop at trailing blank lines is left to forgiveTrailingBlanks,
// which needs the text. Throws Error for settings that checkSettings refuses, before reading.
RecordReadResult readRecordFileWith(const std::filesystem::path& path, int beginLine, int step,
                                    char userDecimalSeparator, const ImportSettings& s,
                                    const ProgressFn& progress = {});

// The rule readRecordWith ends with: a stop at a blank line with nothing but blanks after it is
// the end of the data, and r loses its warning.
void forgiveTrailingBlanks(std::string_view text, RecordReadResult& r);

// Loop direction of a record: the sign of the first displacement that departs from the first one
// by more than 2 % of the displacement range. None for fewer than two points or no range.
enum class RecordDirection { None, Positive, Negative };
RecordDirection suggestLoopDirection(const std::vector<double>& disp);

// What went wrong where, for the message box under an import warning: the line number and file
// name, the line itself (at most 80 characters) and a remedy where one is clear. suggestedBegin is
// the begin line a preview would suggest (0 when none).
struct StopExplanation {
    std::string text;
    bool notANumber = false; // the line holds a field that is not a number
};
StopExplanation explainStop(std::string_view text, const RecordReadResult& r, int beginLine,
                            const ImportSettings& s, const std::string& fileName,
                            int suggestedBegin);

} // namespace tc
