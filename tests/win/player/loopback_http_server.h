// A web site of the test's own for the web panels: a loopback HTTP listener
// that answers every request with a small page and keeps the request lines.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/ownership_sockets.h"

namespace kavuno::testing {

// Answers every request on a loopback port with a small page and keeps the request lines.
class LoopbackHttpServer {
public:
    LoopbackHttpServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_.get(), 4);
        int length = sizeof address;
        getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackHttpServer() {
        stop_ = true;
        thread_.join();
        listener_.Reset();  // before the WSACleanup
        WSACleanup();
    }

    std::string Address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    std::vector<std::string> RequestLines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requestLines_;
    }

private:
    void Serve() {
        while (!stop_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_.get(), &ready);
            timeval wait = {0, 100000};
            if (select(0, &ready, nullptr, nullptr, &wait) != 1) continue;
            const win::OwnedSocket client(accept(listener_.get(), nullptr, nullptr));
            if (!client) continue;
            DWORD timeoutMs = 5000;
            setsockopt(client.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                       sizeof timeoutMs);
            std::string request;
            char buffer[1024];
            int n;
            while (request.find("\r\n\r\n") == std::string::npos &&
                   (n = recv(client.get(), buffer, sizeof buffer, 0)) > 0) {
                request.append(buffer, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requestLines_.push_back(request.substr(0, request.find("\r\n")));
            }
            const std::string body = "<html><body>ad</body></html>";
            const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                      std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
            send(client.get(), reply.data(), static_cast<int>(reply.size()), 0);
            shutdown(client.get(), SD_SEND);
        }
    }

    win::OwnedSocket listener_;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requestLines_;
    std::thread thread_;
};

// The panels' web site is the test's own server.
inline void UseSite(const LoopbackHttpServer& server) {
    const std::string site = server.Address("");
    _wputenv((L"KAVUNO_WEB_SITE=" + std::wstring(site.begin(), site.end())).c_str());
}

}  // namespace kavuno::testing
