// The presence notices: one datagram holding "Conn" when a player window opens
// and "Quit" when the user closes it with the close button, from local UDP port
// 7890 to port 7891 of the presence server (both from the service
// configuration). Nothing is ever read or answered,
// and no failure is reported: a player without presence runs all the same.
//
// The server's address is found once. A dotted address is known at once; a
// host name is looked up on a thread of its own, so that a slow name service
// never holds up the window: "Conn" goes out when the address is known, and
// "Quit" goes to the address found by then, or nowhere.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "common/ownership_sockets.h"
#include "framework/worker_thread.h"

namespace kavuno::player {

class PresenceSocket {
public:
    static constexpr unsigned short kLocalPort = 7890;
    static constexpr unsigned short kServerPort = 7891;
    // Every notification: read, write, out-of-band, accept, connect, close.
    static constexpr long kAllNotifications = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
    static_assert(kAllNotifications == 63);

    // Looks a host name up (blocking); false when it cannot be found. Called
    // on the lookup's own thread.
    using Resolver = bool (*)(const std::string& host, in_addr& address);
    static bool ResolveHostName(const std::string& host, in_addr& address);

    explicit PresenceSocket(unsigned short localPort = kLocalPort, unsigned short serverPort = kServerPort,
                            Resolver resolver = &ResolveHostName)
        : localPort_(localPort), serverPort_(serverPort), resolver_(resolver) {}
    ~PresenceSocket();
    PresenceSocket(const PresenceSocket&) = delete;
    PresenceSocket& operator=(const PresenceSocket&) = delete;

    // Makes the datagram socket, registers every notification for `window` (as
    // `notifyMessage`, which nobody needs to handle) and binds it to port 7890
    // on all local addresses. When the port is taken the socket is closed again.
    bool Create(HWND window, UINT notifyMessage);
    // Finds `server`'s address and sends "Conn" to it: now for a dotted
    // address; for a host name once the lookup's thread has posted
    // `resolvedMessage` to `window`, whose handler calls OnResolved.
    void Announce(const std::string& server, HWND window, UINT resolvedMessage);
    void OnResolved(WPARAM wParam, LPARAM lParam);
    // Sends the word to the server's address; false when there is no socket,
    // no address yet, or the send failed.
    bool Send(std::string_view word) const;
    void Close();
    bool IsOpen() const { return static_cast<bool>(socket_); }
    bool AddressKnown() const { return addressKnown_; }

private:
    unsigned short localPort_;
    unsigned short serverPort_;
    Resolver resolver_;
    win::OwnedSocket socket_;
    in_addr address_ = {};
    bool addressKnown_ = false;
    LPARAM lookup_ = 0;  // which lookup's answer is awaited
    ui::WorkerThread lookupThread_;
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
