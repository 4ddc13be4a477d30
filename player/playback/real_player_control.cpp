#include "player/playback/real_player_control.h"

namespace kavuno::playback {
namespace {

using kavuno::ui::DispatchKind;

constexpr DISPID kSource = 102;
constexpr DISPID kControls = 104;
constexpr DISPID kResume = 201;
constexpr DISPID kStop = 202;
constexpr DISPID kFirstDisplayOption = 245;
constexpr DISPID kPlay = 257;
constexpr DISPID kPause = 258;
constexpr DISPID kPosition = 259;
constexpr DISPID kPlayState = 260;
constexpr DISPID kLength = 261;
constexpr DISPID kQueryAfterStop = 267;
constexpr DISPID kSeek = 269;
constexpr DISPID kFullScreen = 293;
constexpr DISPID kSecondDisplayOption = 297;
constexpr DISPID kStatusText = 331;

}  // namespace

const CLSID RealPlayerControl::kClassId = {
    0xCFCDAA03, 0x8BE4, 0x11CF, {0xB8, 0x4B, 0x00, 0x20, 0xAF, 0xBB, 0xCC, 0xFA}};

HRESULT RealPlayerControl::SetSource(const std::string& address) {
    return Call(kSource, DispatchKind::PropertyPut, {address}).hr;
}
HRESULT RealPlayerControl::SetControls(const std::string& parts) {
    return Call(kControls, DispatchKind::PropertyPut, {parts}).hr;
}
HRESULT RealPlayerControl::Resume() { return Call(kResume, DispatchKind::Method).hr; }
HRESULT RealPlayerControl::Stop() { return Call(kStop, DispatchKind::Method).hr; }
HRESULT RealPlayerControl::SetFirstDisplayOption(bool on) {
    return Call(kFirstDisplayOption, DispatchKind::Method, {on}).hr;
}
HRESULT RealPlayerControl::SetVolume(std::int32_t level) {
    return CallByName(L"SetVolume", DispatchKind::Method, {level}).hr;
}
HRESULT RealPlayerControl::SetMute(bool muted) { return CallByName(L"SetMute", DispatchKind::Method, {muted}).hr; }
HRESULT RealPlayerControl::Play() { return Call(kPlay, DispatchKind::Method).hr; }
HRESULT RealPlayerControl::Pause() { return Call(kPause, DispatchKind::Method).hr; }
std::int32_t RealPlayerControl::GetPosition() const {
    return Call<std::int32_t>(kPosition, DispatchKind::Method).value;
}
std::int32_t RealPlayerControl::GetPlayState() const {
    return Call<std::int32_t>(kPlayState, DispatchKind::Method).value;
}
std::int32_t RealPlayerControl::GetLength() const { return Call<std::int32_t>(kLength, DispatchKind::Method).value; }
bool RealPlayerControl::QueryAfterStop() const { return Call<bool>(kQueryAfterStop, DispatchKind::Method).value; }
HRESULT RealPlayerControl::Seek(std::int32_t milliseconds) {
    return Call(kSeek, DispatchKind::Method, {milliseconds}).hr;
}
HRESULT RealPlayerControl::SetFullScreen() { return Call(kFullScreen, DispatchKind::Method).hr; }
HRESULT RealPlayerControl::SetSecondDisplayOption(bool on) {
    return Call(kSecondDisplayOption, DispatchKind::Method, {on}).hr;
}
std::string RealPlayerControl::GetStatusText() const {
    return Call<std::string>(kStatusText, DispatchKind::Method).value;
}

}  // namespace kavuno::playback
