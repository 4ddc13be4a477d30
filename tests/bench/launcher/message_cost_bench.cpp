// The floor under the launcher's download speed: the cost of one read's pair
// of blocking messages (PBM_GETPOS, then PBM_SETPOS) from a worker thread to a
// window of the GUI thread, as the update worker sends them.
//   kavuno_message_cost_bench [PAIRS] [plain|progress|skinned]
// prints "pairs=N pair_ms=X". "plain" (the default) answers the two messages
// in a bare window procedure: the cost of the messages alone. "progress" sends
// them to a stock progress bar, which repaints on every position; "skinned" to
// one bound to the launcher's CSkinProgressCtrl.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "launcher/skin_progress.h"

namespace {

// A window that keeps a position and does nothing else.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static LRESULT position = 0;
    if (msg == PBM_GETPOS) return position;
    if (msg == PBM_SETPOS) {
        LRESULT old = position;
        position = static_cast<LRESULT>(wp);
        return old;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

struct Job {
    HWND bar;
    int pairs;
    DWORD guiThread;
    double pairMs;
};

DWORD WINAPI Worker(LPVOID param) {
    auto* job = static_cast<Job*>(param);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < job->pairs; ++i) {
        auto pos = static_cast<int>(SendMessageW(job->bar, PBM_GETPOS, 0, 0));
        SendMessageW(job->bar, PBM_SETPOS, static_cast<WPARAM>(pos + 200), 0);
    }
    QueryPerformanceCounter(&end);
    job->pairMs = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart) / job->pairs;
    PostThreadMessageW(job->guiThread, WM_QUIT, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    Job job = {};
    job.pairs = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (job.pairs <= 0) return 2;
    HWND host = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 340, 60, nullptr, nullptr,
                                nullptr, nullptr);
    const char* mode = argc > 2 ? argv[2] : "plain";
    bool plain = std::strcmp(mode, "plain") == 0;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KavunoPlainBar";
    RegisterClassW(&wc);
    job.bar = CreateWindowExW(0, plain ? wc.lpszClassName : PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER,
                              17, 20, 306, 14, host, nullptr, nullptr, nullptr);
    CSkinProgressCtrl skinned;
    if (std::strcmp(mode, "skinned") == 0) skinned.Attach(job.bar);
    SendMessageW(job.bar, PBM_SETRANGE32, 1, job.pairs * 200);
    job.guiThread = GetCurrentThreadId();
    HANDLE worker = CreateThread(nullptr, 0, Worker, &job, 0, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    skinned.Detach();
    DestroyWindow(host);
    std::printf("pairs=%d pair_ms=%.4f\n", job.pairs, job.pairMs);
    return 0;
}
