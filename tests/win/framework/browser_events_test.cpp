// The browser's events as a control delivers them, through a control of the
// test's own: one connection point that keeps the sink it is given.
#include <gtest/gtest.h>
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/ownership_variant.h"
#include "framework/browser_events.h"
#include "framework/failure_report.h"

namespace {

constexpr IID kBrowserEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

// The control (as IDispatch, which is also what a frame of its page looks
// like: a second instance) with its connection point.
class FakeBrowser : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
public:
    IDispatch* sink = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<void*>(static_cast<IDispatch*>(this))
                  : iid == IID_IConnectionPointContainer      ? static_cast<IConnectionPointContainer*>(this)
                                                              : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // the test owns it
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        *point = iid == kBrowserEvents ? this : nullptr;
        return *point ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* unknown, DWORD* cookie) override {
        *cookie = 7;
        return unknown->QueryInterface(kBrowserEvents, reinterpret_cast<void**>(&sink));
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        if (cookie != 7 || !sink) return E_FAIL;
        sink->Release();
        sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Fires an event with its arguments first to last; true when it was cancelled.
    bool Fire(DISPID id, std::vector<VARIANT> args) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        cancel = VARIANT_FALSE;
        sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        return cancel == VARIANT_TRUE;
    }
    VARIANT Cancel() { return Ref(VT_BOOL, &cancel); }
    static VARIANT Ref(VARTYPE type, void* target) {
        VARIANT v;
        v.vt = VT_BYREF | type;
        v.byref = target;
        return v;
    }
};

struct Recorder : kavuno::ui::BrowserEventHandler {
    std::vector<std::wstring> seen;
    bool cancel = false, fail = false;
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
    FakeBrowser browser, frame;
    Recorder handler;
    kavuno::ui::BrowserEvents events;
    ASSERT_TRUE(events.Connect(static_cast<IDispatch*>(&browser), handler));
    kavuno::win::OwnedVariant url;
    url->vt = VT_BSTR;
    url->bstrVal = SysAllocString(L"http://site.example/ad");
    VARIANT empty, flags, page, child;
    VariantInit(&empty);
    flags.vt = VT_I4;
    flags.lVal = 6;
    page.vt = child.vt = VT_DISPATCH;
    page.pdispVal = &browser;
    child.pdispVal = &frame;
    const VARIANT urlRef = FakeBrowser::Ref(VT_VARIANT, url.get());
    auto beforeNavigate = [&](const VARIANT& who, const VARIANT& address) {
        return browser.Fire(250, {who, address, empty, empty, empty, empty, browser.Cancel()});
    };
    EXPECT_FALSE(beforeNavigate(page, urlRef));
    EXPECT_FALSE(beforeNavigate(child, urlRef));
    handler.cancel = true;
    EXPECT_TRUE(beforeNavigate(page, urlRef));
    EXPECT_TRUE(browser.Fire(273, {empty, browser.Cancel(), flags, *url.get(), *url.get()}));  // NewWindow3
    EXPECT_TRUE(browser.Fire(251, {empty, browser.Cancel()}));  // NewWindow2 names no address
    EXPECT_EQ(handler.seen, (std::vector<std::wstring>{L"page http://site.example/ad", L"frame http://site.example/ad",
                                                       L"page http://site.example/ad", L"window http://site.example/ad",
                                                       L"window "}));

    // Arguments that are not what they should be, and a handler that fails,
    // cancel without asking further; other events change nothing.
    handler.cancel = false;
    handler.seen.clear();
    EXPECT_TRUE(beforeNavigate(page, flags));
    EXPECT_TRUE(browser.Fire(273, {empty, browser.Cancel(), flags, *url.get(), flags}));
    const int failures = kavuno::ui::CaughtFailureCount();
    handler.fail = true;
    EXPECT_TRUE(beforeNavigate(page, urlRef));
    EXPECT_EQ(kavuno::ui::CaughtFailureCount(), failures + 1);
    EXPECT_FALSE(browser.Fire(252, {page, urlRef}));  // NavigateComplete2
    EXPECT_TRUE(handler.seen.empty());

    events.Disconnect();
    EXPECT_EQ(browser.sink, nullptr);  // unadvised and released
}

}  // namespace
