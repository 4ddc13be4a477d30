#include "common/log_line.h"

#include <gtest/gtest.h>

namespace {

using namespace kavuno::logfile;

TEST(LogLine, OneSafeLinePerEventWhateverTheTextHolds) {
    const Timestamp t{2024, 5, 1, 9, 4, 3, 7};
    EXPECT_EQ(FormatLine(t, 42, KindText(Kind::Play), "\xE3\x80\x8A\xE7\x89\x87\xE3\x80\x8B rtsp://h/x"),
              "2024-05-01 09:04:03.007 [42] play: \xE3\x80\x8A\xE7\x89\x87\xE3\x80\x8B rtsp://h/x\n");
    // No text starts a line of its own or breaks the file's UTF-8: line ends,
    // tabs, C1 controls and line separators are blanks, GBK bytes are '?'.
    EXPECT_EQ(FormatLine(t, 1, "refused\n",
                         "a\r\nfake line\tb\xC2\x85"
                         "c\xE2\x80\xA8"
                         "d\xC2\x80"
                         "e\xE2\x80\xA9"
                         "f \xD5\xFD"),
              "2024-05-01 09:04:03.007 [1] refused : a  fake line b c d e f ??\n");
    // A long text is cut on a character's boundary.
    std::string longText;
    for (int i = 0; i < 1000; ++i) longText += "\xE7\x89\x87";  // 3 bytes each
    const std::string cut = SafeText(longText, 10);
    EXPECT_EQ(cut, "\xE7\x89\x87\xE7\x89\x87\xE7\x89\x87...");
    EXPECT_LE(FormatLine(t, 1, "x", longText).size(), kMaxTextBytes + 64);
}

TEST(LogLine, RotatesBeforeALineWouldPassAMebibyte) {
    EXPECT_FALSE(RotateBefore(0, 5'000'000));  // an empty file takes any line
    EXPECT_FALSE(RotateBefore(kRotateAtBytes - 10, 10));
    EXPECT_TRUE(RotateBefore(kRotateAtBytes - 10, 11));
    EXPECT_TRUE(RotateBefore(50'000'000, 1));
}

}  // namespace
