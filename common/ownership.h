// Owners of what the programs and their tools hold from Windows. Each releases
// what it holds when it is destroyed or given something else, so nothing is
// released by hand:
//
//   Owned<Traits>  the owner of one handle, for any kind the traits describe
//   OwnedHandle    a kernel handle: file, file mapping, thread, process, event
//                  (CloseHandle)
//   OwnedView      a view of a file mapping (UnmapViewOfFile)
//   OwnedFind      a search of FindFirstFile(Ex) (FindClose)
//   OwnedKey       an opened or created registry key (RegCloseKey)
//
// Beside it, with the headers of their own APIs: ownership_cng.h (CNG
// algorithms, keys and hashes), ownership_internet.h (WinINet handles),
// ownership_sockets.h (sockets) and ownership_variant.h (VARIANTs); the
// framework adds the window and GDI owners and ComPtr (framework/ownership.h).
//
// The owners move but are never copied.
#pragma once
#include <windows.h>

#include <utility>

namespace kavuno::win {

// The owner of one handle. Traits give the handle type, its empty value,
// whether a value is a handle at all, and how one is released.
template <class Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : handle_(other.Detach()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    // Takes `handle` and releases the one held before.
    void Reset(Handle handle = Traits::Empty()) {
        const Handle old = std::exchange(handle_, handle);
        if (Traits::IsSet(old)) Traits::Release(old);
    }
    // Gives the handle up without releasing it (to a window that takes it over, say).
    Handle Detach() { return std::exchange(handle_, Traits::Empty()); }
    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsSet(handle_); }

private:
    Handle handle_ = Traits::Empty();
};

// Traits of the most common kind: null is empty, and one call releases.
template <class H, auto release>
struct NullHandleTraits {
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr; }
    static void Release(Handle h) { release(h); }
};

// Kernel handles and searches: CreateFile and FindFirstFile fail with
// INVALID_HANDLE_VALUE, most others with null; neither is a handle.
template <auto release>
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Release(Handle h) { release(h); }
};
using OwnedHandle = Owned<KernelHandleTraits<&CloseHandle>>;
using OwnedFind = Owned<KernelHandleTraits<&FindClose>>;

// The view keeps its mapping: the mapping's handle may go first.
using OwnedView = Owned<NullHandleTraits<void*, &UnmapViewOfFile>>;

// Not for the predefined keys (HKEY_CURRENT_USER...): nobody closes those.
using OwnedKey = Owned<NullHandleTraits<HKEY, &RegCloseKey>>;

}  // namespace kavuno::win
