// The launcher's window: a bare, draggable picture with the caption text, a
// sweeping light band, the progress bar and a Cancel button. It starts the
// update worker when it opens and, once the update has ended, the player.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "framework/bitmap_button.h"
#include "framework/dialog.h"
#include "launcher/skin_progress.h"
#include "launcher/update_worker.h"

class CUpdaterDlg : public kavuno::ui::Dialog<CUpdaterDlg> {
public:
    static const kavuno::ui::MessageEntry<CUpdaterDlg> kMessageTable[];
    static constexpr int kFrameCount = 6;

    CUpdaterDlg();
    ~CUpdaterDlg() override;

    // After the window has gone: waits up to `timeoutMs` for the update worker
    // to end, answering its pending messages meanwhile. False when it is still
    // running; the object must then stay alive until the process ends.
    bool FinishUpdate(DWORD timeoutMs);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    void OnOK() override {}  // Enter does not close the window
    void OnCancel() override;

private:
    friend DWORD WINAPI UpdateThreadProc(LPVOID param);

    bool OnPaint(WPARAM, LPARAM, LRESULT& result);
    bool OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result);
    bool OnLButtonDown(WPARAM, LPARAM lParam, LRESULT& result);
    bool OnTimer(WPARAM, LPARAM, LRESULT& result);
    bool OnClose(WPARAM, LPARAM, LRESULT& result);
    bool OnDestroy(WPARAM, LPARAM, LRESULT& result);
    void OnCancelButton();

    void PlaceControls();
    void DrawNextFrame();
    void LaunchPlayerWhenUpdated();

    CSkinProgressCtrl m_progress;
    kavuno::ui::CBitmapButton m_btnCancel;
    HICON m_hIcon = nullptr;
    HBITMAP m_bmpBack = nullptr;
    HBITMAP m_pFrameBitmap = nullptr;  // the frame on show, one of m_frames
    HDC m_pMemDC = nullptr;
    // 1 when the update worker has ended; the timer starts the player and puts it back to 0.
    std::atomic<int> m_nUpdateDone{0};
    std::wstring m_strAppDir;

    HBITMAP m_frames[kFrameCount] = {};  // loaded once, in the order they are shown
    kavuno::launcher::ProgressChannel m_progressChannel;
    HANDLE m_hWorker = nullptr;
};

// The update worker's entry. `param` is the CUpdaterDlg; its exit code is 0.
DWORD WINAPI UpdateThreadProc(LPVOID param);
