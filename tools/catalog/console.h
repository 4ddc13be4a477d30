// What the tool needs from the system it runs on: its arguments as UTF-8 and
// standard streams that pass bytes through unchanged.
#pragma once
#include <string>
#include <vector>

namespace kavuno::tool {

// The arguments after the program name, in UTF-8. On Windows they come from
// the wide command line, so Chinese text survives whatever the code page.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Binary standard output and error (no "\r\n" rewriting), and a console that
// shows the UTF-8 the tool prints.
void PrepareStandardStreams();

}  // namespace kavuno::tool
