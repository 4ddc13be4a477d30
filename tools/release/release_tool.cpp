#include "tools/release/release_tool.h"

#include <exception>
#include <optional>

#include "launcher/update_list.h"
#include "tools/release/release_commands.h"

namespace kavuno::release {
namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  kavuno-release keygen PRIVATE_KEY_FILE PUBLIC_KEY_FILE\n"
    "      a new ECDSA P-256 key pair in PEM files; build KavunoUp with\n"
    "      -DKAVUNO_UPDATE_PUBLIC_KEY=PUBLIC_KEY_FILE\n"
    "  kavuno-release publish SOURCE_DIR SERVER_DIR --key PRIVATE_KEY_FILE --target win32|win64\n"
    "                         [--serial N] [--expires-days N]\n"
    "      every file below SOURCE_DIR into SERVER_DIR/movie/file/, with\n"
    "      SERVER_DIR/movie/update.txt and the signed SERVER_DIR/movie/update.sig\n"
    "      for the launchers of that build; the serial defaults to the current time\n"
    "      in seconds, and may be neither lower than the list already there nor more\n"
    "      than a day ahead; the list expires after 30 days unless --expires-days says\n"
    "      otherwise (0: already expired)\n"
    "  kavuno-release verify SERVER_DIR --public-key PUBLIC_KEY_FILE\n"
    "      one line per problem of a published folder; exit status 0 when none\n";

// Positional arguments and --name value options.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;

    std::optional<std::string> Option(const std::string& name) const {
        for (const auto& [key, value] : options)
            if (key == name) return value;
        return std::nullopt;
    }
};

bool Split(const std::vector<std::string>& args, Arguments& parsed, std::string& error) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (!args[i].starts_with("--")) {
            parsed.positional.push_back(args[i]);
        } else if (i + 1 < args.size()) {
            parsed.options.emplace_back(args[i], args[i + 1]);
            ++i;
        } else {
            error = args[i] + " needs a value";
            return false;
        }
    }
    return true;
}

bool OnlyOptions(const Arguments& parsed, std::initializer_list<const char*> allowed, std::string& error) {
    for (const auto& [key, value] : parsed.options) {
        bool known = false;
        for (const char* name : allowed) known = known || key == name;
        if (!known) {
            error = "unknown option " + key;
            return false;
        }
    }
    return true;
}

std::optional<uint64_t> ParseSerial(const std::string& text) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(text);
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? kExitUsage : kExitOk;
    }
    Arguments parsed;
    std::string error;
    const std::string& command = args[0];
    if (Split(args, parsed, error)) {
        const auto& p = parsed.positional;
        if (command == "keygen" && p.size() == 2 && OnlyOptions(parsed, {}, error))
            return RunKeygen(p[0], p[1], out, err);
        if (command == "publish" && p.size() == 2 && parsed.Option("--key") && parsed.Option("--target") &&
            OnlyOptions(parsed, {"--key", "--serial", "--target", "--expires-days"}, error)) {
            PublishRequest request{p[0], p[1], *parsed.Option("--key"), std::nullopt, *parsed.Option("--target")};
            if (auto serial = parsed.Option("--serial")) {
                request.serial = ParseSerial(*serial);
                if (!request.serial) error = "--serial takes a whole number: " + *serial;
            }
            if (auto days = parsed.Option("--expires-days")) {
                std::optional<uint64_t> value = ParseSerial(*days);
                if (!value || *value > 3650) error = "--expires-days takes a whole number up to 3650: " + *days;
                request.expiresDays = value.value_or(0);
            }
            if (!launcher::IsKnownTarget(request.target)) error = "--target must be win32 or win64: " + request.target;
            if (error.empty()) return RunPublish(request, out, err);
        } else if (command == "verify" && p.size() == 1 && parsed.Option("--public-key") &&
                   OnlyOptions(parsed, {"--public-key"}, error)) {
            return RunVerify(p[0], *parsed.Option("--public-key"), out, err);
        }
    }
    err << "kavuno-release: " << (error.empty() ? "wrong arguments for " + command : error) << '\n' << kUsage;
    return kExitUsage;
}

}  // namespace

int RunReleaseTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        return Dispatch(args, out, err);
    } catch (const std::exception& e) {
        err << "kavuno-release: " << e.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace kavuno::release
