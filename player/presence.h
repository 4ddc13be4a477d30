// The presence notices: one datagram holding "Conn" when a player window opens
// and "Quit" when the user closes it with the close button, from local UDP port
// 7890 to port 7891 of the presence server. Nothing is ever read or answered,
// and no failure is reported: a player without presence runs all the same.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string_view>

namespace kavuno::player {

class PresenceSocket {
public:
    static constexpr unsigned short kLocalPort = 7890;
    static constexpr unsigned short kServerPort = 7891;
    // Every notification: read, write, out-of-band, accept, connect, close.
    static constexpr long kAllNotifications = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
    static_assert(kAllNotifications == 63);

    PresenceSocket() = default;
    ~PresenceSocket() { Close(); }
    PresenceSocket(const PresenceSocket&) = delete;
    PresenceSocket& operator=(const PresenceSocket&) = delete;

    // Makes the datagram socket, registers every notification for `window` (as
    // `notifyMessage`, which nobody needs to handle) and binds it to port 7890
    // on all local addresses. When the port is taken the socket is closed again.
    bool Create(HWND window, UINT notifyMessage);
    // Sends the word to port 7891 of the presence server (a dotted address, or a
    // host name resolved now). False when there is no socket, no such host, or
    // the send failed.
    bool Send(std::string_view word) const;
    void Close();
    bool IsOpen() const { return socket_ != INVALID_SOCKET; }

private:
    SOCKET socket_ = INVALID_SOCKET;
};

// Starts Windows Sockets at version 1.1 exactly for the life of the object.
class SocketsSession {
public:
    SocketsSession();
    ~SocketsSession();
    SocketsSession(const SocketsSession&) = delete;
    SocketsSession& operator=(const SocketsSession&) = delete;
    bool ok() const { return ok_; }

private:
    bool started_ = false;
    bool ok_ = false;
};

}  // namespace kavuno::player
