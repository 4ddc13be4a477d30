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
using kavuno::ui::OnCommand;
using kavuno::ui::OnMessage;
using kavuno::ui::OnNotify;
using kavuno::ui::OnTimer;

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

const kavuno::ui::MessageEntry<MainWindow> MainWindow::kMessageTable[] = {
    OnMessage(WM_PAINT, &MainWindow::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &MainWindow::OnQueryDragIcon),
    OnMessage(WM_LBUTTONDOWN, &MainWindow::OnLButtonDown),
    OnCommand(BN_CLICKED, IDC_CLOSE, &MainWindow::OnClose),
    OnTimer(PlaybackControl::kStatusTimer, &MainWindow::UpdatePlaybackStatus),
    OnMessage(WM_TIMER, &MainWindow::OnHoverTimer),
    OnMessage(WM_CTLCOLORMSGBOX, &MainWindow::OnCtlColor),
    OnMessage(WM_CTLCOLOREDIT, &MainWindow::OnCtlColor),
    OnMessage(WM_CTLCOLORLISTBOX, &MainWindow::OnCtlColor),
    OnMessage(WM_CTLCOLORBTN, &MainWindow::OnCtlColor),
    OnMessage(WM_CTLCOLORDLG, &MainWindow::OnCtlColor),
    OnMessage(WM_CTLCOLORSCROLLBAR, &MainWindow::OnCtlColor),
    OnMessage(WM_CTLCOLORSTATIC, &MainWindow::OnCtlColor),
    OnCommand(BN_CLICKED, IDC_MINIMIZE, &MainWindow::OnMinimize),
    OnNotify(NM_CLICK, IDC_CATEGORY_TREE, &MainWindow::OnTreeClick),
    OnNotify(NM_RCLICK, IDC_CATEGORY_TREE, &MainWindow::OnTreeRightClick),
    OnNotify(NM_DBLCLK, IDC_MOVIE_LIST, &MainWindow::PlaySelected),
    OnCommand(BN_CLICKED, IDC_SEARCH, &MainWindow::OnSearch),
    OnCommand(STN_CLICKED, IDC_HELP_LABEL, &MainWindow::OnHelp),
    OnCommand(BN_CLICKED, IDC_FULL_SCREEN, &MainWindow::OnFullScreen),
    OnCommand(BN_CLICKED, IDC_STOP, &MainWindow::StopPlayback),
    OnCommand(BN_CLICKED, IDC_PLAY_PAUSE, &MainWindow::OnPlayPause),
    OnCommand(BN_CLICKED, IDC_MODE, &MainWindow::ToggleWindowMode),
    OnCommand(BN_CLICKED, IDC_TOPMOST, &MainWindow::ToggleTopmost),
    OnNotify(NM_RELEASEDCAPTURE, IDC_POSITION, &MainWindow::OnSeek),
    OnNotify(NM_CLICK, IDC_MOVIE_LIST, &MainWindow::OnMovieListClick),
    OnMessage(kStartNoticeMessage, &MainWindow::OnStartNotices),
    OnMessage(kPresenceResolvedMessage, &MainWindow::OnPresenceResolved),
    OnMessage(WM_SYSCOMMAND, &MainWindow::OnSysCommand),
    OnMessage(WM_APPCOMMAND, &MainWindow::OnAppCommand),
};

MainWindow::MainWindow()
    : Dialog(IDD_PLAYER, kMessageTable),
      movieList_(&records_),
      buttonFaces_({closeButton_, maximizeButton_, minimizeButton_, searchButton_, topmostButton_, fullScreenButton_,
                    stopButton_, playPauseButton_, modeButton_}),
      modes_(skin_, modeButton_, topmostButton_, toolTip_),
      playback_(videoArea_, positionSlider_, playPauseButton_, &watched_),
      volumeControl_(volume_),
      keys_(playback_, volume_) {
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLAYER));
}

MainWindow::~MainWindow() = default;

