#include "player/playback/play_state.h"

#include <gtest/gtest.h>

#include <limits>

#include "player/playback/play_time.h"

namespace kavuno::playback {
namespace {

TEST(PlayState, RecordsPlayOnTheRealPlayerOnlyWhenTheirPlayerIsZero) {
    EXPECT_EQ(PlayerForRecord(0), PlayerMode::RealPlayer);
    EXPECT_EQ(PlayerForRecord(1), PlayerMode::MediaPlayer);
    EXPECT_EQ(PlayerForRecord(-1), PlayerMode::MediaPlayer);
}

TEST(PlayState, PlayPauseDoesNothingWithoutAPlayer) {
    EXPECT_EQ(DecidePlayPause(PlayerMode::None, false), PlayPauseAction::Nothing);
    EXPECT_EQ(DecidePlayPause(PlayerMode::RealPlayer, true), PlayPauseAction::Pause);
    EXPECT_EQ(DecidePlayPause(PlayerMode::MediaPlayer, false), PlayPauseAction::Resume);
}

TEST(PlayState, TheTwoControlsNumberTheirStatesDifferently) {
    // RealPlayer: 0 stopped, 4 paused; the media player: 1 stopped, 2 paused.
    EXPECT_EQ(ReactToPlayState(PlayerMode::RealPlayer, 0, true), StatusAction::Stop);
    EXPECT_EQ(ReactToPlayState(PlayerMode::MediaPlayer, 0, true), StatusAction::ShowControlStatus);
    EXPECT_EQ(ReactToPlayState(PlayerMode::MediaPlayer, 1, true), StatusAction::Stop);
    EXPECT_EQ(ReactToPlayState(PlayerMode::RealPlayer, 1, true), StatusAction::ShowControlStatus);
    EXPECT_EQ(ReactToPlayState(PlayerMode::RealPlayer, 3, false), StatusAction::ShowPlaying);
    EXPECT_EQ(ReactToPlayState(PlayerMode::MediaPlayer, 3, false), StatusAction::ShowPlaying);
    // Paused shows "已暂停" only on the RealPlayer and only with a picture.
    EXPECT_EQ(ReactToPlayState(PlayerMode::RealPlayer, 4, true), StatusAction::ShowPaused);
    EXPECT_EQ(ReactToPlayState(PlayerMode::RealPlayer, 4, false), StatusAction::ShowControlStatus);
    EXPECT_EQ(ReactToPlayState(PlayerMode::MediaPlayer, 2, true), StatusAction::ShowControlStatus);
    // Media ended comes before stopped: a passing state.
    EXPECT_EQ(ReactToPlayState(PlayerMode::MediaPlayer, 8, true), StatusAction::ShowControlStatus);
}

TEST(PlayState, ThePictureShowsOnlyWhilePlayingARecordThatWantsIt) {
    EXPECT_TRUE(PictureWanted(StatusAction::ShowPlaying, true));
    EXPECT_FALSE(PictureWanted(StatusAction::ShowPlaying, false));
    EXPECT_FALSE(PictureWanted(StatusAction::ShowPaused, true));
    EXPECT_FALSE(PictureWanted(StatusAction::ShowControlStatus, true));
}

TEST(PlayState, TextRoundsHalfUpWhileTheSliderTruncates) {
    EXPECT_EQ(SecondsForText(59.5), 60);
    EXPECT_EQ(SecondsForSlider(59.5), 59);
    EXPECT_EQ(FormatPlayTime(SecondsToMilliseconds(SecondsForText(59.5))), "00:01:00");
    EXPECT_EQ(SecondsForText(58.5), 59);  // halfway always up, never to even
    EXPECT_EQ(SecondsForText(0.49), 0);
    EXPECT_EQ(SecondsForSlider(0.99), 0);
    EXPECT_EQ(SecondsForSlider(1.0), 1);
    EXPECT_EQ(SecondsToMilliseconds(0), 0);
    EXPECT_EQ(SecondsToMilliseconds(1), 1000);
    EXPECT_EQ(SecondsToMilliseconds(2), 2000);
}

TEST(PlayState, OddControlValuesStayInRange) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(SecondsForText(kNaN), 0);
    EXPECT_EQ(SecondsForSlider(kNaN), 0);
    EXPECT_EQ(SecondsForText(-3.0), 0);
    EXPECT_EQ(SecondsForSlider(1e12), std::numeric_limits<std::int32_t>::max() / 1000);
    EXPECT_EQ(SecondsToMilliseconds(std::numeric_limits<std::int32_t>::max()),
              std::numeric_limits<std::int32_t>::max() / 1000 * 1000);
}

}  // namespace
}  // namespace kavuno::playback
