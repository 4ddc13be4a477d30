// Which manifest names the updater may write: only names inside its folder.
#include <gtest/gtest.h>

#include "launcher/entry_name.h"

namespace {

using kavuno::launcher::EntryAddressPath;
using kavuno::launcher::IsSafeEntryName;

TEST(IsSafeEntryName, AcceptsPlainNamesAndSubdirectories) {
    EXPECT_TRUE(IsSafeEntryName("movie.dat"));
    EXPECT_TRUE(IsSafeEntryName("root.dat"));
    EXPECT_TRUE(IsSafeEntryName("kavuno.exe"));
    EXPECT_TRUE(IsSafeEntryName("skin\\blue.bmp"));
    EXPECT_TRUE(IsSafeEntryName("skin/blue.bmp"));
    EXPECT_TRUE(IsSafeEntryName("a b .dat"));
    EXPECT_TRUE(IsSafeEntryName("..hidden"));
    EXPECT_TRUE(IsSafeEntryName("a..b"));
    EXPECT_TRUE(IsSafeEntryName("CONSOLE.txt"));
    EXPECT_TRUE(IsSafeEntryName("COM10"));
    EXPECT_TRUE(IsSafeEntryName("\xB5\xE7\xD3\xB0.dat"));  // "电影.dat" in GBK
}

TEST(IsSafeEntryName, GbkTrailBytesThatLookLikeBackslashesAreNotSeparators) {
    // 0x5C is a trail byte of many GBK characters, e.g. "\x95\x5C" and "\xD8\x5C".
    EXPECT_TRUE(IsSafeEntryName("\x95\x5C.dat"));
    EXPECT_TRUE(IsSafeEntryName("\xD8\x5C\xD8\x5C"));
    // ".." followed by such a character is one segment, not a parent step.
    EXPECT_TRUE(
        IsSafeEntryName("..\xD8\x5C"
                        "x"));
}

TEST(EntryAddressPath, EscapesEachGbkCharacterWholeAndKeepsOnlyUnreservedBytes) {
    // A lead byte (0x81..0xFE) takes a trail (0x40..0xFE) with it, a backslash
    // too; any other byte stands alone, and a backslash alone is a folder step.
    EXPECT_EQ(EntryAddressPath("skin\\a b#9.dat"), "skin/a%20b%239.dat");
    EXPECT_EQ(EntryAddressPath("\xFE\x5C\x80\x5C\x81/\x81\x5C"
                               "0"),
              "%FE%5C%80/%81/%81%5C0");
    EXPECT_EQ(EntryAddressPath("~\x81"), "~%81");  // a lead byte at the end
}

TEST(IsSafeEntryName, RefusesParentSegments) {
    EXPECT_FALSE(IsSafeEntryName(".."));
    EXPECT_FALSE(IsSafeEntryName("..\\kavuno.exe"));
    EXPECT_FALSE(IsSafeEntryName("../kavuno.exe"));
    EXPECT_FALSE(IsSafeEntryName("skin\\..\\..\\x.dat"));
    EXPECT_FALSE(IsSafeEntryName("skin/../x.dat"));
    EXPECT_FALSE(IsSafeEntryName("skin\\.."));
    EXPECT_FALSE(IsSafeEntryName(". .\\x.dat"));  // trailing dots and spaces are dropped by Windows
    EXPECT_FALSE(IsSafeEntryName("... \\x.dat"));
    EXPECT_FALSE(IsSafeEntryName(".\\x.dat"));
}

TEST(IsSafeEntryName, RefusesAbsoluteDriveUncAndDevicePaths) {
    EXPECT_FALSE(IsSafeEntryName("\\Windows\\win.ini"));
    EXPECT_FALSE(IsSafeEntryName("/etc/passwd"));
    EXPECT_FALSE(IsSafeEntryName("C:\\Windows\\x.dll"));
    EXPECT_FALSE(IsSafeEntryName("C:x.dll"));
    EXPECT_FALSE(IsSafeEntryName("c:/x"));
    EXPECT_FALSE(IsSafeEntryName("\\\\server\\share\\x"));
    EXPECT_FALSE(IsSafeEntryName("//server/share/x"));
    EXPECT_FALSE(IsSafeEntryName("\\\\?\\C:\\x"));
    EXPECT_FALSE(IsSafeEntryName("\\\\.\\PhysicalDrive0"));
    EXPECT_FALSE(IsSafeEntryName("movie.dat:stream"));
}

TEST(IsSafeEntryName, RefusesTheLaunchersStagingFolderButNotItsNameElsewhere) {
    EXPECT_FALSE(IsSafeEntryName("KavunoUp.staging\\files.txt"));
    EXPECT_FALSE(IsSafeEntryName("kavunoup.STAGING. /download-1-1.part"));
    EXPECT_TRUE(IsSafeEntryName("skin\\KavunoUp.staging\\x"));
    EXPECT_TRUE(IsSafeEntryName("KavunoUp.staging2\\x"));
    // Its aliases: trailing blanks or dots, and 8.3 short names.
    for (const char* alias : {"KavunoUp.staging \\files.txt", "KavunoUp.staging..\\x", "KAVUNO~1.STA\\files.txt",
                              "kavun~12.sta/x", "KA1F2E~1.STA\\x", "KAVUNO~1.STA.\\x"})
        EXPECT_FALSE(IsSafeEntryName(alias)) << alias;
    for (const char* other :
         {"KAVUNO~1.DAT\\x", "KAVUNO~.STA\\x", "K~1.STA\\x", "KAVUNO~1X.STA\\x", "sub\\KAVUNO~1.STA\\x"})
        EXPECT_TRUE(IsSafeEntryName(other)) << other;
}

TEST(IsSafeEntryName, RefusesEmptySegmentsDevicesAndForbiddenCharacters) {
    EXPECT_FALSE(IsSafeEntryName(""));
    EXPECT_FALSE(IsSafeEntryName("skin\\"));
    EXPECT_FALSE(IsSafeEntryName("skin\\\\x.bmp"));
    EXPECT_FALSE(IsSafeEntryName("NUL"));
    EXPECT_FALSE(IsSafeEntryName("con.txt"));
    EXPECT_FALSE(IsSafeEntryName("skin\\aux"));
    EXPECT_FALSE(IsSafeEntryName("LPT1.dat"));
    EXPECT_FALSE(IsSafeEntryName("com9"));
    EXPECT_FALSE(IsSafeEntryName("a*.dat"));
    EXPECT_FALSE(IsSafeEntryName("a?.dat"));
    EXPECT_FALSE(IsSafeEntryName("a|b"));
    EXPECT_FALSE(IsSafeEntryName("a<b>"));
    EXPECT_FALSE(IsSafeEntryName("a\"b"));
    EXPECT_FALSE(IsSafeEntryName(std::string("a\0b", 3)));
    EXPECT_FALSE(IsSafeEntryName("a\tb"));
    EXPECT_FALSE(
        IsSafeEntryName("a\x1F"
                        "b"));  // the last control character; a blank is allowed
}

TEST(IsSafeEntryName, DeviceNamesWithBlanksOrConsoleNamesAreDevicesToo) {
    // Windows drops the blanks before an extension or at the end.
    EXPECT_FALSE(IsSafeEntryName("NUL "));
    EXPECT_FALSE(IsSafeEntryName("CON .txt"));
    EXPECT_FALSE(IsSafeEntryName("skin\\aux .bmp"));
    EXPECT_FALSE(IsSafeEntryName("com1  .dat"));
    EXPECT_FALSE(IsSafeEntryName("PRN.a.b"));
    EXPECT_FALSE(IsSafeEntryName("COM0"));
    EXPECT_FALSE(IsSafeEntryName("lpt0.x"));
    EXPECT_FALSE(IsSafeEntryName("CONIN$"));
    EXPECT_FALSE(IsSafeEntryName("skin\\conout$ .txt"));
    // Blanks in front, or other text before the extension, make an ordinary name.
    EXPECT_TRUE(IsSafeEntryName(" NUL"));
    EXPECT_TRUE(IsSafeEntryName("NUL x.txt"));
    EXPECT_TRUE(IsSafeEntryName("CONIN$1"));
    EXPECT_TRUE(IsSafeEntryName("COMA.dat"));  // a port's number is a digit
    EXPECT_TRUE(IsSafeEntryName("LPT!.dat"));
}

TEST(IsSafeEntryName, RefusesNamesLongerThanAnyWindowsPath) {
    EXPECT_TRUE(IsSafeEntryName(std::string(32767, 'a')));
    EXPECT_FALSE(IsSafeEntryName(std::string(32768, 'a')));
    // A manifest line cut at 64 KiB is never a usable name, even in two-byte characters.
    std::string chinese;
    for (int i = 0; i < 32768; ++i) chinese += "\xB5\xE7";  // 电
    EXPECT_FALSE(IsSafeEntryName(chinese));
}

}  // namespace
