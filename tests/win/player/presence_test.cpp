// The presence notices with a name service of the test's own, which answers
// only when the test lets it: the window never waits for it, "Conn" goes out
// once the address is known, and "Quit" before then goes nowhere. (A dotted
// address and a name that is not found: the end-to-end window tests.)
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "common/ownership_sockets.h"
#include "player/presence.h"

namespace {

using kavuno::player::PresenceSocket;
using kavuno::win::OwnedHandle;
using kavuno::win::OwnedSocket;

constexpr UINT kResolved = WM_APP + 3;
OwnedHandle g_answer;  // set: the name service answers
std::atomic<bool> g_answered{false};

bool TestNameService(const std::string& host, in_addr& address) {
    WaitForSingleObject(g_answer.get(), 20000);
    g_answered = true;
    if (host != "presence.example") return false;
    address.s_addr = htonl(INADDR_LOOPBACK);
    return true;
}

class Listener {
public:
    Listener() : socket_(socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    unsigned short port() const { return port_; }
    // Everything that arrives within `waitMs` of the last datagram.
    std::vector<std::string> Received(long waitMs = 500) {
        std::vector<std::string> words;
        for (;;) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(socket_.get(), &ready);
            timeval wait = {0, waitMs * 1000};
            if (select(0, &ready, nullptr, nullptr, &wait) != 1) return words;
            char buffer[64];
            const int n = recv(socket_.get(), buffer, sizeof buffer, 0);
            if (n > 0) words.emplace_back(buffer, static_cast<std::size_t>(n));
        }
    }

private:
    OwnedSocket socket_;
    unsigned short port_ = 0;
};

TEST(Presence, TheWindowNeverWaitsForTheNameService) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    g_answer.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    Listener server;
    PresenceSocket presence(0, server.port(), &TestNameService);
    ASSERT_TRUE(presence.Create(window, WM_APP + 1));
    presence.Announce("presence.example", window, kResolved);
    EXPECT_FALSE(g_answered);  // back before the name service answered
    EXPECT_FALSE(presence.Send("Quit"));
    SetEvent(g_answer.get());
    MSG answer = {};
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(10))
        if (PeekMessageW(&answer, window, kResolved, kResolved, PM_REMOVE)) break;
    ASSERT_EQ(answer.message, kResolved);
    presence.OnResolved(answer.wParam, answer.lParam + 1);  // not this lookup's answer
    EXPECT_FALSE(presence.AddressKnown());
    presence.OnResolved(answer.wParam, answer.lParam);
    EXPECT_TRUE(presence.AddressKnown());
    EXPECT_TRUE(presence.Send("Quit"));
    EXPECT_EQ(server.Received(), (std::vector<std::string>{"Conn", "Quit"}));
    presence.Close();
    DestroyWindow(window);
    g_answer.Reset();
    WSACleanup();
}

}  // namespace
