// The stand-in media player controls under Wine, created by the player's class
// ids through the registration and called by dispatch id as the player calls
// them (the stand-ins' own ids, named as the player names them): simulated
// streams, a generated clip played for real, hosting, full screen, teardown
// while playing, and the call log.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <string>

#include "common/gbk_win.h"
#include "common/ownership.h"
#include "framework/ownership.h"
#include "player/playback/media_player_control.h"
#include "player/playback/real_player_control.h"
#include "tests/win/stand_in_controls/stand_in_support.h"
#include "tools/testing/stand_in_controls/dispatch_ids.h"
#include "tools/testing/test_clips/test_picture.h"

namespace {

using namespace kavuno::stand_in::testing;
using kavuno::ui::DispatchHolder;
using kavuno::ui::DispatchKind;
namespace real_ids = kavuno::stand_in::real_player_ids;
namespace wmp_ids = kavuno::stand_in::media_player_ids;

const CLSID& kRealClsid = kavuno::playback::RealPlayerControl::kClassId;
const CLSID& kWmpClsid = kavuno::playback::MediaPlayerControl::kClassId;
constexpr DispatchKind kMethod = DispatchKind::Method;
constexpr DispatchKind kGet = DispatchKind::PropertyGet;
constexpr DispatchKind kPut = DispatchKind::PropertyPut;
// How script hosts call a getter, which the controls must take too.
constexpr auto kMethodOrGet = static_cast<DispatchKind>(DISPATCH_METHOD | DISPATCH_PROPERTYGET);

// Results, with a value no control gives when the call fails.
std::int32_t Int(const DispatchHolder& object, DISPID id, DispatchKind kind = kMethod) {
    const auto result = object.Call<std::int32_t>(id, kind);
    return result.ok() ? result.value : -999;
}
double Double(const DispatchHolder& object, DISPID id, DispatchKind kind = kGet) {
    const auto result = object.Call<double>(id, kind);
    return result.ok() ? result.value : -999;
}
std::wstring Text(const DispatchHolder& object, DISPID id, DispatchKind kind = kMethod) {
    const auto result = object.Call<std::string>(id, kind);
    return result.ok() ? kavuno::gbk::ToWide(result.value) : L"<none>";
}
DispatchHolder Object(const DispatchHolder& object, DISPID id) {
    return std::move(object.Call<DispatchHolder>(id, kGet).value);
}
HRESULT PutText(const DispatchHolder& object, DISPID id, const std::wstring& text) {
    return object.Call(id, kPut, {kavuno::gbk::FromWide(text)}).hr;
}

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
        {
            const kavuno::win::OwnedHandle file(CreateFileW((g_folder + L"media\\clip.avi").c_str(), GENERIC_WRITE, 0,
                                                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
            DWORD written = 0;
            WriteFile(file.get(), clip.data(), static_cast<DWORD>(clip.size()), &written, nullptr);
        }
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
    DispatchHolder real = Create(kRealClsid);
    ASSERT_TRUE(real);
    EXPECT_EQ(Int(real, real_ids::kPlayState), 0);
    ASSERT_EQ(PutText(real, real_ids::kSource, kSimulated), S_OK);
    EXPECT_EQ(Int(real, real_ids::kPlayState), 0) << "a source alone does not start";
    ASSERT_EQ(real.Call(real_ids::kPlay, kMethod).hr, S_OK);
    EXPECT_EQ(Int(real, real_ids::kPlayState), 1);
    EXPECT_EQ(Text(real, real_ids::kStatusText), L"正在连接…");
    EXPECT_EQ(Int(real, real_ids::kLength), 0);
    ASSERT_TRUE(WaitUntil([&] { return Int(real, real_ids::kPlayState) == 2; }));
    EXPECT_EQ(Text(real, real_ids::kStatusText).rfind(L"正在缓冲：", 0), 0u)
        << Text(real, real_ids::kStatusText).size();
    EXPECT_EQ(Int(real, real_ids::kLength), 3000);
    ASSERT_TRUE(WaitUntil([&] { return Int(real, real_ids::kPlayState) == 3; }));
    EXPECT_EQ(Text(real, real_ids::kStatusText), L"正在播放");
    ASSERT_TRUE(WaitUntil([&] { return Int(real, real_ids::kPosition) >= 200; }));

    ASSERT_EQ(real.Call(real_ids::kPause, kMethod).hr, S_OK);
    EXPECT_EQ(Int(real, real_ids::kPlayState), 4);
    EXPECT_EQ(Text(real, real_ids::kStatusText), L"已暂停");
    const long paused = Int(real, real_ids::kPosition);
    ASSERT_EQ(real.Call(real_ids::kResume, kMethod).hr, S_OK);
    EXPECT_EQ(Int(real, real_ids::kPlayState), 3);
    EXPECT_GE(Int(real, real_ids::kPosition), paused);
    EXPECT_LT(Int(real, real_ids::kPosition), paused + 200);

    ASSERT_EQ(real.Call(real_ids::kSeek, kMethod, {2500}).hr, S_OK);
    EXPECT_GE(Int(real, real_ids::kPosition), 2500);
    ASSERT_TRUE(WaitUntil([&] { return Int(real, real_ids::kPlayState) == 0; }, 5000));
    EXPECT_EQ(Text(real, real_ids::kStatusText), L"已停止");

    EXPECT_EQ(real.Call(12345, kMethod).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(real.Call(real_ids::kSeek, kMethod).hr, DISP_E_BADPARAMCOUNT);
}

TEST(StandInControls, MediaPlayerSimulatedStreamStartsByItselfAndEndsStopped) {
    DispatchHolder wmp = Create(kWmpClsid);
    ASSERT_TRUE(wmp);
    EXPECT_EQ(Int(wmp, wmp_ids::kPlayState, kGet), 0);
    ASSERT_EQ(PutText(wmp, wmp_ids::kUiMode, L"none"), S_OK);
    DispatchHolder controls = Object(wmp, wmp_ids::kControls);
    ASSERT_TRUE(controls);
    ASSERT_EQ(PutText(wmp, wmp_ids::kURL, kSimulated), S_OK);
    DispatchHolder media = Object(wmp, wmp_ids::kCurrentMedia);
    ASSERT_TRUE(media);
    EXPECT_EQ(Double(media, wmp_ids::kMediaDuration), 0.0) << "not known while connecting";
    EXPECT_EQ(Int(wmp, wmp_ids::kPlayState, kGet), 9);
    EXPECT_EQ(Text(wmp, wmp_ids::kStatus, kGet), L"正在连接…");
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 6; }));
    // Getters may come as methods too.
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kMethodOrGet) == 3; }));
    EXPECT_EQ(Double(media, wmp_ids::kMediaDuration), 3.0);
    EXPECT_EQ(Text(wmp, wmp_ids::kStatus, kGet), L"正在播放");

    ASSERT_EQ(controls.Call(wmp_ids::kControlsPause, kMethod).hr, S_OK);
    EXPECT_EQ(Int(wmp, wmp_ids::kPlayState, kGet), 2);
    ASSERT_EQ(controls.Call(wmp_ids::kControlsPlay, kMethod).hr, S_OK);
    EXPECT_EQ(Int(wmp, wmp_ids::kPlayState, kGet), 3);
    ASSERT_EQ(controls.Call(wmp_ids::kControlsCurrentPosition, kPut, {2.5}).hr, S_OK);
    EXPECT_GE(Double(controls, wmp_ids::kControlsCurrentPosition), 2.5);
    EXPECT_EQ(Double(controls, wmp_ids::kControlsCurrentPosition, kMethodOrGet) < 3.0, true);

    // The end: "media ended" first, then stopped.
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 8; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 1; }, 3000));
    EXPECT_EQ(Text(wmp, wmp_ids::kStatus, kGet), L"已停止");

    // The media object stays with its address; the next one is new.
    ASSERT_EQ(PutText(wmp, wmp_ids::kURL, L"rtsp://h/b.rm?length=9&connect=5"), S_OK);
    EXPECT_EQ(Double(media, wmp_ids::kMediaDuration), 3.0);
    EXPECT_EQ(Double(Object(wmp, wmp_ids::kCurrentMedia), wmp_ids::kMediaDuration), 0.0);
    ASSERT_EQ(controls.Call(wmp_ids::kControlsStop, kMethod).hr, S_OK);
    EXPECT_EQ(Int(wmp, wmp_ids::kPlayState, kGet), 1);
    ASSERT_EQ(wmp.Call(wmp_ids::kClose, kMethod).hr, S_OK);
    EXPECT_EQ(Int(wmp, wmp_ids::kPlayState, kGet), 0);
    EXPECT_EQ(controls.Call(99, kMethod).hr, DISP_E_MEMBERNOTFOUND);

    LPOLESTR name = const_cast<LPOLESTR>(L"playstate");
    DISPID id = 0;
    EXPECT_EQ(wmp.get()->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, wmp_ids::kPlayState);
}

