// UTF-8 of single code points: each length at its boundaries, byte for byte,
// and the sequences a strict decoder refuses.
#include "common/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kavuno::utf8::Append;
using kavuno::utf8::Decode;

TEST(Utf8, EachLengthAtItsBoundariesByteForByteAndBack) {
    const struct {
        char32_t c;
        const char* bytes;
    } cases[] = {
        {0x00, ""},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xD7FF, "\xED\x9F\xBF"},
        {0xE000, "\xEE\x80\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x40000, "\xF1\x80\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& one : cases) {
        const std::string expected = one.c == 0 ? std::string(1, '\0') : std::string(one.bytes);
        std::string out = "x";
        Append(one.c, out);
        EXPECT_EQ(out, "x" + expected) << std::hex << static_cast<unsigned>(one.c);
        char32_t back = 0xFFFFFFFF;
        EXPECT_EQ(Decode(out, 1, back), expected.size()) << std::hex << static_cast<unsigned>(one.c);
        EXPECT_EQ(back, one.c);
    }
}

TEST(Utf8, RefusesOverlongTruncatedStrayAndSurrogateSequencesAndWhatLiesBeyondU10FFFF) {
    for (const char* bad :
         {"\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC2\x41", "\xE2\x82", "\xF0\x9F\x98"}) {
        char32_t c = 7;
        EXPECT_EQ(Decode(bad, 0, c), 0u) << bad;
        EXPECT_EQ(c, 7u) << "left alone";
    }
    // A sequence cut off by the end of the view, whatever follows in memory.
    const std::string euro = "a\xE2\x82\xAC";
    char32_t c = 0;
    EXPECT_EQ(Decode(std::string_view(euro).substr(0, 3), 1, c), 0u);
    EXPECT_EQ(Decode(euro, 1, c), 3u);
    EXPECT_EQ(c, 0x20ACu);
}

}  // namespace
