// A file of the media folder played for real. The DirectShow graph lives on
// a thread of its own: building it takes a while (about 0.6 s under Wine),
// and the control's thread must not wait for it. The control posts requests
// and reads a snapshot and the last frame, both kept under a lock.
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/testing/stand_in_controls/media_session.h"

namespace kavuno::stand_in {

class DirectShowSession : public MediaSession {
public:
    DirectShowSession(const std::wstring& address, const std::wstring& file);
    ~DirectShowSession() override;

    void Play() override;
    void Pause() override;
    void Stop() override;
    void Seek(double positionMs) override;
    PlaybackSnapshot Snapshot() override;
    std::uint64_t PictureKey() override;
    void Paint(HDC dc, const RECT& area, const std::wstring& status) override;
    void Shutdown() override;

private:
    enum class Request { kPlay, kPause, kStop, kSeek };
    struct Pending {
        Request request;
        double positionMs;
    };
    class Engine;

    void Post(Request request, double positionMs = 0);
    void RunEngine();

    std::wstring file_;
    std::mutex mutex_;  // guards everything below
    std::condition_variable wake_;
    std::deque<Pending> pending_;
    bool quit_ = false;
    bool shut_ = false;
    PlaybackSnapshot snapshot_;
    double startMs_ = 0;  // where the first play starts
    BITMAPINFOHEADER frameHeader_{};
    std::vector<std::uint8_t> frame_;
    std::uint64_t frameSerial_ = 0;
    std::thread thread_;
};

}  // namespace kavuno::stand_in
