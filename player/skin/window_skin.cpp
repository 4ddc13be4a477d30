#include "player/skin/window_skin.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/gbk_win.h"
#include "common/service_config.h"
#include "common/url.h"
#include "framework/gdi.h"
#include "player/skin/skin_region.h"
#include "resources/player/resource.h"

namespace kavuno::skin {
namespace {

constexpr COLORREF kDarkColour = RGB(0, 51, 102);      // the dark band
constexpr COLORREF kLightColour = RGB(102, 153, 204);  // the right panel
constexpr COLORREF kPanelColour = RGB(59, 100, 171);   // tree and list
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInsertMarkColour = RGB(250, 0, 0);
constexpr POINT kCaptionFull = {10, 5};
constexpr POINT kCaptionPlay = {385, 5};  // 10 pixels into the visible part

// The caption names the web site's host as it is written; a site address that
// does not parse names none.
std::wstring Caption() {
    const std::string site = config::WebSite();
    const std::optional<url::Url> parsed = url::Parse(site);
    return L"Kavuno  --  " + (parsed ? gbk::ToWide(parsed->hostAsWritten) : std::wstring());
}

}  // namespace

HRGN CreateSkinRegion(HDC dc, HBITMAP skin, COLORREF key) {
    const SIZE size = ui::BitmapSize(skin);
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    // All pixels in one read, as 0x00RRGGBB, top row first.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<Pixel> pixels(static_cast<std::size_t>(size.cx) * size.cy);
    const ui::OwnedDC memory(CreateCompatibleDC(dc));
    const int rows = GetDIBits(memory.get(), skin, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
    if (rows != size.cy) return nullptr;

    const auto runs = FindSkinRuns(pixels, size.cx, size.cy, RgbPixel(GetRValue(key), GetGValue(key), GetBValue(key)));
    // The region in one step from all its rectangles.
    std::vector<std::byte> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    RECT bounds = {size.cx, size.cy, 0, 0};
    auto* rects = reinterpret_cast<RECT*>(region->Buffer);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        rects[i] = {runs[i].left, runs[i].row, runs[i].right, runs[i].row + 1};
        bounds.left = std::min(bounds.left, rects[i].left);
        bounds.top = std::min(bounds.top, rects[i].top);
        bounds.right = std::max(bounds.right, rects[i].right);
        bounds.bottom = std::max(bounds.bottom, rects[i].bottom);
    }
    region->rdh.rcBound = runs.empty() ? RECT{} : bounds;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
}

void ApplySkinRegion(HWND window, HRGN skinRegion) {
    // The window owns the region it is given: it gets a copy.
    if (skinRegion) {
        ui::GdiObject<HRGN> copy(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(copy.get(), skinRegion, nullptr, RGN_COPY);
        if (SetWindowRgn(window, copy.get(), TRUE)) copy.Detach();
    }
    SetForegroundWindow(window);
}

POINT CentredIconPosition(const RECT& client) {
    return {(client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2,
            (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2};
}

WindowSkin::WindowSkin() : caption_(Caption()) {}

void WindowSkin::Prepare(HWND window, Skin& skin, UINT bitmapId) {
    if (!skin.bitmap) skin.bitmap.Reset(ui::LoadBitmapResource(bitmapId));
    if (!skin.region && skin.bitmap) {
        const ui::ScopedGetDC dc(window);
        skin.region.Reset(CreateSkinRegion(dc.get(), skin.bitmap.get(), kSkinKeyColour));
    }
}

void WindowSkin::Apply(HWND window, bool playMode) {
    Prepare(window, skins_[0], IDB_SKIN_FULL);
    Prepare(window, skins_[1], IDB_SKIN_PLAY);
    ApplySkinRegion(window, skins_[playMode ? 1 : 0].region.get());
    playMode_ = playMode;
}

void WindowSkin::CreateBrushes() {
    darkBrush_.Reset(CreateSolidBrush(kDarkColour));
    lightBrush_.Reset(CreateSolidBrush(kLightColour));
}

void WindowSkin::ColourTree(HWND tree) {
    SendMessageW(tree, TVM_SETINDENT, 15, 0);
    SendMessageW(tree, TVM_SETTEXTCOLOR, 0, kWhite);
    SendMessageW(tree, TVM_SETBKCOLOR, 0, kPanelColour);
    SendMessageW(tree, TVM_SETINSERTMARKCOLOR, 0, kInsertMarkColour);
}

void WindowSkin::ColourList(HWND list) {
    SendMessageW(list, LVM_SETBKCOLOR, 0, kPanelColour);
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, kPanelColour);
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, kWhite);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

void WindowSkin::Paint(HWND window, HICON icon) const {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (IsIconic(window)) {
        SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(window, &client);
        const POINT at = CentredIconPosition(client);
        DrawIcon(dc, at.x, at.y, icon);
    } else {
        const SIZE size = ui::BitmapSize(CurrentBitmap());
        ui::DrawBitmap(dc, 0, 0, size.cx, size.cy, CurrentBitmap());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kWhite);
        const POINT at = playMode_ ? kCaptionPlay : kCaptionFull;
        TextOutW(dc, at.x, at.y, caption_.c_str(), static_cast<int>(caption_.size()));
    }
    EndPaint(window, &ps);
}

HBRUSH WindowSkin::ControlColour(HDC dc, HWND control) const {
    const int id = GetDlgCtrlID(control);
    const bool light = (id == IDC_PLAY_TIME || id == IDC_STATUS_LINE) && GetParent(control);
    SetTextColor(dc, kWhite);
    SetBkColor(dc, light ? kLightColour : kDarkColour);
    return light ? lightBrush_.get() : darkBrush_.get();
}

LRESULT WindowSkin::DrawTreeItem(NMTVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // Unfocused, the control would draw the selection in the button face's
        // light grey under our white text.
        if ((draw.nmcd.uItemState & CDIS_SELECTED) && GetFocus() != draw.nmcd.hdr.hwndFrom) {
            draw.clrText = kWhite;
            draw.clrTextBk = kLightColour;
        }
        return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

LRESULT WindowSkin::DrawListItem(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // As for the tree; the list would also override colours given for a
        // selected item, so the item is drawn as not selected, in our colours.
        if ((draw.nmcd.uItemState & CDIS_SELECTED) && GetFocus() != draw.nmcd.hdr.hwndFrom) {
            draw.nmcd.uItemState &= ~CDIS_SELECTED;
            draw.clrText = kWhite;
            draw.clrTextBk = kLightColour;
        }
        return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

void WindowSkin::StartDrag(HWND window) { SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0); }

}  // namespace kavuno::skin
