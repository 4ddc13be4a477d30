// The window region of a skin built the slow, obvious way: one GetPixel per
// pixel and one union per run, row by row. The reference that the player's
// one-step region must equal, and the benchmark's baseline.
#pragma once
#include <windows.h>

inline HRGN CreateSkinRegionPixelByPixel(HDC dc, HBITMAP skin, COLORREF key) {
    BITMAP info = {};
    GetObjectW(skin, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, skin);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < info.bmHeight; ++y) {
        int x = 0;
        while (x < info.bmWidth) {
            while (x < info.bmWidth && GetPixel(memory, x, y) == key) ++x;
            if (x == info.bmWidth) break;
            const int left = x;
            while (x < info.bmWidth && GetPixel(memory, x, y) != key) ++x;
            HRGN run = CreateRectRgn(left, y, x, y + 1);
            CombineRgn(region, region, run, RGN_OR);
            DeleteObject(run);
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    return region;
}
