// The call log: when KAVUNO_STAND_IN_LOG names a file, each line is appended
// to it at once, so a test that reads the file sees every call made so far.
#pragma once
#include <string>

namespace kavuno::stand_in {

void AppendCallLog(const std::string& line);

}  // namespace kavuno::stand_in
