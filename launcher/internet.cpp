#include "launcher/internet.h"

#include <cwchar>

namespace kavuno::launcher {
namespace {

// WinINet's context value for every handle: the worker does not use callbacks.
constexpr DWORD_PTR kContext = 1;
constexpr DWORD kHttpOk = 200;
// A header value longer than this is not read.
constexpr DWORD kMaxHeaderBytes = 64 * 1024;

// Set on each handle: Wine's WinINet takes a request's time-outs only from
// the request handle, before it is sent (what a session has is not passed on).
void SetTimeouts(HINTERNET handle) {
    DWORD connect = kConnectTimeoutMs;
    DWORD stall = kStallTimeoutMs;
    InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionW(handle, INTERNET_OPTION_SEND_TIMEOUT, &stall, sizeof stall);
    InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &stall, sizeof stall);
}

// Content-Length as a 64-bit number. Wine's WinINet does not answer the
// 64-bit query (it reports the header missing), so then its text is read,
// whatever its length, and taken only when it is a number within 64 bits.
std::optional<uint64_t> ContentLength(HINTERNET request) {
    ULONGLONG number = 0;
    DWORD size = sizeof number;
    if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER64, &number, &size, nullptr))
        return number;
    size = 0;
    if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, nullptr, &size, nullptr) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > kMaxHeaderBytes)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text.data(), &size, nullptr)) return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        uint64_t digit = static_cast<uint64_t>(c - L'0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

win::OwnedInternet OpenInternetSession(const std::wstring& agent) {
    win::OwnedInternet session(InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session) SetTimeouts(session.get());
    return session;
}

std::optional<InternetResponse> OpenAddress(HINTERNET session, const std::string& url, DWORD transferFlag) {
    for (char c : url)
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    std::wstring wide(url.begin(), url.end());  // ASCII: nothing to convert
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH];
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
    parts.dwUrlPathLength = 1;  // point into `wide`: the path runs on into the query
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return std::nullopt;
    bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (!secure && parts.nScheme != INTERNET_SCHEME_HTTP) return std::nullopt;
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"");
    if (object.empty()) object = L"/";

    InternetResponse response;
    response.connection.Reset(
        InternetConnectW(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, kContext));
    if (!response.connection) return std::nullopt;
    // Nothing of it is kept on the machine: no cache entry, no cookie.
    DWORD flags = transferFlag | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_UI | (secure ? INTERNET_FLAG_SECURE : 0);
    response.request.Reset(HttpOpenRequestW(response.connection.get(), L"GET", object.c_str(), nullptr, nullptr,
                                            nullptr, flags, kContext));
    if (!response.request) return std::nullopt;
    SetTimeouts(response.request.get());
    if (!HttpSendRequestW(response.request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(response.request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr) ||
        status != kHttpOk)
        return std::nullopt;
    response.contentLength = ContentLength(response.request.get());
    return response;
}

bool ReadSome(HINTERNET request, void* buffer, DWORD size, DWORD& read, DWORD& arrived) {
    read = 0;
    // No more than has arrived: a read that waits to fill its buffer would
    // hide a trickle from the rate rule (transfer_rate.h) for as long as the
    // server likes. The query waits for the first byte, within the stall
    // time; it is asked again only once what it reported has been read.
    if (arrived == 0 && !InternetQueryDataAvailable(request, &arrived, 0, 0)) return false;
    if (arrived > 0 && arrived < size) size = arrived;
    if (!InternetReadFile(request, buffer, size, &read)) return false;
    arrived -= read < arrived ? read : arrived;
    return true;
}

}  // namespace kavuno::launcher
