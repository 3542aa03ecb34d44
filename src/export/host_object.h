#pragma once
// The parts of the workbook host that its object classes share: the host's state, the call
// dispatch of one object, argument checking. Internal to the workbook host's files.
#include "common/text_number.h"
#include "common/utf8.h"
#include "export/workbook_host.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tc::host {

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

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// The range a reference formula (=Sheet1!$A$2:$A$12, ='My sheet'!B1) names, or nothing when the
// text is not a reference to cells of a sheet of this workbook.
std::optional<SheetRange> parseReference(std::string_view formula, const WorkbookModel& book);

// ----------------------------------------------------------------------------------------------
// Calls

inline constexpr unsigned kGet = 1, kPut = 2, kMethod = 4;

inline unsigned kindBit(InvokeKind k) {
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

// The objects one file makes for another.
Variant makeChartObject(ContextPtr ctx, std::shared_ptr<WorkbookModel> book,
                        std::shared_ptr<ChartModel> chart);
Variant makeApplicationObject(ContextPtr ctx, AppPtr app);

} // namespace tc::host
