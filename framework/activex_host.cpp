#include "framework/activex_host.h"

#include <ocidl.h>

#include "framework/activex_site.h"
#include "framework/failure_report.h"

namespace kavuno::ui {
namespace {

constexpr wchar_t kHostClass[] = L"KavunoActiveXHost";

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// OLE measures a control's extent in HIMETRIC (0.01 mm).
SIZEL PixelsToHimetric(LONG width, LONG height) {
    const ScopedGetDC screen(nullptr);
    int dpiX = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    int dpiY = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return SIZEL{MulDiv(width, 2540, dpiX > 0 ? dpiX : 96), MulDiv(height, 2540, dpiY > 0 ? dpiY : 96)};
}

}  // namespace

ActiveXControl::ActiveXControl() = default;

ActiveXControl::~ActiveXControl() { Destroy(); }

bool ActiveXControl::Create(const CLSID& clsid, const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent,
                            UINT id) {
    Destroy();
    static const ATOM hostClass = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ActiveXControl::HostWindowProc;
        wc.hInstance = ThisModule();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));  // seen only while the control starts
        wc.lpszClassName = kHostClass;
        return RegisterClassExW(&wc);
    }();
    if (!hostClass) {
        status_ = ActiveXStatus::CreationFailed;
        creationError_ = HRESULT_FROM_WIN32(ERROR_CLASS_DOES_NOT_EXIST);
        return false;
    }

    // The host never paints over its control.
    DWORD hostStyle = style | WS_CLIPCHILDREN;
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND window = CreateWindowExW(0, kHostClass, windowName ? windowName : L"", hostStyle, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId, ThisModule(), this);
    if (!window) {
        status_ = ActiveXStatus::CreationFailed;
        creationError_ = HRESULT_FROM_WIN32(GetLastError());
        if (SUCCEEDED(creationError_)) creationError_ = E_FAIL;
        return false;
    }
    hwnd_ = window;

    ActiveXStatus outcome = Embed(clsid);
    if (outcome != ActiveXStatus::Created) {
        HRESULT error = creationError_;
        Destroy();
        status_ = outcome;
        creationError_ = error;
        return false;
    }
    status_ = ActiveXStatus::Created;
    creationError_ = S_OK;
    return true;
}

ActiveXStatus ActiveXControl::Embed(const CLSID& clsid) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(object_.Out()));
    creationError_ = hr;
    if (hr == REGDB_E_CLASSNOTREG) return ActiveXStatus::NotRegistered;
    if (FAILED(hr) || !object_) {
        object_.Detach();  // a failed call leaves no reference, whatever it wrote
        if (SUCCEEDED(hr)) creationError_ = E_NOINTERFACE;
        return ActiveXStatus::CreationFailed;
    }

    site_ = ComPtr<ActiveXSite>(new ActiveXSite(hwnd_), false);
    hr = object_->SetClientSite(static_cast<IOleClientSite*>(site_.get()));
    if (SUCCEEDED(hr)) {
        // A control without IPersistStreamInit needs no initialisation of its state.
        if (const auto persist = object_.As<IPersistStreamInit>(IID_IPersistStreamInit)) hr = persist->InitNew();
    }
    RECT client = {};
    GetClientRect(hwnd_, &client);
    if (SUCCEEDED(hr)) {
        // Not every control keeps an extent of its own; the rectangles below are what counts.
        SIZEL extent = PixelsToHimetric(client.right, client.bottom);
        object_->SetExtent(DVASPECT_CONTENT, &extent);
        hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_.get()), 0, hwnd_,
                             &client);
    }
    if (FAILED(hr)) {
        creationError_ = hr;
        return ActiveXStatus::CreationFailed;
    }
    inPlace_ = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    if (inPlace_) inPlace_->SetObjectRects(&client, &client);

    hr = object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch_.Out()));
    if (FAILED(hr) || !dispatch_) {
        dispatch_.Detach();
        creationError_ = FAILED(hr) ? hr : E_NOINTERFACE;
        return ActiveXStatus::NoDispatch;
    }
    creationError_ = S_OK;
    return ActiveXStatus::Created;
}

void ActiveXControl::FitControlToHost() {
    if (!inPlace_ || !hwnd_) return;
    RECT client = {};
    GetClientRect(hwnd_, &client);
    inPlace_->SetObjectRects(&client, &client);
}

void ActiveXControl::ReleaseControl() {
    dispatch_.Reset();
    if (inPlace_) inPlace_->InPlaceDeactivate();
    inPlace_.Reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
    object_.Reset();
    if (site_) site_->Disconnect();
    site_.Reset();
}

void ActiveXControl::Destroy() {
    ReleaseControl();
    if (HWND window = hwnd_) {
        // Detach first: the window's last messages no longer reach this object.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(window);
    }
    status_ = ActiveXStatus::NotCreated;
    creationError_ = S_OK;
}

LRESULT CALLBACK ActiveXControl::HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ActiveXControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->hwnd_ == hwnd) try {
            switch (message) {
            case WM_SIZE:
                if (wParam != SIZE_MINIMIZED) self->FitControlToHost();
                break;
            case WM_DESTROY:
                // The parent is being destroyed before the wrapper: let the control
                // go while its window still exists.
                self->ReleaseControl();
                break;
            case WM_NCDESTROY:
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                self->hwnd_ = nullptr;
                self->status_ = ActiveXStatus::NotCreated;
                break;
            default: break;
            }
        } catch (...) {
            ReportCaughtFailure("ActiveX host window");
        }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace kavuno::ui
