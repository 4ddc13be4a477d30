// The stand-in media player controls under Wine, created by class id through
// the registration as the player creates them and driven by dispatch id:
// simulated streams, a generated clip played for real, hosting, full screen,
// teardown while playing, and the call log.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include "tests/win/stand_in_controls/dispatch_client.h"
#include "tools/testing/test_clips/test_picture.h"

namespace {

using namespace kavuno::stand_in::testing;

// Dispatch ids: RealPlayer, then the media player and its two objects.
enum : DISPID {
    kSource = 102, kResume = 201, kStop = 202, kPlay = 257, kPause = 258, kPosition = 259, kState = 260,
    kLength = 261, kSeek = 269, kFullScreen = 293, kStatus = 331,
};
enum : DISPID { kUrl = 1, kClose = 3, kControls = 4, kCurrentMedia = 6, kPlayState = 10, kWmpStatus = 18,
                kWmpFullScreen = 21, kUiMode = 23 };
enum : DISPID { kCtlPlay = 51, kCtlStop = 52, kCtlPause = 53, kCurrentPosition = 56, kDuration = 757 };

std::wstring g_folder;  // temporary: the media folder and the logs

class StandInEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_EQ(RegisterControls(), S_OK);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        g_folder = std::wstring(temp) + L"kavuno_stand_in_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(g_folder.c_str(), nullptr);
        CreateDirectoryW((g_folder + L"media").c_str(), nullptr);
        // A 3-second clip of the test picture, as the demo's clips are made.
        std::string clip = kavuno::clips::TestClip(160, 120, 10, 3, 1);
        HANDLE file = CreateFileW((g_folder + L"media\\clip.avi").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, clip.data(), static_cast<DWORD>(clip.size()), &written, nullptr);
        CloseHandle(file);
        SetEnvironmentVariableW(L"KAVUNO_STAND_IN_MEDIA", (g_folder + L"media").c_str());
    }
    void TearDown() override { OleUninitialize(); }
};
const auto* g_environment = ::testing::AddGlobalTestEnvironment(new StandInEnvironment);

// A log file of the test's own.
std::wstring UseLog(const wchar_t* name) {
    std::wstring path = g_folder + name;
    DeleteFileW(path.c_str());
    SetEnvironmentVariableW(L"KAVUNO_STAND_IN_LOG", path.c_str());
    return path;
}

const wchar_t kSimulated[] = L"rtsp://kavuno:pw@10.1.2.3/movie/sim/a.rm?length=3&connect=0.4&buffer=0.4";

TEST(StandInControls, RealPlayerSimulatedStreamFromConnectingToTheEnd) {
    Dispatch real = Create(kRealClsid);
    ASSERT_TRUE(real);
    EXPECT_EQ(real.Int(kState), 0);
    ASSERT_EQ(real.PutText(kSource, kSimulated), S_OK);
    EXPECT_EQ(real.Int(kState), 0) << "a source alone does not start";
    ASSERT_EQ(real.Method(kPlay), S_OK);
    EXPECT_EQ(real.Int(kState), 1);
    EXPECT_EQ(real.Text(kStatus), L"正在连接…");
    EXPECT_EQ(real.Int(kLength), 0);
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kState) == 2; }));
    EXPECT_EQ(real.Text(kStatus).rfind(L"正在缓冲：", 0), 0u) << real.Text(kStatus).size();
    EXPECT_EQ(real.Int(kLength), 3000);
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kState) == 3; }));
    EXPECT_EQ(real.Text(kStatus), L"正在播放");
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kPosition) >= 200; }));

    ASSERT_EQ(real.Method(kPause), S_OK);
    EXPECT_EQ(real.Int(kState), 4);
    EXPECT_EQ(real.Text(kStatus), L"已暂停");
    const long paused = real.Int(kPosition);
    ASSERT_EQ(real.Method(kResume), S_OK);
    EXPECT_EQ(real.Int(kState), 3);
    EXPECT_GE(real.Int(kPosition), paused);
    EXPECT_LT(real.Int(kPosition), paused + 200);

    ASSERT_EQ(real.Call(kSeek, DISPATCH_METHOD, {IntArg(2500)}), S_OK);
    EXPECT_GE(real.Int(kPosition), 2500);
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kState) == 0; }, 5000));
    EXPECT_EQ(real.Text(kStatus), L"已停止");

    EXPECT_EQ(real.Method(12345), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(real.Call(kSeek, DISPATCH_METHOD), DISP_E_BADPARAMCOUNT);
}

