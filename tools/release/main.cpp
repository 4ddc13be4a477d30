// kavuno-release: see --help, or release_tool.h.
#include <iostream>

#include "tools/catalog/console.h"
#include "tools/release/release_tool.h"

int main(int argc, char** argv) {
    kavuno::tool::PrepareStandardStreams();
    return kavuno::release::RunReleaseTool(kavuno::tool::Utf8Arguments(argc, argv), std::cout, std::cerr);
}