// The top colour bars of the test picture drawn through IViewObject: the
// frame the control took from the graph, not a picture of its own.
COLORREF BarColour(IDispatch* control, int bar) {
    using namespace kavuno::ui;
    const auto view = ComPtr<IDispatch>(control, true).As<IViewObject>(IID_IViewObject);
    if (!view) return CLR_INVALID;
    const ScopedGetDC screen(nullptr);
    const OwnedDC dc(CreateCompatibleDC(screen.get()));
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), 160, 120));
    const ScopedSelectObject selected(dc.get(), bitmap.get());
    RECTL bounds{0, 0, 160, 120};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.get(), &bounds, nullptr, nullptr, 0);
    return GetPixel(dc.get(), 160 * bar / 7 + 11, 20);
}

TEST(StandInControls, RealPlayerPlaysAClipOfTheMediaFolder) {
    DispatchHolder real = Create(kRealClsid);
    ASSERT_EQ(PutText(real, real_ids::kSource, L"rtsp://10.1.2.3:554/movie/demo/clip.avi"), S_OK);
    ASSERT_EQ(real.Call(real_ids::kPlay, kMethod).hr, S_OK);
    ASSERT_TRUE(
        WaitUntil([&] { return Int(real, real_ids::kPlayState) == 3 && Int(real, real_ids::kPosition) > 300; }));
    EXPECT_NEAR(Int(real, real_ids::kLength), 3000, 150);
    EXPECT_EQ(BarColour(real.get(), 5), RGB(0xC0, 0, 0)) << "the red bar of the clip";
    EXPECT_EQ(BarColour(real.get(), 4), RGB(0xC0, 0, 0xC0)) << "the magenta bar of the clip";
    const long before = Int(real, real_ids::kPosition);
    ASSERT_TRUE(WaitUntil([&] { return Int(real, real_ids::kPosition) > before + 300; }));
    ASSERT_TRUE(WaitUntil([&] { return Int(real, real_ids::kPlayState) == 0; }, 8000)) << "the clip ends";
}