TEST(StandInControls, MediaPlayerSimulatedStreamStartsByItselfAndEndsStopped) {
    Dispatch wmp = Create(kWmpClsid);
    ASSERT_TRUE(wmp);
    EXPECT_EQ(wmp.Int(kPlayState, DISPATCH_PROPERTYGET), 0);
    ASSERT_EQ(wmp.PutText(kUiMode, L"none"), S_OK);
    Dispatch controls = wmp.Object(kControls);
    ASSERT_TRUE(controls);
    ASSERT_EQ(wmp.PutText(kUrl, kSimulated), S_OK);
    Dispatch media = wmp.Object(kCurrentMedia);
    ASSERT_TRUE(media);
    EXPECT_EQ(media.Double(kDuration), 0.0) << "not known while connecting";
    EXPECT_EQ(wmp.Int(kPlayState, DISPATCH_PROPERTYGET), 9);
    EXPECT_EQ(wmp.Text(kWmpStatus, DISPATCH_PROPERTYGET), L"正在连接…");
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 6; }));
    // Getters may come as methods too.
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_METHOD | DISPATCH_PROPERTYGET) == 3; }));
    EXPECT_EQ(media.Double(kDuration), 3.0);
    EXPECT_EQ(wmp.Text(kWmpStatus, DISPATCH_PROPERTYGET), L"正在播放");

    ASSERT_EQ(controls.Method(kCtlPause), S_OK);
    EXPECT_EQ(wmp.Int(kPlayState, DISPATCH_PROPERTYGET), 2);
    ASSERT_EQ(controls.Method(kCtlPlay), S_OK);
    EXPECT_EQ(wmp.Int(kPlayState, DISPATCH_PROPERTYGET), 3);
    ASSERT_EQ(controls.PutDouble(kCurrentPosition, 2.5), S_OK);
    EXPECT_GE(controls.Double(kCurrentPosition), 2.5);
    EXPECT_EQ(controls.Double(kCurrentPosition, DISPATCH_METHOD | DISPATCH_PROPERTYGET) < 3.0, true);

    // The end: "media ended" first, then stopped.
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 8; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 1; }, 3000));
    EXPECT_EQ(wmp.Text(kWmpStatus, DISPATCH_PROPERTYGET), L"已停止");

    // The media object stays with its address; the next one is new.
    ASSERT_EQ(wmp.PutText(kUrl, L"rtsp://h/b.rm?length=9&connect=5"), S_OK);
    EXPECT_EQ(media.Double(kDuration), 3.0);
    EXPECT_EQ(wmp.Object(kCurrentMedia).Double(kDuration), 0.0);
    ASSERT_EQ(controls.Method(kCtlStop), S_OK);
    EXPECT_EQ(wmp.Int(kPlayState, DISPATCH_PROPERTYGET), 1);
    ASSERT_EQ(wmp.Method(kClose), S_OK);
    EXPECT_EQ(wmp.Int(kPlayState, DISPATCH_PROPERTYGET), 0);
    EXPECT_EQ(controls.Method(99), DISP_E_MEMBERNOTFOUND);

    LPOLESTR name = const_cast<LPOLESTR>(L"playstate");
    DISPID id = 0;
    EXPECT_EQ(wmp.get()->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, kPlayState);
}

