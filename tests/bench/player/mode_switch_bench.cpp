// How long a switch between full mode and play mode takes: the skin and the
// region cut from it, the repaint of the whole window, the mode button's
// images and its tool tip, as the player does it. Beside it, the region built
// the slow way (one GetPixel per pixel). Prints the figures; exit status 1
// when the switch takes more than 20 ms.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "framework/bitmap_button.h"
#include "framework/gdi.h"
#include "framework/ownership.h"
#include "framework/tool_tip.h"
#include "player/skin/window_modes.h"
#include "player/skin/window_skin.h"
#include "resources/player/resource.h"
#include "tests/win/player/pixel_region.h"

namespace {

constexpr double kTargetMs = 20.0;
constexpr int kSwitches = 40;

kavuno::skin::WindowSkin* g_skin = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && g_skin) {
        g_skin->Paint(hwnd, nullptr);
        return 0;
    }
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        auto* button = reinterpret_cast<kavuno::ui::BitmapButton*>(GetWindowLongPtrW(item->hwndItem, GWLP_USERDATA));
        if (button) button->OnDrawItem(*item);
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    InitCommonControls();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KavunoModeSwitchBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Kavuno", WS_POPUP | WS_VISIBLE, 100, 100, 759,
                                  396, nullptr, nullptr, wc.hInstance, nullptr);
    HWND modeWindow = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 378, 194, 9, 17, window,
                                      reinterpret_cast<HMENU>(IDC_MODE), wc.hInstance, nullptr);
    kavuno::skin::WindowSkin skin;
    g_skin = &skin;
    kavuno::ui::BitmapButton modeButton;
    modeButton.Attach(modeWindow);
    kavuno::ui::BitmapButton topmostButton;
    kavuno::ui::ToolTip tips;
    tips.Create(window);
    tips.Add(modeWindow, kavuno::skin::kToPlayModeTip);
    kavuno::skin::WindowModes modes(skin, modeButton, topmostButton, tips);
    // Set-up makes both skins and their regions.
    auto start = std::chrono::steady_clock::now();
    skin.Apply(window, false);
    const double setUp = Milliseconds(start);
    modeButton.SetImages(IDB_MODE_FULL, IDB_MODE_FULL);
    UpdateWindow(window);
    Pump();

    start = std::chrono::steady_clock::now();
    modes.ToggleWindowMode(window, {});
    UpdateWindow(window);
    const double first = Milliseconds(start);
    Pump();

    std::vector<double> switches;
    for (int i = 0; i < kSwitches; ++i) {
        start = std::chrono::steady_clock::now();
        modes.ToggleWindowMode(window, {});
        UpdateWindow(window);  // the repaint the switch asked for, done now
        switches.push_back(Milliseconds(start));
        Pump();
    }

    std::vector<double> oneStep, perPixel;
    HDC dc = GetDC(window);
    for (UINT id : {IDB_SKIN_FULL, IDB_SKIN_PLAY}) {
        kavuno::ui::GdiObject<HBITMAP> bitmap(kavuno::ui::LoadBitmapResource(id));
        for (int i = 0; i < 3; ++i) {
            start = std::chrono::steady_clock::now();
            DeleteObject(kavuno::skin::CreateSkinRegion(dc, bitmap.get(), kavuno::skin::kSkinKeyColour));
            oneStep.push_back(Milliseconds(start));
            start = std::chrono::steady_clock::now();
            DeleteObject(CreateSkinRegionPixelByPixel(dc, bitmap.get(), kavuno::skin::kSkinKeyColour));
            perPixel.push_back(Milliseconds(start));
        }
    }
    ReleaseDC(window, dc);

    const double median = Median(switches);
    const bool ok = median <= kTargetMs;
    std::printf(
        "mode switch (region, repaint, images, tip): median %.2f ms, slowest %.2f ms of %d (target <= %.0f ms) %s\n",
        median, *std::max_element(switches.begin(), switches.end()), kSwitches, kTargetMs, ok ? "ok" : "MISSED");
    std::printf("first switch: %.2f ms; set-up of both skins and regions at start: %.2f ms\n", first, setUp);
    std::printf("region alone: %.2f ms in one step, %.1f ms pixel by pixel (GetPixel per pixel, a union per run)\n",
                Median(oneStep), Median(perPixel));
    DestroyWindow(window);
    return ok ? 0 : 1;
}
