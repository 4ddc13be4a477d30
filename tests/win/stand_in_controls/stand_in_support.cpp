#include "tests/win/stand_in_controls/stand_in_support.h"

#include "common/ownership.h"

namespace kavuno::stand_in::testing {

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

ui::DispatchHolder Create(const CLSID& clsid) {
    IDispatch* object = nullptr;
    if (FAILED(
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object))))
        return {};
    return ui::DispatchHolder(object);
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
    const win::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    return text;
}

}  // namespace kavuno::stand_in::testing