// The top colour bars of the test picture drawn through IViewObject: the
// frame the control took from the graph, not a picture of its own.
COLORREF BarColour(IDispatch* control, int bar) {
    IViewObject* view = nullptr;
    if (FAILED(control->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 160, 120);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECTL bounds{0, 0, 160, 120};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
    COLORREF colour = GetPixel(dc, 160 * bar / 7 + 11, 20);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    view->Release();
    return colour;
}

TEST(StandInControls, RealPlayerPlaysAClipOfTheMediaFolder) {
    Dispatch real = Create(kRealClsid);
    ASSERT_EQ(real.PutText(kSource, L"rtsp://10.1.2.3:554/movie/demo/clip.avi"), S_OK);
    ASSERT_EQ(real.Method(kPlay), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kState) == 3 && real.Int(kPosition) > 300; }));
    EXPECT_NEAR(real.Int(kLength), 3000, 150);
    EXPECT_EQ(BarColour(real.get(), 5), RGB(0xC0, 0, 0)) << "the red bar of the clip";
    EXPECT_EQ(BarColour(real.get(), 4), RGB(0xC0, 0, 0xC0)) << "the magenta bar of the clip";
    const long before = real.Int(kPosition);
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kPosition) > before + 300; }));
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kState) == 0; }, 8000)) << "the clip ends";
}

TEST(StandInControls, MediaPlayerPlaysAClipSeeksAndEnds) {
    Dispatch wmp = Create(kWmpClsid);
    Dispatch controls = wmp.Object(kControls);
    ASSERT_EQ(wmp.PutText(kUrl, L"rtsp://10.1.2.3/clip.avi"), S_OK);
    Dispatch media = wmp.Object(kCurrentMedia);
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 3; }));
    ASSERT_TRUE(WaitUntil([&] { return media.Double(kDuration) > 0; }));
    EXPECT_NEAR(media.Double(kDuration), 3.0, 0.15);
    ASSERT_EQ(controls.Method(kCtlPause), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 2; }));
    ASSERT_EQ(controls.PutDouble(kCurrentPosition, 2.0), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return controls.Double(kCurrentPosition) >= 1.9; }));
    ASSERT_EQ(controls.Method(kCtlPlay), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 8; }, 6000));
    ASSERT_TRUE(WaitUntil([&] { return wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 1; }, 3000));
}

// What a standard container does: atl.dll's AtlAxWin creates, sites and
// activates the control in place; its window is a child of the host window.
TEST(StandInControls, HostedByAtlFullScreenAndDestroyedWhilePlaying) {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    ASSERT_TRUE(atl);
    auto axInit = Export<BOOL(WINAPI*)()>(atl, "AtlAxWinInit");
    auto axGetControl = Export<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl");
    ASSERT_TRUE(axInit && axGetControl && axInit());
    for (const wchar_t* clsid : {L"{CFCDAA03-8BE4-11CF-B84B-0020AFBBCCFA}", L"{6BF52A52-394A-11D3-B153-00C04F79FAA6}"}) {
        const bool real = clsid[1] == L'C';
        HWND host = CreateWindowExW(0, L"AtlAxWin", clsid, WS_POPUP | WS_VISIBLE, 10, 10, 320, 240, nullptr, nullptr,
                                    nullptr, nullptr);
        ASSERT_TRUE(host);
        IUnknown* unknown = nullptr;
        ASSERT_EQ(axGetControl(host, &unknown), S_OK);
        IDispatch* raw = nullptr;
        unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&raw));
        unknown->Release();
        Dispatch control(raw);
        ASSERT_TRUE(control);

        HWND picture = FindWindowExW(host, nullptr, L"KavunoStandInPicture", nullptr);
        ASSERT_TRUE(picture) << "in-place window under the host";
        RECT r;
        GetClientRect(picture, &r);
        EXPECT_EQ(r.right, 320);
        EXPECT_EQ(r.bottom, 240);

        if (real) {
            control.PutText(kSource, L"rtsp://h/movie/clip.avi");
            control.Method(kPlay);
            ASSERT_TRUE(WaitUntil([&] { return control.Int(kState) == 3; }));
            control.Method(kFullScreen);
        } else {
            control.PutText(kUrl, L"rtsp://h/clip.avi");
            ASSERT_TRUE(WaitUntil([&] { return control.Int(kPlayState, DISPATCH_PROPERTYGET) == 3; }));
            control.PutBool(kWmpFullScreen, true);
        }
        HWND full = FindWindowW(L"KavunoStandInFullScreen", nullptr);
        ASSERT_TRUE(full);
        EXPECT_TRUE(GetWindowLongW(full, GWL_EXSTYLE) & WS_EX_TOPMOST);
        GetWindowRect(full, &r);
        EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
        SendMessageW(full, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_FALSE(IsWindow(full)) << "Escape leaves full screen";

        // The host goes away while the clip plays; then the last reference.
        DestroyWindow(host);
        EXPECT_FALSE(IsWindow(picture));
        control.Reset();
        PumpPending();  // timer and paint messages still queued find no window
    }
}

