#include "tools/catalog/file_io.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace kavuno::tool {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    std::u8string text(utf8.begin(), utf8.end());
    return std::filesystem::path(text);
}

bool CheckNotDirectory(const std::string& utf8Path, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(PathFromUtf8(utf8Path), ec)) return true;
    error = "cannot read " + utf8Path + ": it is a directory";
    return false;
}

bool ReadWholeFile(const std::string& utf8Path, std::string& bytes, std::string& error) {
    if (!CheckNotDirectory(utf8Path, error)) return false;
    std::filesystem::path path = PathFromUtf8(utf8Path);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + utf8Path + ": " + std::strerror(errno);
        return false;
    }
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + utf8Path + ": read error";
        return false;
    }
    bytes = std::move(content);
    return true;
}

bool WriteFileAtomically(const std::string& utf8Path, std::string_view bytes, std::string& error) {
    std::filesystem::path target = PathFromUtf8(utf8Path);
    std::filesystem::path temp = target;
    temp += ".partial";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write " + utf8Path + ": " + std::strerror(errno);
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            error = "cannot write " + utf8Path + ": write error";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        error = "cannot write " + utf8Path + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace kavuno::tool
