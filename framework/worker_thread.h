// A thread its owner starts, waits for before letting go of it, and — when it
// cannot end in time — deliberately leaves running on its own.
#pragma once
#include <windows.h>

#include <functional>

#include "common/ownership.h"

namespace kavuno::ui {

class WorkerThread {
public:
    WorkerThread() = default;
    // Waits for the thread to end unless it was detached: an owner that must
    // not wait detaches first.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `body` on a new thread; false when no thread could be made. An
    // exception that leaves `body` ends the thread, not the process.
    bool Start(std::function<void()> body);
    bool Running() const;
    // Waits up to `timeoutMs` for the thread to end, answering meanwhile the
    // messages other threads send to this one (a worker blocked in
    // SendMessage to a window of this thread would otherwise never end).
    // True when the thread has ended, or never ran.
    bool WaitAnsweringSentMessages(DWORD timeoutMs);
    // Lets the thread run on, owned by nobody. Whatever it uses must be its
    // own (shared with it, not borrowed from the owner).
    void Detach();

private:
    static DWORD WINAPI Entry(LPVOID param);
    win::OwnedHandle handle_;
};

}  // namespace kavuno::ui
