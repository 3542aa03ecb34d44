// Workbook records: .xlsx and .ods through libzip and expat, .xls through FreeXL.
#include "workspace/workbook_reader.h"

#include "common/error.h"

#include <expat.h>
#include <freexl.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>

namespace tc {

namespace {

// Repeats in OpenDocument rows and cells are written out up to these counts (a sheet's filler of
// a million empty rows is never expanded: only repeats before further content are).
constexpr size_t kMaxRowRepeat = 1u << 20;
constexpr size_t kMaxCellRepeat = 1u << 14;

std::string fileNameOf(const std::string& path) {
    const size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? path : path.substr(p + 1);
}

[[noreturn]] void fail(const std::string& path, const std::string& problem) {
    throw Error(fileNameOf(path) + ": " + problem);
}

// Whether the file starts with the compound-document signature: an encrypted .xlsx or .ods is
// such a file, and so is every .xls.
bool startsWith(const std::string& path, const char* signature, size_t size) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, static_cast<std::streamsize>(size));
    return static_cast<size_t>(in.gcount()) == size && std::memcmp(head, signature, size) == 0;
}

bool isCompoundDocument(const std::string& path) {
    return startsWith(path, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

const char* localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

const char* attribute(const char** atts, const char* local) {
    for (; *atts; atts += 2)
        if (std::strcmp(localName(atts[0]), local) == 0) return atts[1];
    return nullptr;
}

bool parseNumber(std::string_view s, double& v) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

size_t parseCount(const char* s, size_t fallback) {
    if (!s) return fallback;
    size_t v = 0;
    const auto [end, ec] = std::from_chars(s, s + std::strlen(s), v);
    return ec == std::errc() && v > 0 ? v : fallback;
}

class Zip {
public:
    Zip(const std::string& path, const char* format) : path_(path) {
        int err = 0;
        z_ = zip_open(path.c_str(), ZIP_RDONLY, &err);
        if (z_) return;
        if (isCompoundDocument(path))
            fail(path, "the workbook is password-protected (encrypted). Save it without a "
                       "password and import it again.");
        zip_error_t e;
        zip_error_init_with_code(&e, err);
        const std::string reason = zip_error_strerror(&e);
        zip_error_fini(&e);
        // A zip archive cut short still starts with a member's header.
        if (err == ZIP_ER_NOZIP && !startsWith(path, "PK\x03\x04", 4))
            fail(path, std::string("the file is not ") + format +
                           " workbook (it is not a zip archive; a text record renamed?).");
        if (err == ZIP_ER_OPEN || err == ZIP_ER_NOENT || err == ZIP_ER_READ)
            fail(path, "the file cannot be opened: " + reason + ".");
        fail(path, "the workbook is damaged (" + reason + ").");
    }
    ~Zip() { zip_discard(z_); }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    bool has(const std::string& name) const { return zip_name_locate(z_, name.c_str(), 0) >= 0; }

    // Hands the entry's bytes to sink(data, size, last) in pieces.
    template <class Sink> void stream(const std::string& name, Sink&& sink) const {
        zip_file_t* f = zip_fopen(z_, name.c_str(), 0);
        if (!f) fail(path_, "the workbook is damaged (" + name + " cannot be read).");
        std::vector<char> buf(1 << 18);
        for (;;) {
            const zip_int64_t n = zip_fread(f, buf.data(), buf.size());
            if (n < 0) {
                const std::string reason = zip_file_strerror(f);
                zip_fclose(f);
                fail(path_, "the workbook is damaged (" + name + ": " + reason + ").");
            }
            sink(buf.data(), static_cast<size_t>(n), n == 0);
            if (n == 0) break;
        }
        zip_fclose(f);
    }

    std::string read(const std::string& name) const {
        std::string out;
        stream(name, [&](const char* d, size_t n, bool) { out.append(d, n); });
        return out;
    }

    // Parses an XML entry with a handler that has start(name, atts), end(name), text(s, n).
    template <class Handler> void parse(const std::string& name, Handler& h) const {
        XML_Parser p = XML_ParserCreate("UTF-8");
        XML_SetUserData(p, &h);
        XML_SetElementHandler(
            p,
            [](void* u, const XML_Char* n, const XML_Char** a) {
                static_cast<Handler*>(u)->start(localName(n), a);
            },
            [](void* u, const XML_Char* n) { static_cast<Handler*>(u)->end(localName(n)); });
        XML_SetCharacterDataHandler(p, [](void* u, const XML_Char* s, int len) {
            static_cast<Handler*>(u)->text(s, static_cast<size_t>(len));
        });
        std::string problem;
        try {
            stream(name, [&](const char* d, size_t n, bool last) {
                if (problem.empty() &&
                    XML_Parse(p, d, static_cast<int>(n), last ? 1 : 0) == XML_STATUS_ERROR)
                    problem = std::string(XML_ErrorString(XML_GetErrorCode(p))) + " at line " +
                              std::to_string(XML_GetCurrentLineNumber(p));
            });
        } catch (...) {
            XML_ParserFree(p);
            throw;
        }
        XML_ParserFree(p);
        if (!problem.empty())
            fail(path_, "the workbook is damaged (" + name + ": " + problem + ").");
    }

private:
    std::string path_;
    zip_t* z_ = nullptr;
};

[[noreturn]] void noSuchSheet(const std::string& path, int index, size_t count) {
    fail(path, "the workbook has no sheet " + std::to_string(index + 1) + " (it has " +
                   std::to_string(count) + ").");
}

// ---- .xlsx ----

struct XlsxWorkbookHandler {
    std::vector<std::pair<std::string, std::string>> sheets; // name, relationship id
    void start(const char* n, const char** a) {
        if (std::strcmp(n, "sheet") != 0) return;
        const char* name = attribute(a, "name");
        const char* id = attribute(a, "id");
        sheets.emplace_back(name ? name : "", id ? id : "");
    }
    void end(const char*) {}
    void text(const char*, size_t) {}
};

struct XlsxRelsHandler {
    std::map<std::string, std::string> targets;
    void start(const char* n, const char** a) {
        if (std::strcmp(n, "Relationship") != 0) return;
        const char* id = attribute(a, "Id");
        const char* target = attribute(a, "Target");
        if (id && target) targets[id] = target;
    }
    void end(const char*) {}
    void text(const char*, size_t) {}
};

struct XlsxStringsHandler {
    SheetTable& table;
    std::string current{};
    bool inItem = false, inText = false;
    int phonetic = 0; // inside <rPh>: a reading aid, not part of the text
    void start(const char* n, const char**) {
        if (std::strcmp(n, "si") == 0) {
            inItem = true;
            current.clear();
        } else if (std::strcmp(n, "rPh") == 0) {
            ++phonetic;
        } else if (std::strcmp(n, "t") == 0) {
            inText = inItem && phonetic == 0;
        }
    }
    void end(const char* n) {
        if (std::strcmp(n, "si") == 0) {
            table.addText(current);
            inItem = false;
        } else if (std::strcmp(n, "rPh") == 0) {
            --phonetic;
        } else if (std::strcmp(n, "t") == 0) {
            inText = false;
        }
    }
    void text(const char* s, size_t n) {
        if (inText) current.append(s, n);
    }
};

size_t columnOfReference(const char* ref, size_t fallback) {
    if (!ref) return fallback;
    size_t col = 0;
    bool any = false;
    for (; *ref; ++ref) {
        const char c = *ref;
        if (c >= 'A' && c <= 'Z')
            col = col * 26 + static_cast<size_t>(c - 'A' + 1);
        else if (c >= 'a' && c <= 'z')
            col = col * 26 + static_cast<size_t>(c - 'a' + 1);
        else
            break;
        any = true;
    }
    return any && col > 0 ? col - 1 : fallback;
}

struct XlsxSheetHandler {
    SheetTable& table;
    size_t sharedCount;
    size_t nextColumn = 0;
    size_t column = 0;
    std::string type{}, value{};
    bool inValue = false, inCell = false;
    bool rowOpen = false;

    void start(const char* n, const char** a) {
        if (std::strcmp(n, "row") == 0) {
            const size_t r = parseCount(attribute(a, "r"), table.rowCount() + 1);
            // Rows left out of the sheet are empty rows.
            while (table.rowCount() + 1 < r && table.rowCount() < kMaxRowRepeat * 2)
                table.endRow();
            rowOpen = true;
            nextColumn = 0;
        } else if (std::strcmp(n, "c") == 0) {
            column = columnOfReference(attribute(a, "r"), nextColumn);
            const char* t = attribute(a, "t");
            type = t ? t : "n";
            value.clear();
            inCell = true;
        } else if (inCell && (std::strcmp(n, "v") == 0 || std::strcmp(n, "t") == 0)) {
            inValue = true;
        }
    }
    void end(const char* n) {
        if (std::strcmp(n, "row") == 0) {
            table.endRow();
            rowOpen = false;
        } else if (std::strcmp(n, "c") == 0) {
            finishCell();
            inCell = false;
        } else if (std::strcmp(n, "v") == 0 || std::strcmp(n, "t") == 0) {
            inValue = false;
        }
    }
    void text(const char* s, size_t n) {
        if (inValue) value.append(s, n);
    }
    void finishCell() {
        SheetCell cell;
        double v = 0;
        if (type == "s") {
            size_t k = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), k);
            if (ec == std::errc() && end == value.data() + value.size() && k < sharedCount) {
                cell.kind = SheetCell::Kind::Text;
                cell.text = static_cast<std::uint32_t>(k);
            }
        } else if (type == "b") {
            cell.kind = SheetCell::Kind::Text;
            cell.text = table.addText(value == "1" ? "TRUE" : "FALSE");
        } else if (type == "str" || type == "inlineStr" || type == "e") {
            cell.kind = SheetCell::Kind::Text;
            cell.text = table.addText(value);
        } else if (!value.empty()) {
            if (parseNumber(value, v)) {
                cell.kind = SheetCell::Kind::Number;
                cell.number = v;
            } else {
                cell.kind = SheetCell::Kind::Text;
                cell.text = table.addText(value);
            }
        }
        if (cell.kind != SheetCell::Kind::Empty) table.put(column, cell);
        nextColumn = column + 1;
    }
};

