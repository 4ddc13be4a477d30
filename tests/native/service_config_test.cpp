// Service addresses from the environment: set values win, and a variable that
// is set to nothing falls back to the build's default instead of giving an
// empty address.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/service_config.h"
#include "common/service_config_defaults.h"

namespace {

namespace config = kavuno::config;

class ServiceConfigTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* name :
             {"KAVUNO_UPDATE_SERVER", "KAVUNO_WEB_SITE", "KAVUNO_PRESENCE_SERVER", "KAVUNO_STREAM_HOST_A",
              "KAVUNO_STREAM_USER_A", "KAVUNO_STREAM_PASSWORD_B", "KAVUNO_PRESENCE_PORT", "KAVUNO_PRESENCE_LOCAL_PORT"})
            unsetenv(name);
    }
    static void Set(const char* name, const char* value) { setenv(name, value, 1); }
};

TEST_F(ServiceConfigTest, SetValuesWinWithoutTrailingSlashesOrBlanks) {
    Set("KAVUNO_UPDATE_SERVER", "http://update.test:81//");
    Set("KAVUNO_WEB_SITE", " http://site.test/ \n");
    Set("KAVUNO_PRESENCE_SERVER", "presence.test ");
    Set("KAVUNO_STREAM_USER_A", " user ");
    EXPECT_EQ(config::UpdateServer(), "http://update.test:81");
    EXPECT_EQ(config::WebSite(), "http://site.test");
    EXPECT_EQ(config::PresenceServer(), "presence.test");
    EXPECT_EQ(config::StreamHostB(), "presence.test");
    EXPECT_EQ(config::StreamCredentialsA().user, " user ");  // credentials are verbatim
    // A site named by its host, and port if any, is an http one.
    for (const auto& [given, site] : std::initializer_list<std::pair<const char*, const char*>>{
             {"site.test", "http://site.test"},
             {" localhost:8780/ ", "http://localhost:8780"},
             {"127.0.0.1:81", "http://127.0.0.1:81"},
             {"https://site.test:444/", "https://site.test:444"}}) {
        Set("KAVUNO_WEB_SITE", given);
        EXPECT_EQ(config::WebSite(), site) << given;
    }
}

TEST_F(ServiceConfigTest, EmptyBlankOrSlashOnlyValuesFallBackToTheDefaults) {
    for (const char* value : {"", " ", "\t\r\n", "/", " // "}) {
        SCOPED_TRACE(std::string("value \"") + value + "\"");
        Set("KAVUNO_UPDATE_SERVER", value);
        Set("KAVUNO_WEB_SITE", value);
        EXPECT_EQ(config::UpdateServer(), KAVUNO_DEFAULT_UPDATE_SERVER);
        EXPECT_EQ(config::WebSite(), KAVUNO_DEFAULT_WEB_SITE);
    }
    for (const char* value : {"", "  "}) {
        Set("KAVUNO_PRESENCE_SERVER", value);
        Set("KAVUNO_STREAM_HOST_A", value);
        Set("KAVUNO_STREAM_PASSWORD_B", value);
        EXPECT_EQ(config::PresenceServer(), KAVUNO_DEFAULT_PRESENCE_SERVER);
        EXPECT_EQ(config::StreamHostA(), KAVUNO_DEFAULT_STREAM_HOST_A);
        EXPECT_EQ(config::StreamCredentialsB().password, KAVUNO_DEFAULT_STREAM_PASSWORD_B);
    }
}

TEST_F(ServiceConfigTest, PresencePortsAreDecimalNumbersFromOneTo65535) {
    EXPECT_EQ(config::PresencePort(), KAVUNO_DEFAULT_PRESENCE_PORT);
    EXPECT_EQ(config::PresenceLocalPort(), KAVUNO_DEFAULT_PRESENCE_LOCAL_PORT);
    Set("KAVUNO_PRESENCE_PORT", " 65535 ");
    Set("KAVUNO_PRESENCE_LOCAL_PORT", "1");
    EXPECT_EQ(config::PresencePort(), 65535);
    EXPECT_EQ(config::PresenceLocalPort(), 1);
    // No wrap-around, sign, other base or trailing text: the default stands.
    for (const char* value : {"0", "65536", "165535", "99999", "0x1F", "-1", "+80", "80a", "8 0", "", " "}) {
        SCOPED_TRACE(std::string("value \"") + value + "\"");
        Set("KAVUNO_PRESENCE_PORT", value);
        EXPECT_EQ(config::PresencePort(), KAVUNO_DEFAULT_PRESENCE_PORT);
    }
}

}  // namespace
