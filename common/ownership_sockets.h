// The owner of a Windows Sockets socket (closesocket). See ownership.h for the
// owner itself. Include it before <windows.h>, as <winsock2.h> wants.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include "common/ownership.h"

namespace kavuno::win {

struct SocketTraits {
    using Handle = SOCKET;
    static Handle Empty() { return INVALID_SOCKET; }
    static bool IsSet(Handle h) { return h != INVALID_SOCKET; }
    static void Release(Handle h) { closesocket(h); }
};
// Closed before the WSACleanup that matches its WSAStartup.
using OwnedSocket = Owned<SocketTraits>;

}  // namespace kavuno::win
