// Playback hosted for real: PlaybackControl and the video area in the skin's
// test window (its play/pause button, slider and two texts, and a frame
// IDC_VIDEO_AREA added), the stand-in media player controls registered in the
// test's prefix and read back through their call log, and a web site of the
// test's own.
// What one long end-to-end session cannot isolate: switching players without
// a stop, actions with nothing loaded, pause and status on each player, the
// slider, a page reload while a movie plays, and the order of shutdown.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/gbk_win.h"
#include "framework/program_log.h"
#include "player/ads/ad_pages.h"
#include "player/catalogue/movie_record.h"
#include "player/playback/playback_control.h"
#include "player/playback/video_area.h"
#include "tests/win/player/loopback_http_server.h"
#include "tests/win/player/skin_test_window.h"
#include "tests/win/stand_in_controls/stand_in_support.h"

namespace {

using kavuno::catalogue::MovieRecord;
using kavuno::catalogue::RecordFields;
using kavuno::playback::PlaybackControl;
using kavuno::playback::VideoArea;
using kavuno::skin::testing::Shows;
using kavuno::skin::testing::SkinTestWindow;
using kavuno::stand_in::testing::ReadFileText;
using kavuno::stand_in::testing::WaitUntil;
using kavuno::testing::LoopbackHttpServer;
using Lines = std::vector<std::string>;

std::wstring g_folder;  // this run's: the call log and the program log

class PlaybackEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_EQ(kavuno::stand_in::testing::RegisterControls(), S_OK);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        g_folder = std::wstring(temp) + L"kavuno-playback-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(g_folder.c_str(), nullptr);
        // Process ids come round again (under Wine, with each new server).
        DeleteFileW((g_folder + L"calls.log").c_str());
        SetEnvironmentVariableW(L"KAVUNO_STAND_IN_LOG", (g_folder + L"calls.log").c_str());
        _wputenv((L"LOCALAPPDATA=" + g_folder).c_str());
        kavuno::ui::SetLogName(L"playback_test");
    }
    void TearDown() override { OleUninitialize(); }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new PlaybackEnvironment);

constexpr wchar_t kIdleTime[] = L"00:00:00/00:00:00";
constexpr wchar_t kIdleStatus[] = L"长时间观看注意眼睛休息！！";
// A simulated stream that plays at once and stands still at 1:15 of 10:00.
constexpr char kStream[] = "a.rm?length=600&start=75&speed=0&connect=0&buffer=0";
constexpr char kServer[] = "rtsp://127.0.0.1/";
const std::string kAddress = std::string(kServer) + "sim/" + kStream;

MovieRecord Movie(const char* title, int player, int video) {
    RecordFields fields;
    fields.title = title;
    fields.server = kServer;
    fields.path = "sim/";
    fields.file = kStream;
    fields.playable = 1;
    fields.player = player;
    fields.video = video;
    return MovieRecord(fields);
}

// The window, its video area and playback, wired as the main window wires them.
class PlaybackWindow {
public:
    PlaybackWindow() {
        kavuno::testing::UseSite(site);
        window.Open();
        frame = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 380, 60, 320, 240, window.hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIDEO_AREA)),
                                GetModuleHandleW(nullptr), nullptr);
        playback.Attach(window.hwnd());
        area.Create(frame, kavuno::ads::AdPage());
        mark = AllCalls().size();
    }
    ~PlaybackWindow() {
        area.Destroy();
        window.EndDialog(IDCANCEL);
    }

    std::wstring Text(int id) const {
        wchar_t text[256] = {};
        GetDlgItemTextW(window.hwnd(), id, text, 256);
        return text;
    }
    bool FrameEnabled() const { return IsWindowEnabled(frame) != FALSE; }
    bool RealShown() { return IsWindowVisible(area.realPlayer().hwnd()) != FALSE; }
    bool MediaShown() { return IsWindowVisible(area.mediaPlayer().hwnd()) != FALSE; }
    int SliderPosition() { return static_cast<int>(window.slider.Send(TBM_GETPOS)); }

    static Lines AllCalls() {
        Lines lines;
        const std::string text = ReadFileText(g_folder + L"calls.log");
        for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }
    // The calls since the last look.
    Lines Calls() {
        Lines all = AllCalls();
        Lines since(all.begin() + static_cast<std::ptrdiff_t>(std::min(mark, all.size())), all.end());
        mark = all.size();
        return since;
    }
    // Status ticks until the status line says `status` (the stand-ins take a
    // moment to connect); the calls are left for Calls.
    bool TickUntil(const std::wstring& status) {
        return WaitUntil([&] {
            playback.UpdatePlaybackStatus();
            return Text(IDC_STATUS_LINE) == status;
        });
    }
    int PageRequests(const std::string& path) const {
        const Lines lines = site.RequestLines();
        const std::string request = "GET " + path + " HTTP/";
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [&](const std::string& line) { return line.rfind(request, 0) == 0; }));
    }
    bool WaitForPage(const std::string& path, int count) {
        return WaitUntil([&] { return PageRequests(path) >= count; });
    }

    LoopbackHttpServer site;
    SkinTestWindow window;
    HWND frame = nullptr;
    VideoArea area;
    PlaybackControl playback{area, window.slider, window.playPause};
    std::size_t mark = 0;
};

