#include "framework/dispatch_call.h"

#include <oleauto.h>

#include <charconv>
#include <climits>
#include <string>

#include "common/gbk_win.h"
#include "framework/dispatch_holder.h"

namespace kavuno::ui {
namespace {

// The VARIANTs of one call, in Invoke's order (last argument first), with the
// empty variants that optional references point at. Their owners free the
// BSTRs after, and whatever the callee wrote into an empty one.
class InvokeArguments {
public:
    explicit InvokeArguments(std::span<const DispatchArg> args) : values_(args.size()), empties_(args.size()) {
        for (size_t i = 0; i < args.size(); ++i) Fill(args[i], values_[args.size() - 1 - i], empties_[i]);
    }

    bool complete() const { return complete_; }
    VARIANT* data() { return values_.data(); }
    UINT size() const { return static_cast<UINT>(values_.size()); }

private:
    void Fill(const DispatchArg& arg, VARIANT& v, VARIANT& empty) {
        switch (arg.type()) {
        case DispatchArg::Type::Text: {
            if (arg.text().size() > INT_MAX / 2) {
                complete_ = false;
                return;
            }
            std::wstring wide = gbk::ToWide(arg.text());
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            if (!v.bstrVal) {
                v.vt = VT_EMPTY;
                complete_ = false;
            }
            return;
        }
        case DispatchArg::Type::Boolean:
            v.vt = VT_BOOL;
            v.boolVal = arg.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
            return;
        case DispatchArg::Type::Int32:
            v.vt = VT_I4;
            v.lVal = arg.int32();
            return;
        case DispatchArg::Type::Double:
            v.vt = VT_R8;
            v.dblVal = arg.real();
            return;
        case DispatchArg::Type::EmptyOptional:
            // Clearing a reference leaves its target alone, so the target is not freed twice.
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = &empty;
            return;
        }
    }

    win::OwnedVariantArray values_;
    win::OwnedVariantArray empties_;  // of a fixed size: the references stay valid
    bool complete_ = true;
};

void FreeExceptionTexts(EXCEPINFO& info) {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
}

// Coerces `result` to `type` in place; on failure the variant is cleared.
// Conversions never depend on the user's locale: the same control gives the
// same values under any decimal or group mark.
HRESULT Coerce(win::OwnedVariant& result, VARTYPE type) {
    HRESULT hr = result->vt == type ? S_OK : VariantChangeTypeEx(result.get(), result.get(), LOCALE_INVARIANT, 0, type);
    if (FAILED(hr)) result.Reset();
    return hr;
}

// A number that a control gives as text becomes a double, read with '.' (or
// a lone ',') as the decimal mark and no group marks, whatever the user's
// locale says; the system's conversion would read "59.5" as 595 where the
// decimal mark is a comma.
HRESULT NumberFromText(win::OwnedVariant& result) {
    if (result->vt != VT_BSTR) return S_OK;
    std::string text;
    for (UINT i = 0, n = SysStringLen(result->bstrVal); i < n; ++i) {
        const wchar_t c = result->bstrVal[i];
        if (c > 0x7F) {
            result.Reset();
            return DISP_E_TYPEMISMATCH;
        }
        text += static_cast<char>(c);
    }
    result.Reset();
    const auto first = text.find_first_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.find('.') == std::string::npos && text.find(',') == text.rfind(',') && text.find(',') != std::string::npos)
        text[text.find(',')] = '.';
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return DISP_E_TYPEMISMATCH;
    result->vt = VT_R8;
    result->dblVal = value;
    return S_OK;
}

}  // namespace

HRESULT DispatchIdOfName(IDispatch* object, const wchar_t* name, DISPID& id) {
    id = DISPID_UNKNOWN;
    if (!object || !name) return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (SUCCEEDED(hr) && id == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    return hr;
}

HRESULT InvokeByDispId(IDispatch* object, DISPID id, DispatchKind kind, std::span<const DispatchArg> args,
                       win::OwnedVariant& result) {
    if (!object) return E_POINTER;
    InvokeArguments values(args);
    if (!values.complete()) return E_OUTOFMEMORY;

    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {};
    params.rgvarg = values.data();
    params.cArgs = values.size();
    if (kind == DispatchKind::PropertyPut) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(kind), &params, result.get(),
                                &exception, &badArgument);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        // The object's own error code says more than "an exception happened".
        if (FAILED(exception.scode)) hr = exception.scode;
    }
    FreeExceptionTexts(exception);
    return hr;
}

HRESULT TakeResult(win::OwnedVariant& result, std::int32_t& out) {
    HRESULT hr = NumberFromText(result);
    if (SUCCEEDED(hr)) hr = Coerce(result, VT_I4);
    if (SUCCEEDED(hr)) out = result->lVal;
    result.Reset();
    return hr;
}

HRESULT TakeResult(win::OwnedVariant& result, double& out) {
    HRESULT hr = NumberFromText(result);
    if (SUCCEEDED(hr)) hr = Coerce(result, VT_R8);
    if (SUCCEEDED(hr)) out = result->dblVal;
    result.Reset();
    return hr;
}

HRESULT TakeResult(win::OwnedVariant& result, bool& out) {
    HRESULT hr = Coerce(result, VT_BOOL);
    if (SUCCEEDED(hr)) out = result->boolVal != VARIANT_FALSE;
    result.Reset();
    return hr;
}

HRESULT TakeResult(win::OwnedVariant& result, std::string& out) {
    HRESULT hr = Coerce(result, VT_BSTR);
    if (SUCCEEDED(hr) && result->bstrVal)
        out = gbk::FromWide(std::wstring_view(result->bstrVal, SysStringLen(result->bstrVal)));
    result.Reset();
    return hr;
}

HRESULT TakeResult(win::OwnedVariant& result, DispatchHolder& out) {
    // An object property that is not set comes back empty or null: no object, no error.
    if (result->vt == VT_EMPTY || result->vt == VT_NULL) {
        out.Reset();
        return S_OK;
    }
    HRESULT hr = Coerce(result, VT_DISPATCH);
    if (SUCCEEDED(hr)) out.Attach(result.Detach().pdispVal);  // the holder takes the variant's reference
    result.Reset();
    return hr;
}

}  // namespace kavuno::ui
