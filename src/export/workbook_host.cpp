#include "export/workbook_host.h"

#include "export/number_text.h"
#include "export/utf8_path.h"
#include "export/worksheet_address.h"
#include "export/xlsx_writer.h"
#include "workspace/text_number.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace tc {

namespace {

// ----------------------------------------------------------------------------------------------
// Shared state

struct HostContext {
    char decimalSeparator = '.';
    std::shared_ptr<CallLog> recorder;
};
using ContextPtr = std::shared_ptr<const HostContext>;

struct AppState {
    bool visible = false;
    int booksAdded = 0;
    std::vector<std::shared_ptr<WorkbookModel>> books;
    std::shared_ptr<WorkbookModel> activeBook; // of the active chart
    std::shared_ptr<ChartModel> activeChart;
};
using AppPtr = std::shared_ptr<AppState>;

// The limits the spreadsheet object model holds its values to.
constexpr std::int32_t kMinMarkerSize = 2, kMaxMarkerSize = 72;
constexpr std::int32_t kMaxFontSize = 409;
constexpr float kMaxLineWeight = 1584;
constexpr size_t kMaxCellChars = 32767;
constexpr std::uint32_t kMaxRgb = 0xFFFFFF;

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// Text as the automation standard carries it is always well-formed Unicode: bytes that are not
// UTF-8 become U+FFFD, so no malformed text reaches the file.
std::string wellFormedUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = len != 0 && i + len <= s.size();
        std::uint32_t cp = len == 1   ? c
                           : len == 2 ? (c & 0x1F)
                           : len == 3 ? (c & 0x0F)
                                      : (c & 0x07);
        for (size_t k = 1; ok && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (ok) {
            static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
            ok = cp >= kMin[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        }
        if (ok) {
            out.append(s, i, len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

// Length in UTF-16 units, the way the spreadsheet program counts characters.
size_t utf16Length(std::string_view utf8) {
    size_t n = 0;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80) n += c >= 0xF0 ? 2 : 1;
    }
    return n;
}

// ----------------------------------------------------------------------------------------------
// Reference formulas: =Sheet1!$A$2:$A$12, ='My sheet'!B1

bool parseCell(std::string_view s, std::int32_t& row, std::int32_t& column) {
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    std::int64_t col = 0;
    size_t letters = 0;
    for (; i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && letters < 4;
         ++i, ++letters)
        col = col * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
    if (letters == 0) return false;
    if (i < s.size() && s[i] == '$') ++i;
    std::int64_t r = 0;
    size_t digits = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < 8;
         ++i, ++digits)
        r = r * 10 + (s[i] - '0');
    if (digits == 0 || i != s.size()) return false;
    if (col < 1 || col > kSheetColumns || r < 1 || r > kSheetRows) return false;
    row = static_cast<std::int32_t>(r);
    column = static_cast<std::int32_t>(col);
    return true;
}

const WorksheetModel* findSheet(const WorkbookModel& book, std::string_view name) {
    for (const auto& s : book.sheets)
        if (sameName(s->name, name)) return s.get();
    return nullptr;
}

// The range a reference formula names, or nothing when the text is not a reference to cells of
// a sheet of this workbook.
std::optional<SheetRange> parseReference(std::string_view f, const WorkbookModel& book) {
    if (f.empty() || f[0] != '=') return std::nullopt;
    f.remove_prefix(1);
    const size_t bang = f.rfind('!');
    if (bang == std::string_view::npos) return std::nullopt;
    std::string sheetName;
    std::string_view sheet = f.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
        sheet = sheet.substr(1, sheet.size() - 2);
        for (size_t i = 0; i < sheet.size(); ++i) {
            sheetName += sheet[i];
            if (sheet[i] == '\'' && i + 1 < sheet.size() && sheet[i + 1] == '\'') ++i;
        }
    } else {
        sheetName = sheet;
    }
    const WorksheetModel* ws = findSheet(book, sheetName);
    if (!ws) return std::nullopt;
    const std::string_view area = f.substr(bang + 1);
    const size_t colon = area.find(':');
    SheetRange r;
    r.sheet = ws->name;
    if (!parseCell(area.substr(0, colon), r.firstRow, r.firstColumn)) return std::nullopt;
    if (colon == std::string_view::npos) {
        r.lastRow = r.firstRow;
        r.lastColumn = r.firstColumn;
    } else if (!parseCell(area.substr(colon + 1), r.lastRow, r.lastColumn)) {
        return std::nullopt;
    }
    // The spreadsheet program reads a range given back to front in order.
    if (r.lastRow < r.firstRow) std::swap(r.firstRow, r.lastRow);
    if (r.lastColumn < r.firstColumn) std::swap(r.firstColumn, r.lastColumn);
    return r;
}

// ----------------------------------------------------------------------------------------------
// Calls

constexpr unsigned kGet = 1, kPut = 2, kMethod = 4;

unsigned kindBit(InvokeKind k) {
    switch (k) {
    case InvokeKind::Method:
        return kMethod;
    case InvokeKind::PropertyGet:
        return kGet;
    case InvokeKind::PropertyPut:
        return kPut;
    }
    return 0;
}

struct Member {
    std::string_view name;
    unsigned kinds;
};

// The arguments of one call, read with their type checked.
class Args {
public:
    Args(const char* cls, std::string_view member, std::span<const Variant> v)
        : cls_(cls), member_(member), v_(v) {}

