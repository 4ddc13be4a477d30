// The control ids the end-to-end tests import (resource_ids.py, which the
// build writes from the resource headers) are the ones the programs are built
// with: each macro as the compiler reads it, and no other.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "launcher/resource_ids.h"
#include "resources/player/resource.h"

namespace {

using Ids = std::map<std::string, int>;

// The module's classes with their "NAME = number" lines.
std::map<std::string, Ids> ReadModule(const char* path) {
    std::map<std::string, Ids> classes;
    std::ifstream in(path);
    Ids* current = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("class ", 0) == 0) {
            current = &classes[line.substr(6, line.find(':') - 6)];
            continue;
        }
        const auto equals = line.find(" = ");
        if (current && line.rfind("    IDC_", 0) == 0 && equals != std::string::npos)
            (*current)[line.substr(4, equals - 4)] = std::stoi(line.substr(equals + 3));
    }
    return classes;
}

#define KAVUNO_ID(name) \
    { #name, name }

TEST(ResourceIds, TheEndToEndTestsHoldEveryControlIdOfBothPrograms) {
    const auto module = ReadModule(KAVUNO_RESOURCE_IDS);
    // A control added to a header is added here too.
    const Ids player = {KAVUNO_ID(IDC_CLOSE),       KAVUNO_ID(IDC_MAXIMIZE),      KAVUNO_ID(IDC_MINIMIZE),
                        KAVUNO_ID(IDC_SEARCH),      KAVUNO_ID(IDC_CATEGORY_TREE), KAVUNO_ID(IDC_MOVIE_LIST),
                        KAVUNO_ID(IDC_TOPMOST),     KAVUNO_ID(IDC_SEARCH_TEXT),   KAVUNO_ID(IDC_SEARCH_LABEL),
                        KAVUNO_ID(IDC_SEARCH_TYPE), KAVUNO_ID(IDC_HELP_LABEL),    KAVUNO_ID(IDC_VIDEO_AREA),
                        KAVUNO_ID(IDC_FULL_SCREEN), KAVUNO_ID(IDC_STOP),          KAVUNO_ID(IDC_PLAY_PAUSE),
                        KAVUNO_ID(IDC_MODE),        KAVUNO_ID(IDC_PLAY_TIME),     KAVUNO_ID(IDC_STATUS_LINE),
                        KAVUNO_ID(IDC_POSITION),    KAVUNO_ID(IDC_VOLUME),        KAVUNO_ID(IDC_STATIC)};
    const Ids launcher = {KAVUNO_ID(IDC_CANCEL), KAVUNO_ID(IDC_PROGRESS)};
    EXPECT_EQ(module, (std::map<std::string, Ids>{{"Player", player}, {"Launcher", launcher}}));
}

}  // namespace
