#include "service_config.h"

#include <cstdlib>

#include "service_config_defaults.h"

namespace kavuno::config {
namespace {

std::string Setting(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : std::string(fallback);
}

std::string BaseAddress(const char* name, const char* fallback) {
    std::string base = Setting(name, fallback);
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

}  // namespace

std::string UpdateServer() { return BaseAddress("KAVUNO_UPDATE_SERVER", KAVUNO_DEFAULT_UPDATE_SERVER); }
std::string WebSite() { return BaseAddress("KAVUNO_WEB_SITE", KAVUNO_DEFAULT_WEB_SITE); }
std::string PresenceServer() { return Setting("KAVUNO_PRESENCE_SERVER", KAVUNO_DEFAULT_PRESENCE_SERVER); }
std::string StreamHostA() { return Setting("KAVUNO_STREAM_HOST_A", KAVUNO_DEFAULT_STREAM_HOST_A); }
std::string StreamHostB() { return PresenceServer(); }
std::string StreamHostC() { return Setting("KAVUNO_STREAM_HOST_C", KAVUNO_DEFAULT_STREAM_HOST_C); }

Credentials StreamCredentialsA() {
    return {Setting("KAVUNO_STREAM_USER_A", KAVUNO_DEFAULT_STREAM_USER_A),
            Setting("KAVUNO_STREAM_PASSWORD_A", KAVUNO_DEFAULT_STREAM_PASSWORD_A)};
}
Credentials StreamCredentialsB() {
    return {Setting("KAVUNO_STREAM_USER_B", KAVUNO_DEFAULT_STREAM_USER_B),
            Setting("KAVUNO_STREAM_PASSWORD_B", KAVUNO_DEFAULT_STREAM_PASSWORD_B)};
}

}  // namespace kavuno::config
