// The player window's skin: a 760 x 396 bitmap painted over the whole client
// area, the window's outline cut from it by the key colour, the caption text
// drawn on it, and the colours the child controls take so that they blend in.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/ownership.h"

namespace kavuno::skin {

constexpr COLORREF kSkinKeyColour = RGB(255, 255, 0);

// The region of the skin's pixels that differ from `key`: one rectangle per
// run and row, read from the bitmap's bits in one call and built in one step.
// Null when the bitmap's pixels cannot be read.
HRGN CreateSkinRegion(HDC dc, HBITMAP skin, COLORREF key);

// Gives the window a copy of a skin's region (the window owns it from then on)
// and brings the window to the foreground.
void ApplySkinRegion(HWND window, HRGN skinRegion);

// Where a minimised window draws its icon, centred in `client`:
// ((width - SM_CXICON + 1) / 2, (height - SM_CYICON + 1) / 2), integer division.
POINT CentredIconPosition(const RECT& client);

class WindowSkin {
public:
    // The caption text drawn on the skin: "Kavuno  --  " and the web site's host.
    WindowSkin();

    // Shows the skin of full mode (IDB_SKIN_FULL) or play mode (IDB_SKIN_PLAY):
    // the window gets the region cut from it and is brought to the foreground.
    // Both skins and their regions are made on the first call and kept, so a
    // mode switch only hands the window a copy of a region.
    void Apply(HWND window, bool playMode);
    bool PlayMode() const { return playMode_; }

    // The brushes of the two control colours; created once, during set-up.
    void CreateBrushes();
    // The colours of the category tree and the movie list.
    static void ColourTree(HWND tree);
    static void ColourList(HWND list);

    // WM_PAINT: the skin and the caption, or the icon while minimised.
    void Paint(HWND window, HICON icon) const;
    // WM_CTLCOLOR*: the time display and status line sit on the light panel,
    // everything else (labels, edit, combo, the window itself) on the dark band.
    HBRUSH ControlColour(HDC dc, HWND control) const;
    // NM_CUSTOMDRAW of the tree and of the list: their selected item stays
    // readable while they do not have the focus.
    static LRESULT DrawTreeItem(NMTVCUSTOMDRAW& draw);
    static LRESULT DrawListItem(NMLVCUSTOMDRAW& draw);

    // A press on bare skin moves the window, as a caption bar would.
    static void StartDrag(HWND window);

private:
    struct Skin {
        ui::GdiObject<HBITMAP> bitmap;
        ui::GdiObject<HRGN> region;
    };
    void Prepare(HWND window, Skin& skin, UINT bitmapId);
    HBITMAP CurrentBitmap() const { return skins_[playMode_ ? 1 : 0].bitmap.get(); }

    Skin skins_[2];  // full mode, play mode; playMode_ picks the one shown
    bool playMode_ = false;
    ui::GdiObject<HBRUSH> darkBrush_;
    ui::GdiObject<HBRUSH> lightBrush_;
    std::wstring caption_;
};

}  // namespace kavuno::skin
