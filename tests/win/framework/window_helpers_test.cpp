// The framework's small window helpers: the owners of handles, tool tips
// whose tools are whole windows, centring, redrawing at once, and the
// application object.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "common/ownership.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/ownership.h"
#include "framework/tool_tip.h"
#include "tests/win/framework/tool_tip_text.h"

namespace {

using kavuno::ui::testing::TipText;

using namespace kavuno::ui;
using kavuno::win::Owned;
using kavuno::win::OwnedHandle;

struct CountingTraits {
    using Handle = int;
    static int Empty() { return 0; }
    static bool IsSet(int h) { return h != 0; }
    static void Release(int h) { released.push_back(h); }
    static inline std::vector<int> released;
};

TEST(Ownership, EachOwnerReleasesWhatItHoldsOnceAndNothingItGaveUp) {
    CountingTraits::released.clear();
    {
        Owned<CountingTraits> first(1);
        first.Reset(2);  // 1 goes
        Owned<CountingTraits> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), 2);
        Owned<CountingTraits> third(3);
        third = std::move(second);  // 3 goes
        third = std::move(third);   // nothing
        Owned<CountingTraits> given(4);
        EXPECT_EQ(given.Detach(), 4);
        EXPECT_FALSE(given);
        EXPECT_EQ(CountingTraits::released, (std::vector<int>{1, 3}));
    }
    EXPECT_EQ(CountingTraits::released, (std::vector<int>{1, 3, 2}));

    // The real owners let go of real handles.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HICON icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        const OwnedHandle ownedEvent(event);
        const GdiObject<HBITMAP> ownedBitmap(bitmap);
        const OwnedDC ownedDc(dc);
        const OwnedIcon ownedIcon(icon);
        const OwnedWindow ownedWindow(window);
        EXPECT_FALSE(OwnedHandle(INVALID_HANDLE_VALUE)) << "a failed CreateFile holds nothing";
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_FALSE(IsWindow(window));
    // A window already gone is left alone.
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    OwnedWindow goneFirst(window);
    DestroyWindow(window);
    goneFirst.Reset();
}

TEST(Ownership, ScopedDeviceContextsAndSelections) {
    const OwnedWindow window(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 200, 150,
                                             nullptr, nullptr, nullptr, nullptr));
    RECT frame = {};
    GetWindowRect(window.get(), &frame);
    POINT client = {0, 0};
    ClientToScreen(window.get(), &client);
    ASSERT_NE(client.y, frame.top) << "a caption bar between the window's and the client area's tops";
    POINT origin = {};
    {
        const ScopedGetDC whole(window.get(), ScopedGetDC::Area::Window);
        GetDCOrgEx(whole.get(), &origin);
        EXPECT_EQ(origin.y, frame.top);
        const ScopedGetDC inside(window.get());
        GetDCOrgEx(inside.get(), &origin);
        EXPECT_EQ(origin.y, client.y);
    }

    const OwnedDC dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const GdiObject<HBITMAP> bitmap(CreateBitmap(4, 4, 1, 1, nullptr));
    {
        const ScopedSelectObject selected(dc.get(), bitmap.get());
        EXPECT_TRUE(selected.ok());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        const ScopedSelectObject nothing(dc.get(), nullptr);
        EXPECT_FALSE(nothing.ok());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), before);
}

// What a tool tip control is sent, through a subclass of the test's own.
std::vector<UINT> g_sent;
WNDPROC g_tipProc = nullptr;
LRESULT CALLBACK RecordingTipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) g_sent.push_back(message);
    return CallWindowProcW(g_tipProc, hwnd, message, wParam, lParam);
}

