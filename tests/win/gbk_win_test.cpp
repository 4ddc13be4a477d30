// The wide-string helpers that the Windows glue uses at every W call.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/gbk_win.h"

namespace {

using kavuno::gbk::FromWide;
using kavuno::gbk::ToWide;

TEST(GbkWin, WideRoundTripWithCodePage936) {
    const std::string gbk = "\xD7\xEE\xBD\xFC\xB8\xFC\xD0\xC2 Kavuno";  // 最近更新 Kavuno
    EXPECT_EQ(ToWide(gbk), L"最近更新 Kavuno");
    EXPECT_EQ(FromWide(L"最近更新 Kavuno"), gbk);
    EXPECT_EQ(ToWide(""), L"");
    EXPECT_EQ(FromWide(L""), "");
}

TEST(GbkWin, IndependentOfTheAnsiCodePage) {
    // The helpers must give GBK even when the process runs under another ANSI
    // code page; compare with an explicit conversion through code page 936.
    const wchar_t text[] = L"正在播放";
    char expected[16] = {};
    int n = WideCharToMultiByte(936, 0, text, -1, expected, sizeof expected, nullptr, nullptr);
    ASSERT_GT(n, 1);
    EXPECT_EQ(FromWide(text), std::string(expected, static_cast<size_t>(n - 1)));
}

TEST(GbkWin, UnmappableBecomesQuestionMark) { EXPECT_EQ(FromWide(L"a\u0E01b"), "a?b"); }

}  // namespace
