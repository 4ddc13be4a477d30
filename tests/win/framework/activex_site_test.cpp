// The container side of a hosted control, as a control sees it: the
// interfaces the site answers to, its references, the window and rectangles
// it hands out, and what it says once its host window has gone.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include "framework/activex_site.h"
#include "framework/ownership.h"

namespace {

using kavuno::ui::ActiveXSite;
using kavuno::ui::OwnedWindow;

TEST(ActiveXSite, AnswersForEachOfItsInterfacesAndCountsItsReferences) {
    const OwnedWindow top(
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr));
    const HWND host = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 10, 10, 120, 90, top.get(), nullptr, nullptr,
                                      nullptr);
    auto* site = new ActiveXSite(host);  // the creator's reference
    EXPECT_EQ(site->AddRef(), 2u);
    EXPECT_EQ(site->Release(), 1u);

    void* asked = nullptr;
    EXPECT_EQ(site->QueryInterface(IID_IUnknown, &asked), S_OK);
    EXPECT_EQ(asked, static_cast<IOleClientSite*>(site));
    EXPECT_EQ(site->QueryInterface(IID_IOleClientSite, &asked), S_OK);
    EXPECT_EQ(asked, static_cast<IOleClientSite*>(site));
    for (const IID* iid : {&IID_IOleWindow, &IID_IOleInPlaceSite, &IID_IOleInPlaceSiteEx}) {
        EXPECT_EQ(site->QueryInterface(*iid, &asked), S_OK);
        EXPECT_EQ(asked, static_cast<IOleInPlaceSiteEx*>(site));
    }
    for (const IID* iid : {&IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame}) {
        EXPECT_EQ(site->QueryInterface(*iid, &asked), S_OK);
        EXPECT_EQ(asked, static_cast<IOleInPlaceFrame*>(site));
    }
    asked = site;
    EXPECT_EQ(site->QueryInterface(IID_IDispatch, &asked), E_NOINTERFACE);
    EXPECT_EQ(asked, nullptr);
    EXPECT_EQ(site->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(site->AddRef(), 9u) << "one reference for each interface given out";
    for (int i = 0; i < 8; ++i) site->Release();

    // The window context: the host as the frame's window, its client area, no document, no accelerators.
    HWND window = nullptr;
    EXPECT_EQ(site->GetWindow(&window), S_OK);
    EXPECT_EQ(window, host);
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(site);
    RECT position = {}, clip = {};
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof info;
    info.fMDIApp = TRUE;
    info.cAccelEntries = 5;
    EXPECT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
    EXPECT_EQ(frame, static_cast<IOleInPlaceFrame*>(site));
    EXPECT_EQ(site->Release(), 1u) << "the frame came with a reference";
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(position.right, 120);
    EXPECT_EQ(position.bottom, 90);
    EXPECT_TRUE(EqualRect(&clip, &position));
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, top.get());
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);
    for (int missing = 0; missing < 5; ++missing) {
        EXPECT_EQ(site->GetWindowContext(missing == 0 ? nullptr : &frame, missing == 1 ? nullptr : &document,
                                         missing == 2 ? nullptr : &position, missing == 3 ? nullptr : &clip,
                                         missing == 4 ? nullptr : &info),
                  E_POINTER)
            << missing;
    }
    BOOL noRedraw = TRUE;
    EXPECT_EQ(site->OnInPlaceActivateEx(&noRedraw, 0), S_OK);
    EXPECT_FALSE(noRedraw);
    EXPECT_EQ(site->CanInPlaceActivate(), S_OK);

    // The host has gone: no window, no frame, no activation.
    site->Disconnect();
    EXPECT_EQ(site->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &info), E_FAIL);
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(site->CanInPlaceActivate(), S_FALSE);
    EXPECT_EQ(site->Release(), 0u);
}

}  // namespace
