// The RealPlayer ActiveX control of the video area. It is driven by dispatch
// id alone; each operation is named by the role it has in this program.
// Positions and lengths are milliseconds; texts are GBK.
#pragma once
#include <cstdint>
#include <string>

#include "framework/activex_host.h"

namespace kavuno::playback {

class CRealAudio : public kavuno::ui::ActiveXControl {
public:
    // {CFCDAA03-8BE4-11CF-B84B-0020AFBBCCFA}
    static const CLSID kClassId;

    // Play states of GetPlayState; other values are passing states
    // (contacting, buffering, seeking).
    static constexpr std::int32_t kStopped = 0;
    static constexpr std::int32_t kPlaying = 3;
    static constexpr std::int32_t kPaused = 4;

    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return ActiveXControl::Create(kClassId, windowName, style, rect, parent, id);
    }

    HRESULT SetSource(const std::string& address);      // the clip to play
    HRESULT SetControls(const std::string& parts);      // which parts show, e.g. "IMAGEWINDOW"
    HRESULT Resume();                                   // after a pause
    HRESULT Stop();
    HRESULT SetFirstDisplayOption(bool on);
    HRESULT Play();
    HRESULT Pause();
    std::int32_t GetPosition() const;                   // milliseconds
    std::int32_t GetPlayState() const;
    std::int32_t GetLength() const;                     // milliseconds
    bool QueryAfterStop() const;                        // asked when the other player takes over
    HRESULT Seek(std::int32_t milliseconds);
    HRESULT SetFullScreen();                            // the picture goes full screen
    HRESULT SetSecondDisplayOption(bool on);
    std::string GetStatusText() const;
};

}  // namespace kavuno::playback