void MainWindow::DoDataExchange() {
    Bind(IDC_MODE, modeButton_);
    Bind(IDC_POSITION, positionSlider_);
    Bind(IDC_SEARCH_TYPE, searchType_);
    Bind(IDC_SEARCH, searchButton_);
    Bind(IDC_MOVIE_LIST, movieList_);
    Bind(IDC_CATEGORY_TREE, categoryTree_);
    Bind(IDC_MINIMIZE, minimizeButton_);
    Bind(IDC_MAXIMIZE, maximizeButton_);
    Bind(IDC_CLOSE, closeButton_);
    Bind(IDC_FULL_SCREEN, fullScreenButton_);
    Bind(IDC_STOP, stopButton_);
    Bind(IDC_PLAY_PAUSE, playPauseButton_);
    Bind(IDC_TOPMOST, topmostButton_);
}

bool MainWindow::OnInitDialog() {
    // The bindings first, then the template's initial data (the search
    // types), and window and controls at the reference base units, where the
    // skin's bitmaps fit them. Playback sets its timer and texts on this window.
    Dialog::OnInitDialog();
    playback_.Attach(hwnd());
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    kavuno::player::FillInitialData(hwnd(), instance, IDD_PLAYER);
    kavuno::player::PlaceAtReferenceUnits(hwnd(), instance, IDD_PLAYER);

    // The program's icon in both sizes, for the task-bar button and Alt+Tab.
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    // Presence: results ignored, a player without presence runs the same.
    // "Conn" goes out once the server's address is known: a host name is
    // looked up on a thread of its own, never holding up the window.
    presence_.Create(hwnd(), kPresenceSocketMessage);
    presence_.Announce(kavuno::config::PresenceServer(), hwnd(), kPresenceResolvedMessage);

    // Centred; the launcher recognises a running player by this text.
    kavuno::ui::CentreInWorkArea(hwnd());
    SetWindowTextW(hwnd(), kavuno::names::kPlayerWindowText);

    // Every start is in full mode: its skin and region, the buttons' images,
    // and the poll that swaps a button's face while the pointer is over it.
    skin_.Apply(hwnd(), false);
    buttonFaces_.LoadSetUpImages();
    SetTimer(hwnd(), kHoverTimer, kHoverInterval, nullptr);

    // The controls' brushes and colours, and the list's columns before any row.
    skin_.CreateBrushes();
    WindowSkin::ColourTree(categoryTree_.hwnd());
    movieList_.InsertColumns();
    WindowSkin::ColourList(movieList_.hwnd());

    // The catalogue from the program's folder: the tree, the records, the
    // recently updated entries in the list; then what the user watched.
    appDir_ = kavuno::ui::ProgramDirectory();
    LoadCategories();
    LoadRecords();
    ShowRecent();
    watched_.Load();

    // Searches go by title until the user picks another field.
    searchType_.Send(CB_SETCURSEL, 0);

    // The ad pop-up, then the video area's three controls and the volume control.
    CreateAdPopup();
    CreateVideoAreaControls();
    CreateVolumeControl();

    // Tool tips once every button exists, the volume control included; then
    // whether the last run crashed.
    CreateToolTips();
    NoticeLastCrash();

    // The focus goes to the first tab stop, the category tree.
    return true;
}

void MainWindow::LoadCategories() {
    using kavuno::catalogue::CategoryFileStatus;
    CategoryFileStatus status = CategoryFileStatus::Read;
    kavuno::catalogue::CategoryTree tree = kavuno::catalogue::LoadCategoryTree(
        std::filesystem::path(appDir_ + kCategoryFile), &status);
    const std::size_t shown = tree.size() - 1;  // after the fixed first node, one node per line read
    watchedNode_ = tree.Add(kWatchedCategory, kavuno::catalogue::CategoryNode::kNoParent);
    categoryTree_.Build(std::move(tree));
    if (status != CategoryFileStatus::Cut) return;
    kavuno::ui::WriteLog(
        kavuno::logfile::Kind::Catalogue,
        "root.dat: larger than 1 MiB or longer than 10000 lines, cut to its first " + std::to_string(shown) + " lines");
    AddStartNotice(L"分类文件 root.dat 太长（超过 1 MB 或 10000 行），只显示了其中的前 " + std::to_wstring(shown) +
                   L" 个分类。\n请关闭本程序，重新运行 KavunoUp 更新节目单。");
}

