// Owns one automation object (an IDispatch reference) and calls it by
// dispatch id. The reference is released when the holder is given another
// object, reset, or destroyed; a holder can move but not be copied, so each
// reference has exactly one owner. An empty holder's calls do nothing and
// fail with E_POINTER.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "framework/dispatch_call.h"

namespace kavuno::ui {

class DispatchHolder {
public:
    DispatchHolder() = default;
    // Takes over `object`'s reference (no AddRef).
    explicit DispatchHolder(IDispatch* object) : object_(object) {}
    ~DispatchHolder() { Reset(); }
    DispatchHolder(DispatchHolder&& other) noexcept : object_(other.Detach()) {}
    DispatchHolder& operator=(DispatchHolder&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    DispatchHolder(const DispatchHolder&) = delete;
    DispatchHolder& operator=(const DispatchHolder&) = delete;

    // Takes over `object`'s reference and releases the one held before.
    void Attach(IDispatch* object) {
        IDispatch* old = object_;
        object_ = object;
        if (old) old->Release();
    }
    // Gives up the reference without releasing it.
    IDispatch* Detach() {
        IDispatch* object = object_;
        object_ = nullptr;
        return object;
    }
    void Reset() { Attach(nullptr); }

    IDispatch* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    template <class R = void>
    DispatchResult<R> Call(DISPID id, DispatchKind kind, std::initializer_list<DispatchArg> args = {}) const {
        return CallByDispId<R>(object_, id, kind, args);
    }

private:
    IDispatch* object_ = nullptr;
};

}  // namespace kavuno::ui
