// WinINet, as the update worker uses it: sessions with explicit time-outs,
// HTTP and HTTPS addresses asked for on their own connection, and reads.
// Handles close themselves (win::OwnedInternet).
#pragma once
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/ownership_internet.h"

namespace kavuno::launcher {

// No new byte for this long ends a transfer as failed (the stall rule);
// connecting gets half of it.
inline constexpr DWORD kStallTimeoutMs = 30000;
inline constexpr DWORD kConnectTimeoutMs = 15000;

// A session with the system's proxy settings and the time-outs above; `agent`
// is the user agent.
win::OwnedInternet OpenInternetSession(const std::wstring& agent);

// An address that answered 200: its connection and its request, which is read.
struct InternetResponse {
    win::OwnedInternet connection;
    win::OwnedInternet request;             // declared after its connection, so it closes first
    std::optional<uint64_t> contentLength;  // when the server announced one
};

// Asks for `url` (http:// or https://, plain ASCII: file names are
// percent-encoded before) in `session`, always from the server: never from
// the cache, and nothing written to it or to the cookie store. An https server's certificate is checked
// and nothing about it is ignored. `transferFlag` is
// INTERNET_FLAG_TRANSFER_ASCII or _BINARY. Nothing when the address cannot
// be opened or the answer is anything but 200: an error page, a redirect that
// could not be followed, or an empty 204 is never taken for the content.
std::optional<InternetResponse> OpenAddress(HINTERNET session, const std::string& url, DWORD transferFlag);

// Reads up to `size` bytes, only those that have arrived once some have;
// false on a read error (a stall included). `read` is 0 at the end.
// `arrived` is the caller's count of bytes known to be there, 0 at first.
bool ReadSome(HINTERNET request, void* buffer, DWORD size, DWORD& read, DWORD& arrived);

}  // namespace kavuno::launcher
