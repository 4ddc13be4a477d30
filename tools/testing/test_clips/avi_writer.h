// Uncompressed AVI files: one video stream of 24-bit frames, no audio, with
// an index. Players decode this without any codec, which makes it the safest
// test clip.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kavuno::clips {

// A picture in memory: rows from the top, three bytes per pixel (R, G, B).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    Picture(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}
    void Fill(int x, int y, int w, int h, std::uint32_t rgbColour);
};

class AviWriter {
public:
    AviWriter(int width, int height, int framesPerSecond);
    // Frames must be of the writer's size.
    void AddFrame(const Picture& frame);
    // The whole file.
    std::string Finish() const;

private:
    int width_;
    int height_;
    int fps_;
    std::vector<std::string> frames_;  // DIB rows, bottom-up BGR, padded to 4 bytes
};

}  // namespace kavuno::clips
