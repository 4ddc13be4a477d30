// Substring search in GBK text: byte-exact (so case-sensitive), but a match
// only ever starts at the first byte of a character. A byte 0x81-0xFE leads a
// two-byte character and takes the byte after it as its second byte.
#pragma once
#include <cstddef>
#include <string_view>

namespace kavuno::catalogue {

inline bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Position of the first match of `needle` in `text` that starts on a character
// boundary, or npos. An empty needle matches at 0.
std::size_t GbkFind(std::string_view text, std::string_view needle);
inline bool GbkContains(std::string_view text, std::string_view needle) {
    return GbkFind(text, needle) != std::string_view::npos;
}

// The same search on stored texts (each byte 12 lower than its plain byte):
// `text` is a stored text, all of it plain (no zero byte, PlainPartOfStored),
// and `needle` the stored form of the plain needle. Matches where GbkFind
// matches on the plain texts.
std::size_t GbkFindStored(std::string_view text, std::string_view needle);

}  // namespace kavuno::catalogue
