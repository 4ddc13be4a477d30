#include "player/playback/web_browser_control.h"

namespace kavuno::playback {
namespace {

using kavuno::ui::DispatchKind;
using kavuno::ui::kEmptyOptional;

constexpr DISPID kNavigate = 104;
constexpr DISPID kRefresh = -550;
constexpr DISPID kLocationURL = 211;
constexpr DISPID kResizable = 556;

}  // namespace

const CLSID CWebBrowser2::kClassId = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

HRESULT CWebBrowser2::Navigate(const std::string& address) {
    return Call(kNavigate, DispatchKind::Method,
                {address, kEmptyOptional, kEmptyOptional, kEmptyOptional, kEmptyOptional})
        .hr;
}
HRESULT CWebBrowser2::Refresh() { return Call(kRefresh, DispatchKind::Method).hr; }
std::string CWebBrowser2::GetLocationURL() const {
    return Call<std::string>(kLocationURL, DispatchKind::PropertyGet).value;
}
HRESULT CWebBrowser2::SetResizable(bool resizable) {
    return Call(kResizable, DispatchKind::PropertyPut, {resizable}).hr;
}

}  // namespace kavuno::playback
