// Owners of the windows, GDI objects and COM references the programs hold,
// built on the owner of common/ownership.h (which also owns kernel handles,
// mapped views and searches). Each releases what it holds when it is
// destroyed or given something else, so no destructor or OnDestroy releases
// anything by hand:
//
//   ComPtr<T>            a COM interface reference (Release)
//   GdiObject<H>         a bitmap, brush, region or font (DeleteObject)
//   OwnedDC              a device context of CreateCompatibleDC (DeleteDC)
//   OwnedIcon            an icon not shared with the system (DestroyIcon)
//   OwnedWindow          a window of our own making (DestroyWindow)
//   ScopedGetDC          a window's device context for one scope (ReleaseDC)
//   ScopedSelectObject   an object selected into a device context for one
//                        scope (the object it replaced is selected back)
//
// The owners move but are never copied, except ComPtr, whose copy is a
// reference of its own (AddRef).
#pragma once
#include <windows.h>
#include <unknwn.h>

#include <utility>

#include "common/ownership.h"

namespace kavuno::ui {

template <class H>
using GdiObject = win::Owned<win::NullHandleTraits<H, &DeleteObject>>;
using OwnedDC = win::Owned<win::NullHandleTraits<HDC, &DeleteDC>>;
// Not for LoadIcon's icons, nor LoadImage's with LR_SHARED: the system owns those.
using OwnedIcon = win::Owned<win::NullHandleTraits<HICON, &DestroyIcon>>;

// A window may go before its owner object does (with its parent, say).
inline void DestroyOwnWindow(HWND h) {
    if (IsWindow(h)) DestroyWindow(h);
}
using OwnedWindow = win::Owned<win::NullHandleTraits<HWND, &DestroyOwnWindow>>;

// A window's device context from GetDC (or GetWindowDC for the whole window,
// frame included), released when the scope ends. A null window gives the
// screen's.
class ScopedGetDC {
public:
    enum class Area { Client, Window };
    explicit ScopedGetDC(HWND window, Area area = Area::Client)
        : window_(window), dc_(area == Area::Window ? GetWindowDC(window) : GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a bitmap, brush, pen or font into a device context for one scope.
// (Not for regions: selecting one returns no object to put back.)
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (ok()) SelectObject(dc_, old_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

    // False when the object could not be selected (a null or unsuitable one).
    bool ok() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// An owning COM interface pointer: releases on reset and destruction; a copy
// holds a reference of its own.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over `p`'s reference, or adds one of its own when `addRef` is set.
    ComPtr(T* p, bool addRef) : p_(p) {
        if (p_ && addRef) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_, true) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** Out() {
        Reset();
        return &p_;
    }
    // Another interface of the same object; empty when it has none.
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> result;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(result.Out()));
        return result;
    }
    // Gives the reference up without releasing it.
    T* Detach() { return std::exchange(p_, nullptr); }

private:
    T* p_ = nullptr;
};

}  // namespace kavuno::ui
