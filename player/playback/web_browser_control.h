// The Web Browser control of the two web panels (the video area's and the ad
// pop-up's), called through its IWebBrowser2 dispatch interface. Addresses
// are GBK texts.
//
// A panel shows the web site's pages and nothing else: every navigation is
// checked before it starts (address_policy.h). An advertiser's http or https
// page, and every new window a page asks for, opens in the user's default
// browser instead, and the panel stays where it was, but only right after a
// click or a key in the panel (outside_gate.h); anything else goes nowhere.
// Script errors never open a box over the player (Silent).
#pragma once
#include <functional>
#include <string>

#include "framework/activex_host.h"
#include "framework/browser_events.h"
#include "player/playback/address_policy.h"
#include "player/playback/outside_gate.h"

namespace kavuno::playback {

class WebBrowserControl : public kavuno::ui::ActiveXControl, private kavuno::ui::BrowserEventHandler {
public:
    // {8856F961-340A-11D0-A96B-00C04FD705A2}
    static const CLSID kClassId;

    WebBrowserControl();
    ~WebBrowserControl();

    // Creates the control for the web site of the build (or KAVUNO_WEB_SITE).
    // A control whose navigations cannot be watched is not kept.
    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id);
    void Destroy();

    // Flags, target frame, post data and headers are left out (empty). A
    // "javascript:" address is refused (E_INVALIDARG).
    HRESULT Navigate(const std::string& address);
    HRESULT Refresh();
    std::string GetLocationURL() const;
    HRESULT SetResizable(bool resizable);
    HRESULT SetSilent(bool silent);

    // Shows an address outside the panel; by default the user's default
    // browser (the shell's "open"). Called from the message loop, never from
    // inside the control's event.
    using OutsideOpener = std::function<void(const std::wstring& url)>;
    void SetOutsideOpener(OutsideOpener opener) { opener_ = std::move(opener); }

    // Called by the owning window's message filter with every message: a
    // click or a key in this panel lets its page open one page outside.
    void NoteInput(const MSG& msg);

private:
    bool OnBeforeNavigate(std::wstring_view url, bool topLevel) override;
    bool OnNewWindow(std::wstring_view url) override;
    // True cancels.
    bool Follow(Navigation navigation, std::wstring_view url, const char* what);

    kavuno::ui::BrowserEvents events_;
    std::string site_;  // UTF-8
    std::string page_;  // UTF-8: the last page the panel was let go to
    OutsideOpener opener_;
    OutsideGate gate_;
};

}  // namespace kavuno::playback
