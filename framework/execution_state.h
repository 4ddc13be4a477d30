// Keeps the display and the system awake while the user watches something:
// SetThreadExecutionState while it is wanted, cleared again when it is not,
// and the screen saver and monitor power-off refused in between. The call
// itself is a seam, so a test can record what would reach Windows.
#pragma once
#include <windows.h>

namespace kavuno::ui {

class ExecutionState {
public:
    using SetFunction = EXECUTION_STATE(WINAPI*)(EXECUTION_STATE);

    explicit ExecutionState(SetFunction set = ::SetThreadExecutionState) : set_(set) {}
    ~ExecutionState() { KeepAwake(false); }
    ExecutionState(const ExecutionState&) = delete;
    ExecutionState& operator=(const ExecutionState&) = delete;

    // Asks Windows only when the wish changes.
    void KeepAwake(bool awake);
    bool awake() const { return awake_; }
    // A WM_SYSCOMMAND that must not run now (the screen saver, the monitor
    // going off): true only while awake.
    bool Refuses(WPARAM sysCommand) const;

private:
    SetFunction set_;
    bool awake_ = false;
};

}  // namespace kavuno::ui
