// The owner of a WinINet handle: a session, a connection or a request
// (InternetCloseHandle). See ownership.h for the owner itself.
#pragma once
#include <windows.h>
#include <wininet.h>

#include "common/ownership.h"

namespace kavuno::win {

// A request goes before its connection, a connection before its session.
using OwnedInternet = Owned<NullHandleTraits<HINTERNET, &InternetCloseHandle>>;

}  // namespace kavuno::win
