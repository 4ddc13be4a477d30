// The window's skin: the skin and caption painted in each mode, the minimised
// window's icon, the controls' colours, the tree's and list's colours and
// their selection without the focus, a press on bare skin; and the two window
// modes with their buttons and tool tips.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "common/gbk_win.h"
#include "common/service_config.h"
#include "common/url.h"
#include "framework/gdi.h"
#include "framework/ownership.h"
#include "framework/tool_tip.h"
#include "player/skin/window_modes.h"
#include "player/skin/window_skin.h"
#include "tests/win/player/skin_test_window.h"
#include "tests/win/framework/tool_tip_text.h"

namespace kavuno::skin {
namespace {

using kavuno::ui::testing::TipText;

using testing::CanvasPixels;
using testing::ImagePixels;
using testing::Shows;
using testing::SkinTestWindow;
using testing::WindowPixels;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLight = RGB(102, 153, 204);
constexpr COLORREF kDark = RGB(0, 51, 102);
constexpr COLORREF kPanel = RGB(59, 100, 171);

// The skin `id` with the caption in white at `at`, as the window should show it.
std::vector<std::uint32_t> SkinWithCaption(UINT id, POINT at) {
    const std::string site = config::WebSite();
    const std::wstring caption = L"Kavuno  --  " + gbk::ToWide(url::Parse(site).value().hostAsWritten);
    const ui::GdiObject<HBITMAP> skin(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    return CanvasPixels(760, 396, [&](HDC dc) {
        const ui::OwnedDC memory(CreateCompatibleDC(dc));
        const ui::ScopedSelectObject selected(memory.get(), skin.get());
        BitBlt(dc, 0, 0, 760, 396, memory.get(), 0, 0, SRCCOPY);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kWhite);
        TextOutW(dc, at.x, at.y, caption.c_str(), static_cast<int>(caption.size()));
    });
}

// The pixels of the window's client area that lie inside its region: those
// where `skin` is not the key colour, from column `left` on.
std::vector<std::uint32_t> InsideRegion(const std::vector<std::uint32_t>& pixels,
                                        const std::vector<std::uint32_t>& skin, int left) {
    std::vector<std::uint32_t> part;
    for (std::size_t i = 0; i < pixels.size() && i < skin.size(); ++i)
        if (static_cast<int>(i % 760) >= left && skin[i] != 0xFFFF00) part.push_back(pixels[i]);
    return part;
}

TEST(WindowSkin, PaintsTheSkinOfEachModeWithTheCaptionAndTheIconWhenMinimised) {
    SkinTestWindow window;
    WindowSkin skin;
    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    window.paint = [&] { skin.Paint(window.hwnd(), icon); };
    window.Open(true);
    const RECT all = {0, 0, 760, 396};

    for (const bool playMode : {false, true}) {
        skin.Apply(window.hwnd(), playMode);
        ui::RedrawNow(window.hwnd());
        const std::vector<std::uint32_t> expected = SkinWithCaption(playMode ? IDB_SKIN_PLAY : IDB_SKIN_FULL,
                                                                    playMode ? POINT{385, 5} : POINT{10, 5});
        const std::vector<std::uint32_t> key = ImagePixels(playMode ? IDB_SKIN_PLAY : IDB_SKIN_FULL);
        EXPECT_EQ(InsideRegion(WindowPixels(window.hwnd(), all), key, 0), InsideRegion(expected, key, 0))
            << "play mode " << playMode;
    }

    ShowWindow(window.hwnd(), SW_MINIMIZE);
    skin.Paint(window.hwnd(), icon);
    ASSERT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(window.seen[0].message, static_cast<UINT>(WM_ICONERASEBKGND));
    EXPECT_NE(window.seen[0].wParam, 0u);  // the paint device context
    EXPECT_EQ(window.seen[0].lParam, 0);
    // Its icon centred, an odd pixel to the right and below.
    ASSERT_EQ(GetSystemMetrics(SM_CXICON), 32);
    ASSERT_EQ(GetSystemMetrics(SM_CYICON), 32);
    const POINT even = CentredIconPosition({0, 0, 160, 91});
    const POINT odd = CentredIconPosition({10, 20, 171, 110});
    EXPECT_EQ(even.x, 64);
    EXPECT_EQ(even.y, 30);
    EXPECT_EQ(odd.x, 65);
    EXPECT_EQ(odd.y, 29);
}

TEST(WindowSkin, TheTwoTextsSitOnTheLightPanelAndEverythingElseOnTheDarkBand) {
    SkinTestWindow window;
    window.Open();
    WindowSkin skin;
    skin.CreateBrushes();
    const ui::ScopedGetDC screen(nullptr);
    const ui::OwnedDC dc(CreateCompatibleDC(screen.get()));
    for (HWND control :
         {window.Item(IDC_PLAY_TIME), window.Item(IDC_STATUS_LINE), window.Item(IDC_SEARCH_LABEL), window.hwnd()}) {
        const bool light = control == window.Item(IDC_PLAY_TIME) || control == window.Item(IDC_STATUS_LINE);
        SetBkMode(dc.get(), OPAQUE);
        const HBRUSH brush = skin.ControlColour(dc.get(), control);
        LOGBRUSH colour = {};
        ASSERT_TRUE(GetObjectW(brush, sizeof colour, &colour));
        EXPECT_EQ(colour.lbColor, light ? kLight : kDark) << GetDlgCtrlID(control);
        EXPECT_EQ(GetBkColor(dc.get()), light ? kLight : kDark);
        EXPECT_EQ(GetTextColor(dc.get()), kWhite);
        EXPECT_EQ(GetBkMode(dc.get()), OPAQUE);
    }
}

// What custom draw of one item left in the request.
struct Drawn {
    LRESULT result;
    COLORREF text, back;
    UINT state;
};
constexpr COLORREF kUntouched = RGB(1, 2, 3);

template <class Request>
Drawn Draw(LRESULT (*drawItem)(Request&), HWND from, DWORD stage, UINT state) {
    Request request = {};
    request.nmcd.hdr.hwndFrom = from;
    request.nmcd.dwDrawStage = stage;
    request.nmcd.uItemState = state;
    request.clrText = request.clrTextBk = kUntouched;
    const LRESULT result = drawItem(request);
    return {result, request.clrText, request.clrTextBk, request.nmcd.uItemState};
}

TEST(WindowSkin, TreeAndListColoursAndTheirSelectionWithoutTheFocus) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const ui::OwnedWindow host(
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr));
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, host.get(), nullptr,
                                nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 100, 0, 100, 100, host.get(),
                                nullptr, nullptr, nullptr);
    WindowSkin::ColourTree(tree);
    WindowSkin::ColourList(list);
    // Never less than the tree view's own minimum (19 pixels under Wine).
    const HWND fresh = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD, 0, 0, 10, 10, host.get(), nullptr, nullptr,
                                       nullptr);
    SendMessageW(fresh, TVM_SETINDENT, 0, 0);
    EXPECT_EQ(SendMessageW(tree, TVM_GETINDENT, 0, 0), std::max<LRESULT>(15, SendMessageW(fresh, TVM_GETINDENT, 0, 0)));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0)), kWhite);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)), kPanel);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETINSERTMARKCOLOR, 0, 0)), RGB(250, 0, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), kPanel);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)), kPanel);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), kWhite);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);

    // Custom draw: each item is asked for; a selected one keeps white on the
    // light panel while its control lacks the focus; anything else is the control's.
    auto draw = [&](HWND control, DWORD stage, UINT state) {
        return control == tree ? Draw(&WindowSkin::DrawTreeItem, control, stage, state)
                               : Draw(&WindowSkin::DrawListItem, control, stage, state);
    };
    for (HWND control : {tree, list}) {
        HWND elsewhere = control == tree ? list : tree;
        SetFocus(elsewhere);
        const Drawn unfocused = draw(control, CDDS_ITEMPREPAINT, CDIS_SELECTED | CDIS_HOT);
        EXPECT_EQ(unfocused.result, CDRF_DODEFAULT);
        EXPECT_EQ(unfocused.text, kWhite);
        EXPECT_EQ(unfocused.back, kLight);
        // The list would override the colours of a selected item: it is drawn as not selected.
        EXPECT_EQ(unfocused.state, control == tree ? UINT{CDIS_SELECTED | CDIS_HOT} : UINT{CDIS_HOT});
        const struct {
            DWORD stage;
            UINT state;
            HWND focus;
        } untouched[] = {{CDDS_ITEMPREPAINT, 0, elsewhere},
                         {CDDS_ITEMPREPAINT, CDIS_SELECTED, control},
                         {CDDS_POSTPAINT, CDIS_SELECTED, elsewhere}};
        for (const auto& other : untouched) {
            SetFocus(other.focus);
            const Drawn drawn = draw(control, other.stage, other.state);
            EXPECT_EQ(drawn.result, CDRF_DODEFAULT);
            EXPECT_EQ(drawn.text, kUntouched);
            EXPECT_EQ(drawn.back, kUntouched);
            EXPECT_EQ(drawn.state, other.state);
        }
        EXPECT_EQ(draw(control, CDDS_PREPAINT, 0).result, CDRF_NOTIFYITEMDRAW);
    }
}

