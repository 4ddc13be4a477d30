// kavuno-release, the operator's tool for signed updates, as a function: the
// arguments after the program name (UTF-8), the streams, the exit status.
//   kavuno-release keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE
//   kavuno-release publish SOURCE_DIR SERVER_DIR --key PRIVATE_KEY_FILE --target win32|win64
//                          [--serial N] [--expires-days N]
//   kavuno-release verify SERVER_DIR --public-key PUBLIC_KEY_FILE
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace kavuno::release {

inline constexpr int kExitOk = 0;
// A key or file could not be read or written, a name was refused, or (verify)
// the published folder has problems.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunReleaseTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kavuno::release
