// The video area's controls hosted for real: Wine's Web Browser control in a
// test window, talking to a loopback HTTP listener of the test's own; and the
// controls Wine lacks or cannot call, which must leave nothing behind.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/program_log.h"
#include "player/playback/media_player_control.h"
#include "player/playback/real_player_control.h"
#include "player/playback/web_browser_control.h"
#include "tests/win/player/loopback_http_server.h"

namespace {

using kavuno::playback::MediaPlayerControl;
using kavuno::playback::RealPlayerControl;
using kavuno::playback::WebBrowserControl;
using kavuno::testing::LoopbackHttpServer;
using kavuno::testing::UseSite;
using kavuno::ui::ActiveXControl;
using kavuno::ui::ActiveXStatus;

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        // The log goes to a folder of this run's own, emptied: process ids come
        // round again (under Wine, with each new server).
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring folder = std::wstring(temp) + L"kavuno-video-area-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        _wputenv((L"LOCALAPPDATA=" + folder).c_str());
        kavuno::ui::SetLogName(L"video_area_test");
        DeleteFileW(kavuno::ui::LogFilePath().c_str());
    }
    void TearDown() override { OleUninitialize(); }
};
const auto* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// Runs the window messages of this thread until `done` holds or the deadline passes.
template <class Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

std::string LogText() {
    std::ifstream file(std::filesystem::path(kavuno::ui::LogFilePath()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// An input message as the message loop hands it to a filter; the rest is zero.
MSG Input(HWND window, UINT message, WPARAM wParam = 0) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    return msg;
}

// A top-level test window with a frame like the player's video area (a static control) in it.
class VideoAreaWindow {
public:
    VideoAreaWindow() {
        window_ = CreateWindowExW(0, L"STATIC", L"Video area test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 420, 320,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        area_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 320, 240, window_,
                                reinterpret_cast<HMENU>(1015), GetModuleHandleW(nullptr), nullptr);
    }
    ~VideoAreaWindow() {
        if (IsWindow(window_)) DestroyWindow(window_);
    }
    HWND window() const { return window_; }
    HWND area() const { return area_; }
    static constexpr RECT kFullArea = {0, 0, 320, 240};

    int ChildCount() const {
        int count = 0;
        EnumChildWindows(area_, &CountOne, reinterpret_cast<LPARAM>(&count));
        return count;
    }

private:
    static BOOL CALLBACK CountOne(HWND, LPARAM counter) {
        ++*reinterpret_cast<int*>(counter);
        return TRUE;
    }

    HWND window_ = nullptr;
    HWND area_ = nullptr;
};

SIZE ClientSize(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

constexpr DWORD kPlayerStyle = WS_CHILD | WS_MAXIMIZE;

TEST(VideoAreaControls, BrowserIsHostedNavigatesAndGoesAwayCleanly) {
    LoopbackHttpServer server;
    UseSite(server);
    VideoAreaWindow test;
    auto browser = std::make_unique<WebBrowserControl>();
    ASSERT_TRUE(browser->Create(L"Web Browser2", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2026))
        << std::hex << browser->creationError();
    EXPECT_EQ(browser->status(), ActiveXStatus::Created);
    EXPECT_NE(browser->dispatch(), nullptr);

    // The host window is what the caller asked for, and the control lives inside it.
    HWND host = browser->hwnd();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(GetParent(host), test.area());
    EXPECT_EQ(GetDlgCtrlID(host), 2026);
    EXPECT_EQ(GetDlgItem(test.area(), 2026), host);
    wchar_t name[32] = {};
    GetWindowTextW(host, name, 32);
    EXPECT_STREQ(name, L"Web Browser2");
    EXPECT_FALSE(IsWindowVisible(host));  // created hidden
    ShowWindow(host, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(host));
    HWND inner = GetWindow(host, GW_CHILD);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(ClientSize(host).cx, 320);
    EXPECT_EQ(ClientSize(inner).cx, 320);
    EXPECT_EQ(ClientSize(inner).cy, 240);

    // The control follows its host's size.
    MoveWindow(host, 0, 0, 200, 120, TRUE);
    EXPECT_EQ(ClientSize(inner).cx, 200);
    EXPECT_EQ(ClientSize(inner).cy, 120);

    EXPECT_TRUE(SUCCEEDED(browser->SetResizable(false)));

    // Navigate sends a real request for the path, and the address reads back.
    const std::string address = server.Address("/ad/ads.asp");
    EXPECT_EQ(browser->Navigate(address), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !server.RequestLines().empty(); }));
    ASSERT_FALSE(server.RequestLines().empty());
    EXPECT_EQ(server.RequestLines().front().rfind("GET /ad/ads.asp HTTP/1.", 0), 0u) << server.RequestLines().front();
    EXPECT_TRUE(PumpUntil([&] { return browser->GetLocationURL() == address; })) << browser->GetLocationURL();

    const std::string second = server.Address("/film/soft.asp?id=42");
    EXPECT_EQ(browser->Navigate(second), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return browser->GetLocationURL() == second; })) << browser->GetLocationURL();
    EXPECT_TRUE(PumpUntil([&] { return server.RequestLines().size() >= 2; }));
    EXPECT_EQ(server.RequestLines().back().rfind("GET /film/soft.asp?id=42 HTTP/1.", 0), 0u)
        << server.RequestLines().back();

    // Without Gecko there is no document to reload and Wine says E_FAIL; a
    // wrong dispatch id or argument count would say otherwise.
    HRESULT refreshed = browser->Refresh();
    EXPECT_TRUE(refreshed == S_OK || refreshed == E_FAIL) << std::hex << refreshed;

    // Deleting the wrapper takes its windows with it.
    browser.reset();
    EXPECT_FALSE(IsWindow(host));
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_EQ(test.ChildCount(), 0);
    PumpUntil([] { return false; }, std::chrono::milliseconds(200));  // late messages find nothing to crash on
}

