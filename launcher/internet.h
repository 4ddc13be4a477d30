// WinINet, as the update worker uses it: sessions, addresses opened straight
// from the server, and reads. Handles close themselves.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kavuno::launcher {

class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() { Close(); }
    InternetHandle(InternetHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    InternetHandle& operator=(InternetHandle&& other) noexcept;
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Close();

private:
    HINTERNET handle_ = nullptr;
};

// A session with the system's proxy settings; `agent` is the user agent.
InternetHandle OpenInternetSession(const std::wstring& agent);

// An opened address whose server answered with a success status.
struct InternetResponse {
    InternetHandle file;
    std::optional<uint64_t> contentLength;  // when the server announced one
};

// Opens `url` in `session`, always from the server (never from the cache, and
// not written to it). `transferFlag` is INTERNET_FLAG_TRANSFER_ASCII or _BINARY.
// Nothing when the address cannot be opened or the status is not 2xx: an error
// page is never taken for the content.
// `url` is 8-bit and goes to the server byte for byte: a GBK file name from the
// manifest is asked for in GBK whatever the system's code page. (The wide call
// would have WinINet re-encode the name in the ANSI code page, which under any
// locale but Chinese turns it into question marks.)
std::optional<InternetResponse> OpenAddress(HINTERNET session, const std::string& url, DWORD transferFlag);

// Reads up to `size` bytes; false on a read error. `read` is 0 at the end.
bool ReadSome(HINTERNET file, void* buffer, DWORD size, DWORD& read);

}  // namespace kavuno::launcher