TEST(StandInControls, MediaPlayerPlaysAClipSeeksAndEnds) {
    DispatchHolder wmp = Create(kWmpClsid);
    DispatchHolder controls = Object(wmp, wmp_ids::kControls);
    ASSERT_EQ(PutText(wmp, wmp_ids::kURL, L"rtsp://10.1.2.3/clip.avi"), S_OK);
    DispatchHolder media = Object(wmp, wmp_ids::kCurrentMedia);
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 3; }));
    ASSERT_TRUE(WaitUntil([&] { return Double(media, wmp_ids::kMediaDuration) > 0; }));
    EXPECT_NEAR(Double(media, wmp_ids::kMediaDuration), 3.0, 0.15);
    ASSERT_EQ(controls.Call(wmp_ids::kControlsPause, kMethod).hr, S_OK);
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 2; }));
    ASSERT_EQ(controls.Call(wmp_ids::kControlsCurrentPosition, kPut, {2.0}).hr, S_OK);
    ASSERT_TRUE(WaitUntil([&] { return Double(controls, wmp_ids::kControlsCurrentPosition) >= 1.9; }));
    ASSERT_EQ(controls.Call(wmp_ids::kControlsPlay, kMethod).hr, S_OK);
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 8; }, 6000));
    ASSERT_TRUE(WaitUntil([&] { return Int(wmp, wmp_ids::kPlayState, kGet) == 1; }, 3000));
}

