// The window region cut from the player's skins in one step equals the region
// that reading every pixel gives, and it reaches the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "player/skin/window_skin.h"
#include "resources/player/resource.h"
#include "tests/win/player/pixel_region.h"
#include "tests/win/player/player_module.h"

namespace {

using kavuno::skin::CreateSkinRegion;
using kavuno::skin::kSkinKeyColour;

class SkinRegionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = LoadPlayerResources(); }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
    }
    static HBITMAP Skin(UINT id) {
        return static_cast<HBITMAP>(LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    }
    // A bitmap of the screen's format, filled with one colour, with `holes` of another.
    static HBITMAP Solid(int width, int height, COLORREF fill) {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all = {0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return bitmap;
    }
    static void ExpectSameRegion(HBITMAP bitmap) {
        HDC screen = GetDC(nullptr);
        HRGN fast = CreateSkinRegion(screen, bitmap, kSkinKeyColour);
        HRGN slow = CreateSkinRegionPixelByPixel(screen, bitmap, kSkinKeyColour);
        ReleaseDC(nullptr, screen);
        ASSERT_NE(fast, nullptr);
        EXPECT_TRUE(EqualRgn(fast, slow));
        DeleteObject(fast);
        DeleteObject(slow);
    }
    static inline HMODULE module_ = nullptr;
};

TEST_F(SkinRegionTest, BothSkinsGiveTheRegionOfThePixelScan) {
    ASSERT_NE(module_, nullptr);
    for (UINT id : {IDB_SKIN_FULL, IDB_SKIN_PLAY}) {
        HBITMAP skin = Skin(id);
        ASSERT_NE(skin, nullptr) << id;
        ExpectSameRegion(skin);
        DeleteObject(skin);
    }
}

TEST_F(SkinRegionTest, KeyColourOnlyIsEmptyAndNoKeyColourIsTheWholeBitmap) {
    HBITMAP keyOnly = Solid(40, 30, kSkinKeyColour);
    HBITMAP noKey = Solid(40, 30, RGB(255, 255, 1));
    HDC screen = GetDC(nullptr);
    HRGN empty = CreateSkinRegion(screen, keyOnly, kSkinKeyColour);
    HRGN full = CreateSkinRegion(screen, noKey, kSkinKeyColour);
    ReleaseDC(nullptr, screen);
    RECT box;
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(GetRgnBox(full, &box), SIMPLEREGION);
    EXPECT_EQ(box.right - box.left, 40);
    EXPECT_EQ(box.bottom - box.top, 30);
    // A single pixel is a window too.
    HBITMAP dot = Solid(1, 1, RGB(0, 0, 0));
    screen = GetDC(nullptr);
    HRGN single = CreateSkinRegion(screen, dot, kSkinKeyColour);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(GetRgnBox(single, &box), SIMPLEREGION);
    EXPECT_EQ(box.right - box.left, 1);
    EXPECT_EQ(box.bottom - box.top, 1);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(empty), static_cast<HGDIOBJ>(full), static_cast<HGDIOBJ>(keyOnly),
                      static_cast<HGDIOBJ>(noKey), static_cast<HGDIOBJ>(dot), static_cast<HGDIOBJ>(single)})
        DeleteObject(o);
}

TEST_F(SkinRegionTest, EachModeGivesTheWindowItsOwnCopyOfTheRegion) {
    // The skins are this test program's resources too (skin_win_test.rc).
    HWND window = CreateWindowExW(0, L"STATIC", L"skinned", WS_POPUP, 0, 0, 760, 396, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    kavuno::skin::WindowSkin skin;
    EXPECT_FALSE(skin.PlayMode()) << "full mode until told otherwise";
    auto regionBox = [&] {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        RECT box = {};
        if (GetWindowRgn(window, region) != ERROR) GetRgnBox(region, &box);
        const bool corner = PtInRegion(region, 379, 0) != FALSE;
        DeleteObject(region);
        return std::pair(box, corner);
    };
    for (bool playMode : {true, false, true}) {
        skin.Apply(window, playMode);
        EXPECT_EQ(skin.PlayMode(), playMode);
        const auto [box, corner] = regionBox();
        // Play mode keeps the columns from 375 on, with a rounded top-left corner.
        EXPECT_EQ(box.left, playMode ? 375 : 0);
        EXPECT_EQ(box.right, 760);
        EXPECT_EQ(corner, !playMode);
    }
    DestroyWindow(window);
}

}  // namespace
