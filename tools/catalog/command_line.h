// The command line of kavuno-catalog, parsed into one request. Arguments are
// UTF-8 (the Windows entry point converts its wide command line first).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace kavuno::tool {

enum class Action { kHelp, kDump, kBuild, kList, kTree };

// Which rows `list` shows, as the player's list would after the matching action.
enum class ListMode { kRecent, kKind, kTitle, kActor };

struct Request {
    Action action = Action::kHelp;
    std::string input;   // the file read (movie.dat, records.jsonl or root.dat)
    std::string output;  // build: the movie.dat written
    ListMode listMode = ListMode::kRecent;
    std::string text;    // list: the kind, or the search text
    std::string parent;  // list --kind: the parent (empty: top-level entries)
};

// Parses the arguments after the program name. On a mistake returns nullopt
// and sets `error` to a one-line message.
std::optional<Request> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

// The text printed by --help.
const char* UsageText();

}  // namespace kavuno::tool
