// The stand-in Windows Media Player control: setting URL opens an address and
// starts it; its controls object drives it; positions and lengths are seconds.
#pragma once
#include "tools/testing/stand_in_controls/media_player_objects.h"
#include "tools/testing/stand_in_controls/ole_control.h"

namespace kavuno::stand_in {

// {6BF52A52-394A-11D3-B153-00C04F79FAA6}
extern const CLSID kMediaPlayerClsid;

class MediaPlayerControl : public OleControl {
public:
    MediaPlayerControl();

protected:
    HRESULT Serve(DispatchCall& call) override;
    HRESULT NameToId(LPOLESTR* names, UINT count, DISPID* ids) override;
    std::shared_ptr<MediaSession> Session() override { return state_->session(); }
    std::wstring StatusText() override;
    void CloseMedia() override;

private:
    std::shared_ptr<MediaPlayerState> state_ = std::make_shared<MediaPlayerState>();
    ComPtr<IDispatch> controls_;  // made on first request, then always the same
    std::wstring uiMode_ = L"full";
};

}  // namespace kavuno::stand_in