const std::string kReal = "real\t";
const std::string kSource = kReal + "102\tput\t" + kAddress;
// Each start tells the player the volume (by name; the stand-ins' ids).
const Lines kStartOnReal = {"wmp\t3\tmethod", kSource, "real\t257\tmethod", "real\t600\tmethod\t100",
                            "real\t601\tmethod\tfalse"};
const Lines kStartOnMedia = {
    "real\t202\tmethod",           "real\t267\tmethod", "wmp\t1\tput\t" + kAddress,     "wmp\t6\tget", "wmp\t5\tget",
    "wmp.settings\t104\tput\t100", "wmp\t5\tget",       "wmp.settings\t108\tput\tfalse"};
const Lines kRealTick = {"real\t261\tmethod", "real\t259\tmethod", "real\t260\tmethod"};
const Lines kMediaTick = {"wmp.controls\t56\tget", "wmp.media\t757\tget", "wmp\t10\tget"};

TEST(PlaybackControl, NothingLoadedReachesNoControlAndPlayersSwitchWithoutAStop) {
    PlaybackWindow w;
    ASSERT_TRUE(w.area.RealPlayerReady() && w.area.MediaPlayerReady()) << "the stand-ins are registered";
    ASSERT_TRUE(w.WaitForPage("/ad/ads.asp", 1));

    // Nothing loaded: play/pause, full screen, seek and a tick call nothing;
    // stop still enables the area, hides both players, shows the ad page and
    // the idle texts, and leaves the button's look alone.
    w.window.playPause.ShowPlaying(true, false);
    SetDlgItemTextW(w.window.hwnd(), IDC_STATUS_LINE, L"x");
    EnableWindow(w.frame, FALSE);
    w.playback.OnPlayPause();
    w.playback.OnFullScreen();
    w.playback.OnSeek();
    w.playback.UpdatePlaybackStatus();
    w.playback.StopPlayback();
    EXPECT_EQ(w.Calls(), Lines{});
    EXPECT_TRUE(w.FrameEnabled());
    EXPECT_EQ(w.Text(IDC_STATUS_LINE), kIdleStatus);
    EXPECT_TRUE(w.window.playPause.ShowsPlaying());
    EXPECT_FALSE(w.playback.MovieLoaded() || w.playback.Playing());
    EXPECT_TRUE(w.WaitForPage("/ad/ads.asp", 2));
    w.window.playPause.ShowPlaying(false, false);

    // On the RealPlayer: the start page, the area disabled, the pause look,
    // no picture before a tick has seen the movie play.
    w.playback.Start(Movie("Alpha", 0, 1), 1);
    EXPECT_EQ(w.Calls(), kStartOnReal);
    EXPECT_FALSE(w.FrameEnabled());
    EXPECT_TRUE(w.playback.Playing());
    EXPECT_TRUE(Shows(w.window.playPause, IDB_PAUSE));
    EXPECT_FALSE(w.RealShown() || w.MediaShown());
    EXPECT_TRUE(w.WaitForPage("/ad/cache.asp", 1));
    ASSERT_TRUE(w.TickUntil(L"正在播放：[Alpha]"));
    EXPECT_TRUE(w.RealShown());
    w.playback.UpdatePlaybackStatus();
    EXPECT_TRUE(w.RealShown()) << "a further tick leaves the picture up";
    EXPECT_EQ(w.Text(IDC_PLAY_TIME), L"00:01:15/00:10:00");
    EXPECT_EQ(w.SliderPosition(), 75);
    EXPECT_EQ(w.window.slider.Send(TBM_GETRANGEMAX), 600);
    Lines tick = w.Calls();
    ASSERT_GE(tick.size(), 3u);
    EXPECT_EQ(Lines(tick.end() - 3, tick.end()), kRealTick) << "a playing tick reads no status text";

    // A second movie on the other player, and back, and on the same one:
    // the old player is closed or stopped by the start, never by a stop
    // call; both pictures hidden; the pause look stays; the area stays off.
    struct Switch {
        const char* title;
        int player;
        const Lines& calls;
    };
    for (const Switch& next :
         {Switch{"Beta", 1, kStartOnMedia}, Switch{"Gamma", 0, kStartOnReal}, Switch{"Delta", 0, kStartOnReal}}) {
        SCOPED_TRACE(next.title);
        w.playback.Start(Movie(next.title, next.player, 1), 1);
        EXPECT_EQ(w.Calls(), next.calls);
        EXPECT_FALSE(w.RealShown() || w.MediaShown());
        EXPECT_TRUE(w.window.playPause.ShowsPlaying());
        EXPECT_TRUE(Shows(w.window.playPause, IDB_PAUSE));
        EXPECT_FALSE(w.FrameEnabled());
        ASSERT_TRUE(w.TickUntil(L"正在播放：[" + kavuno::gbk::ToWide(next.title) + L"]"));
        EXPECT_EQ(w.RealShown(), next.player == 0);
        EXPECT_EQ(w.MediaShown(), next.player != 0);
        tick = w.Calls();
        ASSERT_GE(tick.size(), 3u);
        EXPECT_EQ(Lines(tick.end() - 3, tick.end()), next.player == 0 ? kRealTick : kMediaTick);
    }

    // Stop: the RealPlayer's stop, the play look, the idle window, no timer.
    w.playback.StopPlayback();
    EXPECT_EQ(w.Calls(), Lines{"real\t202\tmethod"});
    EXPECT_TRUE(w.FrameEnabled());
    EXPECT_FALSE(w.RealShown() || w.MediaShown());
    EXPECT_TRUE(Shows(w.window.playPause, IDB_PLAY));
    EXPECT_EQ(w.Text(IDC_PLAY_TIME), kIdleTime);
    EXPECT_EQ(w.Text(IDC_STATUS_LINE), kIdleStatus);
    EXPECT_FALSE(KillTimer(w.window.hwnd(), PlaybackControl::kStatusTimer)) << "timer 2 is off";
    EXPECT_TRUE(w.WaitForPage("/ad/ads.asp", 3));
    const std::string log = ReadFileText(kavuno::ui::LogFilePath());
    EXPECT_NE(log.find("play: 《Beta》 on Windows Media Player: " + kAddress), std::string::npos) << log;
    EXPECT_NE(log.find("play: 《Delta》 on RealPlayer: " + kAddress), std::string::npos) << log;
    EXPECT_NE(log.find("stop: 《Delta》"), std::string::npos) << log;
    EXPECT_EQ(log.find("stop: 《Alpha》"), std::string::npos) << "no stop between movies";
}