    [[noreturn]] void refuse(const std::string& why) const {
        throw Error(std::string(cls_) + "." + std::string(member_) + ": " + why);
    }
    void count(size_t n) const { count(n, n); }
    void count(size_t min, size_t max) const {
        if (v_.size() < min || v_.size() > max) {
            const std::string want = min == max
                                         ? std::to_string(min)
                                         : std::to_string(min) + " to " + std::to_string(max);
            refuse("takes " + want + (max == 1 ? " argument" : " arguments") + ", not " +
                   std::to_string(v_.size()));
        }
    }
    size_t size() const { return v_.size(); }
    const Variant& operator[](size_t i) const { return v_[i]; }

    std::int32_t i4(size_t i) const { return typed(i, VarType::I4).i4Value(); }
    bool boolean(size_t i) const { return typed(i, VarType::Bool).boolValue(); }
    const std::string& text(size_t i) const { return typed(i, VarType::Bstr).textValue(); }
    std::uint32_t ui4(size_t i) const { return typed(i, VarType::UI4).ui4Value(); }
    float r4(size_t i) const { return typed(i, VarType::R4).r4Value(); }
    // A row or column number: 16-bit or 32-bit.
    std::int32_t index(size_t i) const {
        if (v_[i].type() == VarType::I2) return v_[i].i2Value();
        return typed(i, VarType::I4, " or VT_I2").i4Value();
    }

private:
    const Variant& typed(size_t i, VarType t, const char* alternative = "") const {
        if (v_[i].type() != t)
            refuse("argument " + std::to_string(i + 1) + " must be " + varTypeName(t) +
                   alternative + ", not " + varTypeName(v_[i].type()));
        return v_[i];
    }
    const char* cls_;
    std::string_view member_;
    std::span<const Variant> v_;
};

class HostObject : public Dispatch, public std::enable_shared_from_this<HostObject> {
public:
    HostObject(ContextPtr ctx, std::shared_ptr<WorkbookModel> book)
        : ctx_(std::move(ctx)), book_(std::move(book)) {}

    DispId idOfName(std::string_view name) override {
        const auto ms = members();
        for (size_t i = 0; i < ms.size(); ++i) {
            if (sameName(ms[i].name, name)) {
                if (ctx_->recorder) lastName_ = name;
                return static_cast<DispId>(i + 1);
            }
        }
        throw Error(std::string(className()) + " has no member named '" + std::string(name) + "'");
    }

    Variant invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                   bool wantResult) override {
        const auto ms = members();
        if (id < 1 || static_cast<size_t>(id) > ms.size())
            throw Error(std::string(className()) + " has no member number " + std::to_string(id));
        const Member& m = ms[static_cast<size_t>(id - 1)];
        if (ctx_->recorder) record(m, kind, args, wantResult);
        const Args a(className(), m.name, args);
        if (!(m.kinds & kindBit(kind)))
            a.refuse(kind == InvokeKind::PropertyGet   ? "cannot be read"
                     : kind == InvokeKind::PropertyPut ? "cannot be set"
                                                       : "is not a method");
        if (book_ && book_->written)
            a.refuse("the workbook " + book_->name + " has been written to its file and closed");
        if (kind == InvokeKind::PropertyPut) a.count(1);
        return call(static_cast<int>(id - 1), kind, a);
    }

protected:
    virtual const char* className() const = 0;
    virtual std::span<const Member> members() const = 0;
    virtual Variant call(int member, InvokeKind kind, const Args& args) = 0;

