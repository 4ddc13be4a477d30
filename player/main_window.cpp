#include "player/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "common/gbk_win.h"
#include "common/program_names.h"
#include "common/service_config.h"
#include "framework/app.h"
#include "framework/crash_report.h"
#include "framework/gdi.h"
#include "framework/program_log.h"
#include "player/ads/ad_pages.h"
#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/category_tree.h"
#include "player/catalogue/list_rows.h"
#include "player/history/watched_rows.h"
#include "player/template_setup.h"
#include "resources/player/resource.h"

namespace {

using kavuno::playback::PlaybackControl;
using kavuno::skin::WindowSkin;
using kavuno::ui::OnTimer;
using kavuno::ui::OnCommand;
using kavuno::ui::OnMessage;
using kavuno::ui::OnNotify;

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverInterval = 100;

// The volume control's place in the control bar (pixels).
constexpr int kVolumeLeft = 648;
constexpr int kVolumeTop = 355;
constexpr wchar_t kCatalogueFile[] = L"movie.dat";
constexpr wchar_t kCategoryFile[] = L"root.dat";
constexpr wchar_t kHelpFile[] = L"help.chm";
// "最近观看" (recently watched) in GBK, the tree's last node.
constexpr char kWatchedCategory[] = "\xD7\xEE\xBD\xFC\xB9\xDB\xBF\xB4";
constexpr UINT kClearWatchedCommand = 1;

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

const kavuno::ui::MessageEntry<CPlayerDlg> CPlayerDlg::kMessageTable[] = {
    OnMessage(WM_PAINT, &CPlayerDlg::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &CPlayerDlg::OnQueryDragIcon),
    OnMessage(WM_LBUTTONDOWN, &CPlayerDlg::OnLButtonDown),
    OnCommand(BN_CLICKED, IDC_CLOSE, &CPlayerDlg::OnClose),
    OnTimer(PlaybackControl::kStatusTimer, &CPlayerDlg::UpdatePlaybackStatus),
    OnMessage(WM_TIMER, &CPlayerDlg::OnHoverTimer),
    OnMessage(WM_CTLCOLORMSGBOX, &CPlayerDlg::OnCtlColor),
    OnMessage(WM_CTLCOLOREDIT, &CPlayerDlg::OnCtlColor),
    OnMessage(WM_CTLCOLORLISTBOX, &CPlayerDlg::OnCtlColor),
    OnMessage(WM_CTLCOLORBTN, &CPlayerDlg::OnCtlColor),
    OnMessage(WM_CTLCOLORDLG, &CPlayerDlg::OnCtlColor),
    OnMessage(WM_CTLCOLORSCROLLBAR, &CPlayerDlg::OnCtlColor),
    OnMessage(WM_CTLCOLORSTATIC, &CPlayerDlg::OnCtlColor),
    OnCommand(BN_CLICKED, IDC_MINIMIZE, &CPlayerDlg::OnMinimize),
    OnNotify(NM_CLICK, IDC_CATEGORY_TREE, &CPlayerDlg::OnTreeClick),
    OnNotify(NM_RCLICK, IDC_CATEGORY_TREE, &CPlayerDlg::OnTreeRightClick),
    OnNotify(NM_DBLCLK, IDC_MOVIE_LIST, &CPlayerDlg::PlaySelected),
    OnCommand(BN_CLICKED, IDC_SEARCH, &CPlayerDlg::OnSearch),
    OnCommand(STN_CLICKED, IDC_HELP_LABEL, &CPlayerDlg::OnHelp),
    OnCommand(BN_CLICKED, IDC_FULL_SCREEN, &CPlayerDlg::OnFullScreen),
    OnCommand(BN_CLICKED, IDC_STOP, &CPlayerDlg::StopPlayback),
    OnCommand(BN_CLICKED, IDC_PLAY_PAUSE, &CPlayerDlg::OnPlayPause),
    OnCommand(BN_CLICKED, IDC_MODE, &CPlayerDlg::ToggleWindowMode),
    OnCommand(BN_CLICKED, IDC_TOPMOST, &CPlayerDlg::ToggleTopmost),
    OnNotify(NM_RELEASEDCAPTURE, IDC_POSITION, &CPlayerDlg::OnSeek),
    OnNotify(NM_CLICK, IDC_MOVIE_LIST, &CPlayerDlg::OnMovieListClick),
    OnMessage(kStartNoticeMessage, &CPlayerDlg::OnStartNotices),
    OnMessage(kPresenceResolvedMessage, &CPlayerDlg::OnPresenceResolved),
    OnMessage(WM_SYSCOMMAND, &CPlayerDlg::OnSysCommand),
    OnMessage(WM_APPCOMMAND, &CPlayerDlg::OnAppCommand),
};

CPlayerDlg::CPlayerDlg()
    : Dialog(IDD_PLAYER, kMessageTable),
      m_list(&m_records),
      m_buttonFaces({m_btnClose, m_btnMaximize, m_btnMinimize, m_btnSearch, m_btnTopmost, m_btnFullScreen, m_btnStop,
                     m_btnPlayPause, m_btnMode}),
      m_modes(m_skin, m_btnMode, m_btnTopmost, m_tooltip),
      m_playback(m_videoArea, m_sliderPos, m_btnPlayPause, &m_watched),
      m_volumeControl(m_volume),
      m_keys(m_playback, m_volume) {
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
    m_playback.Attach(hwnd());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    kavuno::player::FillInitialData(hwnd(), instance, IDD_PLAYER);
    kavuno::player::PlaceAtReferenceUnits(hwnd(), instance, IDD_PLAYER);

    // 2. The icons.
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // 3. Presence: results ignored, a player without presence runs the same.
    // "Conn" goes out once the server's address is known: a host name is
    // looked up on a thread of its own, never holding up the window.
    m_socket.Create(hwnd(), kPresenceSocketMessage);
    m_socket.Announce(kavuno::config::PresenceServer(), hwnd(), kPresenceResolvedMessage);

    // 4, 5. Centred; the launcher recognises a running player by this text.
    kavuno::ui::CentreInWorkArea(hwnd());
    SetWindowTextW(hwnd(), kavuno::names::kPlayerWindowText);

    // 6-8. Skin and region of full mode, button images, the 100 ms hover poll.
    m_skin.Apply(hwnd(), false);
    m_buttonFaces.LoadSetUpImages();
    SetTimer(hwnd(), kHoverTimer, kHoverInterval, nullptr);

    // 9-12. Colours and the list's columns.
    m_skin.CreateBrushes();
    WindowSkin::ColourTree(m_tree.hwnd());
    m_list.InsertColumns();
    WindowSkin::ColourList(m_list.hwnd());

    // 13-16. The catalogue: tree, records, the recently updated entries.
    m_strAppDir = kavuno::ui::ProgramDirectory();
    LoadCategories();
    LoadRecords();
    ShowRecent();
    m_watched.Load();

    // 17. Search by title.
    m_comboSearchType.Send(CB_SETCURSEL, 0);

    // 18-22. The ad pop-up, then the video area's three controls.
    CreateAdPopup();
    CreateVideoAreaControls();
    CreateVolumeControl();

    // 23. Tool tips of every button.
    CreateToolTips();
    NoticeLastCrash();

    // 24. The focus goes to the first tab stop, the category tree.
    return TRUE;
}

void CPlayerDlg::LoadCategories() {
    using kavuno::catalogue::CategoryFileStatus;
    CategoryFileStatus status = CategoryFileStatus::Read;
    kavuno::catalogue::CategoryTree tree =
        kavuno::catalogue::LoadCategoryTree(std::filesystem::path(m_strAppDir + kCategoryFile), &status);
    const std::size_t shown = tree.size() - 1;  // after the fixed first node, one node per line read
    m_watchedNode = tree.Add(kWatchedCategory, kavuno::catalogue::CategoryNode::kNoParent);
    m_tree.Build(std::move(tree));
    if (status != CategoryFileStatus::Cut) return;
    kavuno::ui::WriteLog(
        kavuno::logfile::Kind::Catalogue,
        "root.dat: larger than 1 MiB or longer than 10000 lines, cut to its first " + std::to_string(shown) + " lines");
    AddStartNotice(L"分类文件 root.dat 太长（超过 1 MB 或 10000 行），只显示了其中的前 " + std::to_wstring(shown) +
                   L" 个分类。\n请关闭本程序，重新运行 KavunoUp 更新节目单。");
}

void CPlayerDlg::LoadRecords() {
    using kavuno::catalogue::LoadResult;
    const LoadResult result =
        kavuno::catalogue::LoadCatalogue(std::filesystem::path(m_strAppDir + kCatalogueFile), m_records);
    if (result.ok()) return;
    kavuno::ui::WriteLog(kavuno::logfile::Kind::Catalogue, "movie.dat: " + result.message);
    // The window works with whatever was read; the user learns why the list
    // is short, and that the launcher fetches a fresh copy.
    if (result.status == LoadResult::Status::CannotOpen) {
        AddStartNotice(L"无法读取节目单文件 movie.dat，节目列表是空的。\n"
                       L"请关闭本程序，重新运行 KavunoUp 更新节目单。");
    } else {
        const std::size_t shown = m_records.size() > 1 ? m_records.size() - 1 : 0;
        AddStartNotice(L"节目单文件 movie.dat 已损坏，只读出了其中的 " + std::to_wstring(shown) +
                       L" 个节目。\n请关闭本程序，重新运行 KavunoUp 更新节目单。");
    }
}

void CPlayerDlg::NoticeLastCrash() {
    // The player's own last run, or the launcher's that started it.
    const struct {
        const wchar_t* log;
        const wchar_t* name;
    } programs[] = {{kavuno::names::kPlayerLogName, kavuno::names::kPlayerWindowText},
                    {kavuno::names::kLauncherLogName, kavuno::names::kLauncherWindowText}};
    for (const auto& program : programs) {
        if (const auto dump = kavuno::ui::TakeCrashNote(program.log)) {
            AddStartNotice(std::wstring(program.name) + L" 上次运行时意外退出，诊断文件保存在：\n" + *dump +
                           L"\n如需帮助，请把这个文件发给我们。");
        }
    }
}

void CPlayerDlg::AddStartNotice(const std::wstring& text) {
    // Shown once the window is on the screen, over it.
    if (m_startNotices.empty()) PostMessageW(hwnd(), kStartNoticeMessage, 0, 0);
    m_startNotices += (m_startNotices.empty() ? L"" : L"\n\n") + text;
}

bool CPlayerDlg::OnStartNotices(WPARAM, LPARAM, LRESULT& result) {
    MessageBoxW(hwnd(), m_startNotices.c_str(), kavuno::ui::App::Current().Title().c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    result = 0;
    return true;
}

bool CPlayerDlg::PreTranslateMessage(MSG& msg) {
    m_tooltip.Relay(msg);
    m_videoArea.browser().NoteInput(msg);
    // Keys of the ad pop-up, which this window owns, are the pop-up's own.
    if (msg.message == WM_KEYDOWN && GetAncestor(msg.hwnd, GA_ROOT) == hwnd()) {
        // Escape never closes the window; Enter searches from whichever control has the focus.
        if (msg.wParam == VK_ESCAPE) return true;
        if (msg.wParam == VK_RETURN) {
            OnSearch();
            return true;
        }
        // Home goes back to the beginning while the status line offers it; Ctrl+Home always.
        if (msg.wParam == VK_HOME && m_playback.SeekToStart(GetKeyState(VK_CONTROL) < 0)) return true;
    }
    if (m_keys.Translate(msg)) return true;
    return false;
}

bool CPlayerDlg::OnSysCommand(WPARAM command, LPARAM, LRESULT& result) {
    result = 0;
    return m_playback.RefusesSysCommand(command);
}

bool CPlayerDlg::OnAppCommand(WPARAM, LPARAM command, LRESULT& result) {
    result = TRUE;
    return m_keys.OnAppCommand(command);
}

bool CPlayerDlg::OnPresenceResolved(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    m_socket.OnResolved(wParam, lParam);
    result = 0;
    return true;
}

void CPlayerDlg::OnMinimize() { ShowWindow(hwnd(), SW_MINIMIZE); }

void CPlayerDlg::OnHelp() {
    const std::wstring help = m_strAppDir + kHelpFile;
    ShellExecuteW(nullptr, L"open", help.c_str(), L"", L"", SW_SHOWNORMAL);
}

void CPlayerDlg::OnClose() {
    m_socket.Send("Quit");
    if (m_playback.MovieLoaded()) StopPlayback();
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
    if (*node == m_watchedNode) {
        ShowWatched();
    } else if (text == kavuno::catalogue::kRecentCategory) {
        ShowRecent();
    } else {
        ShowCategory(text, {});
    }
}

void CPlayerDlg::OnTreeRightClick(NMHDR*, LRESULT&) {
    if (m_tree.NodeAtCursor() != m_watchedNode) return;
    POINT at;
    GetCursorPos(&at);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kClearWatchedCommand, L"清除观看记录");
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                                       nullptr);
    DestroyMenu(menu);
    if (chosen != kClearWatchedCommand) return;
    // The list empties too when it is the one the node showed.
    const std::vector<std::size_t> shown = kavuno::history::WatchedRows(m_watched.history(), m_records);
    bool listed = m_list.RowCount() == shown.size();
    for (std::size_t row = 0; listed && row < shown.size(); ++row)
        listed = m_list.RecordIndexAt(static_cast<int>(row)) == shown[row];
    m_watched.Clear();
    if (listed) m_list.Clear();
}