WorkbookSheet readXlsx(const std::string& path, int sheetIndex) {
    const Zip zip(path, "an .xlsx");
    if (!zip.has("xl/workbook.xml"))
        fail(path, "the file is not an .xlsx workbook (it has no xl/workbook.xml).");
    XlsxWorkbookHandler book;
    zip.parse("xl/workbook.xml", book);
    WorkbookSheet out;
    for (const auto& s : book.sheets)
        out.sheetNames.push_back(s.first);
    if (sheetIndex < 0 || static_cast<size_t>(sheetIndex) >= book.sheets.size())
        noSuchSheet(path, sheetIndex, book.sheets.size());
    XlsxRelsHandler rels;
    if (zip.has("xl/_rels/workbook.xml.rels")) zip.parse("xl/_rels/workbook.xml.rels", rels);
    const auto& [name, id] = book.sheets[static_cast<size_t>(sheetIndex)];
    std::string target = rels.targets.count(id)
                             ? rels.targets[id]
                             : "worksheets/sheet" + std::to_string(sheetIndex + 1) + ".xml";
    target = target.front() == '/' ? target.substr(1) : "xl/" + target;
    if (!zip.has(target))
        fail(path, "the workbook is damaged (the sheet \"" + name + "\" is missing).");
    out.table.name = name;
    if (zip.has("xl/sharedStrings.xml")) {
        XlsxStringsHandler strings{out.table};
        zip.parse("xl/sharedStrings.xml", strings);
    }
    XlsxSheetHandler sheet{out.table, out.table.texts.size()};
    zip.parse(target, sheet);
    return out;
}