    const ContextPtr& ctx() const { return ctx_; }
    const std::shared_ptr<WorkbookModel>& book() const { return book_; }
    Variant self() { return Variant::object(shared_from_this()); }

private:
    void record(const Member& m, InvokeKind kind, std::span<const Variant> args, bool wantResult) {
        CallRecord r;
        r.object = className();
        r.member = lastName_.empty() ? std::string(m.name) : lastName_;
        r.kind = kind == InvokeKind::PropertyGet   ? CallRecord::Kind::Get
                 : kind == InvokeKind::PropertyPut ? CallRecord::Kind::Put
                 : wantResult                      ? CallRecord::Kind::Method
                                                   : CallRecord::Kind::Procedure;
        r.args.assign(args.begin(), args.end());
        ctx_->recorder->push_back(std::move(r));
        lastName_.clear();
    }

    ContextPtr ctx_;
    std::shared_ptr<WorkbookModel> book_; // null for objects above the workbooks
    std::string lastName_;                // the caller's spelling, kept only while recording
};

template <class T, class... A> Variant make(A&&... a) {
    return Variant::object(std::make_shared<T>(std::forward<A>(a)...));
}

// ----------------------------------------------------------------------------------------------
// Fonts, colours, lines, fills

class FontObject final : public HostObject {
public:
    FontObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
               std::shared_ptr<std::optional<std::int32_t>> size)
        : HostObject(std::move(c), std::move(b)), size_(std::move(size)) {}

protected:
    const char* className() const override { return "Font"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Size", kPut}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        const std::int32_t v = a.i4(0);
        if (v < 1 || v > kMaxFontSize)
            a.refuse(std::to_string(v) + " is not a font size (1 to 409)");
        *size_ = v;
        return {};
    }

private:
    std::shared_ptr<std::optional<std::int32_t>> size_;
};

class ColorFormatObject final : public HostObject {
public:
    ColorFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                      std::shared_ptr<ColorModel> color)
        : HostObject(std::move(c), std::move(b)), color_(std::move(color)) {}

protected:
    const char* className() const override { return "ColorFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"RGB", kPut}, {"ObjectThemeColor", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            const std::uint32_t v = a.ui4(0);
            if (v > kMaxRgb) a.refuse(std::to_string(v) + " is not a colour (0 to 16777215)");
            color_->rgb = v;
            color_->themeColor.reset();
        } else {
            const std::int32_t v = a.i4(0);
            if (v < 1 || v > 16) a.refuse(std::to_string(v) + " is not a theme colour (1 to 16)");
            color_->themeColor = v;
            color_->rgb.reset();
        }
        return {};
    }

private:
    std::shared_ptr<ColorModel> color_;
};

class LineFormatObject final : public HostObject {
public:
    LineFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<LineModel> line)
        : HostObject(std::move(c), std::move(b)), line_(std::move(line)) {}

protected:
    const char* className() const override { return "LineFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Visible", kPut}, {"ForeColor", kGet}, {"Weight", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0:
            line_->visible = a.boolean(0);
            return {};
        case 1:
            a.count(0);
            return make<ColorFormatObject>(ctx(), book(),
                                           std::shared_ptr<ColorModel>(line_, &line_->color));
        default: {
            const float w = a.r4(0);
            if (!(w >= 0 && w <= kMaxLineWeight))
                a.refuse(formatNumber(w) + " is not a line weight (0 to 1584 points)");
            line_->weight = w;
            return {};
        }
        }
    }

private:
    std::shared_ptr<LineModel> line_;
};

class FillFormatObject final : public HostObject {
public:
    FillFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<FillModel> fill)
        : HostObject(std::move(c), std::move(b)), fill_(std::move(fill)) {}

protected:
    const char* className() const override { return "FillFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Visible", kPut}, {"ForeColor", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            fill_->visible = a.boolean(0);
            return {};
        }
        a.count(0);
        return make<ColorFormatObject>(ctx(), book(),
                                       std::shared_ptr<ColorModel>(fill_, &fill_->color));
    }

private:
    std::shared_ptr<FillModel> fill_;
};

// The Format of a series (line and marker fill), of an axis or of the plot area (line only).
class ChartFormatObject final : public HostObject {
public:
    ChartFormatObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                      std::shared_ptr<LineModel> line, std::shared_ptr<FillModel> fill)
        : HostObject(std::move(c), std::move(b)), line_(std::move(line)), fill_(std::move(fill)) {}

