#include "player/playback/media_player_control.h"

#include <utility>

namespace kavuno::playback {
namespace {

using kavuno::ui::DispatchHolder;
using kavuno::ui::DispatchKind;

// IWMPPlayer4
constexpr DISPID kURL = 1;
constexpr DISPID kClose = 3;
constexpr DISPID kControls = 4;
constexpr DISPID kCurrentMedia = 6;
constexpr DISPID kPlayState = 10;
constexpr DISPID kStatus = 18;
constexpr DISPID kFullScreen = 21;
constexpr DISPID kUiMode = 23;
// IWMPControls
constexpr DISPID kControlsPlay = 51;
constexpr DISPID kControlsStop = 52;
constexpr DISPID kControlsPause = 53;
constexpr DISPID kControlsCurrentPosition = 56;
// IWMPMedia
constexpr DISPID kMediaDuration = 757;

}  // namespace

const CLSID MediaPlayerControl::kClassId = {
    0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

HRESULT MediaPlayerControl::SetURL(const std::string& address) {
    return Call(kURL, DispatchKind::PropertyPut, {address}).hr;
}
HRESULT MediaPlayerControl::Close() { return Call(kClose, DispatchKind::Method).hr; }
DispatchHolder MediaPlayerControl::GetControls() const {
    return std::move(Call<DispatchHolder>(kControls, DispatchKind::PropertyGet).value);
}
DispatchHolder MediaPlayerControl::GetCurrentMedia() const {
    return std::move(Call<DispatchHolder>(kCurrentMedia, DispatchKind::PropertyGet).value);
}
std::int32_t MediaPlayerControl::GetPlayState() const {
    return Call<std::int32_t>(kPlayState, DispatchKind::PropertyGet).value;
}
std::string MediaPlayerControl::GetStatus() const {
    return Call<std::string>(kStatus, DispatchKind::PropertyGet).value;
}
HRESULT MediaPlayerControl::SetFullScreen(bool on) { return Call(kFullScreen, DispatchKind::PropertyPut, {on}).hr; }
HRESULT MediaPlayerControl::SetUiMode(const std::string& mode) {
    return Call(kUiMode, DispatchKind::PropertyPut, {mode}).hr;
}

DispatchHolder MediaPlayerControl::GetSettings() const {
    return std::move(CallByName<DispatchHolder>(L"settings", DispatchKind::PropertyGet).value);
}

namespace wmp_controls {
HRESULT Play(const DispatchHolder& controls) { return controls.Call(kControlsPlay, DispatchKind::Method).hr; }
HRESULT Stop(const DispatchHolder& controls) { return controls.Call(kControlsStop, DispatchKind::Method).hr; }
HRESULT Pause(const DispatchHolder& controls) { return controls.Call(kControlsPause, DispatchKind::Method).hr; }
double GetCurrentPosition(const DispatchHolder& controls) {
    return controls.Call<double>(kControlsCurrentPosition, DispatchKind::PropertyGet).value;
}
HRESULT SetCurrentPosition(const DispatchHolder& controls, double seconds) {
    return controls.Call(kControlsCurrentPosition, DispatchKind::PropertyPut, {seconds}).hr;
}
}  // namespace wmp_controls

namespace wmp_media {
double GetDuration(const DispatchHolder& media) {
    return media.Call<double>(kMediaDuration, DispatchKind::PropertyGet).value;
}
}  // namespace wmp_media

namespace wmp_settings {
HRESULT SetVolume(const DispatchHolder& settings, std::int32_t level) {
    return settings.CallByName(L"volume", DispatchKind::PropertyPut, {level}).hr;
}
HRESULT SetMute(const DispatchHolder& settings, bool muted) {
    return settings.CallByName(L"mute", DispatchKind::PropertyPut, {muted}).hr;
}
}  // namespace wmp_settings

}  // namespace kavuno::playback
