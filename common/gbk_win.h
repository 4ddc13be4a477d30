// Windows-only GBK helpers for the glue code: GBK bytes to the wide strings
// that every W function takes, and back. Always code page 936, whatever the
// system locale.
#pragma once
#include <string>
#include <string_view>

namespace kavuno::gbk {

constexpr unsigned kCodePage = 936;

std::wstring ToWide(std::string_view gbk);
// A character that GBK cannot hold becomes '?'.
std::string FromWide(std::wstring_view text);
// False, with `out` unchanged, when a character has no GBK form (no
// best-fit look-alikes either).
bool FromWideStrict(std::wstring_view text, std::string& out);

}  // namespace kavuno::gbk
