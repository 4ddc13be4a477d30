// The committed skin and button bitmaps against what the window relies on: the
// outline cut from each skin by its key colour, no key colour in any other
// bitmap, and the exact band colours under the controls that paint their own
// background in RGB(0,51,102) or RGB(102,153,204).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "player/skin/skin_region.h"

namespace {

const std::string kResources = KAVUNO_PLAYER_RESOURCES;

using Runs = std::vector<std::pair<int, int>>;

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb kKey{255, 255, 0};
constexpr Rgb kDark{0, 51, 102};
constexpr Rgb kLight{102, 153, 204};

// A 24-bit uncompressed bitmap, rows top to bottom. Empty on any other format.
struct Image {
    int width = 0, height = 0;
    std::vector<std::vector<Rgb>> rows;
};

uint32_t Le(const std::string& d, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(d[at + i]);
    return v;
}

Image ReadBmp(const std::string& file) {
    std::ifstream in(kResources + "/" + file, std::ios::binary);
    const std::string d{std::istreambuf_iterator<char>(in), {}};
    Image img;
    if (d.size() < 54 || d.compare(0, 2, "BM") != 0) return img;
    const uint32_t offset = Le(d, 10, 4), header = Le(d, 14, 4);
    const auto width = static_cast<int32_t>(Le(d, 18, 4)), height = static_cast<int32_t>(Le(d, 22, 4));
    if (header != 40 || Le(d, 28, 2) != 24 || Le(d, 30, 4) != 0 || Le(d, 46, 4) != 0) return img;
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return img;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (d.size() < offset + stride * height) return img;
    img.width = width;
    img.height = height;
    for (int y = 0; y < height; ++y) {
        const size_t base = offset + stride * (height - 1 - y);  // stored bottom-up
        auto& row = img.rows.emplace_back();
        for (int x = 0; x < width; ++x) {
            const size_t p = base + 3 * static_cast<size_t>(x);
            row.push_back({static_cast<uint8_t>(d[p + 2]), static_cast<uint8_t>(d[p + 1]), static_cast<uint8_t>(d[p])});
        }
    }
    return img;
}

// The runs the window keeps of each row, by the player's own region rule:
// [left, right) per run, rows top to bottom.
std::vector<Runs> VisibleRuns(const Image& image) {
    std::vector<kavuno::skin::Pixel> pixels;
    for (const auto& row : image.rows)
        for (const Rgb& p : row) pixels.push_back(kavuno::skin::RgbPixel(p.r, p.g, p.b));
    std::vector<Runs> rows(static_cast<size_t>(image.height));
    for (const auto& run : kavuno::skin::FindSkinRuns(pixels, image.width, image.height))
        rows[static_cast<size_t>(run.row)].push_back({run.left, run.right});
    return rows;
}

// The bitmap files of player.rc by resource name.
std::vector<std::pair<std::string, std::string>> RcBitmaps() {
    std::ifstream in(kResources + "/bitmaps.rc");
    const std::string rc{std::istreambuf_iterator<char>(in), {}};
    const std::regex line(R"((IDB_\w+)\s+BITMAP\s+"([^"]+)\")");
    std::vector<std::pair<std::string, std::string>> files;
    for (std::sregex_iterator it(rc.begin(), rc.end(), line), end; it != end; ++it)
        files.push_back({(*it)[1], (*it)[2]});
    return files;
}

TEST(SkinArt, FullSkinOutlineHasRoundedTopCornersOnly) {
    const Image skin = ReadBmp("skin_full.bmp");
    ASSERT_EQ(skin.width, 760);
    ASSERT_EQ(skin.height, 396);
    const auto runs = VisibleRuns(skin);
    const Runs top[] = {{{5, 754}}, {{2, 757}}, {{1, 758}}, {{0, 759}}, {{0, 759}}};
    for (int y = 0; y < 5; ++y) EXPECT_EQ(runs[y], top[y]) << "row " << y;
    for (int y = 5; y < 396; ++y) ASSERT_EQ(runs[y], (Runs{{0, 760}})) << "row " << y;
}

TEST(SkinArt, PlaySkinKeepsOnlyTheRightHandPart) {
    const Image skin = ReadBmp("skin_play.bmp");
    ASSERT_EQ(skin.width, 760);
    ASSERT_EQ(skin.height, 396);
    const auto runs = VisibleRuns(skin);
    const Runs top[] = {{{380, 754}}, {{377, 757}}, {{376, 758}}, {{375, 759}}, {{375, 759}}};
    for (int y = 0; y < 5; ++y) EXPECT_EQ(runs[y], top[y]) << "row " << y;
    for (int y = 5; y < 396; ++y) ASSERT_EQ(runs[y], (Runs{{375, 760}})) << "row " << y;
}

TEST(SkinArt, EveryBitmapIsPlainRgbAndOnlySkinsCarryTheKeyColour) {
    const auto files = RcBitmaps();
    ASSERT_GE(files.size(), 30u);
    for (const auto& [id, file] : files) {
        const Image img = ReadBmp(file);
        ASSERT_GT(img.width, 0) << file << " is not a 24-bit uncompressed bitmap";
        if (id == "IDB_SKIN_FULL" || id == "IDB_SKIN_PLAY") continue;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                ASSERT_FALSE(img.rows[y][x] == kKey) << file << " has the key colour at " << x << "," << y;
    }
}

// The labels, the search edit and combo, the status line and the time display
// fill their own background; the skin around their text must be the same.
TEST(SkinArt, BandsMatchTheControlsPaintedBackgrounds) {
    struct Area {
        const char* what;
        int x, y, w, h;
        Rgb colour;
        bool inPlayMode;
    };
    const Area areas[] = {
        {"search label", 24, 38, 36, 15, kDark, false},       {"search edit", 62, 35, 86, 18, kDark, false},
        {"search type label", 177, 38, 60, 12, kDark, false}, {"search type combo", 239, 35, 75, 20, kDark, false},
        {"help label", 698, 39, 32, 12, kDark, true},         {"status line", 392, 329, 246, 12, kLight, true},
        {"time display", 644, 329, 107, 12, kLight, true},
    };
    for (const char* file : {"skin_full.bmp", "skin_play.bmp"}) {
        const Image skin = ReadBmp(file);
        ASSERT_EQ(skin.height, 396) << file;
        const bool play = std::string(file) == "skin_play.bmp";
        for (const Area& a : areas) {
            if (play && !a.inPlayMode) continue;
            int wrong = 0;
            for (int y = a.y; y < a.y + a.h; ++y)
                for (int x = a.x; x < a.x + a.w; ++x) wrong += !(skin.rows[y][x] == a.colour);
            EXPECT_EQ(wrong, 0) << file << ": pixels under the " << a.what;
        }
    }
}

}  // namespace
