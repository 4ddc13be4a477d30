// A release as the update server serves it, under SERVER_DIR:
//   movie/update.txt      the manifest (GBK, CR LF line ends)
//   movie/update.sig      the signed file list (launcher/update_list.h)
//   movie/file/NAME       each file; a manifest name's backslashes are folders
// and how a file below SOURCE_DIR gets its manifest name.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "launcher/update_list.h"

namespace kavuno::release {

std::filesystem::path ManifestPath(const std::filesystem::path& serverDir);
std::filesystem::path ListPath(const std::filesystem::path& serverDir);
// Where the server keeps the file of manifest name `gbkName` (UTF-8 on disk).
std::filesystem::path ServedFilePath(const std::filesystem::path& serverDir, const std::string& gbkName);

// The manifest name of a file at `relative` below SOURCE_DIR: GBK, folders
// joined by backslashes. False, with `error` set, when GBK cannot hold it,
// the launcher would refuse it, or a part of it holds a backslash.
bool ManifestName(const std::filesystem::path& relative, std::string& gbkName, std::string& error);

// The manifest for `files`, in their order: the count, then name and size lines.
std::string ManifestText(const std::vector<launcher::ListedFile>& files);

// A GBK name as UTF-8, for messages.
std::string Printable(const std::string& gbkName);

}  // namespace kavuno::release
