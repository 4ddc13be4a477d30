// BitmapButton: which image each item state draws, what a failed load leaves,
// that an image larger than the button is clipped to it, and that every click counts.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/bitmap_button.h"

namespace {

using kavuno::ui::BitmapButton;

constexpr UINT kRed = 301, kGreen = 302, kBlue = 303, kYellow = 304, kBigMagenta = 305, kMissing = 399;
constexpr COLORREF kRedPixel = RGB(255, 0, 0), kGreenPixel = RGB(0, 255, 0), kBluePixel = RGB(0, 0, 255),
                   kYellowPixel = RGB(255, 255, 0), kMagentaPixel = RGB(255, 0, 255), kGrey = RGB(128, 128, 128);

// A 64 x 64 canvas, grey until a button draws on it.
class Canvas {
public:
    Canvas() {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, 64, 64);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        Clear();
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    void Clear() {
        HBRUSH grey = CreateSolidBrush(kGrey);
        RECT all = {0, 0, 64, 64};
        FillRect(dc_, &all, grey);
        DeleteObject(grey);
    }
    // Draws the button in a 16 x 16 item at (8, 8) with `state`; returns the pixel at (12, 12).
    COLORREF Draw(BitmapButton& button, UINT state, RECT item = {8, 8, 24, 24}) {
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hDC = dc_;
        dis.rcItem = item;
        button.OnDrawItem(dis);
        return Pixel(12, 12);
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

TEST(BitmapButton, ShowsThePressedImageOnlyWhileSelected) {
    BitmapButton button;
    ASSERT_TRUE(button.SetImages(kRed, kGreen));
    Canvas canvas;
    EXPECT_EQ(canvas.Draw(button, 0), kRedPixel);
    EXPECT_EQ(canvas.Draw(button, ODS_SELECTED), kGreenPixel);
    EXPECT_EQ(canvas.Draw(button, ODS_SELECTED | ODS_FOCUS), kGreenPixel);
    // Empty focused and disabled slots fall back to the normal image.
    EXPECT_EQ(canvas.Draw(button, ODS_FOCUS), kRedPixel);
    EXPECT_EQ(canvas.Draw(button, ODS_DISABLED), kRedPixel);
}

TEST(BitmapButton, ChoosesSelectedThenFocusedThenDisabled) {
    BitmapButton button;
    ASSERT_TRUE(button.SetImages(kRed, kGreen, kBlue, kYellow));
    Canvas canvas;
    EXPECT_EQ(canvas.Draw(button, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), kGreenPixel);
    EXPECT_EQ(canvas.Draw(button, ODS_FOCUS | ODS_DISABLED), kBluePixel);
    EXPECT_EQ(canvas.Draw(button, ODS_DISABLED), kYellowPixel);
    EXPECT_EQ(canvas.Draw(button, 0), kRedPixel);
}

TEST(BitmapButton, AFailedNormalImageLeavesEverySlotEmptyAndDrawsNothing) {
    BitmapButton button;
    ASSERT_TRUE(button.SetImages(kRed, kGreen));
    EXPECT_FALSE(button.SetImages(kMissing, kGreen));
    Canvas canvas;
    EXPECT_EQ(canvas.Draw(button, 0), kGrey);
    EXPECT_EQ(canvas.Draw(button, ODS_SELECTED), kGrey);  // the pressed image was not loaded either
}

TEST(BitmapButton, AFailedOptionalImageReportsFailureButKeepsTheOthers) {
    BitmapButton button;
    EXPECT_FALSE(button.SetImages(kRed, kMissing, kBlue));
    Canvas canvas;
    EXPECT_EQ(canvas.Draw(button, ODS_SELECTED), kRedPixel);
    EXPECT_EQ(canvas.Draw(button, ODS_FOCUS), kBluePixel);
}

TEST(BitmapButton, NewImagesReplaceAllFourSlots) {
    BitmapButton button;
    ASSERT_TRUE(button.SetImages(kRed, kGreen, kBlue, kYellow));
    ASSERT_TRUE(button.SetImages(kYellow));
    Canvas canvas;
    EXPECT_EQ(canvas.Draw(button, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), kYellowPixel);
}

TEST(BitmapButton, ALargerImageIsClippedToTheItemFromItsTopLeft) {
    BitmapButton button;
    ASSERT_TRUE(button.SetImages(kBigMagenta));
    Canvas canvas;
    canvas.Draw(button, 0, RECT{8, 8, 24, 20});
    EXPECT_EQ(canvas.Pixel(8, 8), kMagentaPixel);
    EXPECT_EQ(canvas.Pixel(23, 19), kMagentaPixel);
    EXPECT_EQ(canvas.Pixel(24, 12), kGrey);  // right of the item
    EXPECT_EQ(canvas.Pixel(12, 20), kGrey);  // below it
    EXPECT_EQ(canvas.Pixel(7, 7), kGrey);
}

int clicks = 0, doubleClicks = 0;

// A function, not a lambda: 32-bit Windows calls window procedures with __stdcall.
LRESULT CALLBACK CountingParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++clicks;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_DOUBLECLICKED) ++doubleClicks;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(BitmapButton, TwoQuickClicksAreTwoClicks) {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = CountingParentProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"KavunoButtonParent";
    RegisterClassW(&cls);
    HWND parent = CreateWindowW(cls.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                cls.hInstance, nullptr);
    HWND child = CreateWindowW(L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 20, 20, parent,
                               reinterpret_cast<HMENU>(7), cls.hInstance, nullptr);
    ASSERT_TRUE(child);
    BitmapButton button;
    button.Attach(child);
    const LPARAM inside = MAKELPARAM(5, 5);
    for (UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(child, press, MK_LBUTTON, inside);
        SendMessageW(child, WM_LBUTTONUP, 0, inside);
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(doubleClicks, 0);
    DestroyWindow(parent);
}

TEST(BitmapButton, ShowsAFocusRectangleOnlyWhenTheKeyboardGaveItTheFocus) {
    HWND parent = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowW(L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 20, 20, parent,
                               reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_TRUE(child);
    BitmapButton button;
    button.Attach(child);
    ASSERT_TRUE(button.SetImages(kRed));
    Canvas canvas;
    // The dotted line two pixels inside the item (8, 8) marks every other pixel.
    auto rectangleShown = [&](UINT state) {
        canvas.Draw(button, state);
        EXPECT_EQ(canvas.Pixel(12, 12), kRedPixel) << "the face inside";
        return canvas.Pixel(10, 10) != kRedPixel || canvas.Pixel(11, 10) != kRedPixel;
    };
    EXPECT_FALSE(rectangleShown(ODS_FOCUS)) << "never focused";
    SendMessageW(child, WM_SETFOCUS, 0, 0);  // no mouse button is down
    EXPECT_TRUE(rectangleShown(ODS_FOCUS));
    EXPECT_FALSE(rectangleShown(ODS_FOCUS | ODS_NOFOCUSRECT));  // Windows hides it until the keyboard is used
    EXPECT_FALSE(rectangleShown(0));
    DestroyWindow(parent);
}

}  // namespace
