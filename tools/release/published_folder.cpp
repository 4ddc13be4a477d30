#include "tools/release/published_folder.h"

#include <algorithm>

#include "common/gbk.h"
#include "launcher/entry_name.h"
#include "tools/catalog/file_io.h"

namespace kavuno::release {

std::filesystem::path ManifestPath(const std::filesystem::path& serverDir) {
    return serverDir / "movie" / "update.txt";
}

std::filesystem::path ListPath(const std::filesystem::path& serverDir) { return serverDir / "movie" / "update.sig"; }

std::filesystem::path ServedFilePath(const std::filesystem::path& serverDir, const std::string& gbkName) {
    std::string utf8 = gbk::ToUtf8(gbkName);
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return serverDir / "movie" / "file" / tool::PathFromUtf8(utf8);
}

bool ManifestName(const std::filesystem::path& relative, std::string& gbkName, std::string& error) {
    std::string utf8;
    for (const auto& part : relative) {
        std::u8string text = part.u8string();
        std::string piece(text.begin(), text.end());
        if (piece.find('\\') != std::string::npos) {
            error = "a name part holds a backslash, which Windows takes for a folder: " + piece;
            return false;
        }
        if (!utf8.empty()) utf8 += '\\';
        utf8 += piece;
    }
    std::string gbk;
    if (!gbk::FromUtf8(utf8, gbk)) {
        error = "GBK cannot hold the name " + utf8;
        return false;
    }
    if (!launcher::IsSafeEntryName(gbk)) {
        error = "the launcher would refuse the name " + utf8;
        return false;
    }
    gbkName = std::move(gbk);
    return true;
}

std::string ManifestText(const std::vector<launcher::ListedFile>& files) {
    std::string text = std::to_string(files.size()) + "\r\n";
    for (const auto& file : files) text += file.name + "\r\n" + std::to_string(file.size) + "\r\n";
    return text;
}

std::string Printable(const std::string& gbkName) { return gbk::ToUtf8(gbkName); }

}  // namespace kavuno::release
