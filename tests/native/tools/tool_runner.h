// Runs the kavuno-catalog binary as a user would and captures what it says;
// gives each test a scratch folder.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace kavuno::tool::testing {

struct ToolRun {
    int status = -1;  // exit status
    std::string out;  // standard output
    std::string err;  // standard error
    std::vector<std::string> OutLines() const;
};

// `env` entries ("NAME=value") are set for this run only.
ToolRun RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

}  // namespace kavuno::tool::testing
