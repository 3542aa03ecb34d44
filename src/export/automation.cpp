#include "export/automation.h"

#include "common/number_text.h"
#include "common/text_number.h"

#include <array>
#include <cmath>
#include <limits>

namespace tc {

const char* varTypeName(VarType type) {
    switch (type) {
    case VarType::Empty:
        return "VT_EMPTY";
    case VarType::Null:
        return "VT_NULL";
    case VarType::I2:
        return "VT_I2";
    case VarType::I4:
        return "VT_I4";
    case VarType::R4:
        return "VT_R4";
    case VarType::R8:
        return "VT_R8";
    case VarType::Bstr:
        return "VT_BSTR";
    case VarType::Dispatch:
        return "VT_DISPATCH";
    case VarType::Bool:
        return "VT_BOOL";
    case VarType::UI4:
        return "VT_UI4";
    }
    return "VT_?";
}

Variant Variant::null() {
    Variant v;
    v.type_ = VarType::Null;
    return v;
}
Variant Variant::i2(std::int16_t x) {
    Variant v;
    v.type_ = VarType::I2;
    v.int_ = x;
    return v;
}
Variant Variant::i4(std::int32_t x) {
    Variant v;
    v.type_ = VarType::I4;
    v.int_ = x;
    return v;
}
Variant Variant::ui4(std::uint32_t x) {
    Variant v;
    v.type_ = VarType::UI4;
    v.int_ = x;
    return v;
}
Variant Variant::r4(float x) {
    Variant v;
    v.type_ = VarType::R4;
    v.real_ = x;
    return v;
}
Variant Variant::r8(double x) {
    Variant v;
    v.type_ = VarType::R8;
    v.real_ = x;
    return v;
}
Variant Variant::boolean(bool x) {
    Variant v;
    v.type_ = VarType::Bool;
    v.int_ = x ? -1 : 0;
    return v;
}
Variant Variant::text(std::string x) {
    Variant v;
    v.type_ = VarType::Bstr;
    v.text_ = std::move(x);
    return v;
}
Variant Variant::object(DispatchPtr x) {
    Variant v;
    v.type_ = x ? VarType::Dispatch : VarType::Null;
    v.object_ = std::move(x);
    return v;
}

namespace {

std::int32_t roundToInt32(double x) {
    if (!std::isfinite(x)) throw Error("Type mismatch: " + formatNumber(x) + " is not an integer");
    const double r = std::nearbyint(x); // the default rounding mode: halves to even
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        throw Error("Overflow: " + formatNumber(x) + " does not fit a 32-bit integer");
    return static_cast<std::int32_t>(r);
}

} // namespace

std::int32_t toInt32(const Variant& v) {
    switch (v.type()) {
    case VarType::I2:
        return v.i2Value();
    case VarType::I4:
        return v.i4Value();
    case VarType::Bool:
        return v.boolValue() ? -1 : 0;
    case VarType::UI4:
        if (v.ui4Value() > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
            throw Error("Overflow: " + std::to_string(v.ui4Value()) +
                        " does not fit a 32-bit integer");
        return static_cast<std::int32_t>(v.ui4Value());
    case VarType::R4:
        return roundToInt32(v.r4Value());
    case VarType::R8:
        return roundToInt32(v.r8Value());
    default:
        throw Error(std::string("Type mismatch: ") + varTypeName(v.type()) + " is not a number");
    }
}

bool toBool(const Variant& v) {
    switch (v.type()) {
    case VarType::Bool:
        return v.boolValue();
    case VarType::I2:
    case VarType::I4:
    case VarType::UI4:
        return v.i4Value() != 0;
    case VarType::R4:
    case VarType::R8:
        return v.r8Value() != 0;
    default:
        throw Error(std::string("Type mismatch: ") + varTypeName(v.type()) +
                    " is not a truth value");
    }
}

std::string describe(const Variant& v) {
    std::string out = varTypeName(v.type());
    switch (v.type()) {
    case VarType::I2:
    case VarType::I4:
        out += ' ' + std::to_string(v.i4Value());
        break;
    case VarType::UI4:
        out += ' ' + std::to_string(v.ui4Value());
        break;
    case VarType::R4:
    case VarType::R8:
        out += ' ' + formatNumber(v.r8Value());
        break;
    case VarType::Bool:
        out += v.boolValue() ? " true" : " false";
        break;
    case VarType::Bstr:
        out += " \"" + v.textValue() + '"';
        break;
    default:
        break;
    }
    return out;
}

namespace {

Dispatch& target(const Variant& object, std::string_view name) {
    if (!object.isObject() || !object.objectValue())
        throw Error("Object required: '" + std::string(name) + "' was called on " +
                    varTypeName(object.type()) + " instead of an object");
    return *object.objectValue();
}

Variant call(const Variant& object, std::string_view name, InvokeKind kind,
             std::span<const Variant> args, bool wantResult) {
    Dispatch& d = target(object, name);
    const DispId id = d.idOfName(name);
    return d.invoke(id, kind, args, wantResult);
}

} // namespace

Variant getProperty(const Variant& object, std::string_view name, std::span<const Variant> args) {
    return call(object, name, InvokeKind::PropertyGet, args, true);
}

void putProperty(const Variant& object, std::string_view name, const Variant& value) {
    call(object, name, InvokeKind::PropertyPut, std::span<const Variant>(&value, 1), false);
}

Variant callMethod(const Variant& object, std::string_view name, std::span<const Variant> args) {
    return call(object, name, InvokeKind::Method, args, true);
}

void callProcedure(const Variant& object, std::string_view name, std::span<const Variant> args) {
    call(object, name, InvokeKind::Method, args, false);
}

Variant getProperty(const Variant& object, std::string_view name, std::string text) {
    const Variant arg = Variant::text(std::move(text));
    return getProperty(object, name, std::span<const Variant>(&arg, 1));
}

Variant getPropertyI2(const Variant& object, std::string_view name, std::int16_t a,
                      std::int16_t b) {
    const std::array<Variant, 2> args{Variant::i2(a), Variant::i2(b)};
    return getProperty(object, name, args);
}

Variant getPropertyI4(const Variant& object, std::string_view name, std::int32_t a,
                      std::int32_t b) {
    const std::array<Variant, 2> args{Variant::i4(a), Variant::i4(b)};
    return getProperty(object, name, args);
}

void putI4(const Variant& object, std::string_view name, std::int32_t value) {
    putProperty(object, name, Variant::i4(value));
}
void putBool(const Variant& object, std::string_view name, bool value) {
    putProperty(object, name, Variant::boolean(value));
}
void putText(const Variant& object, std::string_view name, std::string value) {
    putProperty(object, name, Variant::text(std::move(value)));
}
void putUI4(const Variant& object, std::string_view name, std::uint32_t value) {
    putProperty(object, name, Variant::ui4(value));
}
void putR4(const Variant& object, std::string_view name, float value) {
    putProperty(object, name, Variant::r4(value));
}

Variant callMethodI4(const Variant& object, std::string_view name, std::int32_t a) {
    const Variant arg = Variant::i4(a);
    return callMethod(object, name, std::span<const Variant>(&arg, 1));
}

Variant callMethodI4(const Variant& object, std::string_view name, std::int32_t a, std::int32_t b) {
    const std::array<Variant, 2> args{Variant::i4(a), Variant::i4(b)};
    return callMethod(object, name, args);
}

} // namespace tc