// ---- .ods ----

struct OdsContentHandler {
    SheetTable& table;
    int wanted;
    std::vector<std::string> names{};
    int depth = 0; // table nesting
    bool active = false;
    size_t rowRepeat = 1, cellRepeat = 1;
    size_t pendingRows = 0, pendingCells = 0;
    std::vector<SheetCell> row{};
    bool inCell = false;
    int paragraphs = 0;
    bool number = false;
    double numberValue = 0;
    std::string cellText{}, typed{};

    void start(const char* n, const char** a) {
        if (std::strcmp(n, "table") == 0) {
            if (depth++ == 0) {
                const char* name = attribute(a, "name");
                names.emplace_back(name ? name : "");
                active = static_cast<int>(names.size()) - 1 == wanted;
                if (active) table.name = names.back();
            }
            return;
        }
        if (!active || depth != 1) return;
        if (std::strcmp(n, "table-row") == 0) {
            rowRepeat = parseCount(attribute(a, "number-rows-repeated"), 1);
            row.clear();
            pendingCells = 0;
        } else if (std::strcmp(n, "table-cell") == 0 || std::strcmp(n, "covered-table-cell") == 0) {
            cellRepeat = parseCount(attribute(a, "number-columns-repeated"), 1);
            const char* type = attribute(a, "value-type");
            const char* value = attribute(a, "value");
            number = false;
            if (type && value &&
                (std::strcmp(type, "float") == 0 || std::strcmp(type, "percentage") == 0 ||
                 std::strcmp(type, "currency") == 0))
                number = parseNumber(value, numberValue);
            const char* boolean = attribute(a, "boolean-value");
            typed = boolean ? (std::strcmp(boolean, "true") == 0 ? "TRUE" : "FALSE") : "";
            cellText.clear();
            paragraphs = 0;
            inCell = true;
        } else if (inCell && std::strcmp(n, "p") == 0) {
            if (paragraphs++ > 0) cellText += '\n';
        } else if (inCell && std::strcmp(n, "s") == 0) {
            cellText.append(parseCount(attribute(a, "c"), 1) % 1024, ' ');
        } else if (inCell && std::strcmp(n, "tab") == 0) {
            cellText += '\t';
        } else if (inCell && std::strcmp(n, "line-break") == 0) {
            cellText += '\n';
        }
    }
    void end(const char* n) {
        if (std::strcmp(n, "table") == 0) {
            if (--depth == 0) active = false;
            return;
        }
        if (!active || depth != 1) return;
        if (std::strcmp(n, "table-cell") == 0 || std::strcmp(n, "covered-table-cell") == 0) {
            inCell = false;
            SheetCell cell;
            if (number) {
                cell.kind = SheetCell::Kind::Number;
                cell.number = numberValue;
            } else if (!typed.empty() || !cellText.empty()) {
                cell.kind = SheetCell::Kind::Text;
                cell.text = table.addText(typed.empty() ? cellText : typed);
            }
            if (cell.kind == SheetCell::Kind::Empty) {
                pendingCells += cellRepeat;
                return;
            }
            row.resize(row.size() + std::min(pendingCells, kMaxCellRepeat));
            pendingCells = 0;
            row.insert(row.end(), std::min(cellRepeat, kMaxCellRepeat), cell);
        } else if (std::strcmp(n, "table-row") == 0) {
            if (row.empty()) {
                pendingRows += rowRepeat;
                return;
            }
            for (size_t k = 0; k < std::min(pendingRows, kMaxRowRepeat); ++k)
                table.endRow();
            pendingRows = 0;
            for (size_t k = 0; k < std::min(rowRepeat, kMaxRowRepeat); ++k) {
                for (size_t c = 0; c < row.size(); ++c)
                    if (row[c].kind != SheetCell::Kind::Empty) table.put(c, row[c]);
                table.endRow();
            }
        }
    }
    void text(const char* s, size_t n) {
        if (inCell && paragraphs > 0) cellText.append(s, n);
    }
};

