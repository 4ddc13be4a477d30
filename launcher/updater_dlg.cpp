#include "launcher/updater_dlg.h"

#include <shellapi.h>

#include "common/program_names.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "launcher/resource_ids.h"

namespace {

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT kAnimationInterval = 150;  // ms
constexpr wchar_t kPlayerProgram[] = L"kavuno.exe";

constexpr int kBackWidth = 340;
constexpr int kBackHeight = 237;
constexpr int kFrameX = 3;
constexpr int kFrameY = 61;
constexpr int kFrameWidth = 334;
constexpr int kFrameHeight = 5;
constexpr int kCaptionX = 10;
constexpr int kCaptionY = 5;

constexpr UINT kFrameIds[CUpdaterDlg::kFrameCount] = {IDB_SWEEP_1, IDB_SWEEP_2, IDB_SWEEP_3,
                                                     IDB_SWEEP_4, IDB_SWEEP_5, IDB_SWEEP_6};

// The next animation frame, 0 to 5, shared by the whole process.
int s_nFrame = 0;

// The template's rectangles in dialog units. The window is laid out at the
// reference base units (6 pixels per 4 units across, 12 per 8 down), where
// the picture and the button images fit; the dialog manager would scale it
// by whatever font replaces the template's "宋体".
struct UnitRect {
    int id, x, y, cx, cy;
};
constexpr UnitRect kClientUnits = {0, 0, 0, 225, 157};
constexpr UnitRect kControlUnits[] = {{IDC_CANCEL, 163, 135, 51, 15}, {IDC_PROGRESS, 11, 102, 204, 9}};

int Across(int units) { return MulDiv(units, 6, 4); }
int Down(int units) { return MulDiv(units, 12, 8); }

using kavuno::ui::LoadBitmapResource;

}  // namespace

const kavuno::ui::MessageEntry<CUpdaterDlg> CUpdaterDlg::kMessageTable[] = {
    kavuno::ui::OnMessage(WM_PAINT, &CUpdaterDlg::OnPaint),
    kavuno::ui::OnMessage(WM_QUERYDRAGICON, &CUpdaterDlg::OnQueryDragIcon),
    kavuno::ui::OnMessage(WM_LBUTTONDOWN, &CUpdaterDlg::OnLButtonDown),
    kavuno::ui::OnCommand(BN_CLICKED, IDC_CANCEL, &CUpdaterDlg::OnCancelButton),
    kavuno::ui::OnMessage(WM_TIMER, &CUpdaterDlg::OnTimer),
    kavuno::ui::OnMessage(WM_CLOSE, &CUpdaterDlg::OnClose),
    kavuno::ui::OnMessage(WM_DESTROY, &CUpdaterDlg::OnDestroy),
};

CUpdaterDlg::CUpdaterDlg()
    : Dialog(IDD_UPDATER, kMessageTable),
      m_hIcon(static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {}

CUpdaterDlg::~CUpdaterDlg() = default;

void CUpdaterDlg::DoDataExchange() {
    Bind(IDC_PROGRESS, m_progress);
    Bind(IDC_CANCEL, m_btnCancel);
}

BOOL CUpdaterDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.get()));
    m_strAppDir = kavuno::ui::ProgramDirectory();
    PlaceControls();

    // A bare rectangle that can still be minimised from the taskbar.
    LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_MINIMIZEBOX);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    // Centred now that its final size is known.
    kavuno::ui::CentreInWorkArea(hwnd());

    SetWindowTextW(hwnd(), kavuno::names::kLauncherWindowText);
    m_bmpBack.Reset(LoadBitmapResource(IDB_BACKGROUND));
    m_btnCancel.SetImages(IDB_CANCEL, IDB_CANCEL_PRESSED);

    for (int i = 0; i < kFrameCount; ++i) m_frames[i].Reset(LoadBitmapResource(kFrameIds[i]));
    m_pMemDC.Reset(CreateCompatibleDC(kavuno::ui::ScopedGetDC(hwnd()).get()));

    SetTimer(hwnd(), kAnimationTimer, kAnimationInterval, nullptr);
    m_update = std::make_shared<kavuno::launcher::UpdateJob>();
    m_update->appDir = m_strAppDir;
    m_update->agent = kavuno::ui::App::Current().Title();
    m_update->progress.Connect(m_progress.hwnd());
    if (!m_worker.Start([job = m_update] { kavuno::launcher::RunUpdateJob(*job); })) {
        m_bUpdateWatched = true;  // no update this time; the player still starts
        m_nUpdateDone = 1;
    }
    return TRUE;
}

