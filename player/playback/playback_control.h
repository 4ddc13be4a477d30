// What the user does to a movie: start it (double-click in the list), pause
// and resume, full screen, seek with the slider, stop; and the status display
// that mirrors the active control four times a second in the time display,
// the slider and the status line, and shows the control's picture while the
// movie plays. The record's `player` field chooses the player; what each
// player's control is told is that player's own (movie_player.h).
//
// Where each movie was left goes to the watch history every 10 seconds and
// at pause, stop, end and a switch to another movie; a movie started again
// goes on from there once its control plays, and says so for a few seconds.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "framework/execution_state.h"
#include "player/catalogue/movie_record.h"
#include "player/history/watch_keeper.h"
#include "player/playback/media_player_session.h"
#include "player/playback/movie_player.h"
#include "player/playback/play_state.h"
#include "player/playback/real_player_session.h"
#include "player/playback/video_area.h"
#include "player/skin/play_pause_button.h"
#include "player/skin/skin_slider.h"

namespace kavuno::playback {

class PlaybackControl {
public:
    static constexpr UINT_PTR kStatusTimer = 2;
    static constexpr UINT kStatusInterval = 250;  // ms

    // Without `watched`, nothing is remembered or resumed.
    PlaybackControl(VideoArea& area, skin::SkinSlider& slider, skin::PlayPauseButton& playPause,
                    history::WatchKeeper* watched = nullptr);

    // The main window, whose timer kStatusTimer and controls IDC_VIDEO_AREA,
    // IDC_PLAY_TIME and IDC_STATUS_LINE this uses.
    void Attach(HWND window) { window_ = window; }

    // Starts `record`'s movie; another one that plays is switched off. When
    // its address is no streaming server's or its player is missing, the user
    // is told so and nothing changes.
    // `recordIndex` is the record's place in the catalogue, for the history.
    void Start(const catalogue::MovieRecord& record, std::size_t recordIndex);
    // Back to idle: no player, the ad page, the texts of an idle window.
    void StopPlayback();
    void OnPlayPause();
    void OnFullScreen();
    // The user has released the slider: seek to its position.
    void OnSeek();
    // A seek key: `seconds` from the position, within the movie, as a slider seek.
    void SeekBy(int seconds);
    // The user's volume, for the player that plays now and every one started.
    void SetVolume(const VolumeSetting& volume);
    // kStatusTimer's tick.
    void UpdatePlaybackStatus();
    // Back to the beginning: at any time, or only while the status line says
    // that the movie went on from where it was left. False when nothing sought.
    bool SeekToStart(bool anyTime);

    bool MovieLoaded() const { return active_ != nullptr; }
    // The user's view (playing, or paused), which the control's own state
    // does not change.
    bool Playing() const { return playing_; }
    // While a movie plays the screen stays on: the screen saver and the
    // monitor's power-off are refused.
    bool RefusesSysCommand(WPARAM command) const { return awake_.Refuses(command); }

private:
    // Tells the user why `title` does not play.
    void Refuse(std::string_view title, const std::wstring& why) const;
    bool PlayerReady(const MoviePlayer& player, std::string_view title) const;
    PlayerMode Mode() const { return active_ ? active_->mode() : PlayerMode::None; }
    // Playing(), and the play/pause button that shows it.
    void SetPlaying(bool playing, bool pointerOver);
    void ShowPicture(bool show);
    void SetTexts(const std::wstring& time, const std::wstring& status);
    void SetSlider(std::int32_t length, std::int32_t position);
    // The movie loaded, where the last reading had it, into the history.
    void RememberPosition();
    // Goes on from where the movie was left: the slider's seek, and the notice.
    void Resume(std::int32_t seconds);
    bool ResumeNoticeShowing() const;

    VideoArea& area_;
    skin::SkinSlider& slider_;
    skin::PlayPauseButton& playPause_;  // shows Playing()
    HWND window_ = nullptr;

    RealPlayerSession real_;
    MediaPlayerSession media_;
    // By PlayerMode: none, the RealPlayer, the media player.
    MoviePlayer* const players_[3] = {nullptr, &real_, &media_};
    MoviePlayer* active_ = nullptr;  // none while no movie is loaded

    bool playing_ = false;
    bool showVideo_ = false;   // the started record's `video`
    bool videoShown_ = false;  // while the active player's window is shown
    std::string streamAddress_;
    std::string nowPlaying_;
    VolumeSetting volume_;
    ui::ExecutionState awake_;  // follows playing_

    history::WatchKeeper* watched_;
    std::string movieKey_;                  // the movie loaded, as the history knows it
    std::optional<std::int32_t> resumeAt_;  // seconds, sought once the control plays
    std::wstring resumeNotice_;             // shown instead of the playing text for a while
    DWORD resumeNoticeSince_ = 0;
    DWORD lastRemembered_ = 0;
    PlayerReading last_;  // the latest status reading
};

}  // namespace kavuno::playback