TEST(PlaybackControl, PauseResumeStatusFullScreenAndTheSliderOnEachPlayer) {
    PlaybackWindow w;

    // The media player: pause and resume by its controls object, its own
    // status text while paused (no "已暂停" of ours), and its picture hidden.
    w.playback.Start(Movie("Media", 1, 1), 1);
    ASSERT_TRUE(w.TickUntil(L"正在播放：[Media]"));
    ASSERT_TRUE(w.MediaShown());
    w.Calls();
    // The volume reaches the player that plays: only what changed.
    w.playback.SetVolume({35, false});
    EXPECT_EQ(w.Calls(), (Lines{"wmp\t5\tget", "wmp.settings\t104\tput\t35"}));
    w.playback.SetVolume({35, true});
    EXPECT_EQ(w.Calls(), (Lines{"wmp\t5\tget", "wmp.settings\t108\tput\ttrue"}));
    w.playback.OnPlayPause();
    EXPECT_EQ(w.Calls(), Lines{"wmp.controls\t53\tmethod"});
    EXPECT_FALSE(w.playback.Playing());
    EXPECT_TRUE(Shows(w.window.playPause, IDB_PLAY_HOVER)) << "the play look, under the pointer";
    w.playback.UpdatePlaybackStatus();
    EXPECT_EQ(w.Calls(), (Lines{"wmp.controls\t56\tget", "wmp.media\t757\tget", "wmp\t10\tget", "wmp\t18\tget"}));
    EXPECT_EQ(w.Text(IDC_STATUS_LINE), L"已暂停") << "the control's own text";
    EXPECT_FALSE(w.MediaShown());
    w.playback.OnPlayPause();
    EXPECT_EQ(w.Calls(), Lines{"wmp.controls\t51\tmethod"});
    EXPECT_TRUE(w.playback.Playing());
    EXPECT_TRUE(Shows(w.window.playPause, IDB_PAUSE_HOVER));
    w.playback.OnFullScreen();
    EXPECT_EQ(w.Calls(), Lines{"wmp\t21\tput\ttrue"});
    ASSERT_TRUE(w.TickUntil(L"正在播放：[Media]"));

    // The slider: moved by keys, it seeks nothing and the next tick puts the
    // thumb back; held, the ticks leave it alone, and its release seeks.
    w.Calls();
    SetFocus(w.window.slider.hwnd());
    w.window.slider.Send(WM_KEYDOWN, VK_RIGHT, 0);
    w.window.slider.Send(WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(w.SliderPosition(), 76);
    EXPECT_TRUE(w.window.seen.empty()) << "a key is no release of the slider";
    w.playback.UpdatePlaybackStatus();
    EXPECT_EQ(w.SliderPosition(), 75);
    EXPECT_EQ(w.Calls(), kMediaTick);
    RECT thumb = {};
    w.window.slider.Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const LPARAM onThumb = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    w.window.slider.Send(WM_LBUTTONDOWN, MK_LBUTTON, onThumb);
    w.window.slider.Send(TBM_SETPOS, TRUE, 120);
    w.playback.UpdatePlaybackStatus();
    EXPECT_EQ(w.SliderPosition(), 120) << "the user holds it";
    w.window.slider.Send(WM_LBUTTONUP, 0, onThumb);
    ASSERT_EQ(w.window.seen.size(), 1u);
    w.Calls();
    w.playback.OnSeek();  // as the main window does on the release
    EXPECT_EQ(w.Calls(), Lines{"wmp.controls\t56\tput\t120"});
    // A seek key: from where it plays, within the movie, as the slider would.
    const Lines read = {"wmp.controls\t56\tget", "wmp.media\t757\tget", "wmp\t10\tget"};
    w.playback.SeekBy(-60);
    EXPECT_EQ(w.Calls(), (Lines{read[0], read[1], read[2], "wmp.controls\t56\tput\t60"}));
    EXPECT_EQ(w.SliderPosition(), 60);
    w.playback.SeekBy(-600);
    EXPECT_EQ(w.Calls(), (Lines{read[0], read[1], read[2], "wmp.controls\t56\tput\t0"}));

    // The RealPlayer without a picture: paused, it shows the control's own
    // status text and never its window; its seek is in milliseconds (the
    // ticks have put the slider back at 75 s), its full screen from a pause.
    w.playback.Start(Movie("Real", 0, 0), 1);
    ASSERT_TRUE(w.TickUntil(L"正在播放：[Real]"));
    EXPECT_FALSE(w.RealShown());
    w.Calls();
    w.playback.OnPlayPause();
    EXPECT_EQ(w.Calls(), Lines{"real\t258\tmethod"});
    EXPECT_TRUE(w.TickUntil(L"已暂停"));
    Lines paused = w.Calls();
    ASSERT_GE(paused.size(), 4u);
    EXPECT_EQ(paused.back(), "real\t331\tmethod") << "the control's status text";
    EXPECT_FALSE(w.RealShown());
    w.playback.OnSeek();
    w.playback.OnFullScreen();
    w.playback.OnPlayPause();
    EXPECT_EQ(w.Calls(), (Lines{"real\t269\tmethod\t75000", "real\t258\tmethod", "real\t293\tmethod",
                                "real\t257\tmethod", "real\t201\tmethod"}));
    EXPECT_TRUE(Shows(w.window.playPause, IDB_PAUSE_HOVER));

    // With a picture: paused is our "已暂停", read without the control's text,
    // and the picture goes; then pause and stop give the play look and idle texts.
    w.playback.Start(Movie("Real2", 0, 1), 1);
    ASSERT_TRUE(w.TickUntil(L"正在播放：[Real2]"));
    ASSERT_TRUE(w.RealShown());
    w.playback.OnPlayPause();
    w.Calls();
    ASSERT_TRUE(w.TickUntil(L"已暂停"));
    paused = w.Calls();
    EXPECT_EQ(std::count(paused.begin(), paused.end(), "real\t331\tmethod"), 0);
    EXPECT_FALSE(w.RealShown());
    w.playback.StopPlayback();
    EXPECT_EQ(w.Calls(), Lines{"real\t202\tmethod"});
    EXPECT_TRUE(Shows(w.window.playPause, IDB_PLAY));
    EXPECT_FALSE(w.playback.MovieLoaded() || w.playback.Playing());
    EXPECT_EQ(w.Text(IDC_PLAY_TIME), kIdleTime);
    EXPECT_EQ(w.Text(IDC_STATUS_LINE), kIdleStatus);
}

// The windows destroyed, by name, while a hook of this thread watches.
std::vector<std::wstring> g_destroyed;
LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) {
        wchar_t name[64] = {};
        GetWindowTextW(reinterpret_cast<HWND>(wParam), name, 64);
        const std::wstring text = name;
        if (text == L"Web Browser2" || text == L"Rm Player" || text == L"Wmv Player") g_destroyed.push_back(text);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The mode switch and the close button belong to the main window (and so do
// the "Quit" datagram and a series' episodes); what they ask of the video
// area is tested here: the page reloaded, and the controls let go of while a
// movie plays.
TEST(PlaybackControl, PageReloadLeavesPlaybackAloneAndShutdownReleasesBrowserThenPlayersWithoutAStop) {
    PlaybackWindow w;
    w.playback.Start(Movie("Media", 1, 1), 1);
    ASSERT_TRUE(w.TickUntil(L"正在播放：[Media]"));
    ASSERT_TRUE(w.WaitForPage("/ad/cache.asp", 1));
    w.Calls();
    w.area.Repaint();
    // (Wine's browser, without an engine to render with, answers E_FAIL and
    // loads nothing again: the reload itself is the end-to-end test's.)
    w.area.browser().Refresh();
    EXPECT_EQ(w.Calls(), Lines{}) << "no player is touched";
    EXPECT_TRUE(w.MediaShown());
    w.playback.UpdatePlaybackStatus();
    EXPECT_EQ(w.Text(IDC_STATUS_LINE), L"正在播放：[Media]");
    EXPECT_TRUE(w.playback.MovieLoaded() && w.playback.Playing());

    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchDestruction, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    w.area.Destroy();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_destroyed, (std::vector<std::wstring>{L"Web Browser2", L"Rm Player", L"Wmv Player"}));
    for (const std::string& call : w.Calls()) {
        EXPECT_NE(call, "wmp.controls\t52\tmethod");
        EXPECT_NE(call, "real\t202\tmethod");
    }
    EXPECT_FALSE(w.area.RealPlayerReady() || w.area.MediaPlayerReady());
}

}  // namespace