TEST(StandInControls, ReleasedWithoutCloseWhileEveryoneIsPlaying) {
    Dispatch real = Create(kRealClsid), wmp = Create(kWmpClsid);
    real.PutText(kSource, L"rtsp://h/clip.avi");
    real.Method(kPlay);
    wmp.PutText(kUrl, L"rtsp://h/clip.avi");
    Dispatch media = wmp.Object(kCurrentMedia);
    ASSERT_TRUE(WaitUntil([&] { return real.Int(kState) == 3 && wmp.Int(kPlayState, DISPATCH_PROPERTYGET) == 3; }));
    const ULONGLONG start = GetTickCount64();
    real.Reset();
    wmp.Reset();
    EXPECT_LT(GetTickCount64() - start, 3000u) << "the graphs stop promptly";
    // The media object outlives its control and still knows its clip.
    EXPECT_NEAR(media.Double(kDuration), 3.0, 0.15);
}

TEST(StandInControls, CallLogHasEveryCallAsOneLine) {
    const std::wstring log = UseLog(L"calls.log");
    {
        Dispatch real = Create(kRealClsid), wmp = Create(kWmpClsid);
        real.PutText(kSource, L"rtsp://h/片花.rm?length=5");
        real.Method(kPlay);
        real.Call(kSeek, DISPATCH_METHOD, {IntArg(75000)});
        real.Call(245, DISPATCH_METHOD, {BoolArg(true)});
        real.Int(kState);
        Dispatch controls = wmp.Object(kControls);
        wmp.PutText(kUrl, L"a\tb");
        controls.PutDouble(kCurrentPosition, 75);
        controls.PutDouble(kCurrentPosition, 2.25);
        wmp.Object(kCurrentMedia).Double(kDuration);
        wmp.PutBool(kWmpFullScreen, false);
        wmp.Method(77);
    }
    SetEnvironmentVariableW(L"KAVUNO_STAND_IN_LOG", nullptr);
    EXPECT_EQ(ReadFileText(log),
              "real\t102\tput\trtsp://h/\xE7\x89\x87\xE8\x8A\xB1.rm?length=5\n"
              "real\t257\tmethod\n"
              "real\t269\tmethod\t75000\n"
              "real\t245\tmethod\ttrue\n"
              "real\t260\tmethod\n"
              "wmp\t4\tget\n"
              "wmp\t1\tput\ta\\tb\n"
              "wmp.controls\t56\tput\t75\n"
              "wmp.controls\t56\tput\t2.25\n"
              "wmp\t6\tget\n"
              "wmp.media\t757\tget\n"
              "wmp\t21\tput\tfalse\n"
              "wmp\t77\tmethod\n");
}

}  // namespace
