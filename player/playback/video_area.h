// The video area: control IDC_VIDEO_AREA of the main window, a frame whose
// three child controls cover it exactly. The RealPlayer and the media player
// show the picture of the movie that plays; the web browser shows the
// service's pages whenever no player window is shown. The area owns the three
// wrappers and the media player's controls and media objects.
#pragma once
#include <windows.h>

#include <string>

#include "framework/dispatch_holder.h"
#include "player/playback/media_player_control.h"
#include "player/playback/real_player_control.h"
#include "player/playback/web_browser_control.h"

namespace kavuno::playback {

class VideoArea {
public:
    static constexpr UINT kPlayerId = 2024;  // both players
    static constexpr UINT kBrowserId = 2026;

    VideoArea() = default;
    ~VideoArea();
    VideoArea(const VideoArea&) = delete;
    VideoArea& operator=(const VideoArea&) = delete;

    // Creates the RealPlayer, the media player and the browser, in that order,
    // inside `frame`; both players hidden, the browser on `firstPage`.
    void Create(HWND frame, const std::string& firstPage);
    // Frees the browser, the RealPlayer and the media player, in that order.
    void Destroy();

    // Whether a movie for that player can be played: its control exists and
    // answers by dispatch id.
    bool RealPlayerReady() const { return realPlayer_.usable(); }
    bool MediaPlayerReady() const { return mediaPlayer_.usable() && static_cast<bool>(mediaControls_); }

    RealPlayerControl& realPlayer() { return realPlayer_; }
    MediaPlayerControl& mediaPlayer() { return mediaPlayer_; }
    WebBrowserControl& browser() { return browser_; }
    // The media player's controls object, read once at creation.
    const ui::DispatchHolder& mediaControls() const { return mediaControls_; }
    // The media object of the movie last started on the media player.
    const ui::DispatchHolder& media() const { return media_; }
    void TakeCurrentMedia() { media_ = mediaPlayer_.GetCurrentMedia(); }

    void HidePlayers();
    // Repaints the controls and everything in them, after the window around
    // them painted over them (the main window does on a mode switch).
    void Repaint();

private:
    HWND frame_ = nullptr;
    MediaPlayerControl mediaPlayer_;
    RealPlayerControl realPlayer_;
    ui::DispatchHolder mediaControls_;
    ui::DispatchHolder media_;
    WebBrowserControl browser_;
};

}  // namespace kavuno::playback