TEST(VideoAreaControls, PanelShowsTheSiteOnlyAndSendsTheRestOutsideOrNowhere) {
    LoopbackHttpServer server;
    UseSite(server);
    VideoAreaWindow test;
    WebBrowserControl browser;
    ASSERT_TRUE(browser.Create(L"Web Browser2", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2026));
    std::vector<std::wstring> outside;
    browser.SetOutsideOpener([&](const std::wstring& url) { outside.push_back(url); });
    const std::string home = server.Address("/ad/ads.asp");
    ASSERT_EQ(browser.Navigate(home), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return browser.GetLocationURL() == home; })) << browser.GetLocationURL();

    // Pages the control would show if nothing stopped it: a local file, a
    // share, a script, a shell resource. Each is refused as it starts.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring local = std::wstring(temp) + L"kavuno-local-page.htm";
    std::ofstream(std::filesystem::path(local)) << "<html>local</html>";
    std::string fileUrl = "file:///";
    for (wchar_t c : local) fileUrl += c == L'\\' ? '/' : static_cast<char>(c);
    const std::string elsewhere = "http://localhost:" + server.Address("").substr(17) + "/elsewhere";
    auto refusals = [] {
        const std::string log = LogText();
        std::size_t count = 0;
        for (auto at = log.find("refused: page: "); at != std::string::npos; at = log.find("refused: page: ", at + 1))
            ++count;
        return count;
    };
    for (const std::string& refused :
         {fileUrl, std::string("\\\\127.0.0.1\\share\\x.htm"), std::string("JavaScript:document.write(1)"),
          std::string("res://shdoclc.dll/x")}) {
        const std::size_t before = refusals();
        // A script address is the page's own: the player never sends one.
        EXPECT_EQ(browser.Navigate(refused), refused[0] == 'J' ? E_INVALIDARG : S_OK) << refused;
        EXPECT_TRUE(PumpUntil([&] { return refusals() == before + 1; })) << refused << "\n" << LogText();
        EXPECT_EQ(browser.GetLocationURL(), home) << refused;
    }
    // Another site's page opens outside only right after a click or a key in
    // the panel, once for each; the panel stays.
    auto notOpened = [] {
        const std::string log = LogText();
        std::size_t count = 0;
        for (auto at = log.find("not opened outside"); at != std::string::npos;
             at = log.find("not opened outside", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(browser.Navigate(elsewhere), S_OK);  // no input at all
    EXPECT_TRUE(PumpUntil([&] { return notOpened() == 1; })) << LogText();
    const HWND inner = GetWindow(browser.hwnd(), GW_CHILD);
    browser.NoteInput(Input(test.area(), WM_LBUTTONDOWN));  // the video area's own window is not the panel
    browser.NoteInput(Input(inner ? inner : browser.hwnd(), WM_MOUSEMOVE));
    EXPECT_EQ(browser.Navigate(elsewhere + "1"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return notOpened() == 2; })) << LogText();
    browser.NoteInput(Input(inner ? inner : browser.hwnd(), WM_LBUTTONDOWN));
    EXPECT_EQ(browser.Navigate(elsewhere + "2"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !outside.empty(); }));
    EXPECT_EQ(outside, std::vector<std::wstring>{std::wstring(elsewhere.begin(), elsewhere.end()) + L"2"});
    EXPECT_EQ(browser.Navigate(elsewhere + "3"), S_OK);  // a second one without another input
    EXPECT_TRUE(PumpUntil([&] { return notOpened() == 3; })) << LogText();
    browser.NoteInput(Input(browser.hwnd(), WM_KEYDOWN, VK_RETURN));
    EXPECT_EQ(browser.Navigate(elsewhere + "4"), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return outside.size() == 2; }));
    EXPECT_EQ(browser.GetLocationURL(), home);

    // The site's own pages still load, and none of the others was asked for.
    const std::string details = server.Address("/film/soft.asp?id=42");
    EXPECT_EQ(browser.Navigate(details), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return browser.GetLocationURL() == details; })) << browser.GetLocationURL();
    for (const std::string& line : server.RequestLines()) EXPECT_EQ(line.find("elsewhere"), std::string::npos) << line;
    DeleteFileW(local.c_str());
}

