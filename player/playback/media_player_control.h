// The Windows Media Player control of the video area, called through its
// IWMPPlayer4 dispatch interface, and the two objects it hands out: the
// controls object (play, stop, pause, position), read once and kept, and the
// media object of the current clip (its duration). Both are kept in dispatch
// holders; the functions below call them. Positions and durations are
// seconds; texts are GBK.
#pragma once
#include <cstdint>
#include <string>

#include "framework/activex_host.h"
#include "framework/dispatch_holder.h"

namespace kavuno::playback {

class MediaPlayerControl : public kavuno::ui::ActiveXControl {
public:
    // {6BF52A52-394A-11D3-B153-00C04F79FAA6}
    static const CLSID kClassId;

    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return ActiveXControl::Create(kClassId, windowName, style, rect, parent, id);
    }

    HRESULT SetURL(const std::string& address);  // the control starts playing by itself
    HRESULT Close();
    kavuno::ui::DispatchHolder GetControls() const;      // IWMPControls, empty on failure
    kavuno::ui::DispatchHolder GetCurrentMedia() const;  // IWMPMedia, empty on failure
    std::int32_t GetPlayState() const;                   // media_player_state (play_state.h)
    std::string GetStatus() const;
    HRESULT SetFullScreen(bool on);
    HRESULT SetUiMode(const std::string& mode);  // "none": the picture only, no control bar
    // IWMPSettings by name, empty when the control does not know it.
    kavuno::ui::DispatchHolder GetSettings() const;
};

// The controls object (IWMPControls) from MediaPlayerControl::GetControls.
namespace wmp_controls {
HRESULT Play(const kavuno::ui::DispatchHolder& controls);
HRESULT Stop(const kavuno::ui::DispatchHolder& controls);
HRESULT Pause(const kavuno::ui::DispatchHolder& controls);
double GetCurrentPosition(const kavuno::ui::DispatchHolder& controls);
HRESULT SetCurrentPosition(const kavuno::ui::DispatchHolder& controls, double seconds);
}  // namespace wmp_controls

// The media object (IWMPMedia) from MediaPlayerControl::GetCurrentMedia.
namespace wmp_media {
double GetDuration(const kavuno::ui::DispatchHolder& media);
}  // namespace wmp_media

// The settings object (IWMPSettings) from MediaPlayerControl::GetSettings, by name.
namespace wmp_settings {
HRESULT SetVolume(const kavuno::ui::DispatchHolder& settings, std::int32_t level);  // 0 to 100
HRESULT SetMute(const kavuno::ui::DispatchHolder& settings, bool muted);
}  // namespace wmp_settings

}  // namespace kavuno::playback
