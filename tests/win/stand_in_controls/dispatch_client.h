// What the tests of the stand-in controls need to drive them as the player
// does: calls by dispatch id, message-pumping waits with a deadline, and the
// registration of the DLL in the test's prefix.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

namespace kavuno::stand_in::testing {

extern const CLSID kRealClsid;
extern const CLSID kWmpClsid;

// A function a DLL exports, as its type.
template <class F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The DLL beside the test program.
std::wstring ControlsDll();
// Loads the DLL and runs its DllRegisterServer.
HRESULT RegisterControls();

// Owns one IDispatch reference.
class Dispatch {
public:
    Dispatch() = default;
    explicit Dispatch(IDispatch* p) : p_(p) {}
    Dispatch(Dispatch&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    Dispatch& operator=(Dispatch&& o) noexcept;
    ~Dispatch() { Reset(); }
    void Reset();
    IDispatch* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // Invoke with arguments in their natural order; `result` may be null.
    HRESULT Call(DISPID id, WORD flags, std::initializer_list<VARIANT> args = {}, VARIANT* result = nullptr) const;
    HRESULT Method(DISPID id) const { return Call(id, DISPATCH_METHOD); }
    HRESULT PutText(DISPID id, const std::wstring& text) const;
    HRESULT PutBool(DISPID id, bool value) const;
    HRESULT PutDouble(DISPID id, double value) const;
    long Int(DISPID id, WORD flags = DISPATCH_METHOD) const;
    double Double(DISPID id, WORD flags = DISPATCH_PROPERTYGET) const;
    std::wstring Text(DISPID id, WORD flags = DISPATCH_METHOD) const;
    Dispatch Object(DISPID id) const;

private:
    IDispatch* p_ = nullptr;
};

// CoCreateInstance by class id, as the player creates them.
Dispatch Create(const CLSID& clsid);

VARIANT TextArg(const std::wstring& text);  // the caller's VARIANT owns a BSTR: free with VariantClear
VARIANT IntArg(long value);
VARIANT BoolArg(bool value);

// Pumps messages until `done` holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000);
// Handles the messages already queued, without waiting for more.
void PumpPending();

// The whole file as UTF-8 text ("" when it does not exist).
std::string ReadFileText(const std::wstring& path);

}  // namespace kavuno::stand_in::testing
