#include "tests/win/stand_in_controls/dispatch_client.h"

#include <algorithm>
#include <vector>

namespace kavuno::stand_in::testing {

const CLSID kRealClsid = {0xCFCDAA03, 0x8BE4, 0x11CF, {0xB8, 0x4B, 0x00, 0x20, 0xAF, 0xBB, 0xCC, 0xFA}};
const CLSID kWmpClsid = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

std::wstring ControlsDll() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, n);
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"kavuno_stand_in_controls.dll";
}

HRESULT RegisterControls() {
    HMODULE dll = LoadLibraryW(ControlsDll().c_str());
    if (!dll) return HRESULT_FROM_WIN32(GetLastError());
    auto reg = Export<HRESULT(STDAPICALLTYPE*)()>(dll, "DllRegisterServer");
    HRESULT hr = reg ? reg() : E_NOINTERFACE;
    FreeLibrary(dll);
    return hr;
}

Dispatch& Dispatch::operator=(Dispatch&& o) noexcept {
    if (this != &o) {
        Reset();
        p_ = o.p_;
        o.p_ = nullptr;
    }
    return *this;
}

void Dispatch::Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
}

HRESULT Dispatch::Call(DISPID id, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result) const {
    std::vector<VARIANT> reversed(args.begin(), args.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                      static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    if (result) VariantInit(result);
    return p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

HRESULT Dispatch::PutText(DISPID id, const std::wstring& text) const {
    VARIANT v = TextArg(text);
    HRESULT hr = Call(id, DISPATCH_PROPERTYPUT, {v});
    VariantClear(&v);
    return hr;
}

HRESULT Dispatch::PutBool(DISPID id, bool value) const { return Call(id, DISPATCH_PROPERTYPUT, {BoolArg(value)}); }

HRESULT Dispatch::PutDouble(DISPID id, double value) const {
    VARIANT v;
    V_VT(&v) = VT_R8;
    V_R8(&v) = value;
    return Call(id, DISPATCH_PROPERTYPUT, {v});
}

long Dispatch::Int(DISPID id, WORD flags) const {
    VARIANT v;
    if (FAILED(Call(id, flags, {}, &v)) || V_VT(&v) != VT_I4) return -999;
    return V_I4(&v);
}

double Dispatch::Double(DISPID id, WORD flags) const {
    VARIANT v;
    if (FAILED(Call(id, flags, {}, &v)) || V_VT(&v) != VT_R8) return -999;
    return V_R8(&v);
}

std::wstring Dispatch::Text(DISPID id, WORD flags) const {
    VARIANT v;
    if (FAILED(Call(id, flags, {}, &v)) || V_VT(&v) != VT_BSTR) return L"<none>";
    std::wstring text(V_BSTR(&v) ? V_BSTR(&v) : L"");
    VariantClear(&v);
    return text;
}

Dispatch Dispatch::Object(DISPID id) const {
    VARIANT v;
    if (FAILED(Call(id, DISPATCH_PROPERTYGET, {}, &v)) || V_VT(&v) != VT_DISPATCH) return Dispatch();
    return Dispatch(V_DISPATCH(&v));
}

Dispatch Create(const CLSID& clsid) {
    IDispatch* p = nullptr;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&p));
    return Dispatch(p);
}

VARIANT TextArg(const std::wstring& text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

VARIANT IntArg(long value) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

VARIANT BoolArg(bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        PumpPending();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::string ReadFileText(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

}  // namespace kavuno::stand_in::testing
