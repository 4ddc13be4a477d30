// kavuno-catalog as a function: the arguments after the program name (UTF-8),
// the streams to print to, and the exit status.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace kavuno::tool {

inline constexpr int kExitOk = 0;
// A file could not be read or written, was damaged, or its content was refused.
inline constexpr int kExitFailed = 1;
// The command line was wrong.
inline constexpr int kExitUsage = 2;

int RunCatalogTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kavuno::tool
