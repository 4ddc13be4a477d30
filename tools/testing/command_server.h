// Serves a probe's commands from standard input, so that a test run starts one
// probe process instead of a Wine process for every look at a window.
#pragma once
#include <string>
#include <vector>

namespace kavuno::testing {

// The probe's own entry: args as on its command line (args[0] the program),
// output on standard output, the result its exit status.
using Command = int (*)(const std::vector<std::wstring>& args);

// Reads one command a line (UTF-8, arguments separated by tabs) until the end
// of the input, runs it and ends its output with the byte 0x1F, the status in
// decimal and a line feed, then flushes. Returns 0 at the end of the input.
int ServeCommands(Command run);

// A probe's main: "PROBE serve" serves commands, any other command line is
// run once.
int ProbeMain(Command run);

}  // namespace kavuno::testing
