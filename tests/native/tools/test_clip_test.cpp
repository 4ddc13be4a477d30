// The generated test clips: a well-formed uncompressed AVI (sizes, frame
// count, an index that points at every frame) with the moving picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tools/testing/test_clips/avi_writer.h"
#include "tools/testing/test_clips/test_picture.h"

namespace {

using kavuno::clips::TestClip;
using kavuno::clips::TestFrame;

std::uint32_t U32(const std::string& data, size_t at) {
    std::uint32_t v;
    std::memcpy(&v, data.data() + at, 4);
    return v;
}

size_t Find(const std::string& data, const char* tag, size_t from = 0) { return data.find(std::string(tag, 4), from); }

TEST(TestClip, IsAnIndexedUncompressedAvi) {
    const std::string avi = TestClip(160, 120, 10, 2, 1);
    ASSERT_EQ(avi.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(avi, 4), avi.size() - 8);
    EXPECT_EQ(avi.substr(8, 4), "AVI ");

    size_t avih = Find(avi, "avih");
    ASSERT_NE(avih, std::string::npos);
    EXPECT_EQ(U32(avi, avih + 8), 100000u);   // microseconds per frame
    EXPECT_EQ(U32(avi, avih + 8 + 16), 20u);  // frames
    EXPECT_EQ(U32(avi, avih + 8 + 32), 160u);
    EXPECT_EQ(U32(avi, avih + 8 + 36), 120u);
    size_t strf = Find(avi, "strf");
    EXPECT_EQ(U32(avi, strf + 8 + 16), 0u);  // BI_RGB
    EXPECT_EQ(U32(avi, strf + 8 + 20), 160u * 120 * 3);

    size_t movi = Find(avi, "movi");
    size_t idx1 = Find(avi, "idx1", movi);
    ASSERT_NE(idx1, std::string::npos);
    ASSERT_EQ(U32(avi, idx1 + 4), 20u * 16);
    for (size_t i = 0; i < 20; ++i) {
        size_t entry = idx1 + 8 + i * 16;
        size_t chunk = movi + U32(avi, entry + 8);
        ASSERT_LT(chunk + 8, avi.size());
        EXPECT_EQ(avi.substr(chunk, 4), "00db") << i;
        EXPECT_EQ(U32(avi, chunk + 4), 160u * 120 * 3) << i;
    }
    EXPECT_EQ(idx1 + 8 + 20 * 16, avi.size());
}

TEST(TestClip, PictureMovesAndItsClockRuns) {
    auto a = TestFrame(160, 120, 10, 0, 1), b = TestFrame(160, 120, 10, 1, 1), c = TestFrame(160, 120, 10, 10, 1);
    EXPECT_NE(a.rgb, b.rgb);
    // A second later the box is back where it was, but the clock is not.
    auto top = [](const kavuno::clips::Picture& p) {
        return std::vector<std::uint8_t>(p.rgb.begin(), p.rgb.begin() + 160 * 80 * 3);
    };
    EXPECT_EQ(top(a), top(c));
    EXPECT_NE(a.rgb, c.rgb);
}

}  // namespace