void MainWindow::LoadRecords() {
    using kavuno::catalogue::LoadResult;
    const LoadResult result = kavuno::catalogue::LoadCatalogue(std::filesystem::path(appDir_ + kCatalogueFile),
                                                               records_);
    if (result.ok()) return;
    kavuno::ui::WriteLog(kavuno::logfile::Kind::Catalogue, "movie.dat: " + result.message);
    // The window works with whatever was read; the user learns why the list
    // is short, and that the launcher fetches a fresh copy.
    if (result.status == LoadResult::Status::CannotOpen) {
        AddStartNotice(
            L"无法读取节目单文件 movie.dat，节目列表是空的。\n"
            L"请关闭本程序，重新运行 KavunoUp 更新节目单。");
    } else {
        const std::size_t shown = records_.size() > 1 ? records_.size() - 1 : 0;
        AddStartNotice(L"节目单文件 movie.dat 已损坏，只读出了其中的 " + std::to_wstring(shown) +
                       L" 个节目。\n请关闭本程序，重新运行 KavunoUp 更新节目单。");
    }
}

void MainWindow::NoticeLastCrash() {
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

void MainWindow::AddStartNotice(const std::wstring& text) {
    // Shown once the window is on the screen, over it.
    if (startNotices_.empty()) PostMessageW(hwnd(), kStartNoticeMessage, 0, 0);
    startNotices_ += (startNotices_.empty() ? L"" : L"\n\n") + text;
}

bool MainWindow::OnStartNotices(WPARAM, LPARAM, LRESULT& result) {
    MessageBoxW(hwnd(), startNotices_.c_str(), kavuno::ui::App::Current().Title().c_str(), MB_OK | MB_ICONEXCLAMATION);
    result = 0;
    return true;
}

bool MainWindow::PreTranslateMessage(MSG& msg) {
    toolTip_.Relay(msg);
    videoArea_.browser().NoteInput(msg);
    // Keys of the ad pop-up, which this window owns, are the pop-up's own.
    if (msg.message == WM_KEYDOWN && GetAncestor(msg.hwnd, GA_ROOT) == hwnd()) {
        // Escape never closes the window; Enter searches from whichever control has the focus.
        if (msg.wParam == VK_ESCAPE) return true;
        if (msg.wParam == VK_RETURN) {
            OnSearch();
            return true;
        }
        // Home goes back to the beginning while the status line offers it; Ctrl+Home always.
        if (msg.wParam == VK_HOME && playback_.SeekToStart(GetKeyState(VK_CONTROL) < 0)) return true;
    }
    if (keys_.Translate(msg)) return true;
    return false;
}

bool MainWindow::OnSysCommand(WPARAM command, LPARAM, LRESULT& result) {
    result = 0;
    return playback_.RefusesSysCommand(command);
}

bool MainWindow::OnAppCommand(WPARAM, LPARAM command, LRESULT& result) {
    result = TRUE;
    return keys_.OnAppCommand(command);
}

bool MainWindow::OnPresenceResolved(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    presence_.OnResolved(wParam, lParam);
    result = 0;
    return true;
}

void MainWindow::OnMinimize() { ShowWindow(hwnd(), SW_MINIMIZE); }

void MainWindow::OnHelp() {
    const std::wstring help = appDir_ + kHelpFile;
    ShellExecuteW(nullptr, L"open", help.c_str(), L"", L"", SW_SHOWNORMAL);
}

void MainWindow::OnClose() {
    presence_.Send("Quit");
    if (playback_.MovieLoaded()) StopPlayback();
    OnCancel();
}

void MainWindow::OnCancel() {
    FreeEmbeddedWindows();
    KillTimer(hwnd(), kHoverTimer);
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- tree and list

void MainWindow::OnTreeClick(NMHDR*, LRESULT&) {
    const auto node = categoryTree_.NodeAtCursor();
    // A parent node keeps the tree's own click handling and leaves the list alone.
    if (!node || categoryTree_.HasChildren(*node)) return;
    movieList_.Clear();
    const std::string_view text = categoryTree_.Text(*node);
    if (*node == watchedNode_) {
        ShowWatched();
    } else if (text == kavuno::catalogue::kRecentCategory) {
        ShowRecent();
    } else {
        ShowCategory(text, {});
    }
}

void MainWindow::OnTreeRightClick(NMHDR*, LRESULT&) {
    if (categoryTree_.NodeAtCursor() != watchedNode_) return;
    POINT at;
    GetCursorPos(&at);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kClearWatchedCommand, L"清除观看记录");
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(),
                                       nullptr);
    DestroyMenu(menu);
    if (chosen != kClearWatchedCommand) return;
    // The list empties too when it is the one the node showed.
    const std::vector<std::size_t> shown = kavuno::history::WatchedRows(watched_.history(), records_);
    bool listed = movieList_.RowCount() == shown.size();
    for (std::size_t row = 0; listed && row < shown.size(); ++row)
        listed = movieList_.RecordIndexAt(static_cast<int>(row)) == shown[row];
    watched_.Clear();
    if (listed) movieList_.Clear();
}

