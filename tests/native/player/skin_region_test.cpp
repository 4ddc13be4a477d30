#include "player/skin/skin_region.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kavuno::skin::FindSkinRuns;
using kavuno::skin::kKeyColour;
using kavuno::skin::Pixel;
using kavuno::skin::RegionRun;
using kavuno::skin::RgbPixel;

constexpr Pixel kBlue = RgbPixel(58, 100, 172);

struct Image {
    int width, height;
    std::vector<Pixel> pixels;
    Image(int w, int h, Pixel fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    void Set(int x, int y, Pixel p) { pixels[static_cast<size_t>(y) * width + x] = p; }
    std::vector<RegionRun> Runs() const { return FindSkinRuns(pixels, width, height); }
};

TEST(SkinRegion, WithoutKeyColourEveryRowIsOneFullRun) {
    const Image image(7, 3, kBlue);
    EXPECT_EQ(image.Runs(), (std::vector<RegionRun>{{0, 0, 7}, {1, 0, 7}, {2, 0, 7}}));
    EXPECT_EQ(Image(1, 2, kBlue).Runs(), (std::vector<RegionRun>{{0, 0, 1}, {1, 0, 1}}));  // one pixel wide
    // Pixels are 0x00RRGGBB, as a 32-bit top-down DIB gives them; yellow is the key.
    EXPECT_EQ(RgbPixel(0x12, 0x34, 0x56), 0x123456u);
    EXPECT_EQ(kKeyColour, 0xFFFF00u);
}

TEST(SkinRegion, KeyColourOnlyGivesNothing) { EXPECT_TRUE(Image(5, 4, kKeyColour).Runs().empty()); }

TEST(SkinRegion, HolesSplitARowAndKeyColouredEndsGiveNoRun) {
    Image image(10, 2, kBlue);
    image.Set(0, 0, kKeyColour);  // leading key colour
    image.Set(4, 0, kKeyColour);  // a hole of two pixels
    image.Set(5, 0, kKeyColour);
    image.Set(9, 0, kKeyColour);  // trailing key colour
    image.Set(3, 1, kKeyColour);
    EXPECT_EQ(image.Runs(), (std::vector<RegionRun>{{0, 1, 4}, {0, 6, 9}, {1, 0, 3}, {1, 4, 10}}));
}

TEST(SkinRegion, RowsWithTheSameRunsAreNotMerged) {
    Image image(4, 3, kBlue);
    for (int y = 0; y < 3; ++y) image.Set(0, y, kKeyColour);
    EXPECT_EQ(image.Runs(), (std::vector<RegionRun>{{0, 1, 4}, {1, 1, 4}, {2, 1, 4}}));
}

TEST(SkinRegion, OnlyTheExactKeyColourIsCut) {
    Image image(6, 1, kKeyColour);
    image.Set(1, 0, RgbPixel(254, 255, 0));
    image.Set(2, 0, RgbPixel(255, 254, 0));
    image.Set(3, 0, RgbPixel(255, 255, 1));
    // Bits above the colour (a DIB's unused alpha byte) do not make a pixel differ.
    image.Set(4, 0, kKeyColour | 0xFF000000u);
    EXPECT_EQ(image.Runs(), (std::vector<RegionRun>{{0, 1, 4}}));
}

TEST(SkinRegion, TooFewPixelsForTheSizeGiveNothing) {
    const std::vector<Pixel> pixels(5, kBlue);
    EXPECT_TRUE(FindSkinRuns(pixels, 3, 2).empty());
    EXPECT_TRUE(FindSkinRuns(pixels, 0, 2).empty());
}

}  // namespace