void CPlayerDlg::ShowWatched() { m_list.InsertRowsAtTop(kavuno::history::WatchedRows(m_watched.history(), m_records)); }

void CPlayerDlg::ShowRecent() { m_list.InsertRowsAtTop(kavuno::catalogue::RecentRows(m_records)); }

void CPlayerDlg::ShowCategory(std::string_view kind, std::string_view parent) {
    m_list.InsertRowsAtTop(kavuno::catalogue::CategoryRows(m_records, kind, parent));
}

void CPlayerDlg::OnSearch() {
    const std::wstring typed = ControlText(GetDlgItem(hwnd(), IDC_SEARCH_TEXT));
    std::string text;
    if (!kavuno::gbk::FromWideStrict(typed, text)) {
        // A character that no catalogue text can hold: nothing matches (a
        // '?' put in its place would match every title with a '?').
        m_list.Clear();
        return;
    }
    if (kavuno::catalogue::SearchKeepsList(text)) return;
    m_list.Clear();
    // The selection cannot change while this loop runs on the window's thread,
    // so one reading serves every record.
    const int selection = static_cast<int>(m_comboSearchType.Send(CB_GETCURSEL));
    m_list.InsertRowsAtTop(
        kavuno::catalogue::SearchRows(m_records, text, kavuno::catalogue::SearchFieldForSelection(selection)));
}

