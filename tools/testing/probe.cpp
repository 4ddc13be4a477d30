// kavuno_probe: looks at and pokes the windows of the programs under test, from
// the Windows side, for the end-to-end tests (tests/e2e/kavuno_e2e.py).
//
//   kavuno_probe window TITLE [X Y W H]   a top-level window with that title until closed, at
//                                         (40, 40) 240 x 120 unless given; a left click in it
//                                         adds " (clicked)" to its title
//   kavuno_probe dialog TITLE [X Y W H]   the same as a dialog window (class "#32770"), as the
//                                         programs' own windows are
//   kavuno_probe trust CERT.der           adds a certificate authority to this prefix's root
//                                         store (the local machine's "Root")
//   kavuno_probe exists TITLE             exit 0 if a top-level window has that title, else 1
//   kavuno_probe progress TITLE ID        "pos low high" of progress bar ID in window TITLE
//   kavuno_probe rect TITLE [ID]          "left top right bottom" on the screen, of the
//                                         window or of its control ID
//   kavuno_probe style TITLE              "style exstyle" in hex
//   kavuno_probe texts TITLE              "class<TAB>text" (UTF-8) of each child window,
//                                         e.g. a message box's message and buttons
//   kavuno_probe send TITLE MSG W L       SendMessage, prints the result
//   kavuno_probe post TITLE MSG W L       PostMessage
//   kavuno_probe acp                      the ANSI code page of the system locale
//   kavuno_probe serve                    the commands above but window and dialog, one a line
//                                         on standard input (see command_server.h)
//
// Exit status 1 means the window (or control) was not found, 2 a usage error.
#include <windows.h>
#include <commctrl.h>
#include <wincrypt.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/ownership.h"
#include "tools/testing/command_server.h"

namespace {

constexpr int kNotFound = 1;
constexpr int kUsage = 2;

LRESULT CALLBACK DummyWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) {
        // Tells the tests that a click reached this window (and not one above it).
        wchar_t title[256];
        GetWindowTextW(hwnd, title, 256);
        std::wstring marked = std::wstring(title) + L" (clicked)";
        if (marked.size() < 256 && std::wcsstr(title, L" (clicked)") == nullptr) SetWindowTextW(hwnd, marked.c_str());
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

INT_PTR CALLBACK DummyDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL)) {
        DestroyWindow(hwnd);
        return TRUE;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return FALSE;
}

int ShowDummyWindow(const std::wstring& title, RECT place, bool dialog) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DummyWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"KavunoProbeWindow";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, dialog ? WC_DIALOG : wc.lpszClassName, title.c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, place.left, place.top, place.right, place.bottom,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return kNotFound;
    // The dialog class's own procedure ends no message loop: closing it does.
    if (dialog) SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DummyDialogProc));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

void CloseStore(HCERTSTORE store) { CertCloseStore(store, 0); }

// Reads a DER certificate and adds it to the local machine's root store.
int TrustCertificate(const std::wstring& path) {
    const kavuno::win::OwnedHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return kNotFound;
    std::vector<BYTE> der(64 * 1024);
    DWORD read = 0;
    bool ok = ReadFile(file.get(), der.data(), static_cast<DWORD>(der.size()), &read, nullptr) != FALSE;
    const kavuno::win::Owned<kavuno::win::NullHandleTraits<HCERTSTORE, &CloseStore>> store(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    if (!ok || !store) return kNotFound;
    ok = CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING, der.data(), read,
                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
    return ok ? 0 : kNotFound;
}

long long Number(const std::wstring& text) { return std::wcstoll(text.c_str(), nullptr, 0); }

void PrintUtf8(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    wchar_t className[256];
    GetClassNameW(child, className, 256);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
    PrintUtf8(std::wstring(className) + L"\t" + text + L"\n");
    return TRUE;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.size() == 2 && args[1] == L"acp") {
        std::printf("%u\n", GetACP());
        return 0;
    }
    if (args.size() < 3) return kUsage;
    const std::wstring& command = args[1];
    const std::wstring& title = args[2];

    if (command == L"window" || command == L"dialog") {
        RECT place = {40, 40, 240, 120};  // x, y, width, height
        if (args.size() == 7) {
            place = {static_cast<LONG>(Number(args[3])), static_cast<LONG>(Number(args[4])),
                     static_cast<LONG>(Number(args[5])), static_cast<LONG>(Number(args[6]))};
        }
        return ShowDummyWindow(title, place, command == L"dialog");
    }
    if (command == L"trust") return TrustCertificate(args[2]);

    HWND window = FindWindowW(nullptr, title.c_str());
    if (command == L"exists") return window ? 0 : kNotFound;
    if (!window) return kNotFound;

    if (command == L"progress" && args.size() == 4) {
        HWND bar = GetDlgItem(window, static_cast<int>(Number(args[3])));
        if (!bar) return kNotFound;
        // Limits one at a time through the result: a pointer would not cross processes.
        auto low = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, TRUE, 0));
        auto high = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
        auto pos = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
        std::printf("%d %d %d\n", pos, low, high);
        return 0;
    }
    if (command == L"rect") {
        HWND target = args.size() >= 4 ? GetDlgItem(window, static_cast<int>(Number(args[3]))) : window;
        if (!target) return kNotFound;
        RECT r;
        GetWindowRect(target, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (command == L"texts") {
        EnumChildWindows(window, PrintChild, 0);
        return 0;
    }
    if (command == L"style") {
        std::printf("%08lx %08lx\n", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)),
                    static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
        return 0;
    }
    if ((command == L"send" || command == L"post") && args.size() == 6) {
        auto msg = static_cast<UINT>(Number(args[3]));
        auto wp = static_cast<WPARAM>(Number(args[4]));
        auto lp = static_cast<LPARAM>(Number(args[5]));
        if (command == L"post") return PostMessageW(window, msg, wp, lp) ? 0 : kNotFound;
        std::printf("%lld\n", static_cast<long long>(SendMessageW(window, msg, wp, lp)));
        return 0;
    }
    return kUsage;
}

}  // namespace

int main() { return kavuno::testing::ProbeMain(Run); }