protected:
    const char* className() const override { return "ChartFormat"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Line", kGet}, {"Fill", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        a.count(0);
        if (member == 0) return make<LineFormatObject>(ctx(), book(), line_);
        if (!fill_) a.refuse("this workbook host keeps a fill only for a series' markers");
        return make<FillFormatObject>(ctx(), book(), fill_);
    }

private:
    std::shared_ptr<LineModel> line_;
    std::shared_ptr<FillModel> fill_;
};

// ----------------------------------------------------------------------------------------------
// Chart parts

class AxisTitleObject final : public HostObject {
public:
    AxisTitleObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<AxisModel> axis)
        : HostObject(std::move(c), std::move(b)), axis_(std::move(axis)) {}

protected:
    const char* className() const override { return "AxisTitle"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Text", kPut}, {"Font", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            axis_->titleText = wellFormedUtf8(a.text(0));
            return {};
        }
        a.count(0);
        return make<FontObject>(
            ctx(), book(),
            std::shared_ptr<std::optional<std::int32_t>>(axis_, &axis_->titleFontSize));
    }

private:
    std::shared_ptr<AxisModel> axis_;
};

class TickLabelsObject final : public HostObject {
public:
    TickLabelsObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<AxisModel> axis)
        : HostObject(std::move(c), std::move(b)), axis_(std::move(axis)) {}

protected:
    const char* className() const override { return "TickLabels"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Font", kGet}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        return make<FontObject>(
            ctx(), book(),
            std::shared_ptr<std::optional<std::int32_t>>(axis_, &axis_->tickLabelFontSize));
    }

private:
    std::shared_ptr<AxisModel> axis_;
};

class AxisObject final : public HostObject {
public:
    AxisObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<AxisModel> axis)
        : HostObject(std::move(c), std::move(b)), axis_(std::move(axis)) {}

protected:
    const char* className() const override { return "Axis"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"AxisTitle", kGet},
                                       {"Format", kGet},
                                       {"CrossesAt", kPut},
                                       {"MajorTickMark", kPut},
                                       {"TickLabels", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0:
            a.count(0);
            if (!axis_->hasTitle) a.refuse("the axis has no title");
            return make<AxisTitleObject>(ctx(), book(), axis_);
        case 1:
            a.count(0);
            return make<ChartFormatObject>(
                ctx(), book(), std::shared_ptr<LineModel>(axis_, &axis_->line), nullptr);
        case 2:
            axis_->crossesAt = a.i4(0);
            return {};
        case 3: {
            const std::int32_t v = a.i4(0);
            // xlTickMarkInside 2, xlTickMarkOutside 3, xlTickMarkCross 4, xlTickMarkNone -4142
            if (v != 2 && v != 3 && v != 4 && v != -4142)
                a.refuse(std::to_string(v) + " is not a tick mark (2, 3, 4 or -4142)");
            axis_->majorTickMark = v;
            return {};
        }
        default:
            a.count(0);
            return make<TickLabelsObject>(ctx(), book(), axis_);
        }
    }

private:
    std::shared_ptr<AxisModel> axis_;
};

