#include "tools/catalog/console.h"

namespace kavuno::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareStandardStreams() {}

}  // namespace kavuno::tool
