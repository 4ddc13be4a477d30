// What the stand-in controls read from the address they are given: where in
// the media folder a streamed file would be, and the test settings of a
// simulated stream carried in the query.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::stand_in {

struct StreamAddress {
    std::wstring scheme;  // lower case, "" when the address has none
    std::wstring path;    // after scheme, user info and host[:port]; no query or fragment
    std::vector<std::pair<std::wstring, std::wstring>> query;  // in order, undecoded
};

StreamAddress ParseStreamAddress(std::wstring_view address);

// Relative paths (segments joined by '\\') to try in the media folder, in
// order: the whole path, then its last segment. A path with a ".." segment
// or a drive or stream colon in any segment gives nothing: the folder stands
// for the streaming server's content, and nothing outside it may be served.
std::vector<std::wstring> MediaFolderCandidates(const StreamAddress& address);

// Query settings of a simulated stream. Values that do not parse, or that are
// out of range, keep their defaults.
struct SimulationSettings {
    double lengthSeconds = 300;  // > 0
    double startSeconds = 0;     // 0 .. length
    double speed = 1;            // >= 0; 0 freezes the clock while playing
    double connectSeconds = 1;   // >= 0
    double bufferSeconds = 1;    // >= 0
};

SimulationSettings SimulationSettingsOf(const StreamAddress& address);

}  // namespace kavuno::stand_in
