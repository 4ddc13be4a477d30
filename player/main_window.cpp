#include "main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "catalogue_file.h"
#include "category_tree.h"
#include "framework/app.h"
#include "gbk_win.h"
#include "list_rows.h"
#include "resource.h"
#include "template_setup.h"

namespace {

using kavuno::ui::OnCommand;
using kavuno::ui::OnMessage;
using kavuno::ui::OnNotify;

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverInterval = 100;

constexpr COLORREF kDarkColour = RGB(0, 51, 102);
constexpr COLORREF kLightColour = RGB(102, 153, 204);
constexpr COLORREF kPanelColour = RGB(59, 100, 171);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInsertMarkColour = RGB(250, 0, 0);

constexpr wchar_t kWindowText[] = L"Kavuno";
constexpr wchar_t kCatalogueFile[] = L"movie.dat";
constexpr wchar_t kCategoryFile[] = L"root.dat";
constexpr wchar_t kHelpFile[] = L"help.chm";

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

// Handlers of the skin, the skinned buttons, playback and the ad panels join
// this table with their parts: paint, drag icon, dragging, timers, control
// colours, the playback buttons, the list's double-click and click, the mode and
// keep-on-top buttons and the slider's release.
const kavuno::ui::MessageEntry<CPlayerDlg> CPlayerDlg::kMessageTable[] = {
    OnCommand(BN_CLICKED, IDC_CLOSE, &CPlayerDlg::OnClose),
    OnCommand(BN_CLICKED, IDC_MINIMIZE, &CPlayerDlg::OnMinimize),
    OnNotify(NM_CLICK, IDC_CATEGORY_TREE, &CPlayerDlg::OnTreeClick),
    OnCommand(BN_CLICKED, IDC_SEARCH, &CPlayerDlg::OnSearch),
    OnCommand(STN_CLICKED, IDC_HELP_LABEL, &CPlayerDlg::OnHelp),
    OnNotify(LVN_GETDISPINFOW, IDC_MOVIE_LIST, &CPlayerDlg::OnListGetDisplayInfo),
    OnNotify(LVN_ODFINDITEMW, IDC_MOVIE_LIST, &CPlayerDlg::OnListFindItem),
    OnMessage(kCatalogueProblemMessage, &CPlayerDlg::OnCatalogueProblem),
};

CPlayerDlg::CPlayerDlg() : Dialog(IDD_PLAYER, kMessageTable), m_list(&m_records) {
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLAYER));
}

CPlayerDlg::~CPlayerDlg() = default;

void CPlayerDlg::DoDataExchange() {
    Bind(IDC_MODE, m_btnMode);
    Bind(IDC_POSITION, m_sliderPos);
    Bind(IDC_SEARCH_TYPE, m_comboSearchType);
    Bind(IDC_SEARCH, m_btnSearch);
    Bind(IDC_MOVIE_LIST, m_list);
    Bind(IDC_CATEGORY_TREE, m_tree);
    Bind(IDC_MINIMIZE, m_btnMinimize);
    Bind(IDC_MAXIMIZE, m_btnMaximize);
    Bind(IDC_CLOSE, m_btnClose);
    Bind(IDC_FULL_SCREEN, m_btnFullScreen);
    Bind(IDC_STOP, m_btnStop);
    Bind(IDC_PLAY_PAUSE, m_btnPlayPause);
    Bind(IDC_TOPMOST, m_btnTopmost);
}

