// GBK conversions: the same expectations hold natively (iconv) and on Windows
// (code page 936), so this file is built into both test trees.
#include <gtest/gtest.h>

#include "common/gbk.h"

namespace {

using kavuno::gbk::FromUtf16Lenient;
using kavuno::gbk::FromUtf8;
using kavuno::gbk::ToUtf16;
using kavuno::gbk::ToUtf8;

// "最近更新" in GBK and UTF-8.
const std::string kRecentGbk = "\xD7\xEE\xBD\xFC\xB8\xFC\xD0\xC2";
const std::string kRecentUtf8 = "\xE6\x9C\x80\xE8\xBF\x91\xE6\x9B\xB4\xE6\x96\xB0";

TEST(Gbk, DecodesChineseAndAscii) {
    EXPECT_EQ(ToUtf8(kRecentGbk), kRecentUtf8);
    std::string longGbk, longUtf8;  // far longer than one conversion step
    for (int i = 0; i < 1000; ++i) longGbk += kRecentGbk, longUtf8 += kRecentUtf8;
    EXPECT_EQ(ToUtf8(longGbk), longUtf8);
    EXPECT_EQ(ToUtf8("abc " + kRecentGbk + "1"), "abc " + kRecentUtf8 + "1");
    EXPECT_EQ(ToUtf16(kRecentGbk), u"最近更新");
    EXPECT_EQ(ToUtf8(""), "");
}

TEST(Gbk, EncodesAndRoundTrips) {
    std::string gbk;
    ASSERT_TRUE(FromUtf8(kRecentUtf8, gbk));
    EXPECT_EQ(gbk, kRecentGbk);
    ASSERT_TRUE(FromUtf8("林小满, Lin Xiaoman", gbk));
    EXPECT_EQ(ToUtf8(gbk), "林小满, Lin Xiaoman");
    EXPECT_EQ(FromUtf16Lenient(u"片名"), "\xC6\xAC\xC3\xFB");
}

TEST(Gbk, EuroSignIsCodePage936Byte80) {
    std::string gbk;
    ASSERT_TRUE(FromUtf8("\xE2\x82\xAC", gbk));
    EXPECT_EQ(gbk, "\x80");
}

TEST(Gbk, StrictEncodingRefusesWhatGbkCannotHold) {
    std::string out = "unchanged";
    EXPECT_FALSE(FromUtf8("\xF0\x9F\x98\x80", out));  // an emoji
    EXPECT_FALSE(FromUtf8("\xE0\xB8\x81", out));      // Thai
    EXPECT_FALSE(FromUtf8("\xC3\xA4", out));          // a-umlaut: no best-fit "a" either
    EXPECT_FALSE(FromUtf8("\xC3", out));              // truncated UTF-8
    EXPECT_FALSE(FromUtf8("\xC2\x80", out));          // U+0080, the first code point past ASCII: no GBK byte
    EXPECT_FALSE(FromUtf8("\xED\xA0\x80", out));      // encoded surrogate
    EXPECT_EQ(out, "unchanged");
}

TEST(Gbk, LenientEncodingReplacesWithQuestionMark) {
    // Outside the BMP: each half of the surrogate pair becomes a '?', as on Windows.
    EXPECT_EQ(FromUtf16Lenient(u"a\U0001F600b"), "a??b");
    std::u16string loneSurrogate = u"x";
    loneSurrogate += static_cast<char16_t>(0xD800);
    loneSurrogate += u"y";
    EXPECT_EQ(FromUtf16Lenient(loneSurrogate), "x?y");
}

TEST(Gbk, DecodingNeverFailsOnBrokenBytes) {
    // A lead byte at the end, and a lead byte followed by an invalid trail byte.
    std::string decoded = ToUtf8("a\xD7");
    EXPECT_EQ(decoded.substr(0, 1), "a");
    EXPECT_GT(decoded.size(), 1u);
    std::u16string wide = ToUtf16("\xD7\x20z");
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide.back(), u'z');
}

}  // namespace
