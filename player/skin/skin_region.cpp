#include "player/skin/skin_region.h"

namespace kavuno::skin {

std::vector<RegionRun> FindSkinRuns(std::span<const Pixel> pixels, int width, int height, Pixel key) {
    constexpr Pixel kColourBits = 0xFFFFFF;
    std::vector<RegionRun> runs;
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) return runs;
    key &= kColourBits;
    for (int y = 0; y < height; ++y) {
        const Pixel* row = pixels.data() + static_cast<std::size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & kColourBits) == key) ++x;
            if (x == width) break;
            const int left = x;
            while (x < width && (row[x] & kColourBits) != key) ++x;
            runs.push_back({y, left, x});
        }
    }
    return runs;
}

}  // namespace kavuno::skin
