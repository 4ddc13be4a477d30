// The player's main window: a modal dialog from template IDD_PLAYER that owns the
// catalogue, the tree and list, the search controls, the video area, the skin
// and its buttons, and the presence socket. Its set-up runs in one fixed order
// (OnInitDialog); the steps that belong to the skin, the playback controls and
// the ad panels call named methods that those parts fill in.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/service_config.h"
#include "framework/bitmap_button.h"
#include "framework/dialog.h"
#include "framework/tool_tip.h"
#include "player/ads/ad_popup.h"
#include "player/catalogue/category_tree_view.h"
#include "player/catalogue/movie_list_view.h"
#include "player/catalogue/record_array.h"
#include "player/history/watch_keeper.h"
#include "player/key_input.h"
#include "player/playback/playback_control.h"
#include "player/playback/video_area.h"
#include "player/playback/volume.h"
#include "player/playback/volume_control.h"
#include "player/presence.h"
#include "player/skin/button_faces.h"
#include "player/skin/play_pause_button.h"
#include "player/skin/skin_slider.h"
#include "player/skin/window_modes.h"
#include "player/skin/window_skin.h"

class MainWindow : public kavuno::ui::Dialog<MainWindow> {
public:
    MainWindow();
    ~MainWindow() override;

    static const kavuno::ui::MessageEntry<MainWindow> kMessageTable[];

    // Messages of the window's own.
    static constexpr UINT kPresenceSocketMessage = WM_APP + 1;  // socket notifications, never handled
    static constexpr UINT kStartNoticeMessage = WM_APP + 2;
    static constexpr UINT kPresenceResolvedMessage = WM_APP + 3;  // the presence server's address is known

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnCancel() override;

private:
    using BitmapButton = kavuno::ui::BitmapButton;

    // Handlers.
    bool OnPaint(WPARAM, LPARAM, LRESULT& result);
    bool OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result);
    bool OnLButtonDown(WPARAM, LPARAM, LRESULT& result);
    bool OnHoverTimer(WPARAM, LPARAM, LRESULT& result);
    bool OnCtlColor(WPARAM dc, LPARAM control, LRESULT& result);
    bool OnSysCommand(WPARAM command, LPARAM, LRESULT& result);
    bool OnAppCommand(WPARAM, LPARAM command, LRESULT& result);
    void ToggleWindowMode();
    void ToggleTopmost();
    void UpdatePlaybackStatus();
    void PlaySelected(NMHDR* header, LRESULT& result);
    void OnPlayPause();
    void OnFullScreen();
    void OnSeek(NMHDR* header, LRESULT& result);
    void OnMovieListClick(NMHDR* header, LRESULT& result);
    void OnClose();
    void OnMinimize();
    void OnHelp();
    void OnTreeClick(NMHDR* header, LRESULT& result);
    void OnTreeRightClick(NMHDR* header, LRESULT& result);
    void OnSearch();
    bool OnStartNotices(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPresenceResolved(WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The list fills; none clears the list first.
    void ShowRecent();
    void ShowCategory(std::string_view kind, std::string_view parent);
    void ShowWatched();

    // Set-up steps.
    void LoadCategories();
    void LoadRecords();
    void NoticeLastCrash();
    // What the user learns once the window is on the screen, all in one box.
    void AddStartNotice(const std::wstring& text);
    void CreateAdPopup();
    void CreateVideoAreaControls();
    void CreateVolumeControl();
    void CreateToolTips();

    // The video area is repainted and its browser reloads its page (on a mode switch).
    void RefreshBrowser();

    // Playback back to idle (the stop button, and shutdown by the close button).
    void StopPlayback();
    // Shutdown: the ad pop-up, the browser and the two players, in that order.
    void FreeEmbeddedWindows();

    // Members, in the order the window's parts rely on.
    kavuno::skin::SkinSlider positionSlider_;
    kavuno::ui::Control searchType_;
    BitmapButton searchButton_;
    kavuno::player::MovieListView movieList_;
    kavuno::player::CategoryTreeView categoryTree_;
    BitmapButton minimizeButton_;
    BitmapButton maximizeButton_;
    BitmapButton closeButton_;
    BitmapButton fullScreenButton_;
    BitmapButton stopButton_;
    kavuno::skin::PlayPauseButton playPauseButton_;  // shows whether playback plays
    BitmapButton topmostButton_;
    BitmapButton modeButton_;
    HICON icon_ = nullptr;
    kavuno::player::PresenceSocket presence_{kavuno::config::PresenceLocalPort(), kavuno::config::PresencePort()};
    kavuno::ui::ToolTip toolTip_;
    kavuno::skin::WindowSkin skin_;          // the two skins, the mode shown and the brushes
    kavuno::skin::ButtonFaces buttonFaces_;  // the set-up images and the hover flags
    kavuno::skin::WindowModes modes_;        // the mode switch and keeping on top
    std::wstring appDir_;
    kavuno::catalogue::RecordArray records_;
    std::unique_ptr<kavuno::ads::AdPopup> adPopup_;
    kavuno::history::WatchKeeper watched_;        // what the user watched, and where each movie was left
    std::size_t watchedNode_ = 0;                 // the tree's "最近观看" node, last of all
    kavuno::playback::VideoArea videoArea_;       // the three controls and the media player's objects
    kavuno::playback::PlaybackControl playback_;  // the active player and the state of the movie loaded
    kavuno::playback::Volume volume_;             // the user's level and mute, kept between runs
    kavuno::playback::VolumeControl volumeControl_;
    kavuno::player::KeyInput keys_;  // keys, media keys, the wheel

    // What went wrong at start-up (damaged catalogue files, a crash of the
    // last run), for the message shown once the window is up.
    std::wstring startNotices_;
};
