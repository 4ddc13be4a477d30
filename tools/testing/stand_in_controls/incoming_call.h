// One IDispatch::Invoke as the stand-in objects see it: the kind of call, its
// arguments in their natural order, coerced on request, and the result. Every
// call is written to the call log (KAVUNO_STAND_IN_LOG) before it is served.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ownership_variant.h"

namespace kavuno::stand_in {

enum class CallKind { kMethod, kGet, kPut };

class DispatchCall {
public:
    DispatchCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result);

    DISPID id() const { return id_; }
    CallKind kind() const { return kind_; }
    // Getters come as DISPATCH_PROPERTYGET, DISPATCH_METHOD or both.
    bool IsGet() const { return kind_ != CallKind::kPut; }
    bool IsPut() const { return kind_ == CallKind::kPut; }
    unsigned ArgumentCount() const { return params_ ? params_->cArgs : 0; }

    // Argument `index` (0 is the first) coerced to a type; false when it is
    // missing or cannot be coerced (the call then fails with `failure`).
    bool Text(unsigned index, std::wstring& out);
    bool Bool(unsigned index, bool& out);
    bool Int(unsigned index, long& out);
    bool Double(unsigned index, double& out);
    HRESULT failure() const { return failure_; }

    void ReturnText(std::wstring_view text);
    void ReturnBool(bool value);
    void ReturnInt(long value);
    void ReturnDouble(double value);
    // Takes over one reference of `object` (which may be null).
    void ReturnDispatch(IDispatch* object);

    // The arguments as the call log writes them.
    std::vector<std::string> LogArguments() const;

private:
    const VARIANT* Argument(unsigned index) const;
    bool Coerce(unsigned index, VARTYPE type, win::OwnedVariant& out);

    DISPID id_;
    CallKind kind_;
    DISPPARAMS* params_;
    VARIANT* result_;
    HRESULT failure_ = S_OK;
};

std::string Utf8(std::wstring_view text);

// The whole of an Invoke: checks, logs under `object`, then runs `serve`.
// `serve` returns S_OK, DISP_E_MEMBERNOTFOUND for an id it does not know, or
// call.failure() after a failed coercion.
HRESULT ServeInvoke(const char* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                    const std::function<HRESULT(DispatchCall&)>& serve);

// GetIDsOfNames over a table of published names (compared without case).
struct DispatchName {
    const wchar_t* name;
    DISPID id;
};
HRESULT IdsOfNames(const DispatchName* table, size_t count, LPOLESTR* names, UINT nameCount, DISPID* ids);

}  // namespace kavuno::stand_in
