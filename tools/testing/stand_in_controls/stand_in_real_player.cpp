#include "tools/testing/stand_in_controls/stand_in_real_player.h"

#include <cmath>
#include <climits>
#include <iterator>

#include "tools/testing/stand_in_controls/dispatch_ids.h"

namespace kavuno::stand_in {

const CLSID kRealPlayerClsid = {0xCFCDAA03, 0x8BE4, 0x11CF, {0xB8, 0x4B, 0x00, 0x20, 0xAF, 0xBB, 0xCC, 0xFA}};

namespace {

using namespace real_player_ids;

// The volume's names; every other call goes by dispatch id.
const DispatchName kNames[] = {{L"SetVolume", kSetVolume}, {L"SetMute", kSetMute}};

long Milliseconds(double ms) {
    if (!(ms > 0)) return 0;
    return ms >= LONG_MAX ? LONG_MAX : static_cast<long>(std::floor(ms));
}

}  // namespace

RealPlayerControl::RealPlayerControl() : OleControl(kRealPlayerClsid, "real") {}

HRESULT RealPlayerControl::NameToId(LPOLESTR* names, UINT count, DISPID* ids) {
    return IdsOfNames(kNames, std::size(kNames), names, count, ids);
}

PlaybackSnapshot RealPlayerControl::Snapshot() { return session_ ? session_->Snapshot() : PlaybackSnapshot{}; }

std::wstring RealPlayerControl::StatusText() { return RealStatusText(Snapshot()); }

void RealPlayerControl::CloseMedia() {
    LeaveFullScreen();
    if (session_) session_->Shutdown();
    session_.reset();
}

void RealPlayerControl::PlayClip() {
    if (source_.empty()) return;
    if (!session_ || session_->address() != source_) {
        if (session_) session_->Shutdown();
        session_ = OpenMediaSession(source_);
    }
    session_->Play();
}

HRESULT RealPlayerControl::Serve(DispatchCall& call) {
    switch (call.id()) {
    case kSource:
        if (call.IsPut()) {
            std::wstring source;
            if (!call.Text(0, source)) return call.failure();
            // A new clip replaces the old one, which stops; it starts on play.
            if (source != source_ && session_) {
                LeaveFullScreen();
                session_->Shutdown();
                session_.reset();
            }
            source_ = source;
        } else {
            call.ReturnText(source_);
        }
        return S_OK;
    case kControls:
        if (call.IsPut()) return call.Text(0, controlsShown_) ? S_OK : call.failure();
        call.ReturnText(controlsShown_);
        return S_OK;
    case kFirstDisplayOption:
    case kSecondDisplayOption: {
        bool& option = call.id() == kFirstDisplayOption ? displayOption245_ : displayOption297_;
        if (call.ArgumentCount() == 0) {
            call.ReturnBool(option);
            return S_OK;
        }
        return call.Bool(0, option) ? S_OK : call.failure();
    }
    case kPlay: PlayClip(); return S_OK;
    case kResume:
        // Resumes a paused clip; a stopped one starts again, as with play.
        PlayClip();
        return S_OK;
    case kStop:
        LeaveFullScreen();
        if (session_) session_->Stop();
        return S_OK;
    case kPause:
        if (session_) session_->Pause();
        return S_OK;
    case kPosition: call.ReturnInt(Milliseconds(Snapshot().positionMs)); return S_OK;
    case kLength: call.ReturnInt(Milliseconds(Snapshot().lengthMs)); return S_OK;
    case kPlayState: call.ReturnInt(RealPlayState(Snapshot())); return S_OK;
    case kQueryAfterStop:
        // Asked after a stop; the stand-in tells whether a clip is loaded, playing or not.
        call.ReturnBool(session_ != nullptr);
        return S_OK;
    case kSeek: {
        long ms;
        if (!call.Int(0, ms)) return call.failure();
        if (session_) session_->Seek(static_cast<double>(ms));
        return S_OK;
    }
    case kFullScreen:
        if (session_) EnterFullScreen();
        return S_OK;
    case kStatusText: call.ReturnText(StatusText()); return S_OK;
    case kSetVolume: return call.Int(0, volume_) ? S_OK : call.failure();
    case kSetMute: return call.Bool(0, muted_) ? S_OK : call.failure();
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace kavuno::stand_in