BOOL CPlayerDlg::OnInitDialog() {
    // 1. Base set-up: the bindings, the template's initial data (the search
    // types), and window and controls at the reference base units.
    Dialog::OnInitDialog();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    kavuno::player::FillInitialData(hwnd(), instance, IDD_PLAYER);
    kavuno::player::PlaceAtReferenceUnits(hwnd(), instance, IDD_PLAYER);

    // 2. The icons.
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // 3. Presence: results ignored, a player without presence runs the same.
    m_socket.Create(hwnd(), kPresenceSocketMessage);
    m_socket.Send("Conn");

    // 4, 5. Centred; the launcher recognises a running player by this text.
    CentreOnScreen();
    SetWindowTextW(hwnd(), kWindowText);

    // 6-8. Skin and region, button images, the 100 ms hover poll.
    ApplySkin();
    LoadButtonImages();
    SetTimer(hwnd(), kHoverTimer, kHoverInterval, nullptr);

    // 9-12. Colours and the list's columns.
    m_brDark.Reset(CreateSolidBrush(kDarkColour));
    m_brLight.Reset(CreateSolidBrush(kLightColour));
    SetUpTreeAppearance();
    m_list.InsertColumns();
    SetUpListAppearance();

    // 13-16. The catalogue: tree, records, the recently updated entries.
    m_strAppDir = kavuno::ui::ProgramDirectory();
    m_tree.Build(kavuno::catalogue::LoadCategoryTree(std::filesystem::path(m_strAppDir + kCategoryFile)));
    LoadRecords();
    ShowRecent();

    // 17. Search by title.
    m_comboSearchType.Send(CB_SETCURSEL, 0);

    // 18-22. The ad pop-up, then the video area's three controls.
    CreateAdPopup();
    CreateVideoAreaControls();

    // 23. Tool tips of four buttons.
    CreateToolTips();

    // 24. The focus goes to the first tab stop, the category tree.
    return TRUE;
}

