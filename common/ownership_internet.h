// The owner of a WinINet handle: a session, a connection or a request
// (InternetCloseHandle). See ownership.h for the owner itself.
#pragma once
#include <windows.h>
#include <wininet.h>

#include "common/ownership.h"

namespace kavuno::win {

struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr; }
    static void Release(Handle h) { InternetCloseHandle(h); }
};
// A request goes before its connection, a connection before its session.
using OwnedInternet = Owned<InternetTraits>;

}  // namespace kavuno::win
