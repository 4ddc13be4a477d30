// The uninstaller's list of the files the launcher may have put into its folder.
#include "launcher/installed_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kavuno::launcher::InstalledFilesText;
using kavuno::launcher::ParseInstalledFiles;
using Names = std::vector<std::u16string>;

// `text` as UTF-16LE after a byte-order mark.
std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(InstalledFiles, EachNameOnceWithBackslashesAfterTheEarlierList) {
    // "电影.dat" in GBK is U+7535 U+5F71: both bytes of a unit count. The
    // earlier list's blank line goes, a line without its CR stays whole, and a
    // last line without its end was cut off.
    const std::string text = InstalledFilesText({"skin/blue.bmp", "\xB5\xE7\xD3\xB0.dat", "skin\\blue.bmp"},
                                                Utf16File(u"old.exe\r\n\r\nplain\nskin\\blue.bmp\r\ncut"));
    EXPECT_EQ(text, Utf16File(u"old.exe\r\nplain\r\nskin\\blue.bmp\r\n\u7535\u5F71.dat\r\n"));
    EXPECT_EQ(ParseInstalledFiles(text), (Names{u"old.exe", u"plain", u"skin\\blue.bmp", u"\u7535\u5F71.dat"}));
    // Not such a file: no mark, an odd size, a big-endian mark.
    for (const std::string& bad :
         {std::string("a\0\r\0\n\0", 6), Utf16File(u"a\r\n") + "x", std::string("\xFE\xFF\0a\0\r\0\n", 8)})
        EXPECT_EQ(ParseInstalledFiles(bad), Names{});
}

}  // namespace
