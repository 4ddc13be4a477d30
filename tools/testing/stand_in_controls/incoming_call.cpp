#include "tools/testing/stand_in_controls/incoming_call.h"

#include <oleauto.h>

#include <new>

#include "tools/testing/stand_in_controls/call_log.h"
#include "tools/testing/stand_in_controls/core/call_log_line.h"

namespace kavuno::stand_in {
namespace {

CallKind KindOf(WORD flags) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return CallKind::kPut;
    if (flags == DISPATCH_PROPERTYGET) return CallKind::kGet;
    return CallKind::kMethod;
}

const char* KindName(CallKind kind) {
    switch (kind) {
    case CallKind::kGet: return "get";
    case CallKind::kPut: return "put";
    default: return "method";
    }
}

std::string LogText(const VARIANT& value) {
    const VARIANT* v = &value;
    if (V_VT(v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
    switch (V_VT(v)) {
    case VT_EMPTY: return "";
    case VT_BSTR: return Utf8(V_BSTR(v) ? std::wstring_view(V_BSTR(v), SysStringLen(V_BSTR(v))) : std::wstring_view());
    case VT_BOOL: return V_BOOL(v) ? "true" : "false";
    case VT_R8: return LogNumber(V_R8(v));
    case VT_R4: return LogNumber(V_R4(v));
    default: break;
    }
    win::OwnedVariant text;
    std::string out;
    if (SUCCEEDED(VariantChangeTypeEx(text.get(), const_cast<VARIANT*>(v), LOCALE_INVARIANT, 0, VT_BSTR)))
        out = Utf8(std::wstring_view(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get()))));
    return out;
}

}  // namespace

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

DispatchCall::DispatchCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result)
    : id_(id), kind_(KindOf(flags)), params_(params), result_(result) {}

const VARIANT* DispatchCall::Argument(unsigned index) const {
    // The arguments come last first; a put's value is the named argument.
    if (!params_ || index >= params_->cArgs) return nullptr;
    return &params_->rgvarg[params_->cArgs - 1 - index];
}

bool DispatchCall::Coerce(unsigned index, VARTYPE type, win::OwnedVariant& out) {
    const VARIANT* arg = Argument(index);
    if (!arg) {
        failure_ = DISP_E_BADPARAMCOUNT;
        return false;
    }
    if (FAILED(VariantChangeTypeEx(out.get(), const_cast<VARIANT*>(arg), LOCALE_INVARIANT, 0, type))) {
        failure_ = DISP_E_TYPEMISMATCH;
        return false;
    }
    return true;
}

bool DispatchCall::Text(unsigned index, std::wstring& out) {
    win::OwnedVariant v;
    if (!Coerce(index, VT_BSTR, v)) return false;
    out.assign(V_BSTR(v.get()) ? V_BSTR(v.get()) : L"", V_BSTR(v.get()) ? SysStringLen(V_BSTR(v.get())) : 0);
    return true;
}

bool DispatchCall::Bool(unsigned index, bool& out) {
    win::OwnedVariant v;
    if (!Coerce(index, VT_BOOL, v)) return false;
    out = V_BOOL(v.get()) != VARIANT_FALSE;
    return true;
}

bool DispatchCall::Int(unsigned index, long& out) {
    win::OwnedVariant v;
    if (!Coerce(index, VT_I4, v)) return false;
    out = V_I4(v.get());
    return true;
}

bool DispatchCall::Double(unsigned index, double& out) {
    win::OwnedVariant v;
    if (!Coerce(index, VT_R8, v)) return false;
    out = V_R8(v.get());
    return true;
}

void DispatchCall::ReturnText(std::wstring_view text) {
    if (!result_) return;
    V_VT(result_) = VT_BSTR;
    V_BSTR(result_) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void DispatchCall::ReturnBool(bool value) {
    if (!result_) return;
    V_VT(result_) = VT_BOOL;
    V_BOOL(result_) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void DispatchCall::ReturnInt(long value) {
    if (!result_) return;
    V_VT(result_) = VT_I4;
    V_I4(result_) = value;
}

void DispatchCall::ReturnDouble(double value) {
    if (!result_) return;
    V_VT(result_) = VT_R8;
    V_R8(result_) = value;
}

void DispatchCall::ReturnDispatch(IDispatch* object) {
    if (!result_) {
        if (object) object->Release();
        return;
    }
    V_VT(result_) = VT_DISPATCH;
    V_DISPATCH(result_) = object;
}

std::vector<std::string> DispatchCall::LogArguments() const {
    std::vector<std::string> out;
    for (unsigned i = 0; i < ArgumentCount(); ++i) out.push_back(LogText(*Argument(i)));
    return out;
}

HRESULT ServeInvoke(const char* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                    const std::function<HRESULT(DispatchCall&)>& serve) {
    if (result) VariantInit(result);
    DispatchCall call(id, flags, params, result);
    // Nothing may escape through the COM boundary into the caller.
    try {
        AppendCallLog(CallLogLine(object, id, KindName(call.kind()), call.LogArguments()));
        return serve(call);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT IdsOfNames(const DispatchName* table, size_t count, LPOLESTR* names, UINT nameCount, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < nameCount; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i > 0) {  // named parameters: none known
            hr = DISP_E_UNKNOWNNAME;
            continue;
        }
        for (size_t t = 0; t < count; ++t)
            if (names[i] && lstrcmpiW(names[i], table[t].name) == 0) ids[i] = table[t].id;
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

}  // namespace kavuno::stand_in
