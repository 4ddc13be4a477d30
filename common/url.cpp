#include "common/url.h"

#include <algorithm>

namespace kavuno::url {
namespace {

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool IsHostChar(char c) {
    return IsAlpha(c) || IsDigit(c) || c == '-' || c == '.' || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsIpv6Char(char c) { return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f') || c == ':' || c == '.'; }

// Length of the scheme and its colon at the start of `address`, or 0.
std::size_t SchemeLength(std::string_view address) {
    if (address.empty() || !IsAlpha(address[0])) return 0;
    for (std::size_t i = 1; i < address.size(); ++i) {
        const char c = address[i];
        if (c == ':') return i + 1;
        if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 0;
}

std::optional<unsigned> ReadPort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535) return std::nullopt;
    return value;
}

}  // namespace

unsigned Url::EffectivePort() const {
    if (port) return *port;
    if (scheme == "http" || scheme == "mmsh") return 80;
    if (scheme == "https") return 443;
    if (scheme == "rtsp" || scheme == "rtspu" || scheme == "rtspt") return 554;
    if (scheme == "mms" || scheme == "mmst" || scheme == "mmsu") return 1755;
    if (scheme == "pnm") return 7070;
    return 0;
}

std::string SchemeOf(std::string_view address) {
    const std::size_t length = SchemeLength(address);
    return length == 0 ? std::string() : Lowered(address.substr(0, length - 1));
}

std::optional<Url> Parse(std::string_view address) {
    if (std::any_of(address.begin(), address.end(), IsControl)) return std::nullopt;
    const std::size_t schemeLength = SchemeLength(address);
    if (schemeLength == 0 || address.substr(schemeLength, 2) != "//") return std::nullopt;

    Url url;
    url.scheme = Lowered(address.substr(0, schemeLength - 1));
    std::string_view rest = address.substr(schemeLength + 2);
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    std::string_view authority = rest.substr(0, authorityEnd);
    url.rest = rest.substr(authorityEnd);
    if (authority.find_first_of("\\ ") != std::string_view::npos) return std::nullopt;

    if (const std::size_t at = authority.find('@'); at != std::string_view::npos) {
        if (authority.find('@', at + 1) != std::string_view::npos) return std::nullopt;
        url.hasUserInfo = true;
        authority.remove_prefix(at + 1);
    }

    std::string_view host;
    std::string_view afterHost;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = authority.substr(1, close - 1);
        if (host.empty() || !std::all_of(host.begin(), host.end(), IsIpv6Char)) return std::nullopt;
        afterHost = authority.substr(close + 1);
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostChar)) return std::nullopt;
        afterHost = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
    }
    if (!afterHost.empty()) {
        if (afterHost[0] != ':') return std::nullopt;
        url.port = ReadPort(afterHost.substr(1));
        if (!url.port) return std::nullopt;
    }
    url.host = Lowered(host);
    url.hostAsWritten = host;
    return url;
}

std::string WithoutUserInfo(std::string_view address) {
    if (const std::optional<Url> parsed = Parse(address)) {
        if (!parsed->hasUserInfo) return std::string(address);
        // The scheme as written, "//", and the authority from its host on.
        const std::size_t start = SchemeLength(address) + 2;
        const std::size_t end = address.size() - parsed->rest.size();
        const std::size_t at = address.substr(start, end - start).find('@');
        return std::string(address.substr(0, start)) + std::string(address.substr(start + at + 1));
    }
    const std::size_t at = address.rfind('@');
    if (at == std::string_view::npos) return std::string(address);
    const std::size_t separator = address.find("//");
    const std::size_t start = separator != std::string_view::npos && separator < at ? separator + 2 : 0;
    return std::string(address.substr(0, start)) + std::string(address.substr(at + 1));
}

std::string EncodeUserInfo(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (IsAlpha(c) || IsDigit(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string PageForLog(std::string_view address) {
    std::string plain = WithoutUserInfo(address);
    plain.resize(std::min(plain.find_first_of("?#"), plain.size()));
    return plain;
}

}  // namespace kavuno::url
