#include "tools/testing/command_server.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace kavuno::testing {
namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

// A line without its line end; false at the end of the input.
bool ReadLine(std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return c != EOF || !line.empty();
}

}  // namespace

int ServeCommands(Command run) {
    std::string line;
    while (ReadLine(line)) {
        std::vector<std::wstring> args{L"probe"};
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find('\t', start);
            args.push_back(Wide(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        const int status = run(args);
        std::printf("\x1f%d\n", status);
        std::fflush(stdout);
        std::fflush(stderr);
    }
    return 0;
}

int ProbeMain(Command run) {
    int argc = 0;
    LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(raw, raw + argc);
    LocalFree(raw);
    if (args.size() == 2 && args[1] == L"serve") return ServeCommands(run);
    return run(args);
}

}  // namespace kavuno::testing
