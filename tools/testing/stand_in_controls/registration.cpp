// Registration of the two controls under HKEY_LOCAL_MACHINE\Software\Classes
// (what HKEY_CLASSES_ROOT shows; Wine does not look at the per-user classes).
// Registering the media player's class replaces the media player of the
// prefix; unregistering removes only a registration that names this DLL.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "common/ownership.h"
#include "tools/testing/stand_in_controls/module.h"
#include "tools/testing/stand_in_controls/stand_in_media_player.h"
#include "tools/testing/stand_in_controls/stand_in_real_player.h"

using namespace kavuno::stand_in;

namespace {

std::wstring KeyOf(const CLSID& clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(ModuleInstance(), path, MAX_PATH);
    return std::wstring(path, n);
}

bool SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return false;
    const kavuno::win::OwnedKey handle(created);
    return RegSetValueExW(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool Register(const CLSID& clsid, const wchar_t* name) {
    const std::wstring key = KeyOf(clsid);
    // What another server left under the class (a local server, a type
    // library) would be taken for ours: start from a clean key.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    return SetValue(HKEY_LOCAL_MACHINE, key, nullptr, name) &&
           SetValue(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", nullptr, ModulePath()) &&
           SetValue(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           SetValue(HKEY_LOCAL_MACHINE, key + L"\\Control", nullptr, L"");
}

void Unregister(const CLSID& clsid) {
    const std::wstring key = KeyOf(clsid);
    wchar_t server[MAX_PATH * 2];
    DWORD size = sizeof server;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, (key + L"\\InprocServer32").c_str(), nullptr, RRF_RT_REG_SZ, nullptr, server,
                     &size) != ERROR_SUCCESS)
        return;
    if (lstrcmpiW(server, ModulePath().c_str()) == 0) RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
}

}  // namespace

STDAPI DllRegisterServer() {
    bool ok = Register(kRealPlayerClsid, L"Kavuno stand-in RealPlayer control") &&
              Register(kMediaPlayerClsid, L"Kavuno stand-in Windows Media Player control");
    return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
    Unregister(kRealPlayerClsid);
    Unregister(kMediaPlayerClsid);
    return S_OK;
}
