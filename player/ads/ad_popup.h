// The ad pop-up: a small top-most window under the main window's lower-left
// corner that shows the site's ad page and closes itself about six seconds
// after the first click inside it. It has no close box, and Enter and Escape
// leave it open. Once closed it cannot come back; the object lives on
// without a window until the main window lets it go.
#pragma once
#include <windows.h>

#include "framework/dialog.h"
#include "player/playback/web_browser_control.h"

namespace kavuno::ads {

class AdPopup : public ui::Dialog<AdPopup> {
public:
    static const ui::MessageEntry<AdPopup> kMessageTable[];
    static constexpr UINT kBrowserId = 2124;

    AdPopup();

    // Creates the window owned by `owner`, shows it and puts it on top of all
    // windows under the owner's lower-left corner, without activating it.
    bool Open(HWND owner);
    // Puts the pop-up back on top of all windows, where Windows takes it away
    // when its owner leaves the top-most band. Nothing once it has closed.
    void KeepOnTop();

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    bool OnTimer(WPARAM, LPARAM, LRESULT& result);

    playback::WebBrowserControl browser_;
};

}  // namespace kavuno::ads
