#include "framework/browser_events.h"

#include <oleauto.h>

#include <utility>

#include "framework/failure_report.h"

namespace kavuno::ui {
namespace {

// DWebBrowserEvents2 {34A715A0-6587-11D0-924A-0020AFC7AC4D} and the events used.
constexpr IID kBrowserEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNewWindow2 = 251;
constexpr DISPID kNewWindow3 = 273;

// The text a (possibly by-reference) variant holds, or nothing.
bool TextOf(const VARIANT& v, std::wstring_view& text) {
    const VARIANT* value = &v;
    if (value->vt == (VT_BYREF | VT_VARIANT)) {
        if (!value->pvarVal) return false;
        value = value->pvarVal;
    }
    BSTR bstr = nullptr;
    if (value->vt == VT_BSTR) {
        bstr = value->bstrVal;
    } else if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal) {
        bstr = *value->pbstrVal;
    } else {
        return false;
    }
    text = bstr ? std::wstring_view(bstr, SysStringLen(bstr)) : std::wstring_view();
    return true;
}

VARIANT_BOOL* CancelOf(const VARIANT& v) { return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr; }

// Whether `object` is the object whose IUnknown is `identity`.
bool IsObject(IUnknown* object, IUnknown* identity) {
    if (!object || !identity) return false;
    ComPtr<IUnknown> own;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(own.Out())))) return false;
    return own && own.get() == identity;
}

}  // namespace

// The COM object the control calls. It keeps no reference to the control
// (the control holds the sink), only its identity, to tell its own
// navigations from those of its frames.
class BrowserEvents::Sink final : public IDispatch {
public:
    Sink(IUnknown* identity, BrowserEventHandler& handler) : identity_(identity), handler_(&handler) {}
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    void Forget() {
        handler_ = nullptr;
        identity_ = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kBrowserEvents) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (!params || (id != kBeforeNavigate2 && id != kNewWindow2 && id != kNewWindow3)) return S_OK;
        // Arguments come last first. BeforeNavigate2(disp, url, flags, frame,
        // post data, headers, cancel); NewWindow2(disp, cancel);
        // NewWindow3(disp, cancel, flags, context url, url).
        const UINT count = params->cArgs;
        const VARIANT* args = params->rgvarg;
        const UINT cancelAt = id == kNewWindow3 ? 3 : 0;
        VARIANT_BOOL* cancel = args && count > cancelAt ? CancelOf(args[cancelAt]) : nullptr;
        if (!cancel) return S_OK;
        *cancel = Guarded("web browser event", true, [&] { return Decide(id, count, args); }) ? VARIANT_TRUE
                                                                                              : VARIANT_FALSE;
        return S_OK;
    }

private:
    ~Sink() = default;

    // True cancels.
    bool Decide(DISPID id, UINT count, const VARIANT* args) {
        if (!handler_) return true;
        std::wstring_view url;
        switch (id) {
        case kBeforeNavigate2: {
            if (count != 7 || !TextOf(args[5], url)) return true;
            const bool topLevel = args[6].vt == VT_DISPATCH && IsObject(args[6].pdispVal, identity_);
            return handler_->OnBeforeNavigate(url, topLevel);
        }
        case kNewWindow3:
            if (count != 5 || !TextOf(args[0], url)) return true;
            return handler_->OnNewWindow(url);
        default:  // NewWindow2 names no address
            return handler_->OnNewWindow({});
        }
    }

    LONG references_ = 1;
    IUnknown* identity_;
    BrowserEventHandler* handler_;
};

BrowserEvents::BrowserEvents() = default;
BrowserEvents::~BrowserEvents() { Disconnect(); }

bool BrowserEvents::Connect(IUnknown* control, BrowserEventHandler& handler) {
    Disconnect();
    if (!control) return false;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Out()))) ||
        !container)
        return false;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(kBrowserEvents, point.Out())) || !point) return false;

    // The identity is compared, never called: the sink holds no reference.
    ComPtr<IUnknown> identity;
    control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Out()));
    ComPtr<Sink> sink(new Sink(identity.get(), handler), false);
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(sink.get()), &cookie))) return false;
    sink_ = std::move(sink);
    point_ = std::move(point);
    cookie_ = cookie;
    return true;
}

void BrowserEvents::Disconnect() {
    if (sink_) sink_->Forget();  // late events find no handler and cancel
    if (point_) point_->Unadvise(cookie_);
    point_.Reset();
    sink_.Reset();
    cookie_ = 0;
}

}  // namespace kavuno::ui
