// The service web site's pages that the player shows, and the rule that picks
// the video-area panel's page when the user clicks an entry of the movie list.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "player/catalogue/movie_record.h"

namespace kavuno::ads {

std::string PopupAdPage();  // the ad pop-up's page, "/ad"
std::string AdPage();       // the panel while nothing plays, "/ad/ads.asp"
std::string StartPage();    // the panel while a movie is being started, "/ad/cache.asp"

// Where the panel goes on a single click on `record`, or nothing: an entry
// with a details page shows it, any other entry the ad page, and only while
// no movie is loaded; a page the panel shows already is not loaded again.
// `currentPage` is the panel's address (read only when the rule needs it).
std::optional<std::string> PanelPageForClick(const catalogue::MovieRecord& record, bool movieLoaded,
                                             std::string_view currentPage);

}  // namespace kavuno::ads
