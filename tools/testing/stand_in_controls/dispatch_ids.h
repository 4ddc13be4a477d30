// The stand-ins' own dispatch ids, written down apart from the player's
// wrappers so that driving the stand-ins through those wrappers checks both.
// Each id has the name the player gives it.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace kavuno::stand_in {

// The RealPlayer control, by the role the player gives each id.
namespace real_player_ids {
enum : DISPID {
    kSource = 102,
    kControls = 104,
    kResume = 201,
    kStop = 202,
    kFirstDisplayOption = 245,
    kPlay = 257,
    kPause = 258,
    kPosition = 259,
    kPlayState = 260,
    kLength = 261,
    kQueryAfterStop = 267,
    kSeek = 269,
    kFullScreen = 293,
    kSecondDisplayOption = 297,
    kStatusText = 331,
    // Called by name: the ids are the stand-in's own.
    kSetVolume = 600,
    kSetMute = 601,
};
}  // namespace real_player_ids

// The media player (IWMPPlayer4), its controls object (IWMPControls) and its
// media object (IWMPMedia).
namespace media_player_ids {
enum : DISPID {
    kURL = 1,
    kClose = 3,
    kControls = 4,
    kCurrentMedia = 6,
    kPlayState = 10,
    kStatus = 18,
    kFullScreen = 21,
    kUiMode = 23,
    kSettings = 5,  // by name, as the settings object's members
    kControlsPlay = 51,
    kControlsStop = 52,
    kControlsPause = 53,
    kControlsCurrentPosition = 56,
    kMediaDuration = 757,
    kSettingsVolume = 104,
    kSettingsMute = 108,
};
}  // namespace media_player_ids

}  // namespace kavuno::stand_in