TEST(WindowSkin, APressOnBareSkinStartsAMoveAsTheCaptionWould) {
    SkinTestWindow window;
    window.Open();
    WindowSkin::StartDrag(window.hwnd());
    ASSERT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(window.seen[0].message, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(window.seen[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(window.seen[0].lParam, 0);
}

TEST(WindowModes, EachSwitchTurnsSkinRegionButtonAndTipRoundAndKeepingOnTopToo) {
    SkinTestWindow window;
    window.Open();
    WindowSkin skin;
    ui::ToolTip tips;
    ASSERT_TRUE(tips.Create(window.hwnd()));
    tips.Add(window.mode.hwnd(), kToPlayModeTip);
    tips.Add(window.topmost.hwnd(), kKeepOnTopTip);
    skin.Apply(window.hwnd(), false);
    window.mode.SetImages(IDB_MODE_FULL, IDB_MODE_FULL);
    WindowModes modes(skin, window.mode, window.topmost, tips);
    auto regionLeft = [&] {
        const ui::GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
        RECT box = {-1, -1, -1, -1};
        if (GetWindowRgn(window.hwnd(), region.get()) != ERROR) GetRgnBox(region.get(), &box);
        return box.left;
    };

    int reloads = 0;
    for (const bool toPlayMode : {true, false}) {
        ValidateRect(window.hwnd(), nullptr);
        modes.ToggleWindowMode(window.hwnd(), [&] { ++reloads; });
        EXPECT_EQ(skin.PlayMode(), toPlayMode);
        EXPECT_EQ(regionLeft(), toPlayMode ? 375 : 0);
        EXPECT_TRUE(GetUpdateRect(window.hwnd(), nullptr, FALSE)) << "the whole window repaints";
        const UINT image = toPlayMode ? IDB_MODE_PLAY : IDB_MODE_FULL;
        EXPECT_TRUE(Shows(window.mode, image));
        EXPECT_TRUE(Shows(window.mode, image, ODS_SELECTED));
        EXPECT_EQ(TipText(tips, window.hwnd(), window.mode.hwnd()), toPlayMode ? L"完整模式" : L"播放模式");
    }
    EXPECT_EQ(reloads, 2);
    modes.ToggleWindowMode(window.hwnd(), nullptr);  // nothing to reload
    EXPECT_TRUE(skin.PlayMode());

    for (const bool toTopmost : {true, false}) {
        modes.ToggleTopmost(window.hwnd());
        EXPECT_EQ(modes.IsTopmost(), toTopmost);
        EXPECT_EQ((GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, toTopmost);
        EXPECT_EQ(TipText(tips, window.hwnd(), window.topmost.hwnd()), toTopmost ? L"取消窗体置前" : L"窗体置前");
    }
}

TEST(WindowSkin, AWindowWithoutARegionToGiveIsStillBroughtToTheFront) {
    SkinTestWindow window, other;
    window.Open();
    other.Open();
    ASSERT_EQ(GetForegroundWindow(), other.hwnd());
    ApplySkinRegion(window.hwnd(), nullptr);
    const ui::GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window.hwnd(), region.get()), ERROR);
    EXPECT_EQ(GetForegroundWindow(), window.hwnd());
}

}  // namespace
}  // namespace kavuno::skin
