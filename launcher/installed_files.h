// "KavunoUp.staging\files.txt": the files the launcher may have put into its
// folder, for the uninstaller. UTF-16LE with a byte-order mark, one relative
// path a line (folders separated by backslashes), each line ending in CR LF.
// Window-free, so it is tested natively.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::launcher {

// The file's bytes: the names `previous` (the file's earlier bytes) held,
// then the manifest names `gbkNames` (GBK, either slash) it did not, each
// once, in their order. Names are only ever added, so no file the launcher
// wrote is forgotten.
std::string InstalledFilesText(const std::vector<std::string>& gbkNames, std::string_view previous = {});

// The names a files.txt holds; nothing for bytes that are not such a file.
std::vector<std::u16string> ParseInstalledFiles(std::string_view bytes);

}  // namespace kavuno::launcher