class LegendObject final : public HostObject {
public:
    LegendObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "Legend"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"IncludeInLayout", kPut}, {"Font", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 0) {
            chart_->legend.includeInLayout = a.boolean(0);
            return {};
        }
        a.count(0);
        return make<FontObject>(
            ctx(), book(),
            std::shared_ptr<std::optional<std::int32_t>>(chart_, &chart_->legend.fontSize));
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class PlotAreaObject final : public HostObject {
public:
    PlotAreaObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                   std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "PlotArea"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Format", kGet}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        return make<ChartFormatObject>(
            ctx(), book(), std::shared_ptr<LineModel>(chart_, &chart_->plotAreaLine), nullptr);
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class ChartTitleObject final : public HostObject {
public:
    ChartTitleObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                     std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "ChartTitle"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Text", kPut}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        chart_->titleText = wellFormedUtf8(a.text(0));
        return {};
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class SeriesObject final : public HostObject {
public:
    SeriesObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                 std::shared_ptr<SeriesModel> series)
        : HostObject(std::move(c), std::move(b)), series_(std::move(series)) {}

    // Marker styles of the spreadsheet program that a workbook file can hold: 1 square,
    // 2 diamond, 3 triangle, 5 star, 8 circle, 9 plus, -4168 x, -4142 none, -4105 automatic.
    // 4, 6 and 7 are no marker style at all (the options list offers them all the same); the
    // real object model refuses them and so does this host, naming the styles there are, rather
    // than drawing some other marker in their place. Dash, dot and picture markers cannot be
    // written faithfully and are refused too.
    static bool isMarkerStyle(std::int32_t v) {
        switch (v) {
        case 1:
        case 2:
        case 3:
        case 5:
        case 8:
        case 9:
        case -4168:
        case -4142:
        case -4105:
            return true;
        default:
            return false;
        }
    }

protected:
    const char* className() const override { return "Series"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Name", kPut},        {"XValues", kPut},
                                       {"Values", kPut},      {"Format", kGet},
                                       {"MarkerStyle", kPut}, {"MarkerSize", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0: {
            const std::string& t = a.text(0);
            if (!t.empty() && t[0] == '=') {
                auto r = parseReference(t, *book());
                if (!r || r->firstRow != r->lastRow || r->firstColumn != r->lastColumn)
                    a.refuse("'" + t + "' is not a reference to one cell of this workbook");
                series_->nameCell = std::move(r);
                series_->name.reset();
            } else {
                series_->name = wellFormedUtf8(t);
                series_->nameCell.reset();
            }
            return {};
        }
        case 1:
        case 2: {
            const std::string& t = a.text(0);
            auto r = parseReference(t, *book());
            if (!r || (r->firstRow != r->lastRow && r->firstColumn != r->lastColumn))
                a.refuse("'" + t +
                         "' is not a reference to one row or column of cells of this workbook");
            (member == 1 ? series_->xValues : series_->values) = std::move(r);
            return {};
        }
        case 3:
            a.count(0);
            return make<ChartFormatObject>(ctx(), book(),
                                           std::shared_ptr<LineModel>(series_, &series_->line),
                                           std::shared_ptr<FillModel>(series_, &series_->fill));
        case 4: {
            const std::int32_t v = a.i4(0);
            if (!isMarkerStyle(v))
                a.refuse(std::to_string(v) +
                         " is not a marker style (1 square, 2 diamond, 3 triangle, 5 star, "
                         "8 circle, 9 plus, -4168 x, -4142 none, -4105 automatic)");
            series_->markerStyle = v;
            return {};
        }
        default: {
            const std::int32_t v = a.i4(0);
            if (v < kMinMarkerSize || v > kMaxMarkerSize)
                a.refuse(std::to_string(v) + " is not a marker size (2 to 72)");
            series_->markerSize = v;
            return {};
        }
        }
    }

private:
    std::shared_ptr<SeriesModel> series_;
};

class SeriesCollectionObject final : public HostObject {
public:
    SeriesCollectionObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                           std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "SeriesCollection"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"NewSeries", kMethod}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        auto s = std::make_shared<SeriesModel>();
        chart_->series.push_back(s);
        return make<SeriesObject>(ctx(), book(), std::move(s));
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

class ChartObject final : public HostObject {
public:
    ChartObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "Chart"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"SeriesCollection", kMethod},
                                       {"SetElement", kMethod},
                                       {"Axes", kMethod},
                                       {"Legend", kGet},
                                       {"PlotArea", kGet},
                                       {"HasTitle", kGet | kPut},
                                       {"ChartTitle", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind kind, const Args& a) override {
        switch (member) {
        case 0:
            a.count(0);
            return make<SeriesCollectionObject>(ctx(), book(), chart_);
        case 1: {
            a.count(1);
            switch (a.i4(0)) {
            case 301:
                chart_->xAxis.hasTitle = true;
                break; // primary category axis title
            case 307:
                chart_->yAxis.hasTitle = true;
                break; // primary value axis title
            case 101:  // legend at the right, taking its own room
                chart_->legend.visible = true;
                chart_->legend.position = LegendPosition::Right;
                chart_->legend.includeInLayout = true;
                break;
            default:
                a.refuse(std::to_string(a.i4(0)) +
                         " is not a chart element this workbook host can set (301, 307, 101)");
            }
            return {};
        }
        case 2: {
            a.count(1, 2);
            const std::int32_t type = a.i4(0);
            const std::int32_t group = a.size() > 1 ? a.i4(1) : 1;
            if (type != 1 && type != 2)
                a.refuse(std::to_string(type) + " is not an axis of a scatter chart (1 or 2)");
            if (group != 1) a.refuse("the chart has no secondary axes");
            return make<AxisObject>(
                ctx(), book(),
                std::shared_ptr<AxisModel>(chart_, type == 1 ? &chart_->xAxis : &chart_->yAxis));
        }
        case 3:
            a.count(0);
            if (!chart_->legend.visible) a.refuse("the chart has no legend");
            return make<LegendObject>(ctx(), book(), chart_);
        case 4:
            a.count(0);
            return make<PlotAreaObject>(ctx(), book(), chart_);
        case 5:
            if (kind == InvokeKind::PropertyGet) {
                a.count(0);
                return Variant::boolean(chart_->hasTitle);
            }
            chart_->hasTitle = a.boolean(0);
            return {};
        default:
            a.count(0);
            if (!chart_->hasTitle) a.refuse("the chart has no title");
            return make<ChartTitleObject>(ctx(), book(), chart_);
        }
    }

