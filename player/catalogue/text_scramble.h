// The text scrambling of movie.dat: stored byte = plain byte - 12 (mod 256).
#pragma once
#include <cstddef>

namespace kavuno::catalogue {

inline constexpr unsigned char kScrambleShift = 12;

inline void ScrambleInPlace(char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>(static_cast<unsigned char>(p[i]) - kScrambleShift);
}

inline void UnscrambleInPlace(char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>(static_cast<unsigned char>(p[i]) + kScrambleShift);
}

}  // namespace kavuno::catalogue
