// Which addresses the player hands to its embedded controls. The web panels
// (the video area's browser and the ad pop-up) show the service's own pages
// and nothing else; a media control is given only a streaming address of a
// server. Addresses are UTF-8 or GBK bytes alike: only their ASCII parts
// decide.
#pragma once
#include <string_view>

namespace kavuno::playback {

enum class Navigation {
    Stay,         // the panel goes there
    OpenOutside,  // the user's default browser shows it; the panel stays where it was
    Cancel,       // nothing goes there
};

// A navigation of a panel itself: http or https on the web site's host (and
// port) stays, as does "about:blank"; another http or https address opens
// outside; anything else (file:, UNC paths, res:, mk:, ...) is cancelled.
// `site` is the web site's base address. A "javascript:" address runs in the
// page the panel shows, `page`, when that is one of the site's: the player
// never asks for one, so it is the page's own script link.
Navigation PanelNavigation(std::string_view address, std::string_view site, std::string_view page);

// A navigation of a frame inside a page: the page's business as long as it
// stays on the web (http, https, about:blank, its own scripts); no frame
// may show a local or shell address.
Navigation FrameNavigation(std::string_view address);

// A new window that a page asks for: http and https open outside, nothing
// else opens anywhere. An empty address (unknown) is cancelled.
Navigation NewWindowNavigation(std::string_view address);

// Whether a media control may be given `address`: a streaming scheme (rtsp,
// rtspu, rtspt, pnm, mms, mmst, mmsu, mmsh, http, https) and a host.
bool IsStreamAddress(std::string_view address);

}  // namespace kavuno::playback
