#include "tools/catalog/catalog_tool.h"

#include <exception>

#include "tools/catalog/command_line.h"
#include "tools/catalog/commands.h"

namespace kavuno::tool {
namespace {

int Dispatch(const Request& request, std::ostream& out, std::ostream& err) {
    switch (request.action) {
    case Action::kHelp: out << UsageText(); return kExitOk;
    case Action::kDump: return RunDump(request, out, err);
    case Action::kBuild: return RunBuild(request, out, err);
    case Action::kList: return RunList(request, out, err);
    case Action::kTree: return RunTree(request, out, err);
    }
    return kExitUsage;
}

}  // namespace

int RunCatalogTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    auto request = ParseCommandLine(args, error);
    if (!request) {
        err << "kavuno-catalog: " << error << '\n';
        return kExitUsage;
    }
    // The commands report their own failures; this only keeps an unforeseen
    // one (out of memory, say) a message instead of a crash.
    try {
        int status = Dispatch(*request, out, err);
        out.flush();
        if (!out) {
            err << "kavuno-catalog: cannot write the output\n";
            return kExitFailed;
        }
        return status;
    } catch (const std::exception& e) {
        err << "kavuno-catalog: " << e.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace kavuno::tool
