#include "export/com_host.h"

#include "common/text_number.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h
#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tc {

namespace {

constexpr LCID kLocale = 2048; // LOCALE_SYSTEM_DEFAULT
constexpr DWORD kServerContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER; // 5

// Texts travel as UTF-16 and are converted from and to UTF-8 directly, so every character of a
// title reaches the server whatever the system's 8-bit code page is.
std::wstring toWide(std::string_view s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string toUtf8(const wchar_t* w, size_t len) {
    if (!w || len == 0) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), s.data(), n, nullptr, nullptr);
    return s;
}

std::string bstrToUtf8(BSTR b) {
    return b ? toUtf8(b, SysStringLen(b)) : std::string();
}

// The system's text for an error code.
std::string systemText(HRESULT hr) {
    wchar_t* buf = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::string text = n ? toUtf8(buf, n) : std::string();
    if (buf) LocalFree(buf);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "error 0x%08lX", static_cast<unsigned long>(hr));
        text = code;
    }
    return text;
}

class ComDispatch;

void toVariant(const Variant& in, VARIANT& out);
Variant fromVariant(VARIANT& in);

class ComDispatch final : public Dispatch {
public:
    explicit ComDispatch(IDispatch* p) : p_(p) {} // takes over one reference
    ~ComDispatch() override {
        if (p_) p_->Release();
    }
    ComDispatch(const ComDispatch&) = delete;
    ComDispatch& operator=(const ComDispatch&) = delete;

    IDispatch* get() const { return p_; }

    DispId idOfName(std::string_view name) override {
        std::wstring w = toWide(name);
        LPOLESTR names[] = {w.data()};
        DISPID id = 0;
        const HRESULT hr = p_->GetIDsOfNames(IID_NULL, names, 1, kLocale, &id);
        if (FAILED(hr)) throw Error("'" + std::string(name) + "': " + systemText(hr));
        return id;
    }

    Variant invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                   bool wantResult) override {
        // IDispatch takes the arguments last first.
        std::vector<VARIANT> raw(args.size());
        for (auto& v : raw)
            VariantInit(&v);
        struct Clear {
            std::vector<VARIANT>& v;
            ~Clear() {
                for (auto& x : v)
                    VariantClear(&x);
            }
        } clear{raw};
        for (size_t i = 0; i < args.size(); ++i)
            toVariant(args[i], raw[args.size() - 1 - i]);

        DISPPARAMS params{};
        params.rgvarg = raw.empty() ? nullptr : raw.data();
        params.cArgs = static_cast<UINT>(raw.size());
        DISPID putId = DISPID_PROPERTYPUT;
        if (kind == InvokeKind::PropertyPut) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO info{};
        UINT argError = 0;
        const HRESULT hr = p_->Invoke(id, IID_NULL, kLocale, static_cast<WORD>(kind), &params,
                                      wantResult ? &result : nullptr, &info, &argError);
        if (FAILED(hr)) {
            std::string message;
            if (hr == DISP_E_EXCEPTION) {
                if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
                message = bstrToUtf8(info.bstrDescription);
                if (message.empty()) message = systemText(info.scode ? info.scode : hr);
            } else {
                message = systemText(hr);
            }
            SysFreeString(info.bstrSource);
            SysFreeString(info.bstrDescription);
            SysFreeString(info.bstrHelpFile);
            VariantClear(&result);
            throw Error(message);
        }
        Variant out = fromVariant(result);
        VariantClear(&result);
        return out;
    }

private:
    IDispatch* p_;
};

void toVariant(const Variant& in, VARIANT& out) {
    VariantInit(&out);
    switch (in.type()) {
    case VarType::Empty:
        break;
    case VarType::Null:
        out.vt = VT_NULL;
        break;
    case VarType::I2:
        out.vt = VT_I2;
        out.iVal = in.i2Value();
        break;
    case VarType::I4:
        out.vt = VT_I4;
        out.lVal = in.i4Value();
        break;
    case VarType::UI4:
        out.vt = VT_UI4;
        out.ulVal = in.ui4Value();
        break;
    case VarType::R4:
        out.vt = VT_R4;
        out.fltVal = in.r4Value();
        break;
    case VarType::R8:
        out.vt = VT_R8;
        out.dblVal = in.r8Value();
        break;
    case VarType::Bool:
        out.vt = VT_BOOL;
        out.boolVal = in.boolValue() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VarType::Bstr: {
        const std::wstring w = toWide(in.textValue());
        out.bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
        if (!out.bstrVal) throw Error("Out of memory");
        out.vt = VT_BSTR;
        break;
    }
    case VarType::Dispatch: {
        auto* com = dynamic_cast<ComDispatch*>(in.objectValue().get());
        if (!com)
            throw Error("An object of another automation host cannot be passed to the server");
        com->get()->AddRef();
        out.vt = VT_DISPATCH;
        out.pdispVal = com->get();
        break;
    }
    }
}

Variant fromVariant(VARIANT& in) {
    switch (in.vt) {
    case VT_EMPTY:
        return {};
    case VT_NULL:
        return Variant::null();
    case VT_I2:
        return Variant::i2(in.iVal);
    case VT_I4:
        return Variant::i4(in.lVal);
    case VT_UI4:
        return Variant::ui4(in.ulVal);
    case VT_R4:
        return Variant::r4(in.fltVal);
    case VT_R8:
        return Variant::r8(in.dblVal);
    case VT_BOOL:
        return Variant::boolean(in.boolVal != VARIANT_FALSE);
    case VT_BSTR:
        return Variant::text(bstrToUtf8(in.bstrVal));
    case VT_DISPATCH:
        if (!in.pdispVal) return Variant::null();
        in.pdispVal->AddRef();
        return Variant::object(std::make_shared<ComDispatch>(in.pdispVal));
    default: {
        // Any other number (currency, date, small integers): as a double.
        VARIANT r;
        VariantInit(&r);
        if (SUCCEEDED(VariantChangeType(&r, &in, 0, VT_R8))) return Variant::r8(r.dblVal);
        return {};
    }
    }
}

class ComHost final : public AutomationHost {
public:
    Variant createObject(std::string_view progId) override {
        const std::wstring w = toWide(progId);
        CLSID clsid{};
        HRESULT hr = CLSIDFromProgID(w.c_str(), &clsid);
        if (FAILED(hr)) throw Error("'" + std::string(progId) + "': " + systemText(hr));
        IDispatch* p = nullptr;
        hr = CoCreateInstance(clsid, nullptr, kServerContext, IID_IDispatch,
                              reinterpret_cast<void**>(&p));
        if (FAILED(hr) || !p) throw Error("'" + std::string(progId) + "': " + systemText(hr));
        return Variant::object(std::make_shared<ComDispatch>(p));
    }
    std::string finishExport() override { return {}; }
};

} // namespace

std::unique_ptr<AutomationHost> makeComHost() {
    return std::make_unique<ComHost>();
}

AutomationHostFactory comHostFactory() {
    return [] { return makeComHost(); };
}

} // namespace tc
