// The time display's text for a position or length in milliseconds.
#pragma once
#include <cstdint>
#include <string>

namespace kavuno::playback {

// "hh:mm:ss": whole seconds (truncated), hours not limited to two digits
// (100 hours is "100:00:00"). A negative time, which a control reports for a
// length it does not know, shows as "00:00:00".
std::string FormatPlayTime(std::int32_t milliseconds);

}  // namespace kavuno::playback
