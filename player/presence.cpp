#include "player/presence.h"

#include <atomic>

namespace kavuno::player {
namespace {

// What the lookup's thread needs; it owns this and touches nothing else.
struct Lookup {
    PresenceSocket::Resolver resolver;
    std::string host;
    HWND window;
    UINT message;
    LPARAM id;
};

void RunLookup(const Lookup& lookup) {
    // Its own hold on Windows Sockets: the program may end its own while the
    // name service still keeps this thread waiting.
    WSADATA data;
    const bool started = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    in_addr address = {};
    try {
        if (started && lookup.resolver(lookup.host, address))
            PostMessageW(lookup.window, lookup.message, static_cast<WPARAM>(address.s_addr), lookup.id);
    } catch (...) {
        // Nothing found: no presence notices.
    }
    if (started) WSACleanup();
}

std::atomic<LPARAM> g_lookups{0};

}  // namespace

bool PresenceSocket::ResolveHostName(const std::string& host, in_addr& address) {
    const hostent* found = gethostbyname(host.c_str());
    if (!found || found->h_addrtype != AF_INET || found->h_length != sizeof address || !found->h_addr_list[0])
        return false;
    address = *reinterpret_cast<const in_addr*>(found->h_addr_list[0]);
    return true;
}

bool PresenceSocket::Create(HWND window, UINT notifyMessage) {
    Close();
    socket_.Reset(socket(AF_INET, SOCK_DGRAM, 0));
    if (!socket_) return false;
    WSAAsyncSelect(socket_.get(), window, notifyMessage, kAllNotifications);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort_);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(socket_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        Close();
        return false;
    }
    return true;
}

void PresenceSocket::Announce(const std::string& server, HWND window, UINT resolvedMessage) {
    addressKnown_ = false;
    const unsigned long dotted = inet_addr(server.c_str());
    if (dotted != INADDR_NONE) {
        address_.s_addr = dotted;
        addressKnown_ = true;
        Send("Conn");
        return;
    }
    if (server.empty()) return;
    lookup_ = ++g_lookups;
    // An earlier lookup runs on by itself; its answer is no longer awaited.
    lookupThread_.Detach();
    lookupThread_.Start([lookup = Lookup{resolver_, server, window, resolvedMessage, lookup_}] { RunLookup(lookup); });
}

PresenceSocket::~PresenceSocket() {
    Close();
    // Never waited for: a name service may keep the lookup waiting long
    // after the window has gone. It owns all it uses, and its answer goes
    // to a window that no longer exists.
    lookupThread_.Detach();
}

void PresenceSocket::OnResolved(WPARAM wParam, LPARAM lParam) {
    if (lParam != lookup_ || addressKnown_) return;
    address_.s_addr = static_cast<unsigned long>(wParam);
    addressKnown_ = true;
    Send("Conn");
}

bool PresenceSocket::Send(std::string_view word) const {
    if (!socket_ || !addressKnown_) return false;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(serverPort_);
    to.sin_addr = address_;
    const int sent = sendto(socket_.get(), word.data(), static_cast<int>(word.size()), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == static_cast<int>(word.size());
}

void PresenceSocket::Close() { socket_.Reset(); }

SocketsSession::SocketsSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    // A stack that cannot offer 1.1 exactly is as good as none.
    ok_ = started_ && data.wVersion == MAKEWORD(1, 1);
}

SocketsSession::~SocketsSession() {
    if (started_) WSACleanup();
}

}  // namespace kavuno::player
