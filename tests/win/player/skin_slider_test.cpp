// The skinned slider's drag state on Wine's real track bar: a press and a
// release seek; a drag whose mouse capture another window takes ends without
// one, and the slider follows playback again.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "player/skin/skin_slider.h"

namespace {

using kavuno::skin::SkinSlider;

SkinSlider* g_slider = nullptr;
std::vector<bool> g_releases;  // per release notification: whether it asks for a seek

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == NM_RELEASEDCAPTURE)
        g_releases.push_back(!g_slider->LosingCapture());
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(SkinSlider, LosingTheCaptureMidDragEndsTheDragWithoutASeek) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SliderTestParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, wc.lpszClassName, L"Slider test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    HWND bar = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_BOTH | TBS_NOTICKS, 10,
                               10, 156, 15, parent, reinterpret_cast<HMENU>(1022), wc.hInstance, nullptr);
    SkinSlider slider;
    g_slider = &slider;
    slider.Attach(bar);
    slider.Send(TBM_SETRANGEMAX, TRUE, 100);
    slider.Send(TBM_SETPOS, TRUE, 50);
    RECT thumb = {};
    slider.Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const LPARAM onThumb = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);

    slider.Send(WM_LBUTTONDOWN, MK_LBUTTON, onThumb);
    EXPECT_TRUE(slider.IsDragging());
    EXPECT_EQ(GetCapture(), bar);
    slider.Send(WM_LBUTTONUP, 0, onThumb);
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_EQ(g_releases, std::vector<bool>{true});

    g_releases.clear();
    slider.Send(WM_LBUTTONDOWN, MK_LBUTTON, onThumb);
    ASSERT_TRUE(slider.IsDragging());
    SetCapture(parent);  // another window takes the mouse mid-drag
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_FALSE(slider.LosingCapture());
    for (bool seek : g_releases) EXPECT_FALSE(seek);  // the track bar may say it let go; nobody seeks
    ReleaseCapture();

    slider.Detach();
    DestroyWindow(parent);
    g_slider = nullptr;
}

}  // namespace
