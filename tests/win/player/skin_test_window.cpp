#include "tests/win/player/skin_test_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "framework/ownership.h"

namespace kavuno::skin::testing {

const ui::MessageEntry<SkinTestWindow> SkinTestWindow::kMessageTable[] = {
    ui::OnMessage(WM_PAINT, &SkinTestWindow::OnPaint),
    ui::OnMessage(WM_NCLBUTTONDOWN, &SkinTestWindow::OnNcLButtonDown),
    ui::OnMessage(WM_ICONERASEBKGND, &SkinTestWindow::OnIconEraseBackground),
    ui::OnMessage(WM_NOTIFY, &SkinTestWindow::OnNotification),
};

SkinTestWindow::SkinTestWindow() : Dialog(kSkinTestDialog, kMessageTable) {}

void SkinTestWindow::Open(bool bare) {
    ASSERT_TRUE(CreateModeless(nullptr));
    if (bare) {
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ShowWindow(child, SW_HIDE);
    }
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 760, 396, SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
}

bool SkinTestWindow::OnPaint(WPARAM, LPARAM, LRESULT&) {
    if (!paint) return false;
    paint();
    return true;
}

bool SkinTestWindow::OnNcLButtonDown(WPARAM wParam, LPARAM lParam, LRESULT&) {
    seen.push_back({WM_NCLBUTTONDOWN, wParam, lParam});
    return true;
}

bool SkinTestWindow::OnIconEraseBackground(WPARAM wParam, LPARAM lParam, LRESULT&) {
    seen.push_back({WM_ICONERASEBKGND, wParam, lParam});
    return true;
}

bool SkinTestWindow::OnNotification(WPARAM, LPARAM lParam, LRESULT&) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(NM_RELEASEDCAPTURE)) seen.push_back({WM_NOTIFY, header->code, 0});
    return false;
}

std::vector<std::uint32_t> CanvasPixels(int width, int height, const std::function<void(HDC)>& draw) {
    const ui::ScopedGetDC screen(nullptr);
    const ui::OwnedDC dc(CreateCompatibleDC(screen.get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const ui::GdiObject<HBITMAP> canvas(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas) return {};
    {
        const ui::ScopedSelectObject selected(dc.get(), canvas.get());
        const ui::GdiObject<HBRUSH> magenta(CreateSolidBrush(RGB(255, 0, 255)));
        const RECT all = {0, 0, width, height};
        FillRect(dc.get(), &all, magenta.get());
        draw(dc.get());
        GdiFlush();
    }
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> result(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : result) pixel &= 0xFFFFFF;
    return result;
}

std::vector<std::uint32_t> WindowPixels(HWND window, const RECT& rect) {
    const ui::ScopedGetDC source(window);
    return CanvasPixels(rect.right - rect.left, rect.bottom - rect.top, [&](HDC dc) {
        BitBlt(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, source.get(), rect.left, rect.top, SRCCOPY);
    });
}

std::vector<std::uint32_t> ImagePixels(UINT id, int width, int height) {
    const ui::GdiObject<HBITMAP> image(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    BITMAP info = {};
    if (!image || !GetObjectW(image.get(), sizeof info, &info)) return {};
    if (width == 0) width = info.bmWidth;
    if (height == 0) height = info.bmHeight;
    return CanvasPixels(width, height, [&](HDC dc) {
        const ui::OwnedDC memory(CreateCompatibleDC(dc));
        const ui::ScopedSelectObject selected(memory.get(), image.get());
        BitBlt(dc, 0, 0, std::min<int>(width, info.bmWidth), std::min<int>(height, info.bmHeight), memory.get(), 0, 0,
               SRCCOPY);
    });
}

bool Shows(ui::BitmapButton& button, UINT id, UINT state) {
    const std::vector<std::uint32_t> image = ImagePixels(id);
    const ui::GdiObject<HBITMAP> probe(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    BITMAP info = {};
    GetObjectW(probe.get(), sizeof info, &info);
    const std::vector<std::uint32_t> drawn = CanvasPixels(info.bmWidth, info.bmHeight, [&](HDC dc) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hDC = dc;
        item.rcItem = {0, 0, info.bmWidth, info.bmHeight};
        button.OnDrawItem(item);
    });
    return !image.empty() && drawn == image;
}

}  // namespace kavuno::skin::testing
