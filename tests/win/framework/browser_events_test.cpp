// The browser's events as the control delivers them, through a control of the
// test's own: a connection point container that keeps the sink it is given.
#include <gtest/gtest.h>
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/browser_events.h"
#include "framework/failure_report.h"

namespace {

constexpr IID kBrowserEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

// An object that is only an IDispatch: a frame of the page.
class Frame : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = (iid == IID_IUnknown || iid == IID_IDispatch) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

// The control: its IDispatch is the browser itself, and it has one connection point.
class FakeBrowser : public Frame, public IConnectionPointContainer, public IConnectionPoint {
public:
    IDispatch* sink = nullptr;
    int unadvised = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) *object = static_cast<IDispatch*>(this);
        else if (iid == IID_IConnectionPointContainer) *object = static_cast<IConnectionPointContainer*>(this);
        else *object = nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        *point = iid == kBrowserEvents ? this : nullptr;
        return *point ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* unknown, DWORD* cookie) override {
        unknown->QueryInterface(kBrowserEvents, reinterpret_cast<void**>(&sink));
        *cookie = 7;
        return sink ? S_OK : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        if (cookie != 7 || !sink) return E_FAIL;
        ++unadvised;
        sink->Release();
        sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Fires an event with arguments given first to last; returns what Cancel became.
    bool Fire(DISPID id, std::vector<VARIANT> args) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        cancel = VARIANT_FALSE;
        sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        return cancel == VARIANT_TRUE;
    }
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT Cancel() {
        cancel = VARIANT_FALSE;
        VARIANT v;
        v.vt = VT_BYREF | VT_BOOL;
        v.pboolVal = &cancel;
        return v;
    }
};

VARIANT Dispatch(IDispatch* object) {
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}
VARIANT Empty() {
    VARIANT v;
    VariantInit(&v);
    return v;
}

struct Recorder : kavuno::ui::BrowserEventHandler {
    std::vector<std::wstring> seen;
    bool cancel = false;
    bool fail = false;
    bool OnBeforeNavigate(std::wstring_view url, bool topLevel) override {
        if (fail) throw std::runtime_error("decision failed");
        seen.push_back((topLevel ? L"page " : L"frame ") + std::wstring(url));
        return cancel;
    }
    bool OnNewWindow(std::wstring_view url) override {
        seen.push_back(L"window " + std::wstring(url));
        return cancel;
    }
};

TEST(BrowserEvents, NavigationsAndNewWindowsReachTheHandlerWhoseAnswerCancels) {
    kavuno::ui::SetFailureNotice([](const std::wstring&) {});
    FakeBrowser browser;
    Frame frame;
    Recorder handler;
    kavuno::ui::BrowserEvents events;
    ASSERT_TRUE(events.Connect(static_cast<IDispatch*>(&browser), handler));
    ASSERT_NE(browser.sink, nullptr);

    BSTR url = SysAllocString(L"http://site.example/ad");
    VARIANT urlValue;
    urlValue.vt = VT_BSTR;
    urlValue.bstrVal = url;
    VARIANT urlRef;
    urlRef.vt = VT_BYREF | VT_VARIANT;
    urlRef.pvarVal = &urlValue;
    auto beforeNavigate = [&](IDispatch* who) {
        return browser.Fire(250, {Dispatch(who), urlRef, Empty(), Empty(), Empty(), Empty(), browser.Cancel()});
    };
    EXPECT_FALSE(beforeNavigate(&browser));
    EXPECT_FALSE(beforeNavigate(&frame));
    handler.cancel = true;
    EXPECT_TRUE(beforeNavigate(&browser));
    VARIANT flags;
    flags.vt = VT_I4;
    flags.lVal = 6;
    EXPECT_TRUE(browser.Fire(273, {Empty(), browser.Cancel(), flags, urlValue, urlValue}));  // NewWindow3
    EXPECT_TRUE(browser.Fire(251, {Empty(), browser.Cancel()}));                            // NewWindow2
    EXPECT_EQ(handler.seen, (std::vector<std::wstring>{L"page http://site.example/ad", L"frame http://site.example/ad",
                                                        L"page http://site.example/ad",
                                                        L"window http://site.example/ad", L"window "}));

    // Arguments that are not what they should be, and a handler that fails,
    // cancel without asking further; other events change nothing.
    handler.cancel = false;
    handler.seen.clear();
    EXPECT_TRUE(browser.Fire(250, {Dispatch(&browser), flags, Empty(), Empty(), Empty(), Empty(), browser.Cancel()}));
    EXPECT_TRUE(browser.Fire(273, {Empty(), browser.Cancel(), flags, urlValue, flags}));
    const int failures = kavuno::ui::CaughtFailureCount();
    handler.fail = true;
    EXPECT_TRUE(beforeNavigate(&browser));
    EXPECT_EQ(kavuno::ui::CaughtFailureCount(), failures + 1);
    EXPECT_FALSE(browser.Fire(252, {Dispatch(&browser), urlRef}));  // NavigateComplete2: no cancel to set
    EXPECT_TRUE(handler.seen.empty());

    events.Disconnect();
    EXPECT_EQ(browser.unadvised, 1);
    EXPECT_EQ(browser.sink, nullptr);
    SysFreeString(url);
}

}  // namespace
