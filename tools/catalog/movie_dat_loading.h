// Loading movie.dat for dump and list, with the player's own loader, and the
// one-line reports when that fails.
#pragma once
#include <ostream>
#include <string>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/record_array.h"

namespace kavuno::tool {

// Loads `utf8Path` into `records`. False (after printing why) only when the
// file could not be opened at all; a damaged file returns true with `result`
// saying where it broke and `records` holding what was read before.
bool LoadForTool(const std::string& utf8Path, catalogue::RecordArray& records, catalogue::LoadResult& result,
                 std::ostream& err);

// Prints what was wrong with a damaged file and at which byte, after flushing
// `out` so the report follows the output it concerns.
void ReportDamage(const std::string& utf8Path, const catalogue::LoadResult& result, std::ostream& out,
                  std::ostream& err);

}  // namespace kavuno::tool
