#include "tools/testing/stand_in_controls/core/playback_state.h"

#include <cstdio>
#include <cwchar>

namespace kavuno::stand_in {
namespace {

std::wstring BufferingText(int percent) { return L"正在缓冲：" + std::to_wstring(percent) + L"%"; }

bool EndReported(const PlaybackSnapshot& s, std::int64_t nowMs) {
    return s.phase == Phase::kEnded && nowMs - s.endedAtMs < kMediaEndedReportMs;
}

}  // namespace

int RealPlayState(const PlaybackSnapshot& s) {
    switch (s.phase) {
    case Phase::kConnecting: return 1;
    case Phase::kBuffering: return 2;
    case Phase::kPlaying: return 3;
    case Phase::kPaused: return 4;
    default: return 0;
    }
}

int WmpPlayState(const PlaybackSnapshot& s, std::int64_t nowMs) {
    switch (s.phase) {
    case Phase::kClosed: return 0;
    case Phase::kConnecting: return 9;
    case Phase::kBuffering: return 6;
    case Phase::kPlaying: return 3;
    case Phase::kPaused: return 2;
    case Phase::kEnded: return EndReported(s, nowMs) ? 8 : 1;
    default: return 1;
    }
}

std::wstring RealStatusText(const PlaybackSnapshot& s) {
    switch (s.phase) {
    case Phase::kClosed: return L"就绪";
    case Phase::kConnecting: return L"正在连接…";
    case Phase::kBuffering: return BufferingText(s.bufferPercent);
    case Phase::kPlaying: return L"正在播放";
    case Phase::kPaused: return L"已暂停";
    case Phase::kFailed: return L"无法播放此片段";
    default: return L"已停止";
    }
}

std::wstring WmpStatusText(const PlaybackSnapshot& s, std::int64_t nowMs) {
    switch (s.phase) {
    case Phase::kClosed: return L"";
    case Phase::kConnecting: return L"正在连接…";
    case Phase::kBuffering: return BufferingText(s.bufferPercent);
    case Phase::kPlaying: return L"正在播放";
    case Phase::kPaused: return L"已暂停";
    case Phase::kEnded: return EndReported(s, nowMs) ? L"播放完毕" : L"已停止";
    case Phase::kFailed: return L"无法播放此文件";
    default: return L"已停止";
    }
}

std::wstring ClockText(double milliseconds) {
    long long t = milliseconds > 0 ? static_cast<long long>(milliseconds / 1000) : 0;
    wchar_t text[32];
    std::swprintf(text, 32, L"%02lld:%02lld:%02lld", t / 3600, t / 60 % 60, t % 60);
    return text;
}

}  // namespace kavuno::stand_in
