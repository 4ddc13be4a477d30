// kavuno-catalog: see --help, or catalog_tool.h.
#include <iostream>

#include "tools/catalog/catalog_tool.h"
#include "tools/catalog/console.h"

int main(int argc, char** argv) {
    kavuno::tool::PrepareStandardStreams();
    return kavuno::tool::RunCatalogTool(kavuno::tool::Utf8Arguments(argc, argv), std::cout, std::cerr);
}