private:
    std::shared_ptr<ChartModel> chart_;
};

// ----------------------------------------------------------------------------------------------
// Sheets and shapes

class ShapeObject final : public HostObject {
public:
    ShapeObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, AppPtr app,
                std::shared_ptr<ChartModel> chart)
        : HostObject(std::move(c), std::move(b)), app_(std::move(app)), chart_(std::move(chart)) {}

protected:
    const char* className() const override { return "Shape"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Left", kGet | kPut},
                                       {"Top", kGet | kPut},
                                       {"Width", kGet | kPut},
                                       {"Height", kGet | kPut},
                                       {"Select", kMethod}};
        return m;
    }
    Variant call(int member, InvokeKind kind, const Args& a) override {
        if (member == 4) {
            a.count(0);
            app_->activeChart = chart_;
            app_->activeBook = book();
            return {};
        }
        double* field[] = {&chart_->left, &chart_->top, &chart_->width, &chart_->height};
        if (kind == InvokeKind::PropertyGet) {
            a.count(0);
            return Variant::r8(*field[member]);
        }
        const std::int32_t v = a.i4(0);
        const double limit = member == 0 || member == 2 ? kSheetColumns * kDefaultColumnWidthPt
                                                        : kSheetRows * kDefaultRowHeightPt;
        if (member < 2 && (v < 0 || v >= limit))
            a.refuse(std::to_string(v) + " points is outside the sheet");
        if (member >= 2 && (v <= 0 || v > limit))
            a.refuse(std::to_string(v) + " points is not a size the chart can have");
        *field[member] = v;
        return {};
    }

private:
    AppPtr app_;
    std::shared_ptr<ChartModel> chart_;
};

class ShapesObject final : public HostObject {
public:
    ShapesObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, AppPtr app,
                 std::shared_ptr<WorksheetModel> sheet)
        : HostObject(std::move(c), std::move(b)), app_(std::move(app)), sheet_(std::move(sheet)) {}

protected:
    const char* className() const override { return "Shapes"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"AddChart2", kMethod}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(2);
        const std::int32_t style = a.i4(0);
        const std::int32_t type = a.i4(1);
        if (type != 72)
            a.refuse("chart type " + std::to_string(type) +
                     " is not available; this workbook host draws scatter charts with smoothed "
                     "lines and markers (72)");
        auto chart = std::make_shared<ChartModel>();
        chart->style = style;
        chart->type = type;
        sheet_->charts.push_back(chart);
        return make<ShapeObject>(ctx(), book(), app_, std::move(chart));
    }

private:
    AppPtr app_;
    std::shared_ptr<WorksheetModel> sheet_;
};

class RangeObject final : public HostObject {
public:
    RangeObject(ContextPtr c, std::shared_ptr<WorkbookModel> b,
                std::shared_ptr<WorksheetModel> sheet)
        : HostObject(std::move(c), std::move(b)), sheet_(std::move(sheet)) {}

    void moveTo(std::int32_t row, std::int32_t column) {
        row_ = row;
        column_ = column;
    }

protected:
    const char* className() const override { return "Range"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Left", kGet}, {"Top", kGet}, {"Value", kPut}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        switch (member) {
        case 0:
            a.count(0);
            return Variant::r8((column_ - 1) * kDefaultColumnWidthPt);
        case 1:
            a.count(0);
            return Variant::r8((row_ - 1) * kDefaultRowHeightPt);
        default:
            putValue(a);
            return {};
        }
    }

