// The workbook host's objects above the chart: the application, its workbooks, worksheets,
// cell ranges and the chart shapes on a sheet.
#include "export/host_object.h"

#include "common/number_text.h"
#include "export/worksheet_address.h"

#include <cmath>

namespace tc::host {

std::optional<SheetRange> parseReference(std::string_view formula, const WorkbookModel& book) {
    const std::optional<ParsedReference> p = ParseReference(formula);
    if (!p) return std::nullopt;
    for (const auto& s : book.sheets) {
        if (!sameName(s->name, p->sheet)) continue;
        SheetRange r;
        r.sheet = s->name;
        r.firstRow = p->firstRow;
        r.firstColumn = p->firstColumn;
        r.lastRow = p->lastRow;
        r.lastColumn = p->lastColumn;
        return r;
    }
    return std::nullopt;
}

namespace {

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
            return makeChartObject(ctx(), app_->activeBook, app_->activeChart);
        }
    }

private:
    AppPtr app_;
};

} // namespace

Variant makeApplicationObject(ContextPtr ctx, AppPtr app) {
    return make<ApplicationObject>(std::move(ctx), std::move(app));
}

} // namespace tc::host
