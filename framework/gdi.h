// Small GDI helpers both programs use: bitmaps from the program's resources,
// copying a bitmap onto a device context, and the centring of a window in the
// work area. The owners of GDI objects are in ownership.h.
#pragma once
#include <windows.h>

namespace kavuno::ui {

// A bitmap resource of the running program, by id; null when there is none.
HBITMAP LoadBitmapResource(UINT id);

// The width and height of a bitmap; 0 x 0 for a null or invalid handle.
SIZE BitmapSize(HBITMAP bitmap);

// Copies `width` x `height` pixels of `bitmap`, from its top-left corner, to
// (x, y) of `dc` (SRCCOPY). False, drawing nothing, when the bitmap cannot be
// selected (a null handle, say).
bool DrawBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap);

// Moves a window (keeping its size) to the centre of the work area of the
// monitor it is on.
void CentreInWorkArea(HWND window);

// Repaints a window at once, background included.
void RedrawNow(HWND window);

}  // namespace kavuno::ui
