// Whole-file reads and all-or-nothing writes for the tool. Paths arrive as
// UTF-8 from the command line.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace kavuno::tool {

std::filesystem::path PathFromUtf8(std::string_view utf8);

// False, with `error` set, when the path names a folder: opening one for
// reading succeeds on some systems and would look like an empty file.
bool CheckNotDirectory(const std::string& utf8Path, std::string& error);

// False, with `error` set to a one-line reason, when the file cannot be read.
bool ReadWholeFile(const std::string& utf8Path, std::string& bytes, std::string& error);

// Writes `bytes` to a temporary file beside the target, then renames it over
// the target, so a reader never sees a partial file and a failed write leaves
// any old file as it was.
bool WriteFileAtomically(const std::string& utf8Path, std::string_view bytes, std::string& error);

}  // namespace kavuno::tool
