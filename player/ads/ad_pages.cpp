#include "player/ads/ad_pages.h"

#include "common/service_config.h"

namespace kavuno::ads {

std::string PopupAdPage() { return config::WebSite() + "/ad"; }
std::string AdPage() { return config::WebSite() + "/ad/ads.asp"; }
std::string StartPage() { return config::WebSite() + "/ad/cache.asp"; }

std::optional<std::string> PanelPageForClick(const catalogue::MovieRecord& record, bool movieLoaded,
                                             std::string_view currentPage) {
    if (movieLoaded) return std::nullopt;
    std::string page = record.detail() != 0 ? record.GetDetailsAddress() : AdPage();
    if (page.empty() || page == currentPage) return std::nullopt;
    return page;
}

}  // namespace kavuno::ads
