#include "player/playback/playback_control.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

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
constexpr DWORD kStartPagePause = 100;      // ms
constexpr DWORD kRememberInterval = 10000;  // ms
constexpr DWORD kResumeNoticeTime = 5000;   // ms

std::wstring TimeText(std::int32_t positionMs, std::int32_t lengthMs) {
    return gbk::ToWide(FormatPlayTime(positionMs) + "/" + FormatPlayTime(lengthMs));
}

// "《title》" in UTF-8, for the log.
std::string LogTitle(std::string_view title) { return "\xE3\x80\x8A" + gbk::ToUtf8(title) + "\xE3\x80\x8B"; }

}  // namespace

PlaybackControl::PlaybackControl(VideoArea& area, skin::SkinSlider& slider, skin::PlayPauseButton& playPause,
                                 history::WatchKeeper* watched)
    : area_(area), slider_(slider), playPause_(playPause), real_(area), media_(area), watched_(watched) {}

void PlaybackControl::Refuse(std::string_view title, const std::wstring& why) const {
    const std::wstring text = L"无法播放《" + gbk::ToWide(title) + L"》：" + why;
    MessageBoxW(window_, text.c_str(), ui::App::Current().Title().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool PlaybackControl::PlayerReady(const MoviePlayer& player, std::string_view title) const {
    if (player.Ready()) return true;
    const std::wstring name = player.name();
    ui::WriteLog(logfile::Kind::Refused, LogTitle(title) + ": no usable " + ui::ToUtf8(name));
    Refuse(title, L"这台电脑上没有可用的 " + name + L" 播放器。\n请安装 " + name +
                      L" 后再播放这部影片；其他影片和功能照常使用。");
    return false;
}

void PlaybackControl::Start(const catalogue::MovieRecord& record, std::size_t recordIndex) {
    // The address first, before any control or state is touched: a catalogue
    // record must not point a player at local files, another machine's shares
    // (where Windows would offer the user's login) or a scheme a control
    // happens to understand.
    std::string address = record.GetStreamAddress();
    if (!IsStreamAddress(address)) {
        ui::WriteLog(logfile::Kind::Refused,
                     LogTitle(record.title()) + ": stream address " + gbk::ToUtf8(url::WithoutUserInfo(address)));
        Refuse(record.title(),
               L"节目单给出的播放地址不是流媒体服务器的地址，已拒绝打开。\n"
               L"请重新运行 KavunoUp 更新节目单；其他影片和功能照常使用。");
        return;
    }
    MoviePlayer& player = *players_[static_cast<int>(PlayerForRecord(record.player()))];
    if (!PlayerReady(player, record.title())) return;

    ui::WriteLog(logfile::Kind::Play, LogTitle(record.title()) + " on " + ui::ToUtf8(player.name()) + ": " +
                                          gbk::ToUtf8(url::WithoutUserInfo(address)));
    if (active_) RememberPosition();  // the movie switched off
    movieKey_ = history::MovieKey(address);
    resumeAt_.reset();
    if (watched_) {
        resumeAt_ = watched_->ResumeAt(movieKey_);
        watched_->Started(movieKey_, static_cast<std::uint32_t>(recordIndex));
    }
    resumeNotice_.clear();
    last_ = {};
    lastRemembered_ = GetTickCount();
    streamAddress_ = std::move(address);
    SetTimer(window_, kStatusTimer, kStatusInterval, nullptr);
    showVideo_ = record.video() != 0;
    area_.browser().Navigate(ads::StartPage());
    Sleep(kStartPagePause);
    EnableWindow(GetDlgItem(window_, IDC_VIDEO_AREA), FALSE);

    // The movie that plays, if any, is switched off by the new player's start.
    active_ = &player;
    videoShown_ = false;
    player.Start(streamAddress_);
    // Each control keeps a volume of its own until told.
    player.SetVolume(volume_.level);
    player.SetMute(volume_.muted);
    SetPlaying(true, false);
    nowPlaying_ = std::string(record.title());
}

void PlaybackControl::StopPlayback() {
    EnableWindow(GetDlgItem(window_, IDC_VIDEO_AREA), TRUE);
    if (active_) {
        RememberPosition();
        ui::WriteLog(logfile::Kind::Stop, LogTitle(nowPlaying_));
        active_->Stop();
        SetPlaying(false, false);
    }
    area_.HidePlayers();
    active_ = nullptr;
    area_.browser().Navigate(ads::AdPage());
    videoShown_ = false;
    KillTimer(window_, kStatusTimer);
    SetTexts(kIdleTime, kIdleStatus);
}

void PlaybackControl::SetPlaying(bool playing, bool pointerOver) {
    playing_ = playing;
    awake_.KeepAwake(playing);
    playPause_.ShowPlaying(playing, pointerOver);
}

void PlaybackControl::OnPlayPause() {
    // After a click the pointer is on the button.
    switch (DecidePlayPause(Mode(), Playing())) {
    case PlayPauseAction::Pause:
        RememberPosition();
        active_->Pause();
        SetPlaying(false, true);
        break;
    case PlayPauseAction::Resume:
        active_->Resume();
        SetPlaying(true, true);
        break;
    case PlayPauseAction::Nothing: break;
    }
}

void PlaybackControl::OnFullScreen() {
    if (active_) active_->FullScreen();
}

void PlaybackControl::OnSeek() {
    if (slider_.LosingCapture()) return;  // not the user letting go
    const auto seconds = static_cast<std::int32_t>(slider_.Send(TBM_GETPOS));
    if (active_) active_->Seek(seconds);
}

void PlaybackControl::SeekBy(int seconds) {
    if (!active_) return;
    const PlayerReading reading = active_->Read();
    const std::int32_t target = SeekTarget(reading.sliderPosition, reading.sliderLength, seconds);
    if (!slider_.IsDragging()) slider_.Send(TBM_SETPOS, TRUE, target);
    active_->Seek(target);
}

void PlaybackControl::SetVolume(const VolumeSetting& volume) {
    // The player that plays hears only what changed.
    if (active_ && volume.level != volume_.level) active_->SetVolume(volume.level);
    if (active_ && volume.muted != volume_.muted) active_->SetMute(volume.muted);
    volume_ = volume;
}

void PlaybackControl::UpdatePlaybackStatus() {
    if (!active_) return;
    const PlayerReading reading = active_->Read();
    last_ = reading;
    SetSlider(reading.sliderLength, reading.sliderPosition);
    SetWindowTextW(GetDlgItem(window_, IDC_PLAY_TIME), TimeText(reading.positionMs, reading.lengthMs).c_str());

    const StatusAction action = ReactToPlayState(active_->mode(), reading.state, showVideo_);
    HWND status = GetDlgItem(window_, IDC_STATUS_LINE);
    switch (action) {
    case StatusAction::Stop:
        last_ = {};  // the end: next time from the beginning
        StopPlayback();
        return;
    case StatusAction::ShowPlaying:
        if (resumeAt_) Resume(*std::exchange(resumeAt_, std::nullopt));
        SetWindowTextW(status, ResumeNoticeShowing() ? resumeNotice_.c_str()
                                                     : (L"正在播放：[" + gbk::ToWide(nowPlaying_) + L"]").c_str());
        if (GetTickCount() - lastRemembered_ >= kRememberInterval) RememberPosition();
        break;
    case StatusAction::ShowPaused: SetWindowTextW(status, kPausedStatus); break;
    case StatusAction::ShowControlStatus: SetWindowTextW(status, gbk::ToWide(active_->StatusText()).c_str()); break;
    }
    ShowPicture(PictureWanted(action, showVideo_));
}

void PlaybackControl::RememberPosition() {
    // Not yet gone on from where it was left: that place stays.
    if (resumeAt_ || !watched_) return;
    watched_->Progress(movieKey_, static_cast<std::uint32_t>(std::max(last_.positionMs, 0) / 1000),
                       static_cast<std::uint32_t>(std::max(last_.lengthMs, 0) / 1000));
    lastRemembered_ = GetTickCount();
}

void PlaybackControl::Resume(std::int32_t seconds) {
    active_->Seek(seconds);
    slider_.Send(TBM_SETPOS, TRUE, seconds);
    resumeNotice_ = L"从 " + gbk::ToWide(FormatPlayTime(seconds * 1000)) + L" 继续播放（按 Home 从头播放）";
    resumeNoticeSince_ = GetTickCount();
    lastRemembered_ = resumeNoticeSince_;
}

bool PlaybackControl::ResumeNoticeShowing() const {
    return !resumeNotice_.empty() && GetTickCount() - resumeNoticeSince_ < kResumeNoticeTime;
}

bool PlaybackControl::SeekToStart(bool anyTime) {
    if (!active_ || !(anyTime || ResumeNoticeShowing())) return false;
    resumeAt_.reset();
    resumeNotice_.clear();
    active_->Seek(0);
    slider_.Send(TBM_SETPOS, TRUE, 0);
    return true;
}

void PlaybackControl::ShowPicture(bool show) {
    if (show && !videoShown_) {
        // Above the browser's page, which shares the area.
        SetWindowPos(active_->window(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        videoShown_ = true;
    } else if (!show && videoShown_) {
        ShowWindow(active_->window(), SW_HIDE);
        videoShown_ = false;
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
