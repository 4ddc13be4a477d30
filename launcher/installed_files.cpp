#include "launcher/installed_files.h"

#include <algorithm>
#include <set>

#include "common/gbk.h"

namespace kavuno::launcher {
namespace {

void AppendUnit(std::string& out, char16_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::vector<std::u16string> ParseInstalledFiles(std::string_view bytes) {
    std::vector<std::u16string> names;
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return names;
    std::u16string line;
    for (size_t i = 2; i < bytes.size(); i += 2) {
        auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit == u'\n') {
            if (!line.empty() && line.back() == u'\r') line.pop_back();
            if (!line.empty()) names.push_back(line);
            line.clear();
        } else {
            line.push_back(unit);
        }
    }
    return names;  // a last line without its CR LF was cut off: left out
}

std::string InstalledFilesText(const std::vector<std::string>& gbkNames, std::string_view previous) {
    std::vector<std::u16string> names;
    std::set<std::u16string> seen;
    auto add = [&](std::u16string name) {
        if (seen.insert(name).second) names.push_back(std::move(name));
    };
    for (std::u16string& name : ParseInstalledFiles(previous)) add(std::move(name));
    for (const std::string& gbkName : gbkNames) {
        std::u16string name = gbk::ToUtf16(gbkName);
        std::replace(name.begin(), name.end(), u'/', u'\\');
        add(std::move(name));
    }
    std::string text;
    AppendUnit(text, 0xFEFF);
    for (const std::u16string& name : names) {
        for (char16_t unit : name) AppendUnit(text, unit);
        AppendUnit(text, u'\r');
        AppendUnit(text, u'\n');
    }
    return text;
}

}  // namespace kavuno::launcher
