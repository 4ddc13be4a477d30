#include "tools/catalog/command_line.h"

#include <algorithm>

namespace kavuno::tool {
namespace {

struct Option {
    const char* name;
    ListMode mode;
    bool takesText;
};

const Option kListOptions[] = {
    {"--recent", ListMode::kRecent, false},
    {"--kind", ListMode::kKind, true},
    {"--title", ListMode::kTitle, true},
    {"--actor", ListMode::kActor, true},
};

bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

class Parser {
public:
    Parser(const std::vector<std::string>& args, std::string& error) : args_(args), error_(error) {}

    std::optional<Request> Parse() {
        if (args_.empty()) return Refuse("no command given (try --help)");
        for (const auto& arg : args_) {
            if (arg == "--help" || arg == "-h") return Request{};
        }
        const std::string& command = args_[0];
        if (command == "help") return Request{};
        Request request;
        if (command == "dump")
            request.action = Action::kDump;
        else if (command == "build")
            request.action = Action::kBuild;
        else if (command == "list")
            request.action = Action::kList;
        else if (command == "tree")
            request.action = Action::kTree;
        else
            return Refuse("unknown command '" + command + "' (try --help)");

        bool haveMode = false, haveParent = false, haveOutput = false;
        std::vector<std::string> files;
        for (size_t i = 1; i < args_.size(); ++i) {
            const std::string& arg = args_[i];
            if (!IsOption(arg)) {
                files.push_back(arg);
                continue;
            }
            // Option values are taken as they stand, so a search text may begin with '-'.
            auto value = [&](std::string& into) {
                if (i + 1 >= args_.size()) return Fail(arg + " needs a value");
                into = args_[++i];
                return true;
            };
            auto listOption = std::find_if(std::begin(kListOptions), std::end(kListOptions),
                                           [&](const Option& o) { return arg == o.name; });
            if (request.action == Action::kBuild && (arg == "-o" || arg == "--output")) {
                if (haveOutput) return Refuse("-o given twice");
                if (!value(request.output)) return std::nullopt;
                haveOutput = true;
            } else if (request.action == Action::kList && listOption != std::end(kListOptions)) {
                if (haveMode) return Refuse("give only one of --recent, --kind, --title, --actor");
                haveMode = true;
                request.listMode = listOption->mode;
                if (listOption->takesText && !value(request.text)) return std::nullopt;
            } else if (request.action == Action::kList && arg == "--parent") {
                if (haveParent) return Refuse("--parent given twice");
                if (!value(request.parent)) return std::nullopt;
                haveParent = true;
            } else {
                return Refuse("unknown option '" + arg + "' for " + command + " (try --help)");
            }
        }

        if (files.size() != 1)
            return Refuse(command + " takes exactly one file" +
                          (files.empty() ? "" : ", got " + std::to_string(files.size())));
        request.input = files[0];
        if (request.action == Action::kBuild && !haveOutput)
            return Refuse("build needs -o OUTPUT (the movie.dat to write)");
        if (request.action == Action::kList && !haveMode)
            return Refuse("list needs one of --recent, --kind K, --title T, --actor A");
        if (haveParent && request.listMode != ListMode::kKind) return Refuse("--parent goes with --kind only");
        return request;
    }

private:
    bool Fail(std::string message) {
        error_ = std::move(message);
        return false;
    }
    std::nullopt_t Refuse(std::string message) {
        Fail(std::move(message));
        return std::nullopt;
    }

    const std::vector<std::string>& args_;
    std::string& error_;
};

}  // namespace

std::optional<Request> ParseCommandLine(const std::vector<std::string>& args, std::string& error) {
    return Parser(args, error).Parse();
}

const char* UsageText() {
    return "Usage:\n"
           "  kavuno-catalog dump MOVIE.DAT\n"
           "      One JSON object per line for each entry, index 0 included, in file order.\n"
           "  kavuno-catalog build RECORDS.JSONL -o MOVIE.DAT\n"
           "      The inverse: the first line becomes entry 0. Missing keys mean empty or 0;\n"
           "      index, stream and details are ignored. Nothing is written on any error.\n"
           "  kavuno-catalog list MOVIE.DAT --recent | --kind K [--parent P] | --title T | --actor A\n"
           "      The rows the player's list shows, top row first: index, title and kind,\n"
           "      separated by tabs (a tab, line end or backslash in a text is written as\n"
           "      \\t, \\n, \\r or \\\\).\n"
           "  kavuno-catalog tree ROOT.DAT\n"
           "      The category tree, one node a line, two spaces of indent per level.\n"
           "\n"
           "Texts are read and printed as UTF-8; the catalogue files hold GBK.\n"
           "Exit status: 0 done, 1 a file could not be read, written or was refused, 2 bad arguments.\n";
}

}  // namespace kavuno::tool
