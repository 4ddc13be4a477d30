// Owns one GDI object (brush, bitmap, ...) and deletes it when replaced or
// destroyed.
#pragma once
#include <windows.h>

namespace kavuno::player {

template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void Reset(Handle handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

}  // namespace kavuno::player
