// Writes the stand-in media players' test clips into a folder:
//   make_test_clips FOLDER
// clip01.avi (6 s), clip02.avi (4 s) and clip03.avi (8 s), 160 x 120 at
// 10 frames a second, uncompressed, no sound.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/testing/test_clips/test_picture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_clips FOLDER\n");
        return 2;
    }
    const struct {
        const char* name;
        int seconds;
    } clips[] = {{"clip01.avi", 6}, {"clip02.avi", 4}, {"clip03.avi", 8}};
    int number = 1;
    for (const auto& clip : clips) {
        std::string path = std::string(argv[1]) + "/" + clip.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        std::string data = kavuno::clips::TestClip(160, 120, 10, clip.seconds, number++);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out) {
            std::fprintf(stderr, "make_test_clips: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