// What a standard container does: atl.dll's AtlAxWin creates, sites and
// activates the control in place; its window is a child of the host window.
TEST(StandInControls, HostedByAtlFullScreenAndDestroyedWhilePlaying) {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    ASSERT_TRUE(atl);
    auto axInit = Export<BOOL(WINAPI*)()>(atl, "AtlAxWinInit");
    auto axGetControl = Export<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl");
    ASSERT_TRUE(axInit && axGetControl && axInit());
    for (const CLSID* clsid : {&kRealClsid, &kWmpClsid}) {
        const bool real = clsid == &kRealClsid;
        wchar_t name[40];  // AtlAxWin creates the control its window name names
        ASSERT_GT(StringFromGUID2(*clsid, name, 40), 0);
        HWND host = CreateWindowExW(0, L"AtlAxWin", name, WS_POPUP | WS_VISIBLE, 10, 10, 320, 240, nullptr, nullptr,
                                    nullptr, nullptr);
        ASSERT_TRUE(host);
        IUnknown* unknown = nullptr;
        ASSERT_EQ(axGetControl(host, &unknown), S_OK);
        IDispatch* raw = nullptr;
        unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&raw));
        unknown->Release();
        DispatchHolder control(raw);
        ASSERT_TRUE(control);

        HWND picture = FindWindowExW(host, nullptr, L"KavunoStandInPicture", nullptr);
        ASSERT_TRUE(picture) << "in-place window under the host";
        RECT r;
        GetClientRect(picture, &r);
        EXPECT_EQ(r.right, 320);
        EXPECT_EQ(r.bottom, 240);

        if (real) {
            PutText(control, real_ids::kSource, L"rtsp://h/movie/clip.avi");
            control.Call(real_ids::kPlay, kMethod);
            ASSERT_TRUE(WaitUntil([&] { return Int(control, real_ids::kPlayState) == 3; }));
            control.Call(real_ids::kFullScreen, kMethod);
        } else {
            PutText(control, wmp_ids::kURL, L"rtsp://h/clip.avi");
            ASSERT_TRUE(WaitUntil([&] { return Int(control, wmp_ids::kPlayState, kGet) == 3; }));
            control.Call(wmp_ids::kFullScreen, kPut, {true});
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
    DispatchHolder real = Create(kRealClsid), wmp = Create(kWmpClsid);
    PutText(real, real_ids::kSource, L"rtsp://h/clip.avi");
    real.Call(real_ids::kPlay, kMethod);
    PutText(wmp, wmp_ids::kURL, L"rtsp://h/clip.avi");
    DispatchHolder media = Object(wmp, wmp_ids::kCurrentMedia);
    ASSERT_TRUE(
        WaitUntil([&] { return Int(real, real_ids::kPlayState) == 3 && Int(wmp, wmp_ids::kPlayState, kGet) == 3; }));
    const ULONGLONG start = GetTickCount64();
    real.Reset();
    wmp.Reset();
    EXPECT_LT(GetTickCount64() - start, 3000u) << "the graphs stop promptly";
    // The media object outlives its control and still knows its clip.
    EXPECT_NEAR(Double(media, wmp_ids::kMediaDuration), 3.0, 0.15);
}

TEST(StandInControls, CallLogHasEveryCallAsOneLine) {
    const std::wstring log = UseLog(L"calls.log");
    {
        DispatchHolder real = Create(kRealClsid), wmp = Create(kWmpClsid);
        PutText(real, real_ids::kSource, L"rtsp://h/片花.rm?length=5");
        real.Call(real_ids::kPlay, kMethod);
        real.Call(real_ids::kSeek, kMethod, {75000});
        real.Call(real_ids::kFirstDisplayOption, kMethod, {true});
        Int(real, real_ids::kPlayState);
        DispatchHolder controls = Object(wmp, wmp_ids::kControls);
        PutText(wmp, wmp_ids::kURL, L"a\tb");
        controls.Call(wmp_ids::kControlsCurrentPosition, kPut, {75.0});
        controls.Call(wmp_ids::kControlsCurrentPosition, kPut, {2.25});
        Double(Object(wmp, wmp_ids::kCurrentMedia), wmp_ids::kMediaDuration);
        wmp.Call(wmp_ids::kFullScreen, kPut, {false});
        wmp.Call(77, kMethod);
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
