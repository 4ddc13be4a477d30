// Hosts one stand-in control in a window through atl.dll's AtlAxWin, the way
// a standard container does, plays an address and shows what the control
// reports below its picture. For looking at the controls by hand:
//
//   kavuno_stand_in_viewer real|wmp ADDRESS [--seconds N] [--fullscreen] [--register]
//
// --register registers kavuno_stand_in_controls.dll from the viewer's own
// folder first. The window is titled "Kavuno stand-in viewer"; --seconds ends
// it after N seconds.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common/ownership_variant.h"
#include "tools/testing/stand_in_controls/dispatch_ids.h"

namespace {

namespace real_ids = kavuno::stand_in::real_player_ids;
namespace wmp_ids = kavuno::stand_in::media_player_ids;
using kavuno::win::OwnedVariant;

constexpr wchar_t kTitle[] = L"Kavuno stand-in viewer";
constexpr UINT_PTR kStatusTimer = 1, kEndTimer = 2;
constexpr int kStatusHeight = 24;

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
using RegisterServerFn = HRESULT(STDAPICALLTYPE*)();

template <class F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct Viewer {
    bool real = true;
    std::wstring address;
    bool fullScreen = false;
    HWND host = nullptr, status = nullptr;
    IDispatch* control = nullptr;
    IDispatch* controls = nullptr;  // the media player's controls object
} g;

HRESULT Call(IDispatch* object, DISPID id, WORD flags, VARIANT* argument, VARIANT* result) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{argument, flags == DISPATCH_PROPERTYPUT ? &named : nullptr, argument ? 1u : 0u,
                      flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    if (result) VariantInit(result);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

void PutText(IDispatch* object, DISPID id, const std::wstring& text) {
    OwnedVariant v;
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = SysAllocString(text.c_str());
    Call(object, id, DISPATCH_PROPERTYPUT, v.get(), nullptr);
}

OwnedVariant Get(IDispatch* object, DISPID id, WORD flags = DISPATCH_PROPERTYGET) {
    OwnedVariant result;
    Call(object, id, flags, nullptr, result.get());
    return result;
}

double Number(IDispatch* object, DISPID id, WORD flags = DISPATCH_PROPERTYGET) {
    OwnedVariant v = Get(object, id, flags);
    OwnedVariant d;
    return SUCCEEDED(VariantChangeType(d.get(), v.get(), 0, VT_R8)) ? V_R8(d.get()) : -1;
}

std::wstring Text(IDispatch* object, DISPID id, WORD flags = DISPATCH_PROPERTYGET) {
    const OwnedVariant v = Get(object, id, flags);
    return V_VT(v.get()) == VT_BSTR && V_BSTR(v.get()) ? V_BSTR(v.get()) : L"";
}

void Start() {
    if (g.real) {
        PutText(g.control, real_ids::kControls, L"IMAGEWINDOW");
        PutText(g.control, real_ids::kSource, g.address);
        Call(g.control, real_ids::kPlay, DISPATCH_METHOD, nullptr, nullptr);
        if (g.fullScreen) Call(g.control, real_ids::kFullScreen, DISPATCH_METHOD, nullptr, nullptr);
    } else {
        PutText(g.control, wmp_ids::kUiMode, L"none");
        OwnedVariant v = Get(g.control, wmp_ids::kControls);
        if (V_VT(v.get()) == VT_DISPATCH) g.controls = v.Detach().pdispVal;  // kept while the window lives
        PutText(g.control, wmp_ids::kURL, g.address);
        if (g.fullScreen) {
            VARIANT on;
            V_VT(&on) = VT_BOOL;
            V_BOOL(&on) = VARIANT_TRUE;
            Call(g.control, wmp_ids::kFullScreen, DISPATCH_PROPERTYPUT, &on, nullptr);
        }
    }
}

void ShowStatus() {
    wchar_t line[512];
    if (g.real) {
        std::swprintf(line, 512, L"state %g  position %g ms  length %g ms  %ls",
                      Number(g.control, real_ids::kPlayState, DISPATCH_METHOD),
                      Number(g.control, real_ids::kPosition, DISPATCH_METHOD),
                      Number(g.control, real_ids::kLength, DISPATCH_METHOD),
                      Text(g.control, real_ids::kStatusText, DISPATCH_METHOD).c_str());
    } else {
        double duration = 0;
        const OwnedVariant media = Get(g.control, wmp_ids::kCurrentMedia);
        if (V_VT(media.get()) == VT_DISPATCH && V_DISPATCH(media.get()))
            duration = Number(V_DISPATCH(media.get()), wmp_ids::kMediaDuration);
        std::swprintf(line, 512, L"playState %g  position %.1f s  duration %.1f s  %ls",
                      Number(g.control, wmp_ids::kPlayState),
                      g.controls ? Number(g.controls, wmp_ids::kControlsCurrentPosition) : -1, duration,
                      Text(g.control, wmp_ids::kStatus).c_str());
    }
    SetWindowTextW(g.status, line);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        int w = LOWORD(lParam), h = HIWORD(lParam);
        if (g.host) MoveWindow(g.host, 0, 0, w, h - kStatusHeight, TRUE);
        if (g.status) MoveWindow(g.status, 4, h - kStatusHeight + 4, w - 8, kStatusHeight - 6, TRUE);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kStatusTimer)
            ShowStatus();
        else
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool RegisterControls() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path, n);
    dll = dll.substr(0, dll.find_last_of(L'\\') + 1) + L"kavuno_stand_in_controls.dll";
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module) return false;
    auto reg = Export<RegisterServerFn>(module, "DllRegisterServer");
    bool ok = reg && SUCCEEDED(reg());
    FreeLibrary(module);
    return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        MessageBoxW(nullptr, L"kavuno_stand_in_viewer real|wmp ADDRESS [--seconds N] [--fullscreen] [--register]",
                    kTitle, MB_OK);
        return 2;
    }
    g.real = std::wstring(argv[1]) != L"wmp";
    g.address = argv[2];
    int seconds = 0;
    bool registerFirst = false;
    for (int i = 3; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--seconds" && i + 1 < argc)
            seconds = _wtoi(argv[++i]);
        else if (std::wstring(argv[i]) == L"--fullscreen")
            g.fullScreen = true;
        else if (std::wstring(argv[i]) == L"--register")
            registerFirst = true;
    }
    if (registerFirst && !RegisterControls()) return 3;

    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto axInit = atl ? Export<AtlAxWinInitFn>(atl, "AtlAxWinInit") : nullptr;
    auto axGetControl = atl ? Export<AtlAxGetControlFn>(atl, "AtlAxGetControl") : nullptr;
    if (!axInit || !axGetControl || !axInit()) return 4;  // AtlAxWinInit also initialises OLE

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KavunoStandInViewer";
    RegisterClassExW(&wc);
    RECT frame{0, 0, 480, 360 + kStatusHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 40, 40, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    const wchar_t* clsid = g.real ? L"{CFCDAA03-8BE4-11CF-B84B-0020AFBBCCFA}"
                                  : L"{6BF52A52-394A-11D3-B153-00C04F79FAA6}";
    g.host = CreateWindowExW(0, L"AtlAxWin", clsid, WS_CHILD | WS_VISIBLE, 0, 0, 480, 360, window, nullptr, instance,
                             nullptr);
    g.status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 4, 364, 472, 18, window, nullptr, instance,
                               nullptr);
    IUnknown* unknown = nullptr;
    if (!g.host || FAILED(axGetControl(g.host, &unknown)) || !unknown) return 5;
    unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&g.control));
    unknown->Release();
    if (!g.control) return 6;

    ShowWindow(window, SW_SHOW);
    Start();
    SetTimer(window, kStatusTimer, 250, nullptr);
    if (seconds > 0) SetTimer(window, kEndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g.controls) g.controls->Release();
    g.control->Release();
    return 0;
}
