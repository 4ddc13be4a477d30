#include "framework/worker_thread.h"

#include <memory>

namespace kavuno::ui {

WorkerThread::~WorkerThread() {
    if (handle_) WaitForSingleObject(handle_.get(), INFINITE);
}

bool WorkerThread::Start(std::function<void()> body) {
    if (handle_) return false;
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    handle_.Reset(CreateThread(nullptr, 0, Entry, owned.get(), 0, nullptr));
    if (!handle_) return false;
    static_cast<void>(owned.release());  // the thread has it now
    return true;
}

bool WorkerThread::Running() const { return handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT; }

bool WorkerThread::WaitAnsweringSentMessages(DWORD timeoutMs) {
    if (!handle_) return true;
    const HANDLE thread = handle_.get();
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0) return true;
        if (wait != WAIT_OBJECT_0 + 1) return false;
        // Peeking answers the sent messages waiting for this thread.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void WorkerThread::Detach() { handle_.Reset(); }

DWORD WINAPI WorkerThread::Entry(LPVOID param) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
    try {
        (*body)();
    } catch (...) {
        // Nothing of the thread's is left to report to.
    }
    return 0;
}

}  // namespace kavuno::ui
