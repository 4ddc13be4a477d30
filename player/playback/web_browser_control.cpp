#include "player/playback/web_browser_control.h"

#include <shellapi.h>

#include <deque>
#include <utility>

#include "common/gbk.h"
#include "common/service_config.h"
#include "common/url.h"
#include "framework/failure_report.h"
#include "framework/program_log.h"

namespace kavuno::playback {
namespace {

using kavuno::ui::DispatchKind;
using kavuno::ui::kEmptyOptional;

constexpr DISPID kNavigate = 104;
constexpr DISPID kRefresh = -550;
constexpr DISPID kLocationURL = 211;
constexpr DISPID kSilent = 551;
constexpr DISPID kResizable = 556;

// A page's address for the log: sessions and searches in it stay out.
std::string LoggedPage(std::wstring_view url) { return kavuno::url::PageForLog(ui::ToUtf8(url)); }

struct OutsideRequest {
    WebBrowserControl::OutsideOpener opener;
    std::wstring url;
};
std::deque<OutsideRequest> g_outside;

void OpenInDefaultBrowser(const std::wstring& url) {
    ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CALLBACK OpenQueued(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ui::Guarded("opening a page outside", 0, [] {
        while (!g_outside.empty()) {
            OutsideRequest request = std::move(g_outside.front());
            g_outside.pop_front();
            request.opener(request.url);
        }
        return 0;
    });
}

// Queues `url` for the message loop, never opened from inside the control's event.
bool OpenOutsideLater(const WebBrowserControl::OutsideOpener& opener, std::wstring_view url) {
    const bool idle = g_outside.empty();
    g_outside.push_back({opener ? opener : WebBrowserControl::OutsideOpener(&OpenInDefaultBrowser), std::wstring(url)});
    if (idle && !SetTimer(nullptr, 0, 0, &OpenQueued)) {
        g_outside.clear();
        return false;
    }
    return true;
}

bool IsUserInput(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return true;
    default: return false;
    }
}

}  // namespace

const CLSID WebBrowserControl::kClassId = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

WebBrowserControl::WebBrowserControl() = default;

WebBrowserControl::~WebBrowserControl() { events_.Disconnect(); }

bool WebBrowserControl::Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
    events_.Disconnect();
    if (!ActiveXControl::Create(kClassId, windowName, style, rect, parent, id)) return false;
    site_ = gbk::ToUtf8(config::WebSite());
    if (!events_.Connect(dispatch(), *this)) {
        ui::WriteLog(logfile::Kind::Refused, "a web browser control whose navigations cannot be watched");
        ActiveXControl::Destroy();
        return false;
    }
    SetSilent(true);
    return true;
}

void WebBrowserControl::Destroy() {
    events_.Disconnect();
    ActiveXControl::Destroy();
}

HRESULT WebBrowserControl::Navigate(const std::string& address) {
    // Script addresses are a page's own business; the player never sends one.
    if (url::SchemeOf(address) == "javascript") {
        ui::WriteLog(logfile::Kind::Refused, "page: " + gbk::ToUtf8(address));
        return E_INVALIDARG;
    }
    return Call(kNavigate, DispatchKind::Method,
                {address, kEmptyOptional, kEmptyOptional, kEmptyOptional, kEmptyOptional})
        .hr;
}
HRESULT WebBrowserControl::Refresh() { return Call(kRefresh, DispatchKind::Method).hr; }
std::string WebBrowserControl::GetLocationURL() const {
    return Call<std::string>(kLocationURL, DispatchKind::PropertyGet).value;
}
HRESULT WebBrowserControl::SetResizable(bool resizable) {
    return Call(kResizable, DispatchKind::PropertyPut, {resizable}).hr;
}
HRESULT WebBrowserControl::SetSilent(bool silent) { return Call(kSilent, DispatchKind::PropertyPut, {silent}).hr; }

void WebBrowserControl::NoteInput(const MSG& msg) {
    const HWND panel = hwnd();
    if (panel && IsUserInput(msg.message) && (msg.hwnd == panel || IsChild(panel, msg.hwnd)))
        gate_.NoteInput(GetTickCount());
}

bool WebBrowserControl::OnBeforeNavigate(std::wstring_view url, bool topLevel) {
    const std::string address = ui::ToUtf8(url);
    if (!topLevel) return Follow(FrameNavigation(address), url, "frame");
    const Navigation navigation = PanelNavigation(address, site_, page_);
    // The page the panel goes to is where its script links run next.
    if (navigation == Navigation::Stay && url::SchemeOf(address) != "javascript") page_ = address;
    return Follow(navigation, url, "page");
}

bool WebBrowserControl::OnNewWindow(std::wstring_view url) {
    return Follow(NewWindowNavigation(ui::ToUtf8(url)), url, "new window");
}

bool WebBrowserControl::Follow(Navigation navigation, std::wstring_view url, const char* what) {
    switch (navigation) {
    case Navigation::Stay: return false;
    case Navigation::OpenOutside:
        if (!gate_.TryOpen(GetTickCount())) {
            ui::WriteLog(logfile::Kind::Refused,
                         std::string(what) +
                             " not opened outside, no click or key in the panel just before: " + LoggedPage(url));
            return true;
        }
        if (OpenOutsideLater(opener_, url))
            ui::WriteLog(logfile::Kind::Outside,
                         std::string(what) + " opened in the default browser: " + LoggedPage(url));
        return true;
    case Navigation::Cancel: break;
    }
    ui::WriteLog(logfile::Kind::Refused,
                 std::string(what) + ": " + (url.empty() ? std::string("(no address)") : LoggedPage(url)));
    return true;
}

}  // namespace kavuno::playback
