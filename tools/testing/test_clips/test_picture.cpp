#include "tools/testing/test_clips/test_picture.h"

#include <cstdint>

namespace kavuno::clips {
namespace {

// 3 x 5 cell glyphs: bit 14 is the top-left cell, row by row.
std::uint16_t Glyph(char c) {
    switch (c) {
    case '0': return 0b111'101'101'101'111;
    case '1': return 0b010'110'010'010'111;
    case '2': return 0b111'001'111'100'111;
    case '3': return 0b111'001'111'001'111;
    case '4': return 0b101'101'111'001'001;
    case '5': return 0b111'100'111'001'111;
    case '6': return 0b111'100'111'101'111;
    case '7': return 0b111'001'010'010'010;
    case '8': return 0b111'101'111'101'111;
    case '9': return 0b111'101'111'001'111;
    case '.': return 0b000'000'000'000'010;
    default: return 0;
    }
}

void DrawText(Picture& p, const std::string& text, int x, int y, int cell, std::uint32_t colour) {
    for (char c : text) {
        std::uint16_t bits = Glyph(c);
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (bits & (1u << (14 - (row * 3 + col)))) p.Fill(x + col * cell, y + row * cell, cell, cell, colour);
        x += 4 * cell;
    }
}

constexpr std::uint32_t kBars[] = {0xC0C0C0, 0xC0C000, 0x00C0C0, 0x00C000, 0xC000C0, 0xC00000, 0x0000C0};

}  // namespace

Picture TestFrame(int width, int height, int fps, int index, int clip) {
    Picture p(width, height);
    const int barsHeight = height * 2 / 3;
    for (int i = 0; i < 7; ++i) {
        int x0 = width * i / 7, x1 = width * (i + 1) / 7;
        p.Fill(x0, 0, x1 - x0, barsHeight, kBars[i]);
    }
    p.Fill(0, barsHeight, width, height - barsHeight, 0x101830);

    // The box crosses the bars once a second.
    const int box = height / 6;
    const int x = (width - box) * (index % fps) / (fps > 1 ? fps - 1 : 1);
    p.Fill(x, barsHeight / 2 - box / 2, box, box, 0xFFFFFF);

    const int tenths = index * 10 / fps;
    std::string clock = std::to_string(tenths / 10);
    if (clock.size() < 2) clock = "0" + clock;
    clock += "." + std::to_string(tenths % 10);
    const int cell = (height - barsHeight) / 8 > 1 ? (height - barsHeight) / 8 : 1;
    DrawText(p, clock, cell * 2, barsHeight + cell * 2, cell, 0xFFFFFF);
    DrawText(p, std::to_string(clip % 10), width - cell * 5, barsHeight + cell * 2, cell, 0xFFD040);
    return p;
}

std::string TestClip(int width, int height, int fps, int seconds, int clip) {
    AviWriter writer(width, height, fps);
    for (int i = 0; i < fps * seconds; ++i) writer.AddFrame(TestFrame(width, height, fps, i, clip));
    return writer.Finish();
}

}  // namespace kavuno::clips