void CPlayerDlg::CentreOnScreen() {
    RECT window, area;
    GetWindowRect(hwnd(), &window);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        area = monitor.rcWork;
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPlayerDlg::SetUpTreeAppearance() {
    m_tree.Send(TVM_SETINDENT, 15);
    m_tree.Send(TVM_SETTEXTCOLOR, 0, kWhite);
    m_tree.Send(TVM_SETBKCOLOR, 0, kPanelColour);
    m_tree.Send(TVM_SETINSERTMARKCOLOR, 0, kInsertMarkColour);
}

void CPlayerDlg::SetUpListAppearance() {
    m_list.Send(LVM_SETBKCOLOR, 0, kPanelColour);
    m_list.Send(LVM_SETTEXTBKCOLOR, 0, kPanelColour);
    m_list.Send(LVM_SETTEXTCOLOR, 0, kWhite);
    m_list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

void CPlayerDlg::LoadRecords() {
    using kavuno::catalogue::LoadResult;
    const LoadResult result =
        kavuno::catalogue::LoadCatalogue(std::filesystem::path(m_strAppDir + kCatalogueFile), m_records);
    if (result.ok()) return;
    // The window works with whatever was read; the user learns why the list
    // is short, and that the launcher fetches a fresh copy.
    if (result.status == LoadResult::Status::CannotOpen) {
        m_catalogueProblem = L"无法读取节目单文件 movie.dat，节目列表是空的。\n"
                             L"请关闭本程序，重新运行 KavunoUp 更新节目单。";
    } else {
        const std::size_t shown = m_records.size() > 1 ? m_records.size() - 1 : 0;
        m_catalogueProblem = L"节目单文件 movie.dat 已损坏，只读出了其中的 " + std::to_wstring(shown) +
                             L" 个节目。\n请关闭本程序，重新运行 KavunoUp 更新节目单。";
    }
    // Shown once the window is on the screen, over it.
    PostMessageW(hwnd(), kCatalogueProblemMessage, 0, 0);
}

bool CPlayerDlg::OnCatalogueProblem(WPARAM, LPARAM, LRESULT& result) {
    MessageBoxW(hwnd(), m_catalogueProblem.c_str(), kavuno::ui::App::Current().Title().c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    result = 0;
    return true;
}

bool CPlayerDlg::PreTranslateMessage(MSG& msg) {
    if (m_tooltip) SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    if (msg.message == WM_KEYDOWN) {
        // Escape never closes the window; Enter searches from whichever control has the focus.
        if (msg.wParam == VK_ESCAPE) return true;
        if (msg.wParam == VK_RETURN) {
            OnSearch();
            return true;
        }
    }
    return false;
}

void CPlayerDlg::OnMinimize() { ShowWindow(hwnd(), SW_MINIMIZE); }

void CPlayerDlg::OnHelp() {
    const std::wstring help = m_strAppDir + kHelpFile;
    ShellExecuteW(nullptr, L"open", help.c_str(), L"", L"", SW_SHOWNORMAL);
}

void CPlayerDlg::OnClose() {
    m_socket.Send("Quit");
    if (m_nPlayerMode != 0) StopPlayback();
    OnCancel();
}

void CPlayerDlg::OnCancel() {
    FreeEmbeddedWindows();
    KillTimer(hwnd(), kHoverTimer);
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- tree and list

void CPlayerDlg::OnTreeClick(NMHDR*, LRESULT&) {
    const auto node = m_tree.NodeAtCursor();
    // A parent node keeps the tree's own click handling and leaves the list alone.
    if (!node || m_tree.HasChildren(*node)) return;
    m_list.Clear();
    const std::string_view text = m_tree.Text(*node);
    if (text == kavuno::catalogue::kRecentCategory) {
        ShowRecent();
    } else {
        ShowCategory(text, {});
    }
}

void CPlayerDlg::ShowRecent() { m_list.InsertRowsAtTop(kavuno::catalogue::RecentRows(m_records)); }

void CPlayerDlg::ShowCategory(std::string_view kind, std::string_view parent) {
    m_list.InsertRowsAtTop(kavuno::catalogue::CategoryRows(m_records, kind, parent));
}

void CPlayerDlg::OnSearch() {
    const std::string text = kavuno::gbk::FromWide(ControlText(GetDlgItem(hwnd(), IDC_SEARCH_TEXT)));
    if (kavuno::catalogue::SearchKeepsList(text)) return;
    m_list.Clear();
    // The selection cannot change while this loop runs on the window's thread,
    // so one reading serves every record.
    const int selection = static_cast<int>(m_comboSearchType.Send(CB_GETCURSEL));
    m_list.InsertRowsAtTop(
        kavuno::catalogue::SearchRows(m_records, text, kavuno::catalogue::SearchFieldForSelection(selection)));
}

void CPlayerDlg::OnListGetDisplayInfo(NMHDR* header, LRESULT&) {
    m_list.OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
}

void CPlayerDlg::OnListFindItem(NMHDR* header, LRESULT& result) {
    result = m_list.OnFindItem(*reinterpret_cast<NMLVFINDITEMW*>(header));
}

// ---------------------------------------------------------------- tool tips

void CPlayerDlg::CreateToolTips() {
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_tooltip) return;
    SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
    struct Tip {
        int control;
        const wchar_t* text;
    };
    const Tip tips[] = {
        {IDC_TOPMOST, L"窗体置前"}, {IDC_MINIMIZE, L"最小化"}, {IDC_CLOSE, L"关闭"}, {IDC_MODE, L"播放模式"}};
    for (const Tip& tip : tips) {
        std::wstring text = tip.text;
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd(), tip.control));
        tool.lpszText = text.data();
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// ---------------------------------------------------------------- other parts' steps

// The full-mode skin and the window region cut from it are set up here.
void CPlayerDlg::ApplySkin() {}

// The nine bitmap buttons get their images here.
void CPlayerDlg::LoadButtonImages() {}

// The ad pop-up below the window is created and shown here.
void CPlayerDlg::CreateAdPopup() {}

// The RealPlayer, Windows Media Player and web browser controls are created
// here, inside control 1015, covering it.
void CPlayerDlg::CreateVideoAreaControls() {}

// Playback stops here: the active player, the status timer, the texts.
void CPlayerDlg::StopPlayback() {}

// The ad pop-up, the browser and the two players are freed here, in that order.
void CPlayerDlg::FreeEmbeddedWindows() {}
