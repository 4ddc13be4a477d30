// Calls on an automation object by dispatch id, with typed arguments and
// results instead of hand-built VARIANT arrays:
//
//     CallByDispId<std::int32_t>(object, 259, DispatchKind::Method);
//     CallByDispId(object, 102, DispatchKind::PropertyPut, {address});
//
// Texts are the program's 8-bit GBK strings: they travel as BSTRs converted
// with code page 936 in both directions. Every call returns its HRESULT with
// the value; a failed call leaves the value at its default (0, false, empty),
// so callers that do not care can read the value alone.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/ownership_variant.h"

namespace kavuno::ui {

class DispatchHolder;

enum class DispatchKind : WORD {
    Method = DISPATCH_METHOD,
    PropertyGet = DISPATCH_PROPERTYGET,
    PropertyPut = DISPATCH_PROPERTYPUT,
};

// An optional VARIANT* parameter passed as a reference to an empty variant,
// the way a caller leaves out the optional parameters of a browser's Navigate.
struct EmptyOptional {};
inline constexpr EmptyOptional kEmptyOptional{};

// One argument of a call. It only describes the value (a text is not copied),
// so it lives no longer than the call expression that builds it.
class DispatchArg {
public:
    enum class Type { Text, Boolean, Int32, Double, EmptyOptional };

    DispatchArg(std::string_view gbk) : type_(Type::Text), text_(gbk) {}
    DispatchArg(const std::string& gbk) : type_(Type::Text), text_(gbk) {}
    // Without this a string literal would pick the Boolean constructor.
    DispatchArg(const char* gbk) : type_(Type::Text), text_(gbk ? gbk : "") {}
    DispatchArg(bool value) : type_(Type::Boolean), boolean_(value) {}
    DispatchArg(std::int32_t value) : type_(Type::Int32), int32_(value) {}
    DispatchArg(double value) : type_(Type::Double), double_(value) {}
    DispatchArg(EmptyOptional) : type_(Type::EmptyOptional) {}

    Type type() const { return type_; }
    std::string_view text() const { return text_; }
    bool boolean() const { return boolean_; }
    std::int32_t int32() const { return int32_; }
    double real() const { return double_; }

private:
    Type type_;
    std::string_view text_;
    bool boolean_ = false;
    std::int32_t int32_ = 0;
    double double_ = 0;
};

// What a call gave back. `hr` is E_POINTER for a call on no object.
template <class T>
struct DispatchResult {
    HRESULT hr = E_POINTER;
    T value{};
    bool ok() const { return SUCCEEDED(hr); }
};

template <>
struct DispatchResult<void> {
    HRESULT hr = E_POINTER;
    bool ok() const { return SUCCEEDED(hr); }
};

// The untyped core: builds the DISPPARAMS (arguments in reverse order, the
// DISPID_PROPERTYPUT named argument for a put) and runs IDispatch::Invoke.
// `result` must be empty; it is left as Invoke filled it.
HRESULT InvokeByDispId(IDispatch* object, DISPID id, DispatchKind kind, std::span<const DispatchArg> args,
                       win::OwnedVariant& result);

// Result conversions, one per result type; each takes over `result`.
HRESULT TakeResult(win::OwnedVariant& result, std::int32_t& out);
HRESULT TakeResult(win::OwnedVariant& result, double& out);
HRESULT TakeResult(win::OwnedVariant& result, bool& out);
HRESULT TakeResult(win::OwnedVariant& result, std::string& out);  // GBK
HRESULT TakeResult(win::OwnedVariant& result, DispatchHolder& out);

// The typed call. R is void, std::int32_t, double, bool, std::string (GBK)
// or DispatchHolder (include dispatch_holder.h for that one).
template <class R = void>
DispatchResult<R> CallByDispId(IDispatch* object, DISPID id, DispatchKind kind,
                               std::initializer_list<DispatchArg> args = {}) {
    DispatchResult<R> outcome;
    win::OwnedVariant result;
    outcome.hr = InvokeByDispId(object, id, kind, std::span<const DispatchArg>(args.begin(), args.size()), result);
    if constexpr (!std::is_void_v<R>) {
        if (SUCCEEDED(outcome.hr)) outcome.hr = TakeResult(result, outcome.value);
    }
    return outcome;
}

// The dispatch id the object gives `name` (IDispatch::GetIDsOfNames), for the
// few calls whose ids a control does not promise. DISP_E_UNKNOWNNAME when the
// object does not know the name.
HRESULT DispatchIdOfName(IDispatch* object, const wchar_t* name, DISPID& id);

// The typed call by name: nothing is invoked when the name is unknown.
template <class R = void>
DispatchResult<R> CallByName(IDispatch* object, const wchar_t* name, DispatchKind kind,
                             std::initializer_list<DispatchArg> args = {}) {
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = DispatchIdOfName(object, name, id);
    if (FAILED(hr)) {
        DispatchResult<R> outcome;
        outcome.hr = hr;
        return outcome;
    }
    return CallByDispId<R>(object, id, kind, args);
}

}  // namespace kavuno::ui