TEST(ToolTip, ToolsAreWholeWindowsWithOneTextEachAndTheTipsSeeWhatIsHandedOn) {
    const OwnedWindow owner(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, nullptr,
                                            nullptr, nullptr, nullptr));
    HWND first = CreateWindowExW(0, L"BUTTON", L"1", WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, owner.get(), nullptr,
                                 nullptr, nullptr);
    HWND second = CreateWindowExW(0, L"BUTTON", L"2", WS_CHILD | WS_VISIBLE, 150, 0, 100, 50, owner.get(), nullptr,
                                  nullptr, nullptr);
    HWND control = nullptr;
    {
        ToolTip tips;
        tips.Add(first, L"before");  // no control yet: nothing happens
        tips.Relay(MSG{});
        ASSERT_TRUE(tips.Create(owner.get()));
        control = tips.hwnd();
        EXPECT_EQ(GetWindow(control, GW_OWNER), nullptr) << "not owned: the owner can still be kept on top";
        g_tipProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingTipProc)));
        tips.Add(first, L"一");
        tips.Add(second, L"二");
        EXPECT_EQ(SendMessageW(control, TTM_GETTOOLCOUNT, 0, 0), 2);
        TTTOOLINFOW info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(SendMessageW(control, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info)));
        EXPECT_TRUE(info.uFlags & TTF_IDISHWND);
        EXPECT_EQ(info.hwnd, owner.get());
        EXPECT_EQ(info.uId, reinterpret_cast<UINT_PTR>(first));
        EXPECT_EQ(TipText(tips, owner.get(), first), L"一");
        tips.SetText(second, L"两");
        EXPECT_EQ(TipText(tips, owner.get(), second), L"两");
        EXPECT_EQ(SendMessageW(control, TTM_GETTOOLCOUNT, 0, 0), 2) << "still one tool a window";

        // A mouse move handed on over the first tool: the tip shows, being active.
        g_sent.clear();
        SetCursorPos(150, 125);
        MSG move = {first, WM_MOUSEMOVE, 0, MAKELPARAM(50, 25), GetTickCount(), {150, 125}};
        tips.Relay(move);
        EXPECT_EQ(g_sent, std::vector<UINT>{TTM_RELAYEVENT});
        const ULONGLONG deadline = GetTickCount64() + 5000;
        while (!IsWindowVisible(control) && GetTickCount64() < deadline) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(20);
        }
        EXPECT_TRUE(IsWindowVisible(control));
    }
    EXPECT_FALSE(IsWindow(control));
}

LRESULT CALLBACK CountingPaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* counts = reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (counts && message == WM_ERASEBKGND) ++counts[0];
    if (counts && message == WM_PAINT) ++counts[1];
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(Gdi, CentringKeepsTheSizeAndRedrawingHappensBeforeItReturns) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &CountingPaintProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KavunoCountingPaint";
    RegisterClassW(&wc);
    const OwnedWindow window(CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 3, 5, 301, 201, nullptr,
                                             nullptr, wc.hInstance, nullptr));
    CentreInWorkArea(window.get());
    RECT frame = {}, area = {};
    GetWindowRect(window.get(), &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(frame.right - frame.left, 301);
    EXPECT_EQ(frame.bottom - frame.top, 201);
    EXPECT_EQ(frame.left, area.left + (area.right - area.left - 301) / 2);
    EXPECT_EQ(frame.top, area.top + (area.bottom - area.top - 201) / 2);

    UpdateWindow(window.get());
    int counts[2] = {0, 0};  // erased, painted
    SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(counts));
    RedrawNow(window.get());
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[1], 1);
    SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);

    EXPECT_EQ(LoadBitmapResource(4711), nullptr);
    const SIZE none = BitmapSize(nullptr);
    EXPECT_EQ(none.cx, 0);
    EXPECT_EQ(none.cy, 0);
    const GdiObject<HBITMAP> bitmap(CreateBitmap(7, 3, 1, 32, nullptr));
    const SIZE size = BitmapSize(bitmap.get());
    EXPECT_EQ(size.cx, 7);
    EXPECT_EQ(size.cy, 3);
    // A bitmap selected into another device context cannot be drawn from.
    const OwnedDC holder(CreateCompatibleDC(nullptr));
    const ScopedSelectObject held(holder.get(), bitmap.get());
    const OwnedDC target(CreateCompatibleDC(nullptr));
    EXPECT_FALSE(DrawBitmap(target.get(), 0, 0, 7, 3, bitmap.get()));
    EXPECT_FALSE(DrawBitmap(target.get(), 0, 0, 7, 3, nullptr));
}

class TestApp : public App {
public:
    TestApp() : App(L"framework_test") {}
    int ran = 0;

protected:
    bool InitInstance() override {
        ++ran;
        return false;
    }
};

TEST(App, RunNamesTheProgramAndRunsItsInstance) {
    TestApp app;
    EXPECT_EQ(&App::Current(), &app);
    EXPECT_EQ(app.Run(GetModuleHandleW(nullptr)), 0);
    EXPECT_EQ(app.ran, 1);
    EXPECT_EQ(app.Instance(), GetModuleHandleW(nullptr));
    EXPECT_EQ(app.Title(), L"framework_test");  // the program file's name without extension
    EXPECT_EQ(ProgramDirectory() + L"framework_test.exe", ProgramPath());
    // An application object that goes leaves the current one current.
    auto earlier = std::make_unique<TestApp>();
    TestApp later;
    earlier.reset();
    EXPECT_EQ(&App::Current(), &later);
}

}  // namespace
