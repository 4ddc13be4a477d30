// What the whole DLL shares: its instance handle and the count of live
// objects and server locks that DllCanUnloadNow looks at.
#pragma once
#include <windows.h>

namespace kavuno::stand_in {

HINSTANCE ModuleInstance();
void ModuleAddRef();
void ModuleRelease();

}  // namespace kavuno::stand_in
