// The stand-in RealPlayer control: a clip is given by its source address and
// started with play; positions and lengths are whole milliseconds.
#pragma once
#include "tools/testing/stand_in_controls/ole_control.h"

namespace kavuno::stand_in {

// {CFCDAA03-8BE4-11CF-B84B-0020AFBBCCFA}
extern const CLSID kRealPlayerClsid;

class RealPlayerControl : public OleControl {
public:
    RealPlayerControl();

protected:
    HRESULT Serve(DispatchCall& call) override;
    HRESULT NameToId(LPOLESTR* names, UINT count, DISPID* ids) override;
    std::shared_ptr<MediaSession> Session() override { return session_; }
    std::wstring StatusText() override;
    void CloseMedia() override;

private:
    void PlayClip();
    PlaybackSnapshot Snapshot();

    std::wstring source_;
    std::wstring controlsShown_;  // which parts of the control are shown (104)
    bool displayOption245_ = false;
    bool displayOption297_ = false;
    long volume_ = 100;  // kept, not heard: the stand-in plays no sound
    bool muted_ = false;
    std::shared_ptr<MediaSession> session_;
};

}  // namespace kavuno::stand_in
