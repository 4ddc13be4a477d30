#include "player/playback/address_policy.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "common/url.h"

namespace kavuno::playback {
namespace {

bool IsWeb(const url::Url& address) { return address.scheme == "http" || address.scheme == "https"; }

bool IsAboutBlank(std::string_view address) {
    constexpr std::string_view kBlank = "about:blank";
    if (address.size() != kBlank.size()) return false;
    for (std::size_t i = 0; i < kBlank.size(); ++i) {
        const char c = address[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kBlank[i]) return false;
    }
    return true;
}

// The default browser is started with the address as an argument: nothing
// in it may end that argument or start another.
bool SafeToOpenOutside(std::string_view address) { return address.find_first_of(" \"<>\\`") == std::string_view::npos; }

Navigation Outside(std::string_view address) {
    return SafeToOpenOutside(address) ? Navigation::OpenOutside : Navigation::Cancel;
}

// The site's own address (host and port): where no port is written, the
// usual ports of http and https both belong to it.
bool OnSite(const url::Url& address, const url::Url& site) {
    if (address.host != site.host) return false;
    if (site.port) return address.EffectivePort() == *site.port;
    return !address.port || *address.port == (address.scheme == "http" ? 80u : 443u);
}

}  // namespace

Navigation PanelNavigation(std::string_view address, std::string_view site, std::string_view page) {
    if (IsAboutBlank(address)) return Navigation::Stay;
    const std::optional<url::Url> home = url::Parse(site);
    const auto onSite = [&](std::string_view where) {
        const std::optional<url::Url> target = url::Parse(where);
        return target && IsWeb(*target) && home && IsWeb(*home) && OnSite(*target, *home);
    };
    if (url::SchemeOf(address) == "javascript") return onSite(page) ? Navigation::Stay : Navigation::Cancel;
    const std::optional<url::Url> target = url::Parse(address);
    if (!target || !IsWeb(*target)) return Navigation::Cancel;
    return onSite(address) ? Navigation::Stay : Outside(address);
}

Navigation FrameNavigation(std::string_view address) {
    if (IsAboutBlank(address) || url::SchemeOf(address) == "javascript") return Navigation::Stay;
    const std::optional<url::Url> target = url::Parse(address);
    return target && IsWeb(*target) ? Navigation::Stay : Navigation::Cancel;
}

Navigation NewWindowNavigation(std::string_view address) {
    const std::optional<url::Url> target = url::Parse(address);
    return target && IsWeb(*target) ? Outside(address) : Navigation::Cancel;
}

bool IsStreamAddress(std::string_view address) {
    // What the two media controls stream with: RTSP over UDP and TCP,
    // RealPlayer's pnm, the media player's mms and its forms, and the web.
    static constexpr std::string_view kStreamSchemes[] = {"rtsp", "rtspu", "rtspt", "pnm",  "mms",
                                                          "mmst", "mmsu",  "mmsh",  "http", "https"};
    const std::optional<url::Url> target = url::Parse(address);
    if (!target) return false;
    return std::find(std::begin(kStreamSchemes), std::end(kStreamSchemes), target->scheme) != std::end(kStreamSchemes);
}

}  // namespace kavuno::playback
