#include "tests/native/tools/tool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace kavuno::tool::testing {
namespace {

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

}  // namespace

std::vector<std::string> ToolRun::OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

ToolRun RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    char errName[] = "/tmp/kavuno-tool-err.XXXXXX";
    int errFd = mkstemp(errName);
    if (errFd < 0) throw std::runtime_error("mkstemp failed");
    close(errFd);
    std::string command = "env";
    for (const auto& setting : env) command += " " + Quote(setting);
    command += " " + Quote(KAVUNO_CATALOG_TOOL);
    for (const auto& arg : args) command += " " + Quote(arg);
    command += " 2>" + Quote(errName);

    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("popen failed");
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.err = ReadBytes(errName);
    std::remove(errName);
    return run;
}

ScratchDir::ScratchDir() {
    char name[] = "/tmp/kavuno-tool-test.XXXXXX";
    if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
    dir_ = name;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace kavuno::tool::testing
