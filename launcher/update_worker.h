// The update worker's Windows side: the update (update_run.h) over WinINet,
// CNG and staged files in the launcher's folder, reporting to the window's
// progress bar.
#pragma once
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "launcher/update_run.h"

namespace kavuno::launcher {

// The worker's only way to the window: blocking messages to the progress bar,
// sent only while the window has not closed the channel. Once the window side
// calls Close(), no further message is sent, so the worker never touches a
// window that is being destroyed, and no file is committed after it.
class ProgressChannel : public UpdateProgress {
public:
    void Connect(HWND progressBar) { bar_ = progressBar; }
    // From the window, whenever it closes: a commit under way still ends.
    void Close() { state_ = kClosed; }
    // From the window, giving up on a stalled update: false while a commit is
    // under way (try again at the next tick), true once nothing more can be
    // committed.
    bool GiveUp();
    bool IsClosed() const override { return state_ == kClosed; }
    bool BeginCommit() override;
    void EndCommit() override;

    // Range 1..size in 32 bits: a size above 65535 does not wrap.
    void SetRange(int size) override;
    // Each read moves the position, but the bar is told only when it moves
    // by at least 1/kBarSteps of the range, or reaches its end: a large file
    // took tens of thousands of cross-thread messages and repaints, none of
    // them visible. A position not yet told is what GetPos gives.
    static constexpr int kBarSteps = 1024;
    void SetPos(int position) override;
    int GetPos() override;

    // The worker notes each network step (an address opened, a read
    // returned); the window measures the quiet since the last one.
    void NoteActivity() { lastActivity_ = GetTickCount64(); }
    ULONGLONG QuietMs() const { return GetTickCount64() - lastActivity_; }
    uint64_t Milliseconds() override { return GetTickCount64(); }

private:
    enum State { kOpen, kCommitting, kClosed };
    HWND bar_ = nullptr;
    // The worker's own: the range and last position told, and one not told yet.
    int range_ = 0;
    std::optional<int> shown_;
    std::optional<int> untold_;
    std::atomic<int> state_{kOpen};
    std::atomic<ULONGLONG> lastActivity_{GetTickCount64()};
};

// What the window and its worker share. The worker holds it as long as it
// runs, so a worker that outlives the window (stuck in a network call while
// the process ends) touches nothing that has gone.
struct UpdateJob {
    std::wstring appDir;  // the program folder, ending with a backslash
    std::wstring agent;   // the user agent: the program's name
    ProgressChannel progress;
    std::atomic<bool> ended{false};                                    // the worker's last act
    std::atomic<int> result{static_cast<int>(UpdateResult::kFailed)};  // how it ended, once `ended`
};

// The whole update, on the calling (worker) thread, from the configured update
// server into the job's folder, with the build's public key unless it has
// none. Returns when every entry is done, at the first failure, or when the
// channel is closed; failures are silent. Never throws. Sets `ended` last.
void RunUpdateJob(UpdateJob& job) noexcept;

}  // namespace kavuno::launcher
