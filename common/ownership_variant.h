// Owners of VARIANTs and of what they hold: a text (BSTR), an object
// reference or an array is freed (VariantClear) when its variant is reset or
// destroyed. A reference to another variant (VT_BYREF) frees nothing.
//
//   OwnedVariant        one variant
//   OwnedVariantArray   the arguments of a call
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <vector>

namespace kavuno::win {

class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value_); }
    ~OwnedVariant() { VariantClear(&value_); }
    // A VARIANT is plain data: a move copies it and leaves the other empty.
    OwnedVariant(OwnedVariant&& other) noexcept : value_(other.Detach()) {}
    OwnedVariant& operator=(OwnedVariant&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = other.Detach();
        }
        return *this;
    }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARIANT* operator->() { return &value_; }
    const VARIANT* operator->() const { return &value_; }

    // Frees what is held; the variant is empty after (also when its type was
    // one VariantClear refuses: there is nothing of it to free then).
    void Reset() {
        VariantClear(&value_);
        VariantInit(&value_);
    }
    // Gives the value up without freeing it: the caller owns what it holds.
    VARIANT Detach() {
        VARIANT value = value_;
        VariantInit(&value_);
        return value;
    }

private:
    VARIANT value_;
};

// Variants side by side, as DISPPARAMS takes a call's arguments, each cleared
// with the array. Its size is fixed, so pointers into it stay valid.
class OwnedVariantArray {
public:
    explicit OwnedVariantArray(std::size_t size) : values_(size) {
        for (VARIANT& v : values_) VariantInit(&v);
    }
    ~OwnedVariantArray() {
        for (VARIANT& v : values_) VariantClear(&v);
    }
    OwnedVariantArray(const OwnedVariantArray&) = delete;
    OwnedVariantArray& operator=(const OwnedVariantArray&) = delete;

    VARIANT& operator[](std::size_t i) { return values_[i]; }
    VARIANT* data() { return values_.empty() ? nullptr : values_.data(); }
    std::size_t size() const { return values_.size(); }

private:
    std::vector<VARIANT> values_;
};

}  // namespace kavuno::win