WorkbookSheet readOds(const std::string& path, int sheetIndex) {
    const Zip zip(path, "an .ods");
    if (zip.has("META-INF/manifest.xml") &&
        zip.read("META-INF/manifest.xml").find("encryption-data") != std::string::npos)
        fail(path, "the workbook is password-protected (encrypted). Save it without a password "
                   "and import it again.");
    if (!zip.has("content.xml"))
        fail(path, "the file is not an .ods workbook (it has no content.xml).");
    WorkbookSheet out;
    OdsContentHandler h{out.table, sheetIndex};
    zip.parse("content.xml", h);
    out.sheetNames = h.names;
    if (sheetIndex < 0 || static_cast<size_t>(sheetIndex) >= h.names.size())
        noSuchSheet(path, sheetIndex, h.names.size());
    return out;
}

// ---- .xls ----

WorkbookSheet readXls(const std::string& path, int sheetIndex) {
    const void* h = nullptr;
    const int rc = freexl_open(path.c_str(), &h);
    if (rc != FREEXL_OK) {
        if (h) freexl_close(h);
        if (rc == FREEXL_FILE_NOT_FOUND) fail(path, "the file cannot be opened.");
        if (!isCompoundDocument(path))
            fail(path, "the file is not an .xls workbook (a text record or another format "
                       "renamed?).");
        fail(path,
             "the workbook is damaged or not an .xls workbook (error " + std::to_string(rc) + ").");
    }
    struct Closer {
        const void* h;
        ~Closer() { freexl_close(h); }
    } closer{h};
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        fail(path, "the workbook is password-protected. Save it without a password and import "
                   "it again.");
    unsigned int count = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        fail(path, "the workbook is damaged (its sheets cannot be listed).");
    WorkbookSheet out;
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        freexl_get_worksheet_name(h, static_cast<unsigned short>(i), &name);
        out.sheetNames.emplace_back(name ? name : "");
    }
    if (sheetIndex < 0 || static_cast<unsigned int>(sheetIndex) >= count)
        noSuchSheet(path, sheetIndex, count);
    if (freexl_select_active_worksheet(h, static_cast<unsigned short>(sheetIndex)) != FREEXL_OK)
        fail(path, "the workbook is damaged (the sheet cannot be read).");
    out.table.name = out.sheetNames[static_cast<size_t>(sheetIndex)];
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(h, &rows, &columns) != FREEXL_OK)
        fail(path, "the workbook is damaged (the sheet's size cannot be read).");
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) continue;
            SheetCell cell;
            switch (v.type) {
            case FREEXL_CELL_INT:
                cell.kind = SheetCell::Kind::Number;
                cell.number = v.value.int_value;
                break;
            case FREEXL_CELL_DOUBLE:
                cell.kind = SheetCell::Kind::Number;
                cell.number = v.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cell.kind = SheetCell::Kind::Text;
                cell.text = out.table.addText(v.value.text_value ? v.value.text_value : "");
                break;
            default:
                break;
            }
            if (cell.kind != SheetCell::Kind::Empty) out.table.put(c, cell);
        }
        out.table.endRow();
    }
    return out;
}

} // namespace

bool workbookReadersAvailable() {
    return true;
}

WorkbookSheet readWorkbook(const std::string& path, int sheetIndex) {
    switch (workbookFormatOfName(path)) {
    case WorkbookFormat::Xlsx:
        return readXlsx(path, sheetIndex);
    case WorkbookFormat::Ods:
        return readOds(path, sheetIndex);
    case WorkbookFormat::Xls:
        return readXls(path, sheetIndex);
    case WorkbookFormat::None:
        break;
    }
    fail(path, "the file is not a workbook (.xlsx, .ods or .xls).");
}

} // namespace tc
