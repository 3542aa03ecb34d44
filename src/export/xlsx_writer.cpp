#include "export/xlsx_writer.h"

#include "common/file_replace.h"
#include "common/text_number.h"
#include "export/part_deflate.h"
#include "export/sheet_part.h"
#include "export/utf8_path.h"
#include "export/worksheet_address.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tc {

namespace {

// libxlsxwriter takes colours as 0xRRGGBB with 0 meaning "not set": black must be named.
lxw_color_t lxwColor(std::uint32_t rrggbb) {
    return rrggbb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rrggbb;
}

// The object model's RGB value is R + 256 G + 65536 B.
std::uint32_t fromExcelRgb(std::uint32_t v) {
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// The file cannot refer to theme colours through this writer, only to fixed ones: a theme colour
// (msoThemeColorIndex 1 to 16) is written as its value in the theme the file carries (the Office
// 2007 theme). So the text colour 13 the export uses is black.
std::uint32_t themeColorRgb(std::int32_t index) {
    static constexpr std::uint32_t kTheme[] = {
        0x000000, 0xFFFFFF, 0x1F497D, 0xEEECE1,           // dark 1, light 1, dark 2, light 2
        0x4F81BD, 0xC0504D, 0x9BBB59, 0x8064A2, 0x4BACC6, // accents 1 to 5
        0xF79646, 0x0000FF, 0x800080,                     // accent 6, hyperlink, followed
        0x000000, 0xFFFFFF, 0x1F497D, 0xEEECE1}; // text 1, background 1, text 2, background 2
    return kTheme[index - 1];
}

std::optional<lxw_color_t> colorOf(const ColorModel& c) {
    if (c.rgb) return lxwColor(fromExcelRgb(*c.rgb));
    if (c.themeColor) return lxwColor(themeColorRgb(*c.themeColor));
    return std::nullopt;
}

// A line of weight 0 is the thinnest line there is. libxlsxwriter leaves a width of 0 unwritten
// (the default width); any width that rounds to 0 is written as an explicit 0.
constexpr float kZeroWidth = 0.01f;

// The line's settings; nullopt when none was made.
std::optional<lxw_chart_line> lineOf(const LineModel& m) {
    lxw_chart_line line{};
    if (m.visible && !*m.visible) {
        line.none = LXW_TRUE;
        return line;
    }
    bool any = false;
    if (auto c = colorOf(m.color)) line.color = *c, any = true;
    if (m.weight) line.width = *m.weight > 0 ? *m.weight : kZeroWidth, any = true;
    if (any) return line;
    return std::nullopt;
}

uint8_t markerType(std::int32_t style) {
    switch (style) {
    case 1:
        return LXW_CHART_MARKER_SQUARE;
    case 2:
        return LXW_CHART_MARKER_DIAMOND;
    case 3:
        return LXW_CHART_MARKER_TRIANGLE;
    case 5:
        return LXW_CHART_MARKER_STAR;
    case 8:
        return LXW_CHART_MARKER_CIRCLE;
    case 9:
        return LXW_CHART_MARKER_PLUS;
    case -4168:
        return LXW_CHART_MARKER_X;
    case -4142:
        return LXW_CHART_MARKER_NONE;
    default:
        return LXW_CHART_MARKER_AUTOMATIC; // -4105; the host admits no other
    }
}

uint8_t tickMark(std::int32_t v) {
    switch (v) {
    case 2:
        return LXW_CHART_AXIS_TICK_MARK_INSIDE;
    case 3:
        return LXW_CHART_AXIS_TICK_MARK_OUTSIDE;
    case 4:
        return LXW_CHART_AXIS_TICK_MARK_CROSSING;
    default:
        return LXW_CHART_AXIS_TICK_MARK_NONE; // -4142
    }
}

// libxlsxwriter reads a title that starts with '=' as a formula. A title is literal text, so such
// a title gets a zero-width space in front, which leaves it looking the same.
std::string literalTitle(const std::string& text) {
    if (!text.empty() && text[0] == '=') return "\xE2\x80\x8B" + text;
    return text;
}

std::string formulaOf(const SheetRange& r) {
    std::string sheet = r.sheet;
    bool plain = !sheet.empty();
    for (const char c : sheet)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.')) plain = false;
    if (!plain) {
        std::string quoted = "'";
        for (const char c : sheet)
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        sheet = quoted + "'";
    }
    return "=" + sheet + "!" + CellAddress(r.firstRow, r.firstColumn, "$") + ":" +
           CellAddress(r.lastRow, r.lastColumn, "$");
}

lxw_chart_font fontOfSize(std::int32_t size) {
    lxw_chart_font f{};
    f.size = size;
    return f;
}

class WorkbookFile {
public:
    // Writes into file (a temporary file), names target in its messages.
    WorkbookFile(const std::filesystem::path& file, const std::filesystem::path& target)
        : path_(utf8Path(target)) {
        wb_ = workbook_new(utf8Path(file).c_str());
        if (!wb_) fail("the workbook could not be set up");
    }
    ~WorkbookFile() {
        if (wb_) lxw_workbook_free(wb_);
    }
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    [[noreturn]] void fail(const std::string& reason) const {
        throw Error("Cannot create file \"" + path_ + "\". " + reason);
    }
    void check(lxw_error e) const {
        if (e != LXW_NO_ERROR) fail(lxw_strerror(e));
    }

    // Hands the sheet's text cells and charts to the writer; its number cells are left in the
    // grid for the sheet part (numberCells()).
    void addSheet(WorksheetModel& sheet) {
        lxw_worksheet* ws = workbook_add_worksheet(wb_, sheet.name.c_str());
        if (!ws) fail("the sheet \"" + sheet.name + "\" could not be added");
        const std::size_t numbers = writeCells(ws, sheet.cells);
        numberCells_.push_back(numbers);
        if (!numbers)
            for (std::int32_t c = 1; c <= sheet.cells.columnCount(); ++c)
                sheet.cells.releaseColumn(c);
        for (const auto& chart : sheet.charts)
            addChart(ws, *chart);
    }

    void close() {
        errno = 0;
        const lxw_error e = workbook_close(wb_);
        const int err = errno;
        wb_ = nullptr; // closing frees it, also on failure
        // The writer's own text says which step failed; the system's reason says why.
        if (e != LXW_NO_ERROR)
            fail(std::string(lxw_strerror(e)) +
                 (err ? std::string(". ") + std::strerror(err) : ""));
    }

    // A legend over the plot with a font of its own is written in an order the file format
    // does not allow: the chart parts have to be mended once the file is written.
    bool legendsNeedMending() const { return legendsNeedMending_; }
    // The number cells of each sheet, in the order the sheets were added.
    const std::vector<std::size_t>& numberCells() const { return numberCells_; }

private:
    // Writes the text cells, column by column (which numbers the shared strings); returns the
    // count of number cells, which the writer would refuse where it refuses any cell.
    std::size_t writeCells(lxw_worksheet* ws, const CellGrid& cells) {
        std::size_t numbers = 0;
        for (std::int32_t c = 1; c <= cells.columnCount(); ++c) {
            const auto& column = cells.column(c);
            const auto col = static_cast<lxw_col_t>(c - 1);
            for (size_t r = 0; r < column.size(); ++r) {
                const CellGrid::Cell& cell = column[r];
                const auto row = static_cast<lxw_row_t>(r);
                if (cell.kind == CellGrid::Kind::Number) {
                    if (row >= LXW_ROW_MAX || col >= LXW_COL_MAX)
                        check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
                    ++numbers;
                } else if (cell.kind == CellGrid::Kind::Text) {
                    check(worksheet_write_string(ws, row, col, cells.text(cell).c_str(), nullptr));
                }
            }
        }
        return numbers;
    }

    static bool writable(const SeriesModel& s) {
        // A scatter series in the file needs both ranges; one that never got them (an export
        // that stopped half-way) plots nothing and is left out.
        return s.xValues && s.values;
    }

    void addChart(lxw_worksheet* ws, const ChartModel& m) {
        bool anySeries = false;
        for (const auto& s : m.series)
            anySeries = anySeries || writable(*s);
        // The file format has no chart without series; such a chart shape shows nothing and
        // is left out.
        if (!anySeries) return;

        // Scatter with smoothed lines and markers (chart type 72). The chart style (240) has no
        // counterpart this writer can express: the file keeps the default style and every look
        // the export sets is written explicitly.
        lxw_chart* ch = workbook_add_chart(wb_, LXW_CHART_SCATTER_SMOOTH_WITH_MARKERS);
        if (!ch) fail("the chart could not be added");
        for (const auto& s : m.series)
            if (writable(*s)) addSeries(ch, *s);
        writeAxis(ch->x_axis, m.xAxis);
        writeAxis(ch->y_axis, m.yAxis);
        writeLegend(ch, m.legend);
        if (auto line = lineOf(m.plotAreaLine)) chart_plotarea_set_line(ch, &*line);
        if (m.hasTitle) {
            const std::string title = literalTitle(m.titleText);
            chart_title_set_name(ch, title.c_str());
        } else {
            // Said explicitly: a one-series chart would otherwise show the series name.
            chart_title_off(ch);
        }
        place(ws, ch, m);
    }

    void addSeries(lxw_chart* ch, const SeriesModel& s) {
        const std::string x = formulaOf(*s.xValues), y = formulaOf(*s.values);
        lxw_chart_series* ser = chart_add_series(ch, x.c_str(), y.c_str());
        if (!ser) fail("a chart series could not be added");
        // The cached copy of a long series is written wrongly (a 16-bit point counter); the
        // series take their points from the cells anyway.
        ser->categories->ignore_cache = LXW_TRUE;
        ser->values->ignore_cache = LXW_TRUE;
        if (s.nameCell)
            chart_series_set_name_range(ser, s.nameCell->sheet.c_str(),
                                        static_cast<lxw_row_t>(s.nameCell->firstRow - 1),
                                        static_cast<lxw_col_t>(s.nameCell->firstColumn - 1));
        else if (s.name)
            chart_series_set_name(ser,
                                  s.name->c_str()); // never starts with '=': the host sees to it

        auto line = lineOf(s.line);
        if (line) chart_series_set_line(ser, &*line);
        if (s.markerStyle) chart_series_set_marker_type(ser, markerType(*s.markerStyle));
        if (s.markerSize) chart_series_set_marker_size(ser, static_cast<uint8_t>(*s.markerSize));
        lxw_chart_fill fill{};
        bool anyFill = false;
        if (s.fill.visible && !*s.fill.visible) {
            fill.none = LXW_TRUE;
            anyFill = true;
        } else if (auto c = colorOf(s.fill.color)) {
            fill.color = *c;
            anyFill = true;
        }
        if (anyFill) chart_series_set_marker_fill(ser, &fill);
        // The series' line colour also outlines its markers, so a marker reads in one colour.
        if (line && !line->none && line->color) {
            lxw_chart_line border{};
            border.color = line->color;
            chart_series_set_marker_line(ser, &border);
        }
    }

    static void writeAxis(lxw_chart_axis* axis, const AxisModel& m) {
        if (m.hasTitle) {
            const std::string title = literalTitle(m.titleText);
            chart_axis_set_name(axis, title.c_str());
            if (m.titleFontSize) {
                lxw_chart_font f = fontOfSize(*m.titleFontSize);
                chart_axis_set_name_font(axis, &f);
            }
        }
        if (auto line = lineOf(m.line)) chart_axis_set_line(axis, &*line);
        // On the category (X) axis this is the X value where the value axis crosses it, on the
        // value axis the Y value where the category axis crosses it. libxlsxwriter takes it in
        // the same terms and files it under the crossing axis, as the file format wants.
        if (m.crossesAt) chart_axis_set_crossing(axis, *m.crossesAt);
        if (m.majorTickMark) chart_axis_set_major_tick_mark(axis, tickMark(*m.majorTickMark));
        if (m.tickLabelFontSize) {
            lxw_chart_font f = fontOfSize(*m.tickLabelFontSize);
            chart_axis_set_num_font(axis, &f);
        }
    }

    void writeLegend(lxw_chart* ch, const LegendModel& m) {
        if (!m.visible) {
            chart_legend_set_position(ch, LXW_CHART_LEGEND_NONE);
            return;
        }
        const bool overlay = !m.includeInLayout && m.position == LegendPosition::Right;
        if (m.position == LegendPosition::Right)
            chart_legend_set_position(ch, overlay ? LXW_CHART_LEGEND_OVERLAY_RIGHT
                                                  : LXW_CHART_LEGEND_RIGHT);
        else
            chart_legend_set_position(ch, LXW_CHART_LEGEND_BOTTOM);
        if (m.fontSize) {
            lxw_chart_font f = fontOfSize(*m.fontSize);
            chart_legend_set_font(ch, &f);
            // libxlsxwriter writes an overlaid legend's font before the overlay flag.
            if (overlay) legendsNeedMending_ = true;
        }
    }

    void place(lxw_worksheet* ws, lxw_chart* ch, const ChartModel& m) {
        // Position in points to a cell and a pixel offset inside it (96 pixels per inch: a
        // point is 4/3 pixel); the default chart is 480 x 288 pixels.
        const double left = std::max(0.0, m.left), top = std::max(0.0, m.top);
        const auto col = static_cast<lxw_col_t>(std::floor(left / kDefaultColumnWidthPt));
        const auto row = static_cast<lxw_row_t>(std::floor(top / kDefaultRowHeightPt));
        lxw_chart_options opt{};
        opt.x_offset =
            static_cast<int32_t>(std::lround((left - col * kDefaultColumnWidthPt) * 4 / 3));
        opt.y_offset = static_cast<int32_t>(std::lround((top - row * kDefaultRowHeightPt) * 4 / 3));
        opt.x_scale = m.width * 4 / 3 / 480;
        opt.y_scale = m.height * 4 / 3 / 288;
        check(worksheet_insert_chart_opt(ws, row, col, ch, &opt));
    }

    std::string path_;
    lxw_workbook* wb_ = nullptr;
    bool legendsNeedMending_ = false;
    std::vector<std::size_t> numberCells_;
};

// The legend's overlay flag belongs before its shape and text properties (legendPos,
// legendEntry, layout, overlay, spPr, txPr): moves a flag written after them into its place.
// Returns whether the part changed.
bool mendLegendOrder(std::string& xml) {
    bool changed = false;
    static constexpr std::string_view kOverlay = "<c:overlay val=\"1\"/>";
    for (size_t legend = xml.find("<c:legend>"); legend != std::string::npos;
         legend = xml.find("<c:legend>", legend + 1)) {
        const size_t end = xml.find("</c:legend>", legend);
        const size_t overlay = xml.find(kOverlay, legend);
        if (end == std::string::npos || overlay == std::string::npos || overlay > end) continue;
        size_t props = std::min(xml.find("<c:spPr>", legend), xml.find("<c:txPr>", legend));
        if (props == std::string::npos || props > overlay) continue;
        xml.erase(overlay, kOverlay.size());
        xml.insert(props, kOverlay);
        changed = true;
    }
    return changed;
}

// A part given to libzip already compressed, which it copies into the file as it is.
struct PackedPart {
    DeflatedPart part;
    std::size_t read = 0;
    zip_error_t error{};
};

zip_int64_t packedPartSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
    auto& p = *static_cast<PackedPart*>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        p.read = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const std::size_t n =
            static_cast<std::size_t>(std::min<zip_uint64_t>(length, p.part.data.size() - p.read));
        std::memcpy(data, p.part.data.data() + p.read, n);
        p.read += n;
        return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        if (length < sizeof(zip_stat_t)) {
            zip_error_set(&p.error, ZIP_ER_INVAL, 0);
            return -1;
        }
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD;
        st->size = p.part.size;
        st->comp_size = p.part.data.size();
        st->crc = p.part.crc;
        st->comp_method = ZIP_CM_DEFLATE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&p.error, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              -1);
    default:
        zip_error_set(&p.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// The sheet a part name "xl/worksheets/sheet<n>.xml" belongs to (n from 1), or 0.
std::size_t sheetOfPart(std::string_view name) {
    static constexpr std::string_view kPrefix = "xl/worksheets/sheet", kSuffix = ".xml";
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return 0;
    const std::string_view digits =
        name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    std::size_t n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return digits.empty() ? 0 : n;
}

struct ZipDiscard {
    void operator()(zip_t* z) const { zip_discard(z); }
};

// Finishes the parts of the written file: the sheets' number cells go into their sheet parts
// (see SheetPartWithNumbers), and chart parts are mended (see mendLegendOrder). libzip replaces
// the file through a temporary file of its own beside it.
void finishParts(const std::filesystem::path& file, const WorkbookFile& book, WorkbookModel& model,
                 const WorkProgress& progress) {
    int code = 0;
    std::unique_ptr<zip_t, ZipDiscard> zip(zip_open(file.string().c_str(), 0, &code));
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        book.fail(reason);
    }
    auto failWithZip = [&] { book.fail(zip_error_strerror(zip_get_error(zip.get()))); };
    auto readPart = [&](zip_uint64_t i) {
        zip_stat_t st;
        if (zip_stat_index(zip.get(), i, 0, &st) != 0) failWithZip();
        std::string xml(static_cast<size_t>(st.size), '\0');
        zip_file_t* f = zip_fopen_index(zip.get(), i, 0);
        if (!f) failWithZip();
        const zip_int64_t got = zip_fread(f, xml.data(), xml.size());
        zip_fclose(f);
        if (got != static_cast<zip_int64_t>(xml.size())) failWithZip();
        return xml;
    };

    const std::vector<std::size_t>& numbers = book.numberCells();
    std::size_t allNumbers = 0, numbersDone = 0;
    for (const std::size_t n : numbers)
        allNumbers += n;

    std::vector<std::string> mended;                 // held until the archive is closed
    std::vector<std::unique_ptr<PackedPart>> packed; // the same
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    mended.reserve(static_cast<size_t>(std::max<zip_int64_t>(count, 0)));
    for (zip_int64_t e = 0; e < count; ++e) {
        const auto i = static_cast<zip_uint64_t>(e);
        const char* name = zip_get_name(zip.get(), i, 0);
        if (!name) continue;
        if (const std::size_t sheet = sheetOfPart(name);
            sheet && sheet <= numbers.size() && numbers[sheet - 1]) {
            CellGrid& cells = model.sheets[sheet - 1]->cells;
            auto part = std::make_unique<PackedPart>();
            try {
                const SheetPartWithNumbers xml(readPart(i), cells);
                const double from = static_cast<double>(numbersDone) / allNumbers;
                numbersDone += numbers[sheet - 1];
                part->part = deflatePieces(
                    xml.pieceCount(),
                    [&xml](std::size_t n, std::string& out) { xml.piece(n, out); },
                    progressPart(progress, from, static_cast<double>(numbersDone) / allNumbers));
            } catch (const Error& e) {
                book.fail(e.what());
            }
            for (std::int32_t c = 1; c <= cells.columnCount(); ++c)
                cells.releaseColumn(c);
            zip_error_init(&part->error);
            zip_source_t* src = zip_source_function(zip.get(), packedPartSource, part.get());
            if (!src) failWithZip();
            packed.push_back(std::move(part));
            if (zip_file_replace(zip.get(), i, src, 0) != 0) {
                zip_source_free(src);
                failWithZip();
            }
            continue;
        }
        if (!book.legendsNeedMending() || std::string_view(name).rfind("xl/charts/chart", 0) != 0)
            continue;
        std::string xml = readPart(i);
        if (!mendLegendOrder(xml)) continue;
        mended.push_back(std::move(xml));
        zip_source_t* src =
            zip_source_buffer(zip.get(), mended.back().data(), mended.back().size(), 0);
        if (!src) failWithZip();
        if (zip_file_replace(zip.get(), i, src, 0) != 0) {
            zip_source_free(src);
            failWithZip();
        }
        zip_set_file_compression(zip.get(), i, ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(zip.get()) != 0) failWithZip();
    zip.release(); // closing freed it
    for (auto& p : packed)
        zip_error_fini(&p->error);
}

} // namespace

void writeWorkbookXlsx(WorkbookModel& book, const std::filesystem::path& path,
                       const WorkProgress& progress) {
    book.written = true;
    FileReplacement target(path);
    WorkbookFile file(target.temporaryPath(), path);
    for (const auto& sheet : book.sheets)
        file.addSheet(*sheet);
    file.close();
    const auto& numbers = file.numberCells();
    if (file.legendsNeedMending() ||
        std::any_of(numbers.begin(), numbers.end(), [](std::size_t n) { return n > 0; }))
        finishParts(target.temporaryPath(), file, book, progress);
    reportProgress(progress, 1);
    target.commit();
}

} // namespace tc