void CUpdaterDlg::PlaceControls() {
    DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
    RECT frame = {0, 0, Across(kClientUnits.cx), Down(kClientUnits.cy)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const UnitRect& r : kControlUnits)
        SetWindowPos(Item(r.id), nullptr, Across(r.x), Down(r.y), Across(r.cx), Down(r.cy),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CUpdaterDlg::OnPaint(WPARAM, LPARAM, LRESULT& result) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    kavuno::ui::DrawBitmap(dc, 0, 0, kBackWidth, kBackHeight, m_bmpBack.get());
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, kCaptionX, kCaptionY, kavuno::names::kLauncherWindowText,
             static_cast<int>(wcslen(kavuno::names::kLauncherWindowText)));
    EndPaint(hwnd(), &ps);
    result = 0;
    return true;
}

bool CUpdaterDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(m_hIcon.get());
    return true;
}

bool CUpdaterDlg::OnLButtonDown(WPARAM, LPARAM lParam, LRESULT&) {
    // A press anywhere on the picture moves the window, as on a title bar.
    PostMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(LOWORD(lParam), HIWORD(lParam)));
    return false;
}

bool CUpdaterDlg::OnTimer(WPARAM, LPARAM, LRESULT&) {
    DrawNextFrame();
    WatchUpdate();
    LaunchPlayerWhenUpdated();
    return false;
}

void CUpdaterDlg::WatchUpdate() {
    if (m_bUpdateWatched) return;
    // A worker stalled past the rule is given up on: nothing it does later
    // is committed, and the player starts with the files there are.
    bool stalled = m_update->progress.QuietMs() > kGiveUpAfterMs && m_update->progress.GiveUp();
    if (m_update->ended || stalled) {
        m_bUpdateWatched = true;
        m_nUpdateDone = 1;
    }
}

void CUpdaterDlg::DrawNextFrame() {
    m_pFrameBitmap = m_frames[s_nFrame].get();
    s_nFrame = (s_nFrame + 1) % kFrameCount;
    if (!m_pFrameBitmap || !m_pMemDC) return;
    const kavuno::ui::ScopedSelectObject frame(m_pMemDC.get(), m_pFrameBitmap);
    const kavuno::ui::ScopedGetDC dc(hwnd());
    BitBlt(dc.get(), kFrameX, kFrameY, kFrameWidth, kFrameHeight, m_pMemDC.get(), 0, 0, SRCCOPY);
}

void CUpdaterDlg::LaunchPlayerWhenUpdated() {
    // The flag is raised once per run, so the player is started once.
    if (m_nUpdateDone != 1) return;
    m_nUpdateDone = 0;
    std::wstring player = m_strAppDir + kPlayerProgram;
    ShellExecuteW(nullptr, L"open", player.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool CUpdaterDlg::OnClose(WPARAM, LPARAM, LRESULT&) {
    KillTimer(hwnd(), kAnimationTimer);
    return false;  // the dialog's default turns WM_CLOSE into the cancel command
}

void CUpdaterDlg::OnCancelButton() { OnCancel(); }

void CUpdaterDlg::OnCancel() {
    // Escape, the Cancel button and WM_CLOSE all end here. From now on the
    // worker sends nothing more to the window, and the player is not started.
    KillTimer(hwnd(), kAnimationTimer);
    if (m_update) m_update->progress.Close();
    EndDialog(IDCANCEL);
}

bool CUpdaterDlg::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    if (m_update) m_update->progress.Close();
    m_pMemDC.Reset();
    return false;
}

void CUpdaterDlg::FinishUpdate(DWORD timeoutMs) {
    if (m_update) m_update->progress.Close();
    // Deliberately let go: a worker stuck in a network call cannot be
    // stopped, and the process ends right after, which ends it.
    if (!m_worker.WaitAnsweringSentMessages(timeoutMs)) m_worker.Detach();
}
