// Conversions between GBK (Windows code page 936, the catalogue's and the
// screen's 8-bit text) and Unicode. Windows converts with code page 936
// explicitly, so results do not depend on the system locale; elsewhere iconv's
// CP936 table does the same.
#pragma once
#include <string>
#include <string_view>

namespace kavuno::gbk {

// Decoding never fails: a byte sequence that is not GBK becomes a replacement
// character (U+FFFD here; Windows uses its own default character).
std::u16string ToUtf16(std::string_view gbk);
std::string ToUtf8(std::string_view gbk);

// Lenient encoding, as the platform does for wide texts it reads: a character
// that GBK cannot hold (or a lone surrogate) becomes '?'.
std::string FromUtf16Lenient(std::u16string_view text);

// Strict encoding: false, with `out` unchanged, when the input is not valid
// UTF-8 or holds a character that GBK cannot represent.
bool FromUtf8(std::string_view utf8, std::string& out);

}  // namespace kavuno::gbk
