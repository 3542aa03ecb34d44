#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// Turns the bytes of a record file into UTF-8 text: a byte-order mark selects UTF-8, UTF-16 LE or
// UTF-16 BE (the mark is dropped); without a mark the bytes are taken as UTF-8 when they are valid
// UTF-8, otherwise as Latin-1 (every byte one character).
std::string decodeRecordText(std::string_view bytes);

// Splits text into lines at CR LF, LF or CR. A line break at the very end makes no extra line.
std::vector<std::string_view> splitLines(std::string_view text);

// Splits one line into fields: the comma separates, and so does every run of characters with codes
// 1 to 32; blanks next to a comma belong to the separator; a field that starts with a double quote
// runs to the matching quote ("" inside stands for one quote); two commas in a row give an empty
// field; a comma at the very end gives an empty last field. A NUL character ends the line.
// Stops after maxFields fields (0: no limit).
std::vector<std::string> splitFields(std::string_view line, size_t maxFields = 0);

struct RecordReadResult {
    std::vector<double> disp;  // field 1 of every line read
    std::vector<double> force; // field 2, same length as disp
    // Set when reading stopped at a bad line; the points before it are kept.
    std::string warning;
    int badLine = 0; // 1-based number of the line that stopped the import, 0 when none
};

// Progress: lines handled so far and lines to handle; called now and then.
using ProgressFn = std::function<void(size_t done, size_t total)>;

// Reads lines beginLine, beginLine + step, ... (1-based) of the text; field 1 is the displacement,
// field 2 the force, further fields are ignored. A line without a second field, or a field that is
// not a number, ends the reading with a warning; the points above it stay. beginLine and step must
// be at least 1.
RecordReadResult readRecord(std::string_view text, int beginLine, int step, char decimalSeparator,
                            const ProgressFn& progress = {});

} // namespace tc
