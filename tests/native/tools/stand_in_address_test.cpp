// How the stand-in controls read an address: the media folder file it names,
// and the settings of a simulated stream in its query.
#include <gtest/gtest.h>

#include "tools/testing/stand_in_controls/core/stream_address.h"

namespace {

using kavuno::stand_in::MediaFolderCandidates;
using kavuno::stand_in::ParseStreamAddress;
using kavuno::stand_in::SimulationSettingsOf;

std::vector<std::wstring> Candidates(const wchar_t* address) {
    return MediaFolderCandidates(ParseStreamAddress(address));
}

TEST(StandInAddress, MediaFolderPathSkipsSchemeUserInfoAndHost) {
    EXPECT_EQ(Candidates(L"rtsp://127.0.0.1/movie/demo/clip01.avi"),
              (std::vector<std::wstring>{L"movie\\demo\\clip01.avi", L"clip01.avi"}));
    EXPECT_EQ(Candidates(L"rtsp://user:p@ss@10.0.0.2:554/a/b.rm?length=5#x"),
              (std::vector<std::wstring>{L"a\\b.rm", L"b.rm"}));
    EXPECT_EQ(Candidates(L"RTSP://host/b.rm"), (std::vector<std::wstring>{L"b.rm"}));
    EXPECT_EQ(ParseStreamAddress(L"RTSP://host/b.rm").scheme, L"rtsp");
    EXPECT_EQ(Candidates(L"rtsp://host//x///片花.rmvb"), (std::vector<std::wstring>{L"x\\片花.rmvb", L"片花.rmvb"}));
    EXPECT_TRUE(Candidates(L"rtsp://host").empty());
    EXPECT_TRUE(Candidates(L"rtsp://host/").empty());
}

TEST(StandInAddress, NothingOutsideTheMediaFolder) {
    EXPECT_TRUE(Candidates(L"rtsp://host/../secret.avi").empty());
    EXPECT_TRUE(Candidates(L"rtsp://host/a/..\\..\\b.avi").empty());
    EXPECT_TRUE(Candidates(L"rtsp://host/./b.avi").empty());
    EXPECT_TRUE(Candidates(L"rtsp://host/C:/windows/win.ini").empty());
    EXPECT_TRUE(Candidates(L"rtsp://host/b.avi:stream").empty());
}

TEST(StandInAddress, SimulationSettingsFromTheQuery) {
    auto s = SimulationSettingsOf(
        ParseStreamAddress(L"rtsp://h/a.rm?length=12&start=2.5&speed=0&connect=0&buffer=0.3"));
    EXPECT_DOUBLE_EQ(s.lengthSeconds, 12);
    EXPECT_DOUBLE_EQ(s.startSeconds, 2.5);
    EXPECT_DOUBLE_EQ(s.speed, 0);
    EXPECT_DOUBLE_EQ(s.connectSeconds, 0);
    EXPECT_DOUBLE_EQ(s.bufferSeconds, 0.3);

    auto defaults = SimulationSettingsOf(ParseStreamAddress(L"http://h/a.rm"));
    EXPECT_DOUBLE_EQ(defaults.lengthSeconds, 300);
    EXPECT_DOUBLE_EQ(defaults.startSeconds, 0);
    EXPECT_DOUBLE_EQ(defaults.speed, 1);
    EXPECT_DOUBLE_EQ(defaults.connectSeconds, 1);
    EXPECT_DOUBLE_EQ(defaults.bufferSeconds, 1);

    // Values that do not parse or make no sense keep the defaults; a start
    // past the end is the end.
    auto bad = SimulationSettingsOf(ParseStreamAddress(L"x?length=0&speed=-1&connect=abc&buffer=&start=400&&=3"));
    EXPECT_DOUBLE_EQ(bad.lengthSeconds, 300);
    EXPECT_DOUBLE_EQ(bad.speed, 1);
    EXPECT_DOUBLE_EQ(bad.connectSeconds, 1);
    EXPECT_DOUBLE_EQ(bad.bufferSeconds, 1);
    EXPECT_DOUBLE_EQ(bad.startSeconds, 300);
}

}  // namespace
