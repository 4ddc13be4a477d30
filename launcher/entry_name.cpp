#include "launcher/entry_name.h"

#include <array>
#include <string>

#include "common/gbk.h"
#include "common/program_names.h"

namespace kavuno::launcher {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsForbiddenCharacter(char16_t c) {
    return c < 0x20 || c == u':' || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*';
}

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 and the console names CONIN$ and
// CONOUT$ name devices whatever extension follows, and with blanks before it:
// Windows drops trailing spaces, so "NUL " and "CON .txt" are devices too.
bool IsDeviceName(std::u16string_view segment) {
    std::u16string base;
    for (char16_t c : segment.substr(0, segment.find(u'.'))) base.push_back(Upper(c));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    static const std::array<std::u16string_view, 6> kPlain = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (auto name : kPlain)
        if (base == name) return true;
    return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) && base[3] >= u'0' &&
           base[3] <= u'9';
}

// The staging folder's 8.3 short name: "KAVUNO~1.STA", or "KA1F2E~1.STA"
// once many names share its start. Windows keeps the long name's first two
// characters, a "~" and digits, and the extension's first three.
bool IsStagingShortName(std::u16string_view segment) {
    size_t dot = segment.find(u'.');
    if (dot == std::u16string_view::npos || dot < 4 || dot > 8 || segment.size() != dot + 4) return false;
    std::u16string_view base = segment.substr(0, dot);
    size_t tilde = base.find(u'~');
    if (tilde == std::u16string_view::npos || tilde < 2 || tilde + 1 == base.size()) return false;
    for (char16_t c : base.substr(tilde + 1))
        if (c < u'0' || c > u'9') return false;
    return Upper(base[0]) == u'K' && Upper(base[1]) == u'A' && Upper(segment[dot + 1]) == u'S' &&
           Upper(segment[dot + 2]) == u'T' && Upper(segment[dot + 3]) == u'A';
}

// The first folder of a name, as Windows resolves it: case does not matter,
// trailing dots and blanks are dropped, and its short name is the same folder.
bool IsStagingFolder(std::u16string_view segment) {
    while (!segment.empty() && (segment.back() == u'.' || segment.back() == u' ')) segment.remove_suffix(1);
    if (IsStagingShortName(segment)) return true;
    std::u16string_view staging = names::kStagingFolderName;
    if (segment.size() != staging.size()) return false;
    for (size_t i = 0; i < segment.size(); ++i)
        if (Upper(segment[i]) != Upper(staging[i])) return false;
    return true;
}

bool IsSafeSegment(std::u16string_view segment) {
    if (segment.empty()) return false;
    // Windows drops trailing dots and spaces, so ". ." is the same as "..".
    if (segment.find_first_not_of(u". ") == std::u16string_view::npos) return false;
    return !IsDeviceName(segment);
}

}  // namespace

bool IsSafeEntryName(std::string_view gbkName) {
    std::u16string name = gbk::ToUtf16(gbkName);
    if (name.empty() || name.size() > kMaxEntryNameLength || IsSeparator(name.front())) return false;
    for (char16_t c : name)
        if (IsForbiddenCharacter(c)) return false;
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        std::u16string_view segment = std::u16string_view(name).substr(start, end - start);
        if (!IsSafeSegment(segment) || (start == 0 && IsStagingFolder(segment))) return false;
        if (end == name.size()) return true;
        start = end + 1;
    }
}

std::string EntryAddressPath(std::string_view gbkName) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string path;
    auto escape = [&](unsigned char byte) {
        path += '%';
        path += kDigits[byte >> 4];
        path += kDigits[byte & 15];
    };
    for (size_t i = 0; i < gbkName.size(); ++i) {
        auto byte = static_cast<unsigned char>(gbkName[i]);
        bool lead = byte >= 0x81 && byte <= 0xFE && i + 1 < gbkName.size();
        if (lead) {
            auto trail = static_cast<unsigned char>(gbkName[i + 1]);
            if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
                escape(byte);
                escape(trail);
                ++i;
                continue;
            }
        }
        bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                          (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
        if (byte == '\\' || byte == '/')
            path += '/';
        else if (unreserved)
            path += static_cast<char>(byte);
        else
            escape(byte);
    }
    return path;
}

}  // namespace kavuno::launcher
