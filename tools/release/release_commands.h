// The commands of kavuno-release (release_tool.h), each with its parsed
// arguments. They print one line per problem to `err` and return the exit
// status.
#pragma once
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "launcher/update_list.h"

namespace kavuno::release {

int RunKeygen(const std::string& privateKey, const std::string& publicKey, std::ostream& out, std::ostream& err);

struct PublishRequest {
    std::string sourceDir;
    std::string serverDir;
    std::string privateKey;
    std::optional<uint64_t> serial;  // default: the current time in seconds
    std::string target;              // "win32" or "win64"
    uint64_t expiresDays = 30;       // 0: already expired (for tests)
};
int RunPublish(const PublishRequest& request, std::ostream& out, std::ostream& err);

// The time in seconds, UTC.
uint64_t NowSeconds();

// A serial more than this ahead of the clock is refused: a list dated into
// the future would lock out every release published until then.
inline constexpr uint64_t kMaxSerialAheadSeconds = 24 * 60 * 60;
// verify warns when a list expires within this.
inline constexpr uint64_t kExpiryWarningSeconds = 7 * 24 * 60 * 60;

// The list already published in SERVER_DIR, whatever its signature: nothing
// when there is none or it cannot be read.
std::optional<launcher::UpdateList> PublishedList(const std::string& serverDir);

int RunVerify(const std::string& serverDir, const std::string& publicKey, std::ostream& out, std::ostream& err);

}  // namespace kavuno::release
