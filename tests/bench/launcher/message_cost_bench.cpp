// The floor under the launcher's download speed: the cost of one read's pair
// of blocking messages (PBM_GETPOS, then PBM_SETPOS) from a worker thread to a
// window of the GUI thread, as the update worker sends them.
//   kavuno_message_cost_bench [PAIRS] [plain|progress|skinned|hash]
// prints "pairs=N pair_ms=X". "plain" (the default) answers the two messages
// in a bare window procedure: the cost of the messages alone. "progress" sends
// them to a stock progress bar, which repaints on every position; "skinned" to
// one bound to the launcher's SkinProgress. "hash" measures instead what
// checking a signed download adds to each read: PAIRS reads of 200 bytes into
// the launcher's CNG SHA-256, and prints "reads=N hash_ms=X" per read.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/ownership.h"
#include "launcher/cng_crypto.h"
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

double HashMsPerRead(int reads) {
    kavuno::launcher::CngProvider sha256(BCRYPT_SHA256_ALGORITHM);
    kavuno::launcher::CngSha256 hash(sha256);
    char chunk[200];
    for (int i = 0; i < 200; ++i) chunk[i] = static_cast<char>(i);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < reads; ++i) hash.Update(chunk, sizeof chunk);
    volatile auto digest = hash.Finish()[0];
    static_cast<void>(digest);
    QueryPerformanceCounter(&end);
    if (!hash.ok()) return -1;
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) /
           reads;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 2 ? argv[2] : "plain";
    if (std::strcmp(mode, "hash") == 0) {
        int reads = argc > 1 ? std::atoi(argv[1]) : 26215;
        if (reads <= 0) return 2;
        std::printf("reads=%d hash_ms=%.6f\n", reads, HashMsPerRead(reads));
        return 0;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    Job job = {};
    job.pairs = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (job.pairs <= 0) return 2;
    HWND host = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 340, 60, nullptr, nullptr, nullptr,
                                nullptr);
    bool plain = std::strcmp(mode, "plain") == 0;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KavunoPlainBar";
    RegisterClassW(&wc);
    job.bar = CreateWindowExW(0, plain ? wc.lpszClassName : PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 17,
                              20, 306, 14, host, nullptr, nullptr, nullptr);
    SkinProgress skinned;
    if (std::strcmp(mode, "skinned") == 0) skinned.Attach(job.bar);
    SendMessageW(job.bar, PBM_SETRANGE32, 1, job.pairs * 200);
    job.guiThread = GetCurrentThreadId();
    const kavuno::win::OwnedHandle worker(CreateThread(nullptr, 0, Worker, &job, 0, nullptr));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    WaitForSingleObject(worker.get(), INFINITE);
    skinned.Detach();
    DestroyWindow(host);
    std::printf("pairs=%d pair_ms=%.4f\n", job.pairs, job.pairMs);
    return 0;
}
