// The Web Browser control of the video area, called through its IWebBrowser2
// dispatch interface. Addresses are GBK texts.
#pragma once
#include <string>

#include "framework/activex_host.h"

namespace kavuno::playback {

class CWebBrowser2 : public kavuno::ui::ActiveXControl {
public:
    // {8856F961-340A-11D0-A96B-00C04FD705A2}
    static const CLSID kClassId;

    bool Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return ActiveXControl::Create(kClassId, windowName, style, rect, parent, id);
    }

    // Flags, target frame, post data and headers are left out (empty).
    HRESULT Navigate(const std::string& address);
    HRESULT Refresh();
    std::string GetLocationURL() const;
    HRESULT SetResizable(bool resizable);
};

}  // namespace kavuno::playback