TEST(VideoAreaControls, DestroyingTheParentFirstReleasesTheControl) {
    WebBrowserControl browser;
    {
        VideoAreaWindow test;
        ASSERT_TRUE(browser.Create(L"Web Browser2", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2026));
        ASSERT_NE(browser.hwnd(), nullptr);
    }
    EXPECT_EQ(browser.hwnd(), nullptr);
    EXPECT_EQ(browser.dispatch(), nullptr);
    EXPECT_EQ(browser.status(), ActiveXStatus::NotCreated);
    EXPECT_EQ(browser.Navigate("http://127.0.0.1:9/"), E_POINTER);
    EXPECT_EQ(browser.GetLocationURL(), "");
}

TEST(VideoAreaControls, ControlsThatCannotBeCalledLeaveNoWindowAndIgnoreCalls) {
    VideoAreaWindow test;

    // No RealPlayer in this prefix.
    RealPlayerControl real;
    EXPECT_FALSE(real.Create(L"Rm Player", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2024));
    EXPECT_EQ(real.status(), ActiveXStatus::NotRegistered);
    EXPECT_EQ(real.creationError(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(real.hwnd(), nullptr);
    EXPECT_EQ(real.SetSource("rtsp://127.0.0.1/movie/a.rm"), E_POINTER);
    EXPECT_EQ(real.Play(), E_POINTER);
    EXPECT_EQ(real.GetPlayState(), 0);
    EXPECT_EQ(real.GetLength(), 0);
    EXPECT_EQ(real.GetStatusText(), "");
    EXPECT_FALSE(real.QueryAfterStop());
    ShowWindow(real.hwnd(), SW_SHOW);  // what the status display does; must be harmless

    // Wine's own media player control comes up but has no IDispatch.
    MediaPlayerControl wmp;
    EXPECT_FALSE(wmp.Create(L"Wmv Player", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2024));
    EXPECT_EQ(wmp.status(), ActiveXStatus::NoDispatch) << std::hex << wmp.creationError();
    EXPECT_EQ(wmp.creationError(), E_NOINTERFACE);
    EXPECT_EQ(wmp.hwnd(), nullptr);
    EXPECT_EQ(wmp.SetUiMode("none"), E_POINTER);
    EXPECT_FALSE(wmp.GetControls());
    EXPECT_EQ(kavuno::playback::wmp_controls::Pause(wmp.GetControls()), E_POINTER);
    EXPECT_EQ(kavuno::playback::wmp_media::GetDuration(wmp.GetCurrentMedia()), 0.0);

    // A registered class that is no control at all (the shell's link object).
    const CLSID shellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    ActiveXControl notAControl;
    EXPECT_FALSE(notAControl.Create(shellLink, L"", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 7));
    EXPECT_EQ(notAControl.status(), ActiveXStatus::CreationFailed);
    EXPECT_EQ(notAControl.hwnd(), nullptr);

    EXPECT_EQ(test.ChildCount(), 0);

    // Creating again replaces the control made before.
    WebBrowserControl browser;
    ASSERT_TRUE(browser.Create(L"Web Browser2", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2026));
    HWND first = browser.hwnd();
    ASSERT_TRUE(browser.Create(L"Web Browser2", kPlayerStyle, VideoAreaWindow::kFullArea, test.area(), 2026));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(GetDlgItem(test.area(), 2026), browser.hwnd());
}

}  // namespace
