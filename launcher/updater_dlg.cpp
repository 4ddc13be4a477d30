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

constexpr UINT kFrameIds[UpdaterDialog::kFrameCount] = {IDB_SWEEP_1, IDB_SWEEP_2, IDB_SWEEP_3,
                                                        IDB_SWEEP_4, IDB_SWEEP_5, IDB_SWEEP_6};

// The next animation frame, 0 to 5, shared by the whole process.
int g_nextFrame = 0;

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

const kavuno::ui::MessageEntry<UpdaterDialog> UpdaterDialog::kMessageTable[] = {
    kavuno::ui::OnMessage(WM_PAINT, &UpdaterDialog::OnPaint),
    kavuno::ui::OnMessage(WM_QUERYDRAGICON, &UpdaterDialog::OnQueryDragIcon),
    kavuno::ui::OnMessage(WM_LBUTTONDOWN, &UpdaterDialog::OnLButtonDown),
    kavuno::ui::OnCommand(BN_CLICKED, IDC_CANCEL, &UpdaterDialog::OnCancelButton),
    kavuno::ui::OnMessage(WM_TIMER, &UpdaterDialog::OnTimer),
    kavuno::ui::OnMessage(WM_CLOSE, &UpdaterDialog::OnClose),
    kavuno::ui::OnMessage(WM_DESTROY, &UpdaterDialog::OnDestroy),
};

UpdaterDialog::UpdaterDialog()
    : Dialog(IDD_UPDATER, kMessageTable),
      icon_(static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {}

UpdaterDialog::~UpdaterDialog() = default;

void UpdaterDialog::DoDataExchange() {
    Bind(IDC_PROGRESS, progress_);
    Bind(IDC_CANCEL, cancelButton_);
}

bool UpdaterDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    appDir_ = kavuno::ui::ProgramDirectory();
    PlaceControls();

    // A bare rectangle that can still be minimised from the taskbar.
    LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_MINIMIZEBOX);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    // Centred now that its final size is known.
    kavuno::ui::CentreInWorkArea(hwnd());

    SetWindowTextW(hwnd(), kavuno::names::kLauncherWindowText);
    background_.Reset(LoadBitmapResource(IDB_BACKGROUND));
    cancelButton_.SetImages(IDB_CANCEL, IDB_CANCEL_PRESSED);

    for (int i = 0; i < kFrameCount; ++i) frames_[i].Reset(LoadBitmapResource(kFrameIds[i]));
    memoryDC_.Reset(CreateCompatibleDC(kavuno::ui::ScopedGetDC(hwnd()).get()));

    SetTimer(hwnd(), kAnimationTimer, kAnimationInterval, nullptr);
    update_ = std::make_shared<kavuno::launcher::UpdateJob>();
    update_->appDir = appDir_;
    update_->agent = kavuno::ui::App::Current().Title();
    update_->progress.Connect(progress_.hwnd());
    if (!worker_.Start([job = update_] { kavuno::launcher::RunUpdateJob(*job); })) {
        updateWatched_ = true;  // no update this time; the player still starts
        updateDone_ = true;
    }
    return true;
}

void UpdaterDialog::PlaceControls() {
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

bool UpdaterDialog::OnPaint(WPARAM, LPARAM, LRESULT& result) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    kavuno::ui::DrawBitmap(dc, 0, 0, kBackWidth, kBackHeight, background_.get());
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, kCaptionX, kCaptionY, kavuno::names::kLauncherWindowText,
             static_cast<int>(wcslen(kavuno::names::kLauncherWindowText)));
    EndPaint(hwnd(), &ps);
    result = 0;
    return true;
}

bool UpdaterDialog::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(icon_.get());
    return true;
}

bool UpdaterDialog::OnLButtonDown(WPARAM, LPARAM lParam, LRESULT&) {
    // A press anywhere on the picture moves the window, as on a title bar.
    PostMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(LOWORD(lParam), HIWORD(lParam)));
    return false;
}

bool UpdaterDialog::OnTimer(WPARAM, LPARAM, LRESULT&) {
    DrawNextFrame();
    WatchUpdate();
    LaunchPlayerWhenUpdated();
    return false;
}

void UpdaterDialog::WatchUpdate() {
    if (updateWatched_) return;
    // A worker stalled past the rule is given up on: nothing it does later
    // is committed, and the player starts with the files there are.
    bool stalled = update_->progress.QuietMs() > kGiveUpAfterMs && update_->progress.GiveUp();
    if (update_->ended || stalled) {
        updateWatched_ = true;
        updateDone_ = true;
    }
}

void UpdaterDialog::DrawNextFrame() {
    shownFrame_ = frames_[g_nextFrame].get();
    g_nextFrame = (g_nextFrame + 1) % kFrameCount;
    if (!shownFrame_ || !memoryDC_) return;
    const kavuno::ui::ScopedSelectObject frame(memoryDC_.get(), shownFrame_);
    const kavuno::ui::ScopedGetDC dc(hwnd());
    BitBlt(dc.get(), kFrameX, kFrameY, kFrameWidth, kFrameHeight, memoryDC_.get(), 0, 0, SRCCOPY);
}

void UpdaterDialog::LaunchPlayerWhenUpdated() {
    // The flag is raised once per run, so the player is started once.
    if (!updateDone_) return;
    updateDone_ = false;
    std::wstring player = appDir_ + kPlayerProgram;
    ShellExecuteW(nullptr, L"open", player.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool UpdaterDialog::OnClose(WPARAM, LPARAM, LRESULT&) {
    KillTimer(hwnd(), kAnimationTimer);
    return false;  // the dialog's default turns WM_CLOSE into the cancel command
}

void UpdaterDialog::OnCancelButton() { OnCancel(); }

void UpdaterDialog::OnCancel() {
    // Escape, the Cancel button and WM_CLOSE all end here. From now on the
    // worker sends nothing more to the window, and the player is not started.
    KillTimer(hwnd(), kAnimationTimer);
    if (update_) update_->progress.Close();
    EndDialog(IDCANCEL);
}

bool UpdaterDialog::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    if (update_) update_->progress.Close();
    memoryDC_.Reset();
    return false;
}

void UpdaterDialog::FinishUpdate(DWORD timeoutMs) {
    if (update_) update_->progress.Close();
    // Deliberately let go: a worker stuck in a network call cannot be
    // stopped, and the process ends right after, which ends it.
    if (!worker_.WaitAnsweringSentMessages(timeoutMs)) worker_.Detach();
}
