#pragma once
#include "workspace/import_settings.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// The first maxLines lines of a record file's bytes as UTF-8 text, decoded as decodeRecordText
// decodes the whole file (the byte-order mark, or UTF-8 when the whole file is UTF-8, otherwise
// Latin-1). Only the head is copied and decoded.
std::string recordHead(std::string_view bytes, size_t maxLines);

// What a look at the first lines of a record tells.
struct RecordPreview {
    std::vector<std::string> lines;               // the lines shown, 1-based line i is lines[i-1]
    std::vector<std::vector<std::string>> fields; // each line split by the import's field rule
    size_t columnCount = 0;                       // the most fields of any line shown
    // The first line from which two numbers follow (the displacement and force columns of it and
    // of the next line are numbers); 0 when no line shown is one.
    int suggestedBegin = 0;
    // Per column (size columnCount): the name in the header lines and its unit ("" where none).
    std::vector<std::string> columnNames;
    std::vector<std::string> columnUnits;
    // The columns that the header names or units call displacement and force; 0 when the header
    // does not tell both.
    int suggestedDispColumn = 0;
    int suggestedForceColumn = 0;
};

// Splits the lines of the head and reads what they tell, under the settings' separators and
// columns.
RecordPreview previewRecord(std::string_view head, const ImportSettings& s,
                            char userDecimalSeparator);

// The common part of a preview: from the fields of its lines, the begin line, the names and units
// of the header lines above it and the columns they suggest. isNumber tells whether a field of a
// line is a number; headerFields gives the fields of a line read as a header.
void finishPreview(RecordPreview& p, const ImportSettings& s,
                   const std::function<bool(size_t line, size_t field)>& isNumber,
                   const std::function<std::vector<std::string>(size_t line)>& headerFields);

// The decimal mode the lines suggest: comma decimals with ';' when most lines hold a ';', comma
// decimals with the tab when most lines are tab-separated numbers with decimal commas. Returns
// false when the lines suggest nothing in particular.
bool suggestDecimalMode(std::string_view head, DecimalMode& mode, CommaFieldSeparator& separator);

// A unit in a header text: the text in trailing brackets ("Disp (mm)", "F [kN]"), or a known unit
// after the last '_' or blank ("disp_mm", "force kN"), or the whole text when it is a known unit
// ("kN"). Empty when none.
std::string unitInHeader(std::string_view name);

// The begin line suggested for a text: the whole preview rule at the given settings.
int suggestBeginLine(std::string_view text, const ImportSettings& s, char userDecimalSeparator);

} // namespace tc
