#include "player/playback/playback_control.h"

#include <commctrl.h>

#include <algorithm>

#include "common/gbk.h"
#include "common/gbk_win.h"
#include "common/url.h"
#include "framework/app.h"
#include "framework/program_log.h"
#include "player/playback/address_policy.h"
#include "player/ads/ad_pages.h"
#include "player/playback/play_time.h"
#include "resources/player/resource.h"

namespace kavuno::playback {
namespace {

constexpr wchar_t kIdleTime[] = L"00:00:00/00:00:00";
constexpr wchar_t kIdleStatus[] = L"长时间观看注意眼睛休息！！";
constexpr wchar_t kPausedStatus[] = L"已暂停";
// The start page gets this long to be on its way before the player starts.
constexpr DWORD kStartPagePause = 100;  // ms

std::wstring TimeText(std::int32_t positionMs, std::int32_t lengthMs) {
    return gbk::ToWide(FormatPlayTime(positionMs) + "/" + FormatPlayTime(lengthMs));
}

// "《title》" in UTF-8, for the log.
std::string LogTitle(std::string_view title) { return "\xE3\x80\x8A" + gbk::ToUtf8(title) + "\xE3\x80\x8B"; }

}  // namespace

PlaybackControl::PlaybackControl(VideoArea& area, skin::CSkinSliderCtrl& slider, skin::CPlayPauseButton& playPause)
    : area_(area), slider_(slider), playPause_(playPause) {}

void PlaybackControl::Refuse(std::string_view title, const std::wstring& why) const {
    const std::wstring text = L"无法播放《" + gbk::ToWide(title) + L"》：" + why;
    MessageBoxW(window_, text.c_str(), ui::App::Current().Title().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool PlaybackControl::PlayerReady(PlayerMode mode, std::string_view title) const {
    const bool real = mode == PlayerMode::RealPlayer;
    if (real ? area_.RealPlayerReady() : area_.MediaPlayerReady()) return true;
    const std::wstring player = real ? L"RealPlayer" : L"Windows Media Player";
    ui::WriteLog("refused", LogTitle(title) + ": no usable " + ui::ToUtf8(player));
    Refuse(title, L"这台电脑上没有可用的 " + player + L" 播放器。\n请安装 " + player +
                      L" 后再播放这部影片；其他影片和功能照常使用。");
    return false;
}

void PlaybackControl::Start(const catalogue::CMF& record) {
    // The address first, before any control or state is touched: a catalogue
    // record must not point a player at local files, another machine's shares
    // (where Windows would offer the user's login) or a scheme a control
    // happens to understand.
    std::string address = record.GetStreamAddress();
    if (!IsStreamAddress(address)) {
        ui::WriteLog("refused", LogTitle(record.title()) + ": stream address " +
                                    gbk::ToUtf8(url::WithoutUserInfo(address)));
        Refuse(record.title(), L"节目单给出的播放地址不是流媒体服务器的地址，已拒绝打开。\n"
                               L"请重新运行 KavunoUp 更新节目单；其他影片和功能照常使用。");
        return;
    }
    const PlayerMode mode = PlayerForRecord(record.player());
    if (!PlayerReady(mode, record.title())) return;

    ui::WriteLog("play", LogTitle(record.title()) + " on " +
                             (mode == PlayerMode::RealPlayer ? "RealPlayer: " : "Windows Media Player: ") +
                             gbk::ToUtf8(url::WithoutUserInfo(address)));
    m_strStreamAddress = std::move(address);
    SetTimer(window_, kStatusTimer, kStatusInterval, nullptr);
    m_bShowVideo = record.video();
    area_.browser().Navigate(ads::StartPage());
    Sleep(kStartPagePause);
    EnableWindow(GetDlgItem(window_, IDC_VIDEO_AREA), FALSE);

    m_nPlayerMode = mode;
    if (mode == PlayerMode::RealPlayer) {
        area_.mediaPlayer().Close();
        area_.HidePlayers();
        m_bVideoShown = 0;
        area_.realPlayer().SetSource(m_strStreamAddress);
        area_.realPlayer().Play();
    } else {
        area_.realPlayer().Stop();
        area_.realPlayer().QueryAfterStop();
        ShowWindow(area_.realPlayer().hwnd(), SW_HIDE);
        ShowWindow(area_.mediaPlayer().hwnd(), SW_HIDE);
        m_bVideoShown = 0;
        area_.mediaPlayer().SetURL(m_strStreamAddress);  // it starts by itself
        area_.TakeCurrentMedia();
    }
    playPause_.ShowPlaying(true, false);
    m_strNowPlaying = std::string(record.title());
}

void PlaybackControl::StopPlayback() {
    EnableWindow(GetDlgItem(window_, IDC_VIDEO_AREA), TRUE);
    if (m_nPlayerMode != PlayerMode::None) {
        ui::WriteLog("stop", LogTitle(m_strNowPlaying));
        if (m_nPlayerMode == PlayerMode::RealPlayer) {
            area_.realPlayer().Stop();
        } else {
            wmp_controls::Stop(area_.mediaControls());
        }
        playPause_.ShowPlaying(false, false);
    }
    area_.HidePlayers();
    m_nPlayerMode = PlayerMode::None;
    area_.browser().Navigate(ads::AdPage());
    m_bVideoShown = 0;
    KillTimer(window_, kStatusTimer);
    SetTexts(kIdleTime, kIdleStatus);
}

void PlaybackControl::OnPlayPause() {
    switch (DecidePlayPause(m_nPlayerMode, playPause_.IsPlaying())) {
    case PlayPauseAction::Pause:
        if (m_nPlayerMode == PlayerMode::RealPlayer) {
            area_.realPlayer().Pause();
        } else {
            wmp_controls::Pause(area_.mediaControls());
        }
        playPause_.ShowPlaying(false, true);  // the pointer is on the button
        break;
    case PlayPauseAction::Resume:
        if (m_nPlayerMode == PlayerMode::RealPlayer) {
            area_.realPlayer().Resume();
        } else {
            wmp_controls::Play(area_.mediaControls());
        }
        playPause_.ShowPlaying(true, true);
        break;
    case PlayPauseAction::Nothing:
        break;
    }
}

void PlaybackControl::OnFullScreen() {
    if (m_nPlayerMode == PlayerMode::RealPlayer) {
        area_.realPlayer().Pause();
        area_.realPlayer().SetFullScreen();
        area_.realPlayer().Play();
    } else if (m_nPlayerMode == PlayerMode::MediaPlayer) {
        area_.mediaPlayer().SetFullScreen(true);
    }
}

void PlaybackControl::OnSeek() {
    if (slider_.LosingCapture()) return;  // not the user letting go
    const auto seconds = static_cast<std::int32_t>(slider_.Send(TBM_GETPOS));
    if (m_nPlayerMode == PlayerMode::RealPlayer) {
        area_.realPlayer().Seek(SecondsToMilliseconds(seconds));
    } else if (m_nPlayerMode == PlayerMode::MediaPlayer) {
        wmp_controls::SetCurrentPosition(area_.mediaControls(), static_cast<double>(seconds));
    }
}

void PlaybackControl::UpdatePlaybackStatus() {
    std::int32_t state = 0;
    if (m_nPlayerMode == PlayerMode::RealPlayer) {
        CRealAudio& real = area_.realPlayer();
        const std::int32_t length = real.GetLength();
        const std::int32_t position = real.GetPosition();
        SetSlider(length / 1000, position / 1000);
        SetWindowTextW(GetDlgItem(window_, IDC_PLAY_TIME), TimeText(position, length).c_str());
        state = real.GetPlayState();
    } else if (m_nPlayerMode == PlayerMode::MediaPlayer) {
        const double position = wmp_controls::GetCurrentPosition(area_.mediaControls());
        const double length = wmp_media::GetDuration(area_.media());
        SetWindowTextW(GetDlgItem(window_, IDC_PLAY_TIME),
                       TimeText(SecondsToMilliseconds(SecondsForText(position)),
                                SecondsToMilliseconds(SecondsForText(length)))
                           .c_str());
        SetSlider(SecondsForSlider(length), SecondsForSlider(position));
        state = area_.mediaPlayer().GetPlayState();
    } else {
        return;
    }

    const StatusAction action = ReactToPlayState(m_nPlayerMode, state, m_bShowVideo != 0);
    HWND status = GetDlgItem(window_, IDC_STATUS_LINE);
    switch (action) {
    case StatusAction::Stop:
        StopPlayback();
        return;
    case StatusAction::ShowPlaying:
        SetWindowTextW(status, (L"正在播放：[" + gbk::ToWide(m_strNowPlaying) + L"]").c_str());
        break;
    case StatusAction::ShowPaused:
        SetWindowTextW(status, kPausedStatus);
        break;
    case StatusAction::ShowControlStatus:
        SetWindowTextW(status, gbk::ToWide(m_nPlayerMode == PlayerMode::RealPlayer
                                               ? area_.realPlayer().GetStatusText()
                                               : area_.mediaPlayer().GetStatus())
                                   .c_str());
        break;
    }
    ShowPicture(PictureWanted(action, m_bShowVideo != 0));
}

HWND PlaybackControl::ActivePlayerWindow() {
    return m_nPlayerMode == PlayerMode::RealPlayer ? area_.realPlayer().hwnd() : area_.mediaPlayer().hwnd();
}

void PlaybackControl::ShowPicture(bool show) {
    if (show && m_bVideoShown == 0) {
        // Above the browser's page, which shares the area.
        SetWindowPos(ActivePlayerWindow(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        m_bVideoShown = 1;
    } else if (!show && m_bVideoShown == 1) {
        ShowWindow(ActivePlayerWindow(), SW_HIDE);
        m_bVideoShown = 0;
    }
}

void PlaybackControl::SetTexts(const std::wstring& time, const std::wstring& status) {
    SetWindowTextW(GetDlgItem(window_, IDC_PLAY_TIME), time.c_str());
    SetWindowTextW(GetDlgItem(window_, IDC_STATUS_LINE), status.c_str());
}

void PlaybackControl::SetSlider(std::int32_t length, std::int32_t position) {
    // The thumb stays where the user holds it; a length the control does not
    // know yet (negative) is no range at all.
    if (slider_.IsDragging()) return;
    slider_.Send(TBM_SETRANGEMAX, TRUE, std::max(length, 0));
    slider_.Send(TBM_SETPOS, TRUE, std::max(position, 0));
}

}  // namespace kavuno::playback
