// The outline of a skinned window: every pixel of the skin that has the key
// colour lies outside the window. Window-free, so the rule is tested natively;
// the Windows side turns the runs into the window's region.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace kavuno::skin {

// Pixels as 0xRRGGBB; any bits above the 24 colour bits are ignored.
using Pixel = std::uint32_t;

constexpr Pixel RgbPixel(int r, int g, int b) {
    return (static_cast<Pixel>(r) << 16) | (static_cast<Pixel>(g) << 8) | static_cast<Pixel>(b);
}

// Pure yellow: the key colour of the player's skins.
constexpr Pixel kKeyColour = RgbPixel(255, 255, 0);

// One run of pixels that belong to the window: columns [left, right) of `row`.
struct RegionRun {
    int row;
    int left;
    int right;
    friend bool operator==(const RegionRun&, const RegionRun&) = default;
};

// The runs of one rectangle per run and row, top to bottom and left to right,
// never merged across rows: the pixels that differ from `key` in any bit of
// their colour. `pixels` holds `height` rows of `width` pixels, top row first.
std::vector<RegionRun> FindSkinRuns(std::span<const Pixel> pixels, int width, int height, Pixel key = kKeyColour);

}  // namespace kavuno::skin
