#include "tools/testing/stand_in_controls/media_session.h"

#include <chrono>

#include "tools/testing/stand_in_controls/core/stream_address.h"
#include "tools/testing/stand_in_controls/directshow_session.h"
#include "tools/testing/stand_in_controls/simulated_session.h"

namespace kavuno::stand_in {

std::int64_t ClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::wstring MediaFileFor(const std::wstring& address) {
    StreamAddress parsed = ParseStreamAddress(address);
    if (parsed.scheme != L"rtsp") return {};
    wchar_t folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"KAVUNO_STAND_IN_MEDIA", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring base(folder, n);
    if (base.back() != L'\\' && base.back() != L'/') base += L'\\';
    for (const auto& candidate : MediaFolderCandidates(parsed)) {
        std::wstring path = base + candidate;
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
    }
    return {};
}

std::shared_ptr<MediaSession> OpenMediaSession(const std::wstring& address) {
    std::wstring file = MediaFileFor(address);
    if (!file.empty()) return std::make_shared<DirectShowSession>(address, file);
    return std::make_shared<SimulatedSession>(address);
}

}  // namespace kavuno::stand_in
