#include "player/presence.h"

#include <string>

#include "common/service_config.h"

namespace kavuno::player {

bool PresenceSocket::Create(HWND window, UINT notifyMessage) {
    Close();
    socket_ = socket(AF_INET, SOCK_DGRAM, 0);
    if (socket_ == INVALID_SOCKET) return false;
    WSAAsyncSelect(socket_, window, notifyMessage, kAllNotifications);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(kLocalPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        Close();
        return false;
    }
    return true;
}

bool PresenceSocket::Send(std::string_view word) const {
    if (socket_ == INVALID_SOCKET) return false;
    const std::string server = config::PresenceServer();
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(kServerPort);
    to.sin_addr.s_addr = inet_addr(server.c_str());
    if (to.sin_addr.s_addr == INADDR_NONE) {
        const hostent* host = gethostbyname(server.c_str());
        if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0]) return false;
        to.sin_addr = *reinterpret_cast<const in_addr*>(host->h_addr_list[0]);
    }
    const int sent = sendto(socket_, word.data(), static_cast<int>(word.size()), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == static_cast<int>(word.size());
}

void PresenceSocket::Close() {
    if (socket_ == INVALID_SOCKET) return;
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
}

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
