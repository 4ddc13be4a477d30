// kavuno-gen-catalogue <records> <movie.dat> [root.dat]: writes a large,
// realistic catalogue (and the root.dat of its categories) for benchmarks.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/bench/catalogue_generator.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: kavuno-gen-catalogue <records> <movie.dat> [root.dat]\n");
        return 2;
    }
    char* end = nullptr;
    const long long records = std::strtoll(argv[1], &end, 10);
    if (*end != '\0' || records < 0 || records > 0x7FFFFFFF) {
        std::fprintf(stderr, "kavuno-gen-catalogue: bad record count %s\n", argv[1]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr || !kavuno::bench::WriteGeneratedCatalogue(static_cast<std::size_t>(records), out) ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "kavuno-gen-catalogue: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc == 4) {
        std::FILE* root = std::fopen(argv[3], "wb");
        bool ok = root != nullptr;
        for (const std::string& line : kavuno::bench::GeneratedRootLines()) {
            if (!ok) break;
            ok = std::fputs((line + "\r\n").c_str(), root) >= 0;
        }
        if (root == nullptr || std::fclose(root) != 0 || !ok) {
            std::fprintf(stderr, "kavuno-gen-catalogue: cannot write %s\n", argv[3]);
            return 1;
        }
    }
    return 0;
}
