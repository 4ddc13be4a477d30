#include "tools/testing/test_clips/avi_writer.h"

#include <algorithm>
#include <stdexcept>

namespace kavuno::clips {
namespace {

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void PutTag(std::string& out, const char* fourcc) { out.append(fourcc, 4); }

std::string Chunk(const char* fourcc, const std::string& body) {
    std::string out;
    PutTag(out, fourcc);
    Put32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2) out += '\0';  // chunks are word-aligned
    return out;
}

std::string List(const char* type, const std::string& body) {
    std::string inner;
    PutTag(inner, type);
    inner += body;
    return Chunk("LIST", inner);
}

constexpr std::uint32_t kHasIndex = 0x10;  // AVIF_HASINDEX
constexpr std::uint32_t kKeyFrame = 0x10;  // AVIIF_KEYFRAME

}  // namespace

void Picture::Fill(int x, int y, int w, int h, std::uint32_t colour) {
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + w, width), y1 = std::min(y + h, height);
    for (int row = y0; row < y1; ++row) {
        for (int col = x0; col < x1; ++col) {
            std::uint8_t* p = &rgb[(static_cast<size_t>(row) * width + col) * 3];
            p[0] = static_cast<std::uint8_t>(colour >> 16);
            p[1] = static_cast<std::uint8_t>(colour >> 8);
            p[2] = static_cast<std::uint8_t>(colour);
        }
    }
}

AviWriter::AviWriter(int width, int height, int framesPerSecond)
    : width_(width), height_(height), fps_(framesPerSecond) {
    if (width <= 0 || height <= 0 || framesPerSecond <= 0) throw std::invalid_argument("bad clip format");
}

void AviWriter::AddFrame(const Picture& frame) {
    if (frame.width != width_ || frame.height != height_) throw std::invalid_argument("frame of another size");
    const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
    std::string dib(stride * height_, '\0');
    for (int row = 0; row < height_; ++row) {
        const std::uint8_t* src = &frame.rgb[static_cast<size_t>(height_ - 1 - row) * width_ * 3];
        char* dst = &dib[stride * row];
        for (int col = 0; col < width_; ++col) {
            dst[col * 3 + 0] = static_cast<char>(src[col * 3 + 2]);
            dst[col * 3 + 1] = static_cast<char>(src[col * 3 + 1]);
            dst[col * 3 + 2] = static_cast<char>(src[col * 3 + 0]);
        }
    }
    frames_.push_back(std::move(dib));
}

std::string AviWriter::Finish() const {
    const auto frameBytes = static_cast<std::uint32_t>(((static_cast<size_t>(width_) * 3 + 3) & ~size_t{3}) * height_);
    const auto count = static_cast<std::uint32_t>(frames_.size());

    std::string avih;
    Put32(avih, 1000000 / fps_);     // microseconds per frame
    Put32(avih, frameBytes * fps_);  // max bytes per second
    Put32(avih, 0);                  // padding granularity
    Put32(avih, kHasIndex);
    Put32(avih, count);
    Put32(avih, 0);           // initial frames
    Put32(avih, 1);           // streams
    Put32(avih, frameBytes);  // suggested buffer size
    Put32(avih, static_cast<std::uint32_t>(width_));
    Put32(avih, static_cast<std::uint32_t>(height_));
    for (int i = 0; i < 4; ++i) Put32(avih, 0);

    std::string strh;
    PutTag(strh, "vids");
    PutTag(strh, "DIB ");
    Put32(strh, 0);                                 // flags
    Put16(strh, 0);                                 // priority
    Put16(strh, 0);                                 // language
    Put32(strh, 0);                                 // initial frames
    Put32(strh, 1);                                 // scale
    Put32(strh, static_cast<std::uint32_t>(fps_));  // rate: frames per second = rate / scale
    Put32(strh, 0);                                 // start
    Put32(strh, count);                             // length in frames
    Put32(strh, frameBytes);                        // suggested buffer size
    Put32(strh, 0xFFFFFFFF);                        // quality: default
    Put32(strh, frameBytes);                        // sample size
    Put16(strh, 0);
    Put16(strh, 0);
    Put16(strh, static_cast<std::uint16_t>(width_));
    Put16(strh, static_cast<std::uint16_t>(height_));

    std::string strf;  // BITMAPINFOHEADER
    Put32(strf, 40);
    Put32(strf, static_cast<std::uint32_t>(width_));
    Put32(strf, static_cast<std::uint32_t>(height_));  // positive: bottom-up rows
    Put16(strf, 1);
    Put16(strf, 24);
    Put32(strf, 0);  // BI_RGB
    Put32(strf, frameBytes);
    for (int i = 0; i < 4; ++i) Put32(strf, 0);

    std::string hdrl = Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf));

    std::string movi;
    std::string idx1;
    for (const auto& frame : frames_) {
        PutTag(idx1, "00db");
        Put32(idx1, kKeyFrame);
        Put32(idx1, static_cast<std::uint32_t>(4 + movi.size()));  // from the "movi" type tag
        Put32(idx1, static_cast<std::uint32_t>(frame.size()));
        movi += Chunk("00db", frame);
    }

    std::string body;
    PutTag(body, "AVI ");
    body += List("hdrl", hdrl);
    body += List("movi", movi);
    body += Chunk("idx1", idx1);
    return Chunk("RIFF", body);
}

}  // namespace kavuno::clips
