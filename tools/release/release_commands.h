// The commands of kavuno-release (release_tool.h), each with its parsed
// arguments. They print one line per problem to `err` and return the exit
// status.
#pragma once
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace kavuno::release {

int RunKeygen(const std::string& privateKey, const std::string& publicKey, std::ostream& out, std::ostream& err);

struct PublishRequest {
    std::string sourceDir;
    std::string serverDir;
    std::string privateKey;
    std::optional<uint64_t> serial;  // default: the current time in seconds
};
int RunPublish(const PublishRequest& request, std::ostream& out, std::ostream& err);

int RunVerify(const std::string& serverDir, const std::string& publicKey, std::ostream& out, std::ostream& err);

}  // namespace kavuno::release
