// The everyday keys and the volume level, without a window.
#include <gtest/gtest.h>

#include "player/playback/play_state.h"
#include "player/playback/volume_level.h"
#include "player/shortcut_keys.h"

namespace {

using kavuno::playback::RestoredVolume;
using kavuno::playback::SeekTarget;
using kavuno::playback::SteppedLevel;
using kavuno::playback::VolumeSetting;
using kavuno::player::ActionForAppCommand;
using kavuno::player::ActionForKey;
using kavuno::player::FocusPlace;
using kavuno::player::KeyAction;
using kavuno::player::KeyPress;
using kavuno::player::SeekSeconds;

constexpr FocusPlace kList = FocusPlace::ListOrWindow, kSearch = FocusPlace::SearchBox, kTree = FocusPlace::Tree,
                     kOther = FocusPlace::Other;

KeyAction Key(std::uint32_t vk, FocusPlace focus, bool ctrl = false, bool alt = false) {
    return ActionForKey(KeyPress{vk, ctrl, alt}, focus);
}

TEST(ShortcutKeys, ActOnTheListAndWindowOnlyVolumeKeysOnOtherControlsAndCtrlFEverywhere) {
    EXPECT_EQ(Key(0x20, kList), KeyAction::PlayPause);
    EXPECT_EQ(Key(0x25, kList), KeyAction::SeekBack);
    EXPECT_EQ(Key(0x27, kList), KeyAction::SeekForward);
    EXPECT_EQ(Key(0x25, kList, true), KeyAction::SeekBackLong);
    EXPECT_EQ(Key(0x27, kList, true), KeyAction::SeekForwardLong);
    EXPECT_EQ(Key('F', kList), KeyAction::FullScreen);
    EXPECT_EQ(Key(0x0D, kList, false, true), KeyAction::FullScreen);  // Alt+Enter
    EXPECT_EQ(Key('M', kList), KeyAction::Mute);
    for (const std::uint32_t plus : {0x6Bu, 0xBBu}) EXPECT_EQ(Key(plus, kList), KeyAction::VolumeUp);
    for (const std::uint32_t minus : {0x6Du, 0xBDu}) EXPECT_EQ(Key(minus, kOther), KeyAction::VolumeDown);
    for (const FocusPlace place : {kList, kSearch, kTree, kOther})
        EXPECT_EQ(Key('F', place, true), KeyAction::FocusSearch);
    // The search boxes type, the tree folds, the slider and buttons keep their keys.
    for (const FocusPlace place : {kSearch, kTree}) {
        for (const std::uint32_t vk : {0x20u, 0x25u, 0x27u, 0x46u, 0x4Du, 0x6Bu, 0x6Du, 0xBDu})
            EXPECT_EQ(Key(vk, place), KeyAction::None) << vk;
        EXPECT_EQ(Key(0x27, place, true), KeyAction::None);
        EXPECT_EQ(Key(0x0D, place, false, true), KeyAction::None);
    }
    for (const std::uint32_t vk : {0x20u, 0x25u, 0x27u, 0x46u, 0x4Du}) EXPECT_EQ(Key(vk, kOther), KeyAction::None);
    // Enter is the search's, Alt+Space the system menu's, Ctrl+Space nobody's.
    EXPECT_EQ(Key(0x0D, kList), KeyAction::None);
    EXPECT_EQ(Key(0x20, kList, false, true), KeyAction::None);
    EXPECT_EQ(Key(0x20, kList, true), KeyAction::None);
    EXPECT_EQ(Key('M', kList, true), KeyAction::None);
}

TEST(ShortcutKeys, MediaKeysAndSeeksClampedToTheMovie) {
    EXPECT_EQ(ActionForAppCommand(14), KeyAction::PlayPause);
    EXPECT_EQ(ActionForAppCommand(13), KeyAction::Stop);
    EXPECT_EQ(ActionForAppCommand(10), KeyAction::VolumeUp);
    EXPECT_EQ(ActionForAppCommand(9), KeyAction::VolumeDown);
    EXPECT_EQ(ActionForAppCommand(8), KeyAction::Mute);
    EXPECT_EQ(ActionForAppCommand(11), KeyAction::None);  // next track: not ours
    EXPECT_EQ(SeekSeconds(KeyAction::SeekBackLong), -60);
    EXPECT_EQ(SeekSeconds(KeyAction::SeekForward), 10);
    EXPECT_EQ(SeekSeconds(KeyAction::Mute), 0);
    EXPECT_EQ(SeekTarget(59, 120, 10), 69);
    EXPECT_EQ(SeekTarget(115, 120, 10), 120);
    EXPECT_EQ(SeekTarget(5, 120, -10), 0);
    EXPECT_EQ(SeekTarget(30, -1, 60), 0);  // a length not known yet
    EXPECT_EQ(SeekTarget(2147483600, 2147483647, 60), 2147483647);
}

TEST(VolumeLevel, StepsStayWithinTheRangeAndOnlyValidKeptValuesAreRestored) {
    EXPECT_EQ(SteppedLevel(50, -1), 45);
    EXPECT_EQ(SteppedLevel(98, 1), 100);
    EXPECT_EQ(SteppedLevel(3, -1), 0);
    EXPECT_EQ(SteppedLevel(0, -2147483647), 0);
    EXPECT_EQ(RestoredVolume(std::nullopt, std::nullopt), (VolumeSetting{100, false}));
    EXPECT_EQ(RestoredVolume(35u, 1u), (VolumeSetting{35, true}));
    EXPECT_EQ(RestoredVolume(0u, 0u), (VolumeSetting{0, false}));
    EXPECT_EQ(RestoredVolume(101u, 2u), (VolumeSetting{100, false}));
    EXPECT_EQ(RestoredVolume(0xFFFFFFFFu, std::nullopt), (VolumeSetting{100, false}));
}

}  // namespace
