// The RealPlayer ActiveX control of the video area. It is driven by dispatch
// id, the volume by name; each operation is named by the role it has in this
// program.
// Positions and lengths are milliseconds; texts are GBK.
#pragma once
#include <cstdint>
#include <string>

#include "framework/activex_host.h"

namespace kavuno::playback {

class RealPlayerControl : public kavuno::ui::ActiveXControl {
public:
    // {CFCDAA03-8BE4-11CF-B84B-0020AFBBCCFA}
    static const CLSID kClassId;

    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return ActiveXControl::Create(kClassId, windowName, style, rect, parent, id);
    }

    HRESULT SetSource(const std::string& address);  // the clip to play
    HRESULT SetControls(const std::string& parts);  // which parts show, e.g. "IMAGEWINDOW"
    HRESULT Resume();                               // after a pause
    HRESULT Stop();
    HRESULT SetFirstDisplayOption(bool on);
    HRESULT Play();
    HRESULT Pause();
    std::int32_t GetPosition() const;   // milliseconds
    std::int32_t GetPlayState() const;  // real_player_state (play_state.h)
    std::int32_t GetLength() const;     // milliseconds
    bool QueryAfterStop() const;        // asked when the other player takes over
    HRESULT Seek(std::int32_t milliseconds);
    HRESULT SetFullScreen();  // the picture goes full screen
    HRESULT SetSecondDisplayOption(bool on);
    std::string GetStatusText() const;
    // Called by name: a control that does not know the name is left alone.
    HRESULT SetVolume(std::int32_t level);  // 0 to 100
    HRESULT SetMute(bool muted);
};

}  // namespace kavuno::playback
