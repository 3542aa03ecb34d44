#pragma once
// Late-bound automation: a variant type, a dispatch interface that resolves member names at run
// time, the four call primitives and their typed forms, and the host that creates the server
// objects. Standard C++ only; the COM host (Windows) and the workbook host (elsewhere) sit
// behind AutomationHost.
#include "common/work_progress.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tc {

// Variant types, with the numbers the automation standard gives them.
enum class VarType : std::uint16_t {
    Empty = 0,
    Null = 1,
    I2 = 2,   // 16-bit signed integer
    I4 = 3,   // 32-bit signed integer
    R4 = 4,   // 32-bit float
    R8 = 5,   // 64-bit float (only ever returned by the server)
    Bstr = 8, // text, held as UTF-8
    Dispatch = 9,
    Bool = 11, // true travels as -1, false as 0
    UI4 = 19,  // 32-bit unsigned integer
};

// "VT_I2", "VT_BSTR", ...
const char* varTypeName(VarType type);

class Dispatch;
using DispatchPtr = std::shared_ptr<Dispatch>;

// An automation value. An object reference is shared: copying it adds a reference, destroying or
// overwriting it releases one.
class Variant {
public:
    Variant() = default; // empty (unassigned)

    static Variant null();
    static Variant i2(std::int16_t v);
    static Variant i4(std::int32_t v);
    static Variant ui4(std::uint32_t v);
    static Variant r4(float v);
    static Variant r8(double v);
    static Variant boolean(bool v);
    static Variant text(std::string v);
    static Variant object(DispatchPtr v); // a null pointer gives a null reference

    VarType type() const { return type_; }
    bool isEmpty() const { return type_ == VarType::Empty; }
    bool isNull() const { return type_ == VarType::Null; }
    bool isObject() const { return type_ == VarType::Dispatch; }

    // Typed access; each requires the matching type (checked by the caller).
    std::int16_t i2Value() const { return static_cast<std::int16_t>(int_); }
    std::int32_t i4Value() const { return static_cast<std::int32_t>(int_); }
    std::uint32_t ui4Value() const { return static_cast<std::uint32_t>(int_); }
    float r4Value() const { return static_cast<float>(real_); }
    double r8Value() const { return real_; }
    bool boolValue() const { return int_ != 0; }
    const std::string& textValue() const { return text_; }
    const DispatchPtr& objectValue() const { return object_; }

private:
    VarType type_ = VarType::Empty;
    std::int64_t int_ = 0;
    double real_ = 0;
    std::string text_;
    DispatchPtr object_;
};

// The value as the automation layer would convert it: a 32-bit integer (floats rounded to the
// nearest, halves to even) or a truth value. Throws Error on a value that does not convert.
std::int32_t toInt32(const Variant& v);
bool toBool(const Variant& v);

// A readable form, for messages and call records: VT_I4 5, VT_BSTR "X", VT_BOOL true, ...
std::string describe(const Variant& v);

using DispId = std::int32_t;

enum class InvokeKind : std::uint16_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };

// An automation object reached by member names (the IDispatch contract).
class Dispatch {
public:
    virtual ~Dispatch() = default;
    // Resolves one member name; throws Error when the object has no such member.
    virtual DispId idOfName(std::string_view name) = 0;
    // Calls a member. args are in the member's own order (first argument first); for a property
    // put they hold the one new value. wantResult is false for a method called without result.
    // Throws Error with the server's text when the call is refused.
    virtual Variant invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                           bool wantResult) = 0;
};

// The four call primitives. Each resolves the member name, then calls it.
Variant getProperty(const Variant& object, std::string_view name,
                    std::span<const Variant> args = {});
void putProperty(const Variant& object, std::string_view name, const Variant& value);
Variant callMethod(const Variant& object, std::string_view name,
                   std::span<const Variant> args = {});
void callProcedure(const Variant& object, std::string_view name,
                   std::span<const Variant> args = {});

// Typed forms.
Variant getProperty(const Variant& object, std::string_view name, std::string text);
Variant getPropertyI2(const Variant& object, std::string_view name, std::int16_t a, std::int16_t b);
Variant getPropertyI4(const Variant& object, std::string_view name, std::int32_t a, std::int32_t b);
void putI4(const Variant& object, std::string_view name, std::int32_t value);
void putBool(const Variant& object, std::string_view name, bool value);
void putText(const Variant& object, std::string_view name, std::string value);
void putUI4(const Variant& object, std::string_view name, std::uint32_t value);
void putR4(const Variant& object, std::string_view name, float value);
Variant callMethodI4(const Variant& object, std::string_view name, std::int32_t a);
Variant callMethodI4(const Variant& object, std::string_view name, std::int32_t a, std::int32_t b);

// Creates the server objects and sees an export through. One host serves one export.
class AutomationHost {
public:
    virtual ~AutomationHost() = default;
    // A new instance of the server registered under progId, every time. Throws on failure.
    virtual Variant createObject(std::string_view progId) = 0;
    // Called once when an export ends, also when it ended with an error. Returns the path of a
    // file the host wrote for it, or an empty text when the host writes none (the COM host
    // leaves the workbook open in the spreadsheet program). Throws Error if writing fails.
    virtual std::string finishExport() = 0;
    // finishExport telling progress how far the writing is; when progress says stop, throws
    // Cancelled and leaves no file behind. A host that writes nothing has nothing to report.
    virtual std::string finishExportReporting(const WorkProgress& progress) {
        (void)progress;
        return finishExport();
    }
};

using AutomationHostFactory = std::function<std::unique_ptr<AutomationHost>()>;

} // namespace tc
