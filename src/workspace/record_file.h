#pragma once
#include "common/error.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// Turns the bytes of a record file into UTF-8 text: a byte-order mark selects UTF-8, UTF-16 LE or
// UTF-16 BE (the mark is dropped). UTF-8 bytes, with or without the mark, are taken as they are
// when they are valid UTF-8, otherwise as Latin-1 (every byte one character).
std::string decodeRecordText(std::string_view bytes);

// Splits text into lines at CR LF, LF or CR. A line break at the very end makes no extra line.
std::vector<std::string_view> splitLines(std::string_view text);

// The character that separates fields besides runs of blanks: the comma, the semicolon (in
// records written with decimal commas), or none (blanks and tabs alone).
enum class FieldSeparator { Comma, Semicolon, Blanks };

// Splits one line into fields: the comma separates, and so does every run of characters with codes
// 1 to 32; blanks next to a comma belong to the separator; a field that starts with a double quote
// runs to the matching quote ("" inside stands for one quote); two commas in a row give an empty
// field; a comma at the very end gives an empty last field. A NUL character ends the line, inside
// quotes too. Stops after maxFields fields (0: no limit). With another separator, that character
// takes the comma's part, and the comma is an ordinary character.
std::vector<std::string> splitFields(std::string_view line, size_t maxFields = 0,
                                     FieldSeparator separator = FieldSeparator::Comma);

struct RecordReadResult {
    std::vector<double> disp;  // field 1 of every line read
    std::vector<double> force; // field 2, same length as disp
    // Set when reading stopped at a bad line; the points before it are kept.
    std::string warning;
    int badLine = 0;        // 1-based number of the line that stopped the import, 0 when none
    bool cancelled = false; // the progress callback stopped the import; the points are incomplete
};

// How far an import has come. A file is first read whole, then its text is parsed.
struct ImportProgress {
    enum class Stage { Reading, Parsing };
    Stage stage = Stage::Parsing;
    size_t bytesDone = 0;  // bytes of the file read, or of its text parsed
    size_t bytesTotal = 0; // size of the file, or of its text
    size_t linesDone = 0;  // lines passed by the parser
    // The share of the whole import done, from 0 to 1 (reading is the first half).
    double fraction() const;
};

// Called now and then during an import (at least every few megabytes); returns false to cancel.
using ProgressFn = std::function<bool(const ImportProgress&)>;

// Reads lines beginLine, beginLine + step, ... (1-based) of the text; field 1 is the displacement,
// field 2 the force, further fields are ignored. A line without a second field, or a field that is
// not a number, ends the reading with a warning; the points above it stay. beginLine and step must
// be at least 1. The text is read in place, in one pass.
RecordReadResult readRecord(std::string_view text, int beginLine, int step, char decimalSeparator,
                            const ProgressFn& progress = {});

// Where the point of a line is read from: fields dispField and forceField (0-based, split at
// `separator`), numbers written with `decimal`, each value multiplied by its factor. At the
// defaults with the user's decimal separator, the reading readRecord does.
struct FieldPick {
    size_t dispField = 0;
    size_t forceField = 1;
    double dispFactor = 1.0;
    double forceFactor = 1.0;
    char decimal = '.';
    FieldSeparator separator = FieldSeparator::Comma;
};

// readRecord with the fields of the pick: a line without the displacement's field, then one
// without the force's, gives "List index out of bounds (<field>)"; a field that is not a number
// its conversion message, the displacement's first; a value that its factor takes beyond the
// number range "A value times its scale is beyond the number range."
RecordReadResult readRecord(std::string_view text, int beginLine, int step, const FieldPick& pick,
                            const ProgressFn& progress = {});

// A record file that cannot be opened or read: "Cannot open file "<path>". <reason>".
class FileOpenError : public Error {
public:
    using Error::Error;
};

// A folder, named pipe, device or a link to one: "Cannot open file "<path>". It is not a regular
// file." Nothing has been read.
class NotRegularFileError : public FileOpenError {
public:
    using FileOpenError::FileOpenError;
};

// Reads a record file whole, in one pass, and its lines as readRecord does, with the encoding that
// decodeRecordText takes. While reading, memory holds the file's bytes and the points; afterwards
// the points alone (16 bytes each). Throws NotRegularFileError for anything but a regular file and
// FileOpenError when the file cannot be opened or read.
RecordReadResult readRecordFile(const std::filesystem::path& path, int beginLine, int step,
                                char decimalSeparator, const ProgressFn& progress = {});
// The same with the fields of the pick, as readRecord reads them.
RecordReadResult readRecordFile(const std::filesystem::path& path, int beginLine, int step,
                                const FieldPick& pick, const ProgressFn& progress = {});

// A record file's text as decodeRecordText gives it, read as readRecordFile reads it (regular
// files only, the same errors). The text is empty and cancelled set when progress cancelled.
struct RecordFileText {
    std::string text;
    bool cancelled = false;
};
RecordFileText readRecordFileText(const std::filesystem::path& path,
                                  const ProgressFn& progress = {});

} // namespace tc
