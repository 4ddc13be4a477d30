#include "common/service_config.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "common/service_config_defaults.h"
#ifdef _WIN32
#include "common/gbk_win.h"
#else
#include "common/gbk.h"
#endif

namespace kavuno::config {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The variable's value in the programs' 8-bit text (GBK), or nothing when it
// is unset, empty or blank: a variable set to nothing means "not set", never
// an empty address. Windows reads it as a wide string, so that a non-ASCII
// value does not depend on the ANSI code page; a value holding a character
// that GBK cannot is no usable address and counts as unset too.
std::optional<std::string> Given(const char* name) {
    std::string value;
#ifdef _WIN32
    const std::wstring wideName(name, name + std::strlen(name));
    const wchar_t* wide = _wgetenv(wideName.c_str());
    if (!wide || !gbk::FromWideStrict(wide, value)) return std::nullopt;
#else
    const char* utf8 = std::getenv(name);
    if (!utf8 || !gbk::FromUtf8(utf8, value)) return std::nullopt;
#endif
    if (Trimmed(value).empty()) return std::nullopt;
    return value;
}

// A host name, without the blanks a hand-set variable tends to carry.
std::string Host(const char* name, const char* fallback) {
    const std::optional<std::string> value = Given(name);
    return std::string(Trimmed(value ? *value : std::string_view(fallback)));
}

// A base address without its trailing slashes; one that is nothing but
// slashes counts as unset too.
std::string BaseAddress(const char* name, const char* fallback) {
    auto strip = [](std::string_view text) {
        text = Trimmed(text);
        while (!text.empty() && text.back() == '/') text.remove_suffix(1);
        return std::string(text);
    };
    const std::optional<std::string> value = Given(name);
    std::string base = value ? strip(*value) : std::string();
    return base.empty() ? strip(fallback) : base;
}

// A port number, decimal, 1 to 65535.
unsigned short Port(const char* name, unsigned short fallback) {
    const std::optional<std::string> value = Given(name);
    if (!value) return fallback;
    const std::string_view text = Trimmed(*value);
    if (text.size() > 5) return fallback;
    unsigned number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return fallback;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number >= 1 && number <= 65535 ? static_cast<unsigned short>(number) : fallback;
}

// User names and passwords are taken verbatim.
std::string Credential(const char* name, const char* fallback) { return Given(name).value_or(fallback); }

}  // namespace

std::string UpdateServer() { return BaseAddress("KAVUNO_UPDATE_SERVER", KAVUNO_DEFAULT_UPDATE_SERVER); }
std::string WebSite() {
    // The site may be given as its host, and port if any: that is http.
    std::string site = BaseAddress("KAVUNO_WEB_SITE", KAVUNO_DEFAULT_WEB_SITE);
    if (site.find("://") == std::string::npos) site.insert(0, "http://");
    return site;
}
std::string PresenceServer() { return Host("KAVUNO_PRESENCE_SERVER", KAVUNO_DEFAULT_PRESENCE_SERVER); }
std::string StreamHostA() { return Host("KAVUNO_STREAM_HOST_A", KAVUNO_DEFAULT_STREAM_HOST_A); }
std::string StreamHostB() { return PresenceServer(); }
std::string StreamHostC() { return Host("KAVUNO_STREAM_HOST_C", KAVUNO_DEFAULT_STREAM_HOST_C); }
unsigned short PresencePort() { return Port("KAVUNO_PRESENCE_PORT", KAVUNO_DEFAULT_PRESENCE_PORT); }
unsigned short PresenceLocalPort() { return Port("KAVUNO_PRESENCE_LOCAL_PORT", KAVUNO_DEFAULT_PRESENCE_LOCAL_PORT); }

Credentials StreamCredentialsA() {
    return {Credential("KAVUNO_STREAM_USER_A", KAVUNO_DEFAULT_STREAM_USER_A),
            Credential("KAVUNO_STREAM_PASSWORD_A", KAVUNO_DEFAULT_STREAM_PASSWORD_A)};
}
Credentials StreamCredentialsB() {
    return {Credential("KAVUNO_STREAM_USER_B", KAVUNO_DEFAULT_STREAM_USER_B),
            Credential("KAVUNO_STREAM_PASSWORD_B", KAVUNO_DEFAULT_STREAM_PASSWORD_B)};
}

}  // namespace kavuno::config
