#include "player/ads/ad_pages.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kavuno::ads {
namespace {

using catalogue::MovieRecord;
using catalogue::RecordFields;

class AdPagesTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("KAVUNO_WEB_SITE", "http://site.example:8080", 1); }
    void TearDown() override { unsetenv("KAVUNO_WEB_SITE"); }

    static MovieRecord Entry(std::int32_t detail, std::string id) {
        RecordFields fields;
        fields.title = "x";
        fields.detail = detail;
        fields.id = std::move(id);
        return MovieRecord(fields);
    }
};

TEST_F(AdPagesTest, PagesAreOnTheConfiguredSite) {
    EXPECT_EQ(PopupAdPage(), "http://site.example:8080/ad");
    EXPECT_EQ(AdPage(), "http://site.example:8080/ad/ads.asp");
    EXPECT_EQ(StartPage(), "http://site.example:8080/ad/cache.asp");
}

TEST_F(AdPagesTest, IdleClicksShowDetailsOrTheAdPageButNeverReload) {
    const std::string details = "http://site.example:8080/film/soft.asp?id=42";
    EXPECT_EQ(PanelPageForClick(Entry(1, "42"), false, AdPage()), details);
    EXPECT_EQ(PanelPageForClick(Entry(1, "42"), false, details), std::nullopt);
    EXPECT_EQ(PanelPageForClick(Entry(0, "42"), false, details), AdPage());
    EXPECT_EQ(PanelPageForClick(Entry(0, "42"), false, AdPage()), std::nullopt);
    // Details without a key stay where the panel is.
    EXPECT_EQ(PanelPageForClick(Entry(1, ""), false, AdPage()), std::nullopt);
    // The comparison is exact: another case is another address.
    EXPECT_EQ(PanelPageForClick(Entry(0, ""), false, "HTTP://SITE.EXAMPLE:8080/ad/ads.asp"), AdPage());
}

TEST_F(AdPagesTest, WhileAMovieIsLoadedThePanelStays) {
    EXPECT_EQ(PanelPageForClick(Entry(1, "42"), true, StartPage()), std::nullopt);
    EXPECT_EQ(PanelPageForClick(Entry(0, ""), true, StartPage()), std::nullopt);
}

TEST_F(AdPagesTest, AnIdIsAppendedUnescaped) {
    EXPECT_EQ(PanelPageForClick(Entry(1, "a b&c"), false, AdPage()), "http://site.example:8080/film/soft.asp?id=a b&c");
}

}  // namespace
}  // namespace kavuno::ads
