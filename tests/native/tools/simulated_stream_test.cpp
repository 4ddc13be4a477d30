// The simulated stream's clock, driven by hand: its phases, what each control
// makes of them, and pause, seek, stop and the end of the clip.
#include <gtest/gtest.h>

#include "tools/testing/stand_in_controls/core/playback_state.h"
#include "tools/testing/stand_in_controls/core/simulated_stream.h"

namespace {

using namespace kavuno::stand_in;

SimulationSettings Settings(double length, double start = 0, double speed = 1, double connect = 1, double buffer = 1) {
    SimulationSettings s;
    s.lengthSeconds = length;
    s.startSeconds = start;
    s.speed = speed;
    s.connectSeconds = connect;
    s.bufferSeconds = buffer;
    return s;
}

TEST(SimulatedStream, ConnectsBuffersThenPlaysToTheEnd) {
    SimulatedStream stream(Settings(10, 2));
    EXPECT_EQ(stream.At(0).phase, Phase::kStopped);
    stream.Play(1000);

    PlaybackSnapshot s = stream.At(1500);
    EXPECT_EQ(s.phase, Phase::kConnecting);
    EXPECT_EQ(RealPlayState(s), 1);
    EXPECT_EQ(WmpPlayState(s, 1500), 9);
    EXPECT_EQ(RealStatusText(s), L"正在连接…");
    EXPECT_EQ(s.lengthMs, 0);  // not known before the server answers
    EXPECT_EQ(s.positionMs, 2000);

    s = stream.At(2500);
    EXPECT_EQ(s.phase, Phase::kBuffering);
    EXPECT_EQ(s.bufferPercent, 50);
    EXPECT_EQ(RealPlayState(s), 2);
    EXPECT_EQ(WmpPlayState(s, 2500), 6);
    EXPECT_EQ(WmpStatusText(s, 2500), L"正在缓冲：50%");
    EXPECT_EQ(s.lengthMs, 10000);

    s = stream.At(4000);
    EXPECT_EQ(s.phase, Phase::kPlaying);
    EXPECT_EQ(RealPlayState(s), 3);
    EXPECT_EQ(WmpPlayState(s, 4000), 3);
    EXPECT_EQ(RealStatusText(s), L"正在播放");
    EXPECT_DOUBLE_EQ(s.positionMs, 3000);

    // 8 s of clip are left at 3000: the end comes at 11000, even when nobody
    // looked in between.
    s = stream.At(20000);
    EXPECT_EQ(s.phase, Phase::kEnded);
    EXPECT_EQ(s.endedAtMs, 11000);
    EXPECT_DOUBLE_EQ(s.positionMs, 10000);
    EXPECT_EQ(RealPlayState(s), 0);
    EXPECT_EQ(WmpPlayState(s, 11000), 8);
    EXPECT_EQ(WmpStatusText(s, 11000 + kMediaEndedReportMs - 1), L"播放完毕");
    EXPECT_EQ(WmpPlayState(s, 11000 + kMediaEndedReportMs), 1);
    EXPECT_EQ(WmpStatusText(s, 11000 + kMediaEndedReportMs), L"已停止");

    // Playing again starts from the beginning, through connecting.
    stream.Play(30000);
    EXPECT_EQ(stream.At(30000).phase, Phase::kConnecting);
    EXPECT_DOUBLE_EQ(stream.At(32500).positionMs, 500);
}

TEST(SimulatedStream, PauseResumeSeekAndStop) {
    SimulatedStream stream(Settings(100, 0, 2, 0, 0));  // no waiting, clock at twice the speed
    stream.Play(0);
    EXPECT_EQ(stream.At(0).phase, Phase::kPlaying);
    stream.Pause(1000);
    PlaybackSnapshot s = stream.At(5000);
    EXPECT_EQ(s.phase, Phase::kPaused);
    EXPECT_DOUBLE_EQ(s.positionMs, 2000);
    EXPECT_EQ(RealPlayState(s), 4);
    EXPECT_EQ(WmpPlayState(s, 5000), 2);
    EXPECT_EQ(WmpStatusText(s, 5000), L"已暂停");

    stream.Seek(50000, 6000);  // while paused: moves, stays paused
    EXPECT_DOUBLE_EQ(stream.At(7000).positionMs, 50000);
    stream.Play(8000);
    EXPECT_DOUBLE_EQ(stream.At(9000).positionMs, 52000);

    stream.Seek(-5, 9000);
    EXPECT_DOUBLE_EQ(stream.At(9000).positionMs, 0);
    stream.Seek(100000, 9500);  // to the end: over at once
    EXPECT_EQ(stream.At(9500).phase, Phase::kEnded);
    EXPECT_EQ(stream.At(9500).endedAtMs, 9500);

    stream.Play(10000);
    stream.Stop(11000);
    s = stream.At(12000);
    EXPECT_EQ(s.phase, Phase::kStopped);
    EXPECT_DOUBLE_EQ(s.positionMs, 0);
    EXPECT_EQ(RealPlayState(s), 0);
    EXPECT_EQ(WmpPlayState(s, 12000), 1);
    EXPECT_EQ(RealStatusText(s), L"已停止");
}

TEST(SimulatedStream, PauseWhileBufferingAndAFrozenClock) {
    SimulatedStream stream(Settings(10, 4, 0));
    stream.Play(0);
    stream.Pause(1500);  // connecting still: pauses once buffered
    EXPECT_EQ(stream.At(1800).phase, Phase::kBuffering);
    PlaybackSnapshot s = stream.At(2500);
    EXPECT_EQ(s.phase, Phase::kPaused);
    EXPECT_DOUBLE_EQ(s.positionMs, 4000);
    stream.Play(3000);
    s = stream.At(100000);  // speed 0: plays on the spot, never ends
    EXPECT_EQ(s.phase, Phase::kPlaying);
    EXPECT_DOUBLE_EQ(s.positionMs, 4000);
}

TEST(SimulatedStream, TheControlsVoiceForOtherStates) {
    PlaybackSnapshot closed;
    EXPECT_EQ(RealPlayState(closed), 0);
    EXPECT_EQ(WmpPlayState(closed, 0), 0);
    EXPECT_EQ(WmpStatusText(closed, 0), L"");
    PlaybackSnapshot failed;
    failed.phase = Phase::kFailed;
    EXPECT_EQ(RealPlayState(failed), 0);
    EXPECT_EQ(WmpPlayState(failed, 0), 1);
    EXPECT_FALSE(RealStatusText(failed).empty());
    EXPECT_EQ(ClockText(3723999), L"01:02:03");
    EXPECT_EQ(ClockText(-5), L"00:00:00");
}

}  // namespace
