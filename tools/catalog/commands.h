// The four commands of kavuno-catalog. Each prints its result to `out`, any
// problem as one line to `err`, and returns the exit status.
#pragma once
#include <ostream>

#include "tools/catalog/command_line.h"

namespace kavuno::tool {

// movie.dat -> JSON Lines, one line per entry, index 0 included.
int RunDump(const Request& request, std::ostream& out, std::ostream& err);
// JSON Lines -> movie.dat; nothing is written unless every line is good.
int RunBuild(const Request& request, std::ostream& out, std::ostream& err);
// The rows the player's movie list shows.
int RunList(const Request& request, std::ostream& out, std::ostream& err);
// The category tree the player builds from root.dat.
int RunTree(const Request& request, std::ostream& out, std::ostream& err);

}  // namespace kavuno::tool
