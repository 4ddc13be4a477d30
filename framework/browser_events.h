// The events of a hosted Web Browser control that decide where it goes
// (DWebBrowserEvents2, received through the control's connection point):
// every navigation before it starts, in the control itself or in a frame of
// its page, and every new window a page asks for. The handler answers each
// with "go on" or "cancel"; a handler that fails, or an event whose
// arguments are not what they should be, cancels.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <string_view>

#include "framework/ownership.h"

namespace kavuno::ui {

class BrowserEventHandler {
public:
    // `topLevel` is false for a frame inside the page. True cancels.
    virtual bool OnBeforeNavigate(std::wstring_view url, bool topLevel) = 0;
    // `url` is empty when the control does not say (NewWindow2). True cancels.
    virtual bool OnNewWindow(std::wstring_view url) = 0;

protected:
    ~BrowserEventHandler() = default;
};

// The connection between one control and one handler. Disconnect (also run by
// the destructor) stops the events; the handler must outlive the connection.
class BrowserEvents {
public:
    BrowserEvents();
    ~BrowserEvents();
    BrowserEvents(const BrowserEvents&) = delete;
    BrowserEvents& operator=(const BrowserEvents&) = delete;

    // Connects `handler` to `control` (any interface of it); a connection made
    // before is ended first. False when the control offers no such events.
    bool Connect(IUnknown* control, BrowserEventHandler& handler);
    void Disconnect();
    bool connected() const { return static_cast<bool>(point_); }

private:
    class Sink;
    ComPtr<Sink> sink_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace kavuno::ui