private:
    void putValue(const Args& a) {
        CellGrid& cells = sheet_->cells;
        const Variant& v = a[0];
        if (v.type() == VarType::R8) {
            if (!std::isfinite(v.r8Value()))
                a.refuse(formatNumber(v.r8Value()) + " is not a number a cell can hold");
            cells.setNumber(row_, column_, v.r8Value());
            return;
        }
        const std::string& text = a.text(0);
        double number = 0;
        if (text.empty()) {
            cells.clear(row_, column_);
        } else if (tryTextToDouble(text, number, ctx()->decimalSeparator)) {
            cells.setNumber(row_, column_, number);
        } else {
            std::string t = wellFormedUtf8(text);
            if (utf16Length(t) > kMaxCellChars)
                a.refuse("a cell holds at most 32767 characters, not " +
                         std::to_string(utf16Length(t)));
            cells.setText(row_, column_, std::move(t));
        }
    }

    std::shared_ptr<WorksheetModel> sheet_;
    std::int32_t row_ = 1, column_ = 1;
};

class WorksheetObject final : public HostObject {
public:
    WorksheetObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, AppPtr app,
                    std::shared_ptr<WorksheetModel> sheet)
        : HostObject(std::move(c), std::move(b)), app_(std::move(app)), sheet_(std::move(sheet)) {}

protected:
    const char* className() const override { return "Worksheet"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Cells", kGet}, {"Shapes", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind, const Args& a) override {
        if (member == 1) {
            a.count(0);
            return make<ShapesObject>(ctx(), book(), app_, sheet_);
        }
        a.count(2);
        const std::int32_t row = a.index(0);
        const std::int32_t column = a.index(1);
        if (row < 1 || row > kSheetRows)
            a.refuse("row " + std::to_string(row) + " is outside the sheet (1 to 1048576)");
        if (column < 1 || column > kSheetColumns)
            a.refuse("column " + std::to_string(column) + " is outside the sheet (1 to 16384)");
        // A cell is asked for twice per value written; the last cell object is reused once its
        // caller has let go of it.
        if (!spare_ || spare_.use_count() > 1)
            spare_ = std::make_shared<RangeObject>(ctx(), book(), sheet_);
        spare_->moveTo(row, column);
        return Variant::object(spare_);
    }

private:
    AppPtr app_;
    std::shared_ptr<WorksheetModel> sheet_;
    std::shared_ptr<RangeObject> spare_;
};

class WorkbookObject final : public HostObject {
public:
    WorkbookObject(ContextPtr c, std::shared_ptr<WorkbookModel> b, AppPtr app)
        : HostObject(std::move(c), std::move(b)), app_(std::move(app)) {}

protected:
    const char* className() const override { return "Workbook"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Sheets", kGet}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(1);
        const std::string& name = a.text(0);
        for (const auto& s : book()->sheets)
            if (sameName(s->name, name)) return make<WorksheetObject>(ctx(), book(), app_, s);
        a.refuse("the workbook has no sheet named '" + name + "'");
    }

private:
    AppPtr app_;
};

class WorkbooksObject final : public HostObject {
public:
    WorkbooksObject(ContextPtr c, AppPtr app)
        : HostObject(std::move(c), nullptr), app_(std::move(app)) {}

protected:
    const char* className() const override { return "Workbooks"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Add", kMethod}};
        return m;
    }
    Variant call(int, InvokeKind, const Args& a) override {
        a.count(0);
        // A new workbook as the spreadsheet program makes it: one empty sheet, "Sheet1".
        auto book = std::make_shared<WorkbookModel>();
        book->name = "Book" + std::to_string(++app_->booksAdded);
        auto sheet = std::make_shared<WorksheetModel>();
        sheet->name = "Sheet1";
        book->sheets.push_back(std::move(sheet));
        app_->books.push_back(book);
        return make<WorkbookObject>(ctx(), std::move(book), app_);
    }

private:
    AppPtr app_;
};

