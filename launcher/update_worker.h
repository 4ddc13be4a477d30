// The update worker's Windows side: the update (update_run.h) over WinINet,
// staged files in the launcher's folder and the window's progress bar.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "launcher/update_run.h"

namespace kavuno::launcher {

// The worker's only way to the window: blocking messages to the progress bar,
// sent only while the window is not closing. Once the window side calls
// Close(), no further message is sent, so the worker never touches a window
// that is being destroyed.
class ProgressChannel : public UpdateProgress {
public:
    void Connect(HWND progressBar) { bar_ = progressBar; }
    void Close() { closed_ = true; }
    bool IsClosed() const override { return closed_; }

    // Range 1..size in 32 bits: a size above 65535 does not wrap.
    void SetRange(int size) override;
    void SetPos(int position) override;
    int GetPos() override;

private:
    HWND bar_ = nullptr;
    std::atomic<bool> closed_{false};
};

// The whole update, on the calling (worker) thread, from the configured update
// server into `appDir` (which ends with a backslash). Returns when every entry
// is done, at the first failure, or when the channel is closed; failures are
// silent. Never throws.
void RunUpdateFromServer(const std::wstring& appDir, ProgressChannel& progress) noexcept;

}  // namespace kavuno::launcher
