#include "tools/testing/stand_in_controls/directshow_session.h"

#include <objbase.h>

#include <algorithm>
#include <chrono>

#include "tools/testing/stand_in_controls/directshow_graph.h"
#include "tools/testing/stand_in_controls/picture_painter.h"

namespace kavuno::stand_in {

// The engine thread's view: the graph, and what it last told the control.
class DirectShowSession::Engine {
public:
    explicit Engine(DirectShowSession& session) : s_(session) {}

    void Run() {
        HRESULT hr = graph_.Build(s_.file_);
        if (FAILED(hr)) {
            graph_.Close();
            std::unique_lock lock(s_.mutex_);
            s_.snapshot_.phase = Phase::kFailed;
            s_.wake_.wait(lock, [this] { return s_.quit_; });
            return;
        }
        lengthMs_ = graph_.DurationMs();
        double start = 0;
        {
            std::lock_guard lock(s_.mutex_);
            start = s_.startMs_;
        }
        if (start > 0) graph_.SetPositionMs(start);
        // Requests that came while the graph was built apply next; without
        // any, the clip plays.
        phase_ = Phase::kPlaying;
        graph_.Run();
        for (;;) {
            std::deque<Pending> requests;
            {
                std::lock_guard lock(s_.mutex_);
                if (s_.quit_) break;
                requests.swap(s_.pending_);
            }
            // The graph's calls may take a while (a stop waits for its
            // threads): the control must not wait for them under the lock.
            for (const Pending& p : requests) Apply(p);
            Poll();
            std::unique_lock lock(s_.mutex_);
            s_.wake_.wait_for(lock, std::chrono::milliseconds(25), [this] { return s_.quit_ || !s_.pending_.empty(); });
        }
        graph_.Close();
    }

private:
    void Apply(const Pending& p) {
        switch (p.request) {
        case Request::kPlay:
            if (phase_ == Phase::kPlaying) break;
            if (phase_ == Phase::kEnded) graph_.SetPositionMs(0);
            graph_.Run();
            phase_ = Phase::kPlaying;
            break;
        case Request::kPause:
            if (phase_ != Phase::kPlaying) break;
            graph_.Pause();
            phase_ = Phase::kPaused;
            break;
        case Request::kStop:
            graph_.Stop();
            graph_.SetPositionMs(0);
            phase_ = Phase::kStopped;
            break;
        case Request::kSeek:
            graph_.SetPositionMs(std::clamp(p.positionMs, 0.0, lengthMs_));
            if (phase_ == Phase::kEnded) phase_ = Phase::kStopped;
            break;
        }
    }

    void Poll() {
        bool ended = graph_.TakeCompletion() && phase_ == Phase::kPlaying;
        if (ended) {
            graph_.Stop();
            phase_ = Phase::kEnded;
        }
        double position = phase_ == Phase::kEnded ? lengthMs_ : graph_.PositionMs();
        bool haveFrame = graph_.CopyFrame(header_, scratch_);
        std::lock_guard lock(s_.mutex_);
        if (ended) s_.snapshot_.endedAtMs = ClockMs();
        Publish(position, haveFrame);
    }

    // With the lock held.
    void Publish(double position, bool haveFrame) {
        s_.snapshot_.phase = phase_;
        s_.snapshot_.positionMs = std::clamp(position, 0.0, lengthMs_);
        s_.snapshot_.lengthMs = lengthMs_;
        if (haveFrame && (scratch_ != s_.frame_ || header_.biWidth != s_.frameHeader_.biWidth)) {
            s_.frame_.swap(scratch_);
            s_.frameHeader_ = header_;
            ++s_.frameSerial_;
        }
    }

    DirectShowSession& s_;
    DirectShowGraph graph_;
    Phase phase_ = Phase::kConnecting;
    double lengthMs_ = 0;
    BITMAPINFOHEADER header_{};
    std::vector<std::uint8_t> scratch_;
};

DirectShowSession::DirectShowSession(const std::wstring& address, const std::wstring& file)
    : MediaSession(address), file_(file) {
    snapshot_.phase = Phase::kStopped;
}

DirectShowSession::~DirectShowSession() { Shutdown(); }

void DirectShowSession::RunEngine() {
    // The graph's objects are free-threaded; this thread owns them.
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        Engine engine(*this);
        engine.Run();
    }
    if (SUCCEEDED(hr)) CoUninitialize();
}

void DirectShowSession::Post(Request request, double positionMs) {
    {
        std::lock_guard lock(mutex_);
        if (shut_) return;
        if (!thread_.joinable()) {
            // Nothing runs before the first play: a seek sets where it starts.
            if (request == Request::kSeek) startMs_ = std::max(0.0, positionMs);
            if (request != Request::kPlay) return;
            thread_ = std::thread([this] { RunEngine(); });
            snapshot_.phase = Phase::kConnecting;
            snapshot_.positionMs = startMs_;
            return;
        }
        pending_.push_back({request, positionMs});
    }
    wake_.notify_all();
}

void DirectShowSession::Play() { Post(Request::kPlay); }
void DirectShowSession::Pause() { Post(Request::kPause); }
void DirectShowSession::Stop() { Post(Request::kStop); }
void DirectShowSession::Seek(double positionMs) { Post(Request::kSeek, positionMs); }

PlaybackSnapshot DirectShowSession::Snapshot() {
    std::lock_guard lock(mutex_);
    return snapshot_;
}

std::uint64_t DirectShowSession::PictureKey() {
    std::lock_guard lock(mutex_);
    return (frameSerial_ << 8) ^ static_cast<std::uint64_t>(snapshot_.phase);
}

void DirectShowSession::Paint(HDC dc, const RECT& area, const std::wstring& status) {
    std::lock_guard lock(mutex_);
    if (!frame_.empty())
        PaintFrame(dc, area, frameHeader_, frame_.data());
    else
        PaintCaption(dc, area, status);
}

void DirectShowSession::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        if (shut_) return;
        shut_ = true;
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    // What a stopped control reports from now on.
    if (snapshot_.phase != Phase::kEnded && snapshot_.phase != Phase::kFailed) snapshot_.phase = Phase::kStopped;
}

}  // namespace kavuno::stand_in
