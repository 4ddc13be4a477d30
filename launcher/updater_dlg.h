// The launcher's window: a bare, draggable picture with the caption text, a
// sweeping light band, the progress bar and a Cancel button. It starts the
// update worker when it opens and, once the update has ended, the player.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "framework/bitmap_button.h"
#include "framework/dialog.h"
#include "framework/ownership.h"
#include "framework/worker_thread.h"
#include "launcher/skin_progress.h"
#include "launcher/update_worker.h"

class UpdaterDialog : public kavuno::ui::Dialog<UpdaterDialog> {
public:
    static const kavuno::ui::MessageEntry<UpdaterDialog> kMessageTable[];
    static constexpr int kFrameCount = 6;

    UpdaterDialog();
    ~UpdaterDialog() override;

    // After the window has gone: waits up to `timeoutMs` for the update worker
    // to end, answering its pending messages meanwhile. A worker still stuck
    // in a network call then is left to end with the process: it holds the
    // job it shares with the window, nothing of the window's own.
    void FinishUpdate(DWORD timeoutMs);

    // No new byte for this long and the window gives up on the update and
    // starts the player, whatever the worker is stuck in. WinINet's own
    // time-outs (internet.h) normally end a stall first.
    static constexpr ULONGLONG kGiveUpAfterMs = 35000;

protected:
    bool OnInitDialog() override;
    void DoDataExchange() override;
    void OnOK() override {}  // Enter does not close the window
    void OnCancel() override;

private:
    bool OnPaint(WPARAM, LPARAM, LRESULT& result);
    bool OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result);
    bool OnLButtonDown(WPARAM, LPARAM lParam, LRESULT& result);
    bool OnTimer(WPARAM, LPARAM, LRESULT& result);
    bool OnClose(WPARAM, LPARAM, LRESULT& result);
    bool OnDestroy(WPARAM, LPARAM, LRESULT& result);
    void OnCancelButton();

    void PlaceControls();
    void DrawNextFrame();
    void WatchUpdate();
    void LaunchPlayerWhenUpdated();

    SkinProgress progress_;
    kavuno::ui::BitmapButton cancelButton_;
    kavuno::ui::OwnedIcon icon_;  // loaded unshared: ours to destroy
    kavuno::ui::GdiObject<HBITMAP> background_;
    HBITMAP shownFrame_ = nullptr;  // the frame on show, one of frames_
    kavuno::ui::OwnedDC memoryDC_;
    // Set when the update has ended (or was given up); the timer starts the
    // player and clears it. Only the GUI thread reads and writes it.
    bool updateDone_ = false;
    std::wstring appDir_;

    kavuno::ui::GdiObject<HBITMAP> frames_[kFrameCount];  // loaded once, in the order they are shown
    // What the window shares with the update worker, and the worker itself.
    std::shared_ptr<kavuno::launcher::UpdateJob> update_;
    kavuno::ui::WorkerThread worker_;
    bool updateWatched_ = false;  // the end of the update has been seen
};
