#include "tools/testing/stand_in_controls/stand_in_media_player.h"

#include <iterator>

#include "tools/testing/stand_in_controls/dispatch_ids.h"

namespace kavuno::stand_in {

const CLSID kMediaPlayerClsid = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

namespace {

using namespace media_player_ids;

const DispatchName kNames[] = {
    {L"URL", kURL},
    {L"close", kClose},
    {L"controls", kControls},
    {L"currentMedia", kCurrentMedia},
    {L"playState", kPlayState},
    {L"status", kStatus},
    {L"fullScreen", kFullScreen},
    {L"uiMode", kUiMode},
    {L"settings", kSettings},
};

}  // namespace

MediaPlayerControl::MediaPlayerControl() : OleControl(kMediaPlayerClsid, "wmp") {}

std::wstring MediaPlayerControl::StatusText() { return WmpStatusText(state_->Snapshot(), ClockMs()); }

void MediaPlayerControl::CloseMedia() {
    LeaveFullScreen();
    state_->Close();
}

HRESULT MediaPlayerControl::NameToId(LPOLESTR* names, UINT count, DISPID* ids) {
    return IdsOfNames(kNames, std::size(kNames), names, count, ids);
}

HRESULT MediaPlayerControl::Serve(DispatchCall& call) {
    switch (call.id()) {
    case kURL:
        if (call.IsPut()) {
            std::wstring url;
            if (!call.Text(0, url)) return call.failure();
            LeaveFullScreen();
            state_->Open(url);
        } else {
            call.ReturnText(state_->url());
        }
        return S_OK;
    case kClose: CloseMedia(); return S_OK;
    case kControls:
        if (call.IsPut()) return DISP_E_MEMBERNOTFOUND;
        if (!controls_) controls_ = ComPtr<IDispatch>(NewControlsObject(state_), false);
        controls_->AddRef();  // the caller's own reference
        call.ReturnDispatch(controls_.get());
        return S_OK;
    case kSettings:
        if (call.IsPut()) return DISP_E_MEMBERNOTFOUND;
        call.ReturnDispatch(NewSettingsObject(state_));
        return S_OK;
    case kCurrentMedia:
        if (call.IsPut()) return DISP_E_MEMBERNOTFOUND;
        // Always an object, even with nothing open: its duration is then 0.
        call.ReturnDispatch(NewMediaObject(state_->session()));
        return S_OK;
    case kPlayState: call.ReturnInt(WmpPlayState(state_->Snapshot(), ClockMs())); return S_OK;
    case kStatus: call.ReturnText(StatusText()); return S_OK;
    case kFullScreen:
        if (call.IsPut()) {
            bool on;
            if (!call.Bool(0, on)) return call.failure();
            if (on && state_->session())
                EnterFullScreen();
            else if (!on)
                LeaveFullScreen();
        } else {
            call.ReturnBool(IsFullScreen());
        }
        return S_OK;
    case kUiMode:
        if (call.IsPut()) return call.Text(0, uiMode_) ? S_OK : call.failure();
        call.ReturnText(uiMode_);
        return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace kavuno::stand_in
