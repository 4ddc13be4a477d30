// Service addresses from the environment under an English system locale
// (code page 1252, which holds no Chinese): read as wide strings, a Chinese
// value still reaches the programs intact, in GBK.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "common/service_config.h"
#include "common/service_config_defaults.h"

TEST(ServiceConfig, NonAsciiValuesDoNotDependOnTheAnsiCodePage) {
    EXPECT_EQ(GetACP(), 1252u) << "meant to run under an English locale";
    _wputenv(L"KAVUNO_WEB_SITE=http://\u7AD9\u70B9.example/");
    EXPECT_EQ(kavuno::config::WebSite(), "http://\xD5\xBE\xB5\xE3.example");
    _wputenv(L"KAVUNO_STREAM_USER_A=\u7528\u6237");
    EXPECT_EQ(kavuno::config::StreamCredentialsA().user, "\xD3\xC3\xBB\xA7");
    // A character with no GBK form makes no usable address: the default stands.
    _wputenv(L"KAVUNO_PRESENCE_SERVER=\uD55C.example");
    EXPECT_EQ(kavuno::config::PresenceServer(), KAVUNO_DEFAULT_PRESENCE_SERVER);
}
