// GBK conversions on Windows, with code page 936 named explicitly.
#include "common/gbk.h"
#include "common/gbk_win.h"

#include <windows.h>

#include <climits>

namespace kavuno::gbk {
namespace {

std::wstring MultiToWide(unsigned codePage, std::string_view in) {
    if (in.empty() || in.size() > INT_MAX) return {};
    int n = MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), out.data(), n);
    return out;
}

// Returns false when a character had no mapping (only for code pages that can tell).
bool WideToMulti(unsigned codePage, std::wstring_view in, std::string& out, bool strict) {
    out.clear();
    if (in.empty()) return true;
    if (in.size() > INT_MAX / 4) return false;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultPtr = codePage == CP_UTF8 ? nullptr : &usedDefault;
    DWORD flags = 0;
    if (strict) flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), nullptr, 0, nullptr,
                                usedDefaultPtr);
    if (n == 0) return false;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), out.data(), n, nullptr,
                        usedDefaultPtr);
    return !(strict && usedDefault);
}

}  // namespace

std::wstring ToWide(std::string_view gbk) { return MultiToWide(kCodePage, gbk); }

std::string FromWide(std::wstring_view text) {
    std::string out;
    WideToMulti(kCodePage, text, out, false);
    return out;
}

bool FromWideStrict(std::wstring_view text, std::string& out) {
    std::string result;
    if (!WideToMulti(kCodePage, text, result, true)) return false;
    out = std::move(result);
    return true;
}

std::u16string ToUtf16(std::string_view gbk) {
    std::wstring wide = ToWide(gbk);
    return std::u16string(wide.begin(), wide.end());
}

std::string ToUtf8(std::string_view gbk) {
    std::string out;
    WideToMulti(CP_UTF8, ToWide(gbk), out, false);
    return out;
}

std::string FromUtf16Lenient(std::u16string_view text) { return FromWide(std::wstring(text.begin(), text.end())); }

bool FromUtf8(std::string_view utf8, std::string& out) {
    if (utf8.size() > INT_MAX) return false;
    std::wstring wide;
    if (!utf8.empty()) {
        int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                    0);
        if (n == 0) return false;
        wide.resize(static_cast<size_t>(n));
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    }
    return FromWideStrict(wide, out);
}

}  // namespace kavuno::gbk
