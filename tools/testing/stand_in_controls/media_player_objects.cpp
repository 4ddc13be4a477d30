#include "tools/testing/stand_in_controls/media_player_objects.h"

#include <iterator>

#include "tools/testing/stand_in_controls/dispatch_ids.h"

namespace kavuno::stand_in {
namespace {

using namespace media_player_ids;

const DispatchName kControlsNames[] = {{L"play", kControlsPlay},
                                       {L"stop", kControlsStop},
                                       {L"pause", kControlsPause},
                                       {L"currentPosition", kControlsCurrentPosition}};
const DispatchName kMediaNames[] = {{L"duration", kMediaDuration}};
const DispatchName kSettingsNames[] = {{L"volume", kSettingsVolume}, {L"mute", kSettingsMute}};

class ControlsObject : public DispatchObject {
public:
    explicit ControlsObject(std::shared_ptr<MediaPlayerState> state)
        : DispatchObject("wmp.controls", kControlsNames, std::size(kControlsNames)), state_(std::move(state)) {}

protected:
    HRESULT Serve(DispatchCall& call) override {
        switch (call.id()) {
        case kControlsPlay: state_->Play(); return S_OK;
        case kControlsStop: state_->Stop(); return S_OK;
        case kControlsPause: state_->Pause(); return S_OK;
        case kControlsCurrentPosition:
            if (call.IsPut()) {
                double seconds;
                if (!call.Double(0, seconds)) return call.failure();
                state_->SeekSeconds(seconds);
            } else {
                call.ReturnDouble(state_->Snapshot().positionMs / 1000);
            }
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::shared_ptr<MediaPlayerState> state_;
};

class SettingsObject : public DispatchObject {
public:
    explicit SettingsObject(std::shared_ptr<MediaPlayerState> state)
        : DispatchObject("wmp.settings", kSettingsNames, std::size(kSettingsNames)), state_(std::move(state)) {}

protected:
    HRESULT Serve(DispatchCall& call) override {
        switch (call.id()) {
        case kSettingsVolume:
            if (!call.IsPut()) {
                call.ReturnInt(state_->volume);
                return S_OK;
            }
            return call.Int(0, state_->volume) ? S_OK : call.failure();
        case kSettingsMute:
            if (!call.IsPut()) {
                call.ReturnBool(state_->muted);
                return S_OK;
            }
            return call.Bool(0, state_->muted) ? S_OK : call.failure();
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::shared_ptr<MediaPlayerState> state_;
};

class MediaObject : public DispatchObject {
public:
    explicit MediaObject(std::shared_ptr<MediaSession> session)
        : DispatchObject("wmp.media", kMediaNames, std::size(kMediaNames)), session_(std::move(session)) {}

protected:
    HRESULT Serve(DispatchCall& call) override {
        if (call.id() != kMediaDuration || call.IsPut()) return DISP_E_MEMBERNOTFOUND;
        // 0 until the length is known; a closed media keeps what it knew.
        call.ReturnDouble(session_ ? session_->Snapshot().lengthMs / 1000 : 0.0);
        return S_OK;
    }

private:
    std::shared_ptr<MediaSession> session_;
};

}  // namespace

void MediaPlayerState::Open(const std::wstring& url) {
    Close();
    url_ = url;
    if (url.empty()) return;
    session_ = OpenMediaSession(url);
    session_->Play();
}

void MediaPlayerState::Close() {
    if (session_) session_->Shutdown();
    session_.reset();
}

void MediaPlayerState::Play() {
    if (session_) session_->Play();
}

void MediaPlayerState::Stop() {
    if (session_) session_->Stop();
}

void MediaPlayerState::Pause() {
    if (session_) session_->Pause();
}

void MediaPlayerState::SeekSeconds(double seconds) {
    if (session_) session_->Seek(seconds * 1000);
}

PlaybackSnapshot MediaPlayerState::Snapshot() const { return session_ ? session_->Snapshot() : PlaybackSnapshot{}; }

IDispatch* NewControlsObject(std::shared_ptr<MediaPlayerState> state) { return new ControlsObject(std::move(state)); }

IDispatch* NewSettingsObject(std::shared_ptr<MediaPlayerState> state) { return new SettingsObject(std::move(state)); }

IDispatch* NewMediaObject(std::shared_ptr<MediaSession> session) { return new MediaObject(std::move(session)); }

}  // namespace kavuno::stand_in
