#include "player/catalogue/gbk_search.h"

#include "player/catalogue/text_scramble.h"

namespace kavuno::catalogue {
namespace {

// `shift` is added to a byte of `text` before it is tested as a lead byte.
std::size_t FindOnBoundary(std::string_view text, std::string_view needle, unsigned char shift) {
    if (needle.empty()) return 0;
    // Find byte matches quickly, then walk characters from the last known
    // boundary up to each match to see whether it starts a character.
    std::size_t boundary = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t hit = text.find(needle, from);
        if (hit == std::string_view::npos) return hit;
        while (boundary < hit) {
            const auto b = static_cast<unsigned char>(static_cast<unsigned char>(text[boundary]) + shift);
            const bool pair = IsGbkLeadByte(b) && boundary + 1 < text.size();
            boundary += pair ? 2 : 1;
        }
        if (boundary == hit) return hit;
        from = hit + 1;  // the match began on a second byte
    }
}

}  // namespace

std::size_t GbkFind(std::string_view text, std::string_view needle) { return FindOnBoundary(text, needle, 0); }

std::size_t GbkFindStored(std::string_view text, std::string_view needle) {
    return FindOnBoundary(text, needle, kScrambleShift);
}

}  // namespace kavuno::catalogue
