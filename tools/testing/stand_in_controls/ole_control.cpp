#include "tools/testing/stand_in_controls/ole_control.h"

#include "tools/testing/stand_in_controls/module.h"
#include "tools/testing/stand_in_controls/picture_painter.h"

namespace kavuno::stand_in {
namespace {

LONG PixelsToHimetric(int pixels) { return MulDiv(pixels, 2540, 96); }

}  // namespace

OleControl::OleControl(const CLSID& clsid, const char* logName)
    : clsid_(clsid),
      logName_(logName),
      extent_{PixelsToHimetric(320), PixelsToHimetric(240)},
      window_([this](HDC dc, const RECT& area) { PaintPicture(dc, area); }, [this] { return PictureKey(); }),
      fullScreen_([this](HDC dc, const RECT& area) { PaintPicture(dc, area); }, [this] { return PictureKey(); },
                  [this] { FullScreenTick(); }) {
    ModuleAddRef();
}

OleControl::~OleControl() { ModuleRelease(); }

STDMETHODIMP OleControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleControl)
        *out = static_cast<IOleControl*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        *out = static_cast<IViewObject2*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OleControl::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) OleControl::Release() {
    ULONG left = --refs_;
    if (left == 0) {
        // Released without Close, perhaps while playing: windows first (they
        // paint through this object), then the media, then the object.
        refs_ = 1;  // calls below may AddRef and Release us again
        fullScreen_.Destroy();
        window_.Destroy();
        CloseMedia();
        inPlaceSite_.Reset();
        clientSite_.Reset();
        delete this;
    }
    return left;
}

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site) {
    clientSite_ = ComPtr<IOleClientSite>(site, true);
    return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_.get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP OleControl::Close(DWORD) {
    LeaveFullScreen();
    InPlaceDeactivate();
    CloseMedia();
    return S_OK;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_OPEN:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
        if (site && !clientSite_) clientSite_ = ComPtr<IOleClientSite>(site, true);
        return ActivateInPlace(parent, rect);
    case OLEIVERB_HIDE:
        if (window_.hwnd()) ShowWindow(window_.hwnd(), SW_HIDE);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE: return S_OK;
    default: return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT OleControl::ActivateInPlace(HWND fallbackParent, LPCRECT fallbackRect) {
    if (window_.hwnd()) {
        ShowWindow(window_.hwnd(), SW_SHOWNA);
        return S_OK;
    }
    HWND parent = nullptr;
    RECT position{};
    bool havePosition = false;
    if (clientSite_) inPlaceSite_ = clientSite_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (inPlaceSite_) {
        if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
            inPlaceSite_.Reset();
            return E_FAIL;
        }
        inPlaceSite_->OnInPlaceActivate();
        inPlaceSite_->GetWindow(&parent);
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> uiWindow;
        RECT clip;
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        havePosition = SUCCEEDED(
            inPlaceSite_->GetWindowContext(frame.Out(), uiWindow.Out(), &position, &clip, &frameInfo));
    }
    if (!parent) parent = fallbackParent;
    if (!havePosition && fallbackRect) position = *fallbackRect;
    if (!parent || !window_.CreateChild(parent, position)) {
        if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.Reset();
        return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP OleControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
              OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

STDMETHODIMP OleControl::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = window_.hwnd();
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP OleControl::InPlaceDeactivate() {
    window_.Destroy();
    if (inPlaceSite_) {
        ComPtr<IOleInPlaceSite> site = inPlaceSite_;
        inPlaceSite_.Reset();
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_.hwnd())
        SetWindowPos(window_.hwnd(), nullptr, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                              BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
    PaintPicture(dc, area);
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

STDMETHODIMP OleControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP OleControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return NameToId(names, count, ids);
}

HRESULT OleControl::NameToId(LPOLESTR* names, UINT count, DISPID* ids) {
    return IdsOfNames(nullptr, 0, names, count, ids);
}

STDMETHODIMP OleControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                UINT*) {
    return ServeInvoke(logName_, id, flags, params, result, [this](DispatchCall& call) { return Serve(call); });
}

void OleControl::EnterFullScreen() {
    if (IsFullScreen()) return;
    HWND nearby = window_.hwnd();
    fullScreen_.CreateFullScreen(nearby ? GetAncestor(nearby, GA_ROOT) : nullptr, nearby);
}

void OleControl::LeaveFullScreen() { fullScreen_.Destroy(); }

void OleControl::FullScreenTick() {
    // Full screen ends with the clip, as it ends with Escape.
    std::shared_ptr<MediaSession> session = Session();
    Phase phase = session ? session->Snapshot().phase : Phase::kClosed;
    if (phase != Phase::kPlaying && phase != Phase::kPaused && phase != Phase::kConnecting &&
        phase != Phase::kBuffering)
        LeaveFullScreen();
}

void OleControl::PaintPicture(HDC dc, const RECT& area) {
    if (std::shared_ptr<MediaSession> session = Session())
        session->Paint(dc, area, StatusText());
    else
        PaintCaption(dc, area, L"");
}

std::uint64_t OleControl::PictureKey() {
    std::shared_ptr<MediaSession> session = Session();
    if (!session) return 0;
    return session->PictureKey() * 1000003u + reinterpret_cast<std::uintptr_t>(session.get());
}

}  // namespace kavuno::stand_in