// ---------------------------------------------------------------- skin

bool CPlayerDlg::OnPaint(WPARAM, LPARAM, LRESULT&) {
    m_skin.Paint(hwnd(), m_hIcon);
    return true;
}

bool CPlayerDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
}

bool CPlayerDlg::OnLButtonDown(WPARAM, LPARAM, LRESULT&) {
    WindowSkin::StartDrag(hwnd());
    return false;
}

bool CPlayerDlg::OnHoverTimer(WPARAM, LPARAM, LRESULT&) {
    m_buttonFaces.PollHover();
    return false;
}

bool CPlayerDlg::OnCtlColor(WPARAM dc, LPARAM control, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(m_skin.ControlColour(reinterpret_cast<HDC>(dc), reinterpret_cast<HWND>(control)));
    return true;
}

void CPlayerDlg::ToggleWindowMode() {
    m_modes.ToggleWindowMode(hwnd(), [this] { RefreshBrowser(); });
}

void CPlayerDlg::ToggleTopmost() {
    m_modes.ToggleTopmost(hwnd());
    if (m_pAdPopup) m_pAdPopup->KeepOnTop();  // whatever the window it belongs to does
}

void CPlayerDlg::CreateToolTips() {
    if (!m_tooltip.Create(hwnd())) return;
    m_tooltip.Add(GetDlgItem(hwnd(), IDC_TOPMOST), kavuno::skin::kKeepOnTopTip);
    m_tooltip.Add(GetDlgItem(hwnd(), IDC_MINIMIZE), L"最小化");
    m_tooltip.Add(GetDlgItem(hwnd(), IDC_CLOSE), L"关闭");
    m_tooltip.Add(GetDlgItem(hwnd(), IDC_MODE), kavuno::skin::kToPlayModeTip);
    // The other buttons' tips name them as their texts do.
    for (const int id : {IDC_SEARCH, IDC_STOP, IDC_FULL_SCREEN}) {
        m_tooltip.Add(GetDlgItem(hwnd(), id), ControlText(GetDlgItem(hwnd(), id)));
    }
    m_tooltip.Add(GetDlgItem(hwnd(), IDC_HELP_LABEL), L"帮助");
    m_tooltip.Add(m_volumeControl.hwnd(), L"音量");
    m_btnPlayPause.NameIn(m_tooltip);
}