void MainWindow::ShowWatched() {
    movieList_.InsertRowsAtTop(kavuno::history::WatchedRows(watched_.history(), records_));
}

void MainWindow::ShowRecent() { movieList_.InsertRowsAtTop(kavuno::catalogue::RecentRows(records_)); }

void MainWindow::ShowCategory(std::string_view kind, std::string_view parent) {
    movieList_.InsertRowsAtTop(kavuno::catalogue::CategoryRows(records_, kind, parent));
}

void MainWindow::OnSearch() {
    const std::wstring typed = ControlText(GetDlgItem(hwnd(), IDC_SEARCH_TEXT));
    std::string text;
    if (!kavuno::gbk::FromWideStrict(typed, text)) {
        // A character that no catalogue text can hold: nothing matches (a
        // '?' put in its place would match every title with a '?').
        movieList_.Clear();
        return;
    }
    if (kavuno::catalogue::SearchKeepsList(text)) return;
    movieList_.Clear();
    // The selection cannot change while this loop runs on the window's thread,
    // so one reading serves every record.
    const int selection = static_cast<int>(searchType_.Send(CB_GETCURSEL));
    movieList_.InsertRowsAtTop(
        kavuno::catalogue::SearchRows(records_, text, kavuno::catalogue::SearchFieldForSelection(selection)));
}

// ---------------------------------------------------------------- skin

bool MainWindow::OnPaint(WPARAM, LPARAM, LRESULT&) {
    skin_.Paint(hwnd(), icon_);
    return true;
}

bool MainWindow::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(icon_);
    return true;
}

bool MainWindow::OnLButtonDown(WPARAM, LPARAM, LRESULT&) {
    WindowSkin::StartDrag(hwnd());
    return false;
}

bool MainWindow::OnHoverTimer(WPARAM, LPARAM, LRESULT&) {
    buttonFaces_.PollHover();
    return false;
}

bool MainWindow::OnCtlColor(WPARAM dc, LPARAM control, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(skin_.ControlColour(reinterpret_cast<HDC>(dc), reinterpret_cast<HWND>(control)));
    return true;
}

void MainWindow::ToggleWindowMode() {
    modes_.ToggleWindowMode(hwnd(), [this] { RefreshBrowser(); });
}

