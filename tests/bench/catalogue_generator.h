// A large, realistic catalogue for benchmarks: GBK Chinese titles and actor
// names, categories that match a root.dat, series with their episodes, and
// the stream fields the player reads. The same seed always gives the same
// bytes.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace kavuno::bench {

// root.dat lines whose leaves are the kinds the generated records use.
std::vector<std::string> GeneratedRootLines();

// Writes a movie.dat of `records` records to `out`; false on a write error.
bool WriteGeneratedCatalogue(std::size_t records, std::FILE* out);

}  // namespace kavuno::bench