class ApplicationObject final : public HostObject {
public:
    ApplicationObject(ContextPtr c, AppPtr app)
        : HostObject(std::move(c), nullptr), app_(std::move(app)) {}

protected:
    const char* className() const override { return "Application"; }
    std::span<const Member> members() const override {
        static constexpr Member m[] = {{"Application", kGet},
                                       {"Visible", kGet | kPut},
                                       {"Workbooks", kGet},
                                       {"ActiveChart", kGet}};
        return m;
    }
    Variant call(int member, InvokeKind kind, const Args& a) override {
        if (kind == InvokeKind::PropertyGet) a.count(0);
        switch (member) {
        case 0:
            return self();
        case 1:
            if (kind == InvokeKind::PropertyGet) return Variant::boolean(app_->visible);
            app_->visible = a.boolean(0);
            return {};
        case 2:
            return make<WorkbooksObject>(ctx(), app_);
        default:
            if (!app_->activeChart) return Variant::null();
            return make<ChartObject>(ctx(), app_->activeBook, app_->activeChart);
        }
    }

private:
    AppPtr app_;
};

} // namespace

// ----------------------------------------------------------------------------------------------

std::string describe(const CallRecord& call) {
    if (call.kind == CallRecord::Kind::Create) return "create " + call.member;
    static constexpr const char* kKinds[] = {"create", "get", "put", "method", "call"};
    std::string out =
        call.object + "." + call.member + " " + kKinds[static_cast<int>(call.kind)] + "(";
    for (size_t i = 0; i < call.args.size(); ++i) {
        if (i) out += ", ";
        out += tc::describe(call.args[i]);
    }
    out += ')';
    return out;
}

namespace {

// Creates an empty file, failing with errno EEXIST when the name is taken. The C library of
// Windows (msvcrt) ignores fopen's "x", so there the exclusive open is _wopen's _O_EXCL.
bool createNewFile(const std::filesystem::path& p) {
#ifdef _WIN32
    const int fd =
        _wopen(p.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    _close(fd);
    return true;
#else
    std::FILE* f = std::fopen(p.c_str(), "wbx");
    if (!f) return false;
    std::fclose(f);
    return true;
#endif
}

} // namespace

std::filesystem::path createUniqueFile(const std::filesystem::path& folder, std::string_view prefix,
                                       std::string_view extension) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (int n = 1; n < 1000000; ++n) {
        const std::filesystem::path p =
            folder / (std::string(prefix) + std::to_string(n) + std::string(extension));
        errno = 0;
        if (createNewFile(p)) return p;
        if (errno != EEXIST)
            throw Error("Cannot create file \"" + utf8Path(p) + "\". " + std::strerror(errno));
    }
    throw Error("Cannot create file in \"" + utf8Path(folder) + "\": no free name is left");
}

struct WorkbookHost::State {
    std::shared_ptr<HostContext> ctx;
    std::filesystem::path outputFolder;
    std::vector<AppPtr> apps;
};

WorkbookHost::WorkbookHost(WorkbookHostSettings settings) : state_(std::make_unique<State>()) {
    auto ctx = std::make_shared<HostContext>();
    ctx->decimalSeparator = settings.decimalSeparator;
    ctx->recorder = std::move(settings.recorder);
    state_->ctx = std::move(ctx);
    state_->outputFolder = std::move(settings.outputFolder);
}

WorkbookHost::~WorkbookHost() = default;

Variant WorkbookHost::createObject(std::string_view progId) {
    if (state_->ctx->recorder)
        state_->ctx->recorder->push_back({"", std::string(progId), CallRecord::Kind::Create, {}});
    if (!sameName(progId, "Excel.Application"))
        throw Error("Invalid class string: the workbook host serves \"Excel.Application\", not \"" +
                    std::string(progId) + "\"");
    auto app = std::make_shared<AppState>();
    state_->apps.push_back(app);
    return make<ApplicationObject>(state_->ctx, std::move(app));
}

std::string WorkbookHost::finishExport() {
    std::string last;
    for (const auto& book : workbooks()) {
        if (book->written) continue;
        const auto path = createUniqueFile(state_->outputFolder, "TarvelCurve_Book", ".xlsx");
        try {
            writeWorkbookXlsx(*book, path);
        } catch (...) {
            std::error_code ec;
            std::filesystem::remove(path, ec);
            throw;
        }
        last = utf8Path(path);
    }
    return last;
}

std::vector<std::shared_ptr<WorkbookModel>> WorkbookHost::workbooks() const {
    std::vector<std::shared_ptr<WorkbookModel>> out;
    for (const auto& app : state_->apps)
        out.insert(out.end(), app->books.begin(), app->books.end());
    return out;
}

AutomationHostFactory workbookHostFactory(WorkbookHostSettings settings) {
    return [settings]() -> std::unique_ptr<AutomationHost> {
        return std::make_unique<WorkbookHost>(settings);
    };
}

} // namespace tc
