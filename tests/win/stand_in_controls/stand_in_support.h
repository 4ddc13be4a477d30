// What the tests of the stand-in controls need besides the player's own
// dispatch calls: the registration of the DLL in the test's prefix, creation
// by class id as the player creates them, message-pumping waits with a
// deadline, and reading the call log.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

#include "framework/dispatch_holder.h"

namespace kavuno::stand_in::testing {

// A function a DLL exports, as its type.
template <class F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The DLL beside the test program.
std::wstring ControlsDll();
// Loads the DLL and runs its DllRegisterServer.
HRESULT RegisterControls();

// CoCreateInstance by class id, unhosted; empty when it fails.
ui::DispatchHolder Create(const CLSID& clsid);

// Pumps messages until `done` holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000);
// Handles the messages already queued, without waiting for more.
void PumpPending();

// The whole file as UTF-8 text ("" when it does not exist).
std::string ReadFileText(const std::wstring& path);

}  // namespace kavuno::stand_in::testing