void MainWindow::ToggleTopmost() {
    modes_.ToggleTopmost(hwnd());
    if (adPopup_) adPopup_->KeepOnTop();  // whatever the window it belongs to does
}

void MainWindow::CreateToolTips() {
    if (!toolTip_.Create(hwnd())) return;
    toolTip_.Add(GetDlgItem(hwnd(), IDC_TOPMOST), kavuno::skin::kKeepOnTopTip);
    toolTip_.Add(GetDlgItem(hwnd(), IDC_MINIMIZE), L"最小化");
    toolTip_.Add(GetDlgItem(hwnd(), IDC_CLOSE), L"关闭");
    toolTip_.Add(GetDlgItem(hwnd(), IDC_MODE), kavuno::skin::kToPlayModeTip);
    // The other buttons' tips name them as their texts do.
    for (const int id : {IDC_SEARCH, IDC_STOP, IDC_FULL_SCREEN}) {
        toolTip_.Add(GetDlgItem(hwnd(), id), ControlText(GetDlgItem(hwnd(), id)));
    }
    toolTip_.Add(GetDlgItem(hwnd(), IDC_HELP_LABEL), L"帮助");
    toolTip_.Add(volumeControl_.hwnd(), L"音量");
    playPauseButton_.NameIn(toolTip_);
}

// ---------------------------------------------------------------- playback and ads

void MainWindow::UpdatePlaybackStatus() { playback_.UpdatePlaybackStatus(); }

void MainWindow::PlaySelected(NMHDR*, LRESULT&) {
    const std::size_t index = movieList_.SelectedRecordIndex();
    if (index == 0) return;
    const kavuno::catalogue::MovieRecord& record = records_[index];
    if (record.playable() == 0) {
        // A series lists its episodes; a movie that plays keeps playing.
        movieList_.Clear();
        ShowCategory(record.kind(), record.title());
        return;
    }
    playback_.Start(record, index);
}

void MainWindow::OnPlayPause() { playback_.OnPlayPause(); }

void MainWindow::OnFullScreen() { playback_.OnFullScreen(); }

void MainWindow::OnSeek(NMHDR*, LRESULT&) { playback_.OnSeek(); }

void MainWindow::StopPlayback() { playback_.StopPlayback(); }

void MainWindow::OnMovieListClick(NMHDR*, LRESULT&) {
    const std::size_t index = movieList_.SelectedRecordIndex();
    if (index == 0) return;
    kavuno::playback::WebBrowserControl& panel = videoArea_.browser();
    if (const auto page = kavuno::ads::PanelPageForClick(records_[index], playback_.MovieLoaded(),
                                                         panel.GetLocationURL())) {
        panel.Navigate(*page);
    }
}

void MainWindow::RefreshBrowser() {
    videoArea_.Repaint();  // the skin was just painted over it
    videoArea_.browser().Refresh();
}

void MainWindow::CreateAdPopup() {
    adPopup_ = std::make_unique<kavuno::ads::AdPopup>();
    adPopup_->Open(hwnd());
}

void MainWindow::CreateVideoAreaControls() {
    videoArea_.Create(GetDlgItem(hwnd(), IDC_VIDEO_AREA), kavuno::ads::AdPage());
}

void MainWindow::CreateVolumeControl() {
    // The last run's volume, for every movie started; shown between the
    // slider and the full-screen button.
    volume_.Load();
    playback_.SetVolume(volume_.setting());
    volume_.OnChange([this](const kavuno::playback::VolumeSetting& setting) {
        playback_.SetVolume(setting);
        volumeControl_.Show(setting);
    });
    volumeControl_.Create(hwnd(), kVolumeLeft, kVolumeTop, IDC_VOLUME);
    keys_.Attach(hwnd());
}

void MainWindow::FreeEmbeddedWindows() {
    adPopup_.reset();
    videoArea_.Destroy();
}
