#include "launcher/internet.h"

#include <cwchar>

namespace kavuno::launcher {
namespace {

// WinINet's context value for every handle: the worker does not use callbacks.
constexpr DWORD_PTR kContext = 1;

std::optional<uint64_t> ContentLength(HINTERNET file) {
    wchar_t text[32];
    DWORD size = sizeof text;
    DWORD index = 0;
    if (!HttpQueryInfoW(file, HTTP_QUERY_CONTENT_LENGTH, text, &size, &index)) return std::nullopt;
    wchar_t* end = nullptr;
    unsigned long long value = std::wcstoull(text, &end, 10);
    if (end == text) return std::nullopt;
    return value;
}

}  // namespace

InternetHandle& InternetHandle::operator=(InternetHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

void InternetHandle::Close() {
    if (handle_) InternetCloseHandle(handle_);
    handle_ = nullptr;
}

InternetHandle OpenInternetSession(const std::wstring& agent) {
    return InternetHandle(InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

std::optional<InternetResponse> OpenAddress(HINTERNET session, const std::string& url, DWORD transferFlag) {
    DWORD flags = transferFlag | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    InternetHandle file(InternetOpenUrlA(session, url.c_str(), nullptr, 0, flags, kContext));
    if (!file) return std::nullopt;
    // An HTTP address opens whatever the status; only a success carries the file.
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(file.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status < 200 || status > 299)
        return std::nullopt;
    InternetResponse response;
    response.contentLength = ContentLength(file.get());
    response.file = std::move(file);
    return response;
}

bool ReadSome(HINTERNET file, void* buffer, DWORD size, DWORD& read) {
    read = 0;
    return InternetReadFile(file, buffer, size, &read) != FALSE;
}

}  // namespace kavuno::launcher
