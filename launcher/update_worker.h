// The update worker: fetches the manifest and downloads every file it lists
// into the launcher's folder, reporting progress to the window's progress bar.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

namespace kavuno::launcher {

// The worker's only way to the window: blocking messages to the progress bar,
// sent only while the window is not closing. Once the window side calls
// Close(), no further message is sent, so the worker never touches a window
// that is being destroyed.
class ProgressChannel {
public:
    void Connect(HWND progressBar) { bar_ = progressBar; }
    void Close() { closed_ = true; }
    bool IsClosed() const { return closed_; }

    // Range 1..size in 32 bits: a size above 65535 does not wrap.
    void SetRange(int size);
    void SetPos(int position);
    int GetPos();

private:
    HWND bar_ = nullptr;
    std::atomic<bool> closed_{false};
};

// The whole update, on the calling (worker) thread. `agent` names the program
// to the server, `appDir` ends with a backslash. Returns when every entry is
// done, at the first failure, or when the channel is closed; failures are
// silent. An entry whose name would leave `appDir` is skipped.
void RunUpdate(const std::wstring& agent, const std::wstring& appDir, ProgressChannel& progress);

}  // namespace kavuno::launcher
