// catalogue_load_rss <movie.dat>: loads the catalogue once and prints, as
// "file_bytes=N baseline_kb=N peak_kb=N records=N", the process's peak
// resident memory before and after, so the growth the load causes can be set
// against the file's size.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "player/catalogue/catalogue_file.h"

namespace {
long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: catalogue_load_rss <movie.dat>\n");
        return 2;
    }
    const long baseline = PeakKb();
    kavuno::catalogue::RecordArray records;
    const auto result = kavuno::catalogue::LoadCatalogue(argv[1], records);
    if (!result.ok()) {
        std::fprintf(stderr, "catalogue_load_rss: %s at byte %llu\n", result.message.c_str(),
                     static_cast<unsigned long long>(result.offset));
        return 1;
    }
    std::printf("file_bytes=%llu baseline_kb=%ld peak_kb=%ld records=%zu\n",
                static_cast<unsigned long long>(std::filesystem::file_size(argv[1])), baseline, PeakKb(),
                records.size());
    return 0;
}
