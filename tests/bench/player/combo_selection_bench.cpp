// What reading the search type's selection once per record would cost: times
// CB_GETCURSEL on a combo box of this thread, as the search loop would send it,
// and prints the cost of one call and of one per record of a 1,000,000-record
// catalogue.
#include <windows.h>

#include <cstdio>

int main() {
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!combo) return 1;
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"a"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"b"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    constexpr int kCalls = 1000000;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    LRESULT sum = 0;
    for (int i = 0; i < kCalls; ++i) sum += SendMessageW(combo, CB_GETCURSEL, 0, 0);
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("CB_GETCURSEL: %.3f us per call, %.0f ms for %d calls (checksum %lld)\n", 1000.0 * ms / kCalls, ms,
                kCalls, static_cast<long long>(sum));
    DestroyWindow(combo);
    return 0;
}