// ---------------------------------------------------------------- playback and ads

void CPlayerDlg::UpdatePlaybackStatus() { m_playback.UpdatePlaybackStatus(); }

void CPlayerDlg::PlaySelected(NMHDR*, LRESULT&) {
    const std::size_t index = m_list.SelectedRecordIndex();
    if (index == 0) return;
    const kavuno::catalogue::CMF& record = m_records[index];
    if (record.playable() == 0) {
        // A series lists its episodes; a movie that plays keeps playing.
        m_list.Clear();
        ShowCategory(record.kind(), record.title());
        return;
    }
    m_playback.Start(record, index);
}

void CPlayerDlg::OnPlayPause() { m_playback.OnPlayPause(); }

void CPlayerDlg::OnFullScreen() { m_playback.OnFullScreen(); }

void CPlayerDlg::OnSeek(NMHDR*, LRESULT&) { m_playback.OnSeek(); }

void CPlayerDlg::StopPlayback() { m_playback.StopPlayback(); }

void CPlayerDlg::OnMovieListClick(NMHDR*, LRESULT&) {
    const std::size_t index = m_list.SelectedRecordIndex();
    if (index == 0) return;
    kavuno::playback::CWebBrowser2& panel = m_videoArea.browser();
    if (const auto page = kavuno::ads::PanelPageForClick(m_records[index], m_playback.MovieLoaded(),
                                                         panel.GetLocationURL())) {
        panel.Navigate(*page);
    }
}

void CPlayerDlg::RefreshBrowser() {
    m_videoArea.Repaint();  // the skin was just painted over it
    m_videoArea.browser().Refresh();
}

void CPlayerDlg::CreateAdPopup() {
    m_pAdPopup = std::make_unique<kavuno::ads::CAdPopupDlg>();
    m_pAdPopup->Open(hwnd());
}

void CPlayerDlg::CreateVideoAreaControls() {
    m_videoArea.Create(GetDlgItem(hwnd(), IDC_VIDEO_AREA), kavuno::ads::AdPage());
}

void CPlayerDlg::CreateVolumeControl() {
    // The last run's volume, for every movie started; shown between the
    // slider and the full-screen button.
    m_volume.Load();
    m_playback.SetVolume(m_volume.setting());
    m_volume.OnChange([this](const kavuno::playback::VolumeSetting& setting) {
        m_playback.SetVolume(setting);
        m_volumeControl.Show(setting);
    });
    m_volumeControl.Create(hwnd(), kVolumeLeft, kVolumeTop, IDC_VOLUME);
    m_keys.Attach(hwnd());
}

void CPlayerDlg::FreeEmbeddedWindows() {
    m_pAdPopup.reset();
    m_videoArea.Destroy();
}
