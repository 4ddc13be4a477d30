// Owns one automation object (an IDispatch reference) and calls it by
// dispatch id. The reference is released when the holder is given another
// object, reset, or destroyed; a holder can move but not be copied, so each
// reference has exactly one owner. An empty holder's calls do nothing and
// fail with E_POINTER.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/dispatch_call.h"
#include "framework/ownership.h"

namespace kavuno::ui {

class DispatchHolder {
public:
    DispatchHolder() = default;
    // Takes over `object`'s reference (no AddRef).
    explicit DispatchHolder(IDispatch* object) : object_(object, false) {}
    DispatchHolder(DispatchHolder&&) noexcept = default;
    DispatchHolder& operator=(DispatchHolder&&) noexcept = default;
    DispatchHolder(const DispatchHolder&) = delete;
    DispatchHolder& operator=(const DispatchHolder&) = delete;

    // Takes over `object`'s reference and releases the one held before.
    void Attach(IDispatch* object) { object_ = ComPtr<IDispatch>(object, false); }
    // Gives up the reference without releasing it.
    IDispatch* Detach() { return object_.Detach(); }
    void Reset() { object_.Reset(); }

    IDispatch* get() const { return object_.get(); }
    explicit operator bool() const { return static_cast<bool>(object_); }

    template <class R = void>
    DispatchResult<R> Call(DISPID id, DispatchKind kind, std::initializer_list<DispatchArg> args = {}) const {
        return CallByDispId<R>(object_.get(), id, kind, args);
    }

    template <class R = void>
    DispatchResult<R> CallByName(const wchar_t* name, DispatchKind kind,
                                 std::initializer_list<DispatchArg> args = {}) const {
        return kavuno::ui::CallByName<R>(object_.get(), name, kind, args);
    }

private:
    ComPtr<IDispatch> object_;
};

}  // namespace kavuno::ui
