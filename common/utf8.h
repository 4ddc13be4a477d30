// UTF-8 encoding and strict decoding of single code points, for the code that
// handles UTF-8 text itself (JSON, the POSIX GBK conversions).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kavuno::utf8 {

void Append(char32_t c, std::string& out);

// Length of the well-formed UTF-8 sequence at s[i], or 0 when it is malformed
// (truncated, overlong, a surrogate or past U+10FFFF). `c` receives its value.
std::size_t Decode(std::string_view s, std::size_t i, char32_t& c);

}  // namespace kavuno::utf8
