// Whether a manifest entry's file name stays inside the launcher's folder.
// Window-free, so it is tested natively.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kavuno::launcher {

// UTF-16 units in the longest path Windows can open.
constexpr size_t kMaxEntryNameLength = 32767;

// True for a relative name such as "movie.dat" or "skin\\blue.bmp" (either
// slash). False for a name that could write outside the folder or somewhere
// odd: empty, absolute ("\\x", "/x"), UNC or device paths, anything with a
// colon (drive letters, alternate streams), a segment of only dots and spaces
// ("..", ". ."), an empty segment, a reserved device name (CON, NUL, COM1, ...,
// also with blanks or an extension after it), a character Windows does not
// allow in file names, a name longer than any Windows path, or a name inside
// the launcher's staging folder (names::kStagingFolderName, also by its short
// name, or with trailing dots or blanks).
// `gbkName` is GBK text; it is decoded first, since the second byte of a
// two-byte GBK character can be 0x5C, the backslash.
bool IsSafeEntryName(std::string_view gbkName);

// The path of an entry's file below "/movie/file/", naming exactly the
// manifest's bytes: a backslash between folders becomes "/", an unreserved
// ASCII character (letters, digits, "-._~") and "/" stay, and every other byte
// is percent-encoded, both bytes of a two-byte GBK character included (its
// second byte can be 0x5C, the backslash). A server decodes it back to the
// manifest's bytes; sent raw, "#" would end the address, "%" and blanks would
// be read as something else, and WinINet turns any 0x5C into "/".
std::string EntryAddressPath(std::string_view gbkName);

}  // namespace kavuno::launcher
