#include "common/service_config.h"

#include <cstdlib>
#include <string_view>

#include "common/service_config_defaults.h"

namespace kavuno::config {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The variable's value as it is, or nothing when it is unset, empty or blank:
// a variable set to nothing means "not set", never an empty address.
const char* Given(const char* name) {
    const char* value = std::getenv(name);
    return (value && !Trimmed(value).empty()) ? value : nullptr;
}

// A host name, without the blanks a hand-set variable tends to carry.
std::string Host(const char* name, const char* fallback) {
    const char* value = Given(name);
    return std::string(Trimmed(value ? value : fallback));
}

// A base address without its trailing slashes; one that is nothing but
// slashes counts as unset too.
std::string BaseAddress(const char* name, const char* fallback) {
    auto strip = [](std::string_view text) {
        text = Trimmed(text);
        while (!text.empty() && text.back() == '/') text.remove_suffix(1);
        return std::string(text);
    };
    const char* value = Given(name);
    std::string base = value ? strip(value) : std::string();
    return base.empty() ? strip(fallback) : base;
}

// User names and passwords are taken verbatim.
std::string Credential(const char* name, const char* fallback) {
    const char* value = Given(name);
    return value ? value : fallback;
}

}  // namespace

std::string UpdateServer() { return BaseAddress("KAVUNO_UPDATE_SERVER", KAVUNO_DEFAULT_UPDATE_SERVER); }
std::string WebSite() { return BaseAddress("KAVUNO_WEB_SITE", KAVUNO_DEFAULT_WEB_SITE); }
std::string PresenceServer() { return Host("KAVUNO_PRESENCE_SERVER", KAVUNO_DEFAULT_PRESENCE_SERVER); }
std::string StreamHostA() { return Host("KAVUNO_STREAM_HOST_A", KAVUNO_DEFAULT_STREAM_HOST_A); }
std::string StreamHostB() { return PresenceServer(); }
std::string StreamHostC() { return Host("KAVUNO_STREAM_HOST_C", KAVUNO_DEFAULT_STREAM_HOST_C); }

Credentials StreamCredentialsA() {
    return {Credential("KAVUNO_STREAM_USER_A", KAVUNO_DEFAULT_STREAM_USER_A),
            Credential("KAVUNO_STREAM_PASSWORD_A", KAVUNO_DEFAULT_STREAM_PASSWORD_A)};
}
Credentials StreamCredentialsB() {
    return {Credential("KAVUNO_STREAM_USER_B", KAVUNO_DEFAULT_STREAM_USER_B),
            Credential("KAVUNO_STREAM_PASSWORD_B", KAVUNO_DEFAULT_STREAM_PASSWORD_B)};
}

}  // namespace kavuno::config
