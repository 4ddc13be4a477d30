#include "player/shortcut_keys.h"

namespace kavuno::player {
namespace {

// Virtual-key codes and application commands, as Windows numbers them.
constexpr std::uint32_t kReturn = 0x0D, kSpace = 0x20, kLeft = 0x25, kRight = 0x27, kKeyF = 0x46, kKeyM = 0x4D,
                        kAdd = 0x6B, kSubtract = 0x6D, kOemPlus = 0xBB, kOemMinus = 0xBD;
constexpr int kAppVolumeMute = 8, kAppVolumeDown = 9, kAppVolumeUp = 10, kAppMediaStop = 13, kAppMediaPlayPause = 14;

KeyAction VolumeKey(std::uint32_t key) {
    if (key == kAdd || key == kOemPlus) return KeyAction::VolumeUp;
    if (key == kSubtract || key == kOemMinus) return KeyAction::VolumeDown;
    return KeyAction::None;
}

}  // namespace

KeyAction ActionForKey(const KeyPress& key, FocusPlace focus) {
    if (key.alt) {
        // Alt with anything else is the system's (Alt+Space opens the window menu).
        return key.virtualKey == kReturn && !key.ctrl && focus == FocusPlace::ListOrWindow ? KeyAction::FullScreen
                                                                                           : KeyAction::None;
    }
    if (key.ctrl) {
        if (key.virtualKey == kKeyF) return KeyAction::FocusSearch;
        if (focus != FocusPlace::ListOrWindow) return KeyAction::None;
        if (key.virtualKey == kLeft) return KeyAction::SeekBackLong;
        if (key.virtualKey == kRight) return KeyAction::SeekForwardLong;
        return KeyAction::None;
    }
    if (focus == FocusPlace::SearchBox || focus == FocusPlace::Tree) return KeyAction::None;
    if (focus == FocusPlace::Other) return VolumeKey(key.virtualKey);
    switch (key.virtualKey) {
    case kSpace: return KeyAction::PlayPause;
    case kLeft: return KeyAction::SeekBack;
    case kRight: return KeyAction::SeekForward;
    case kKeyF: return KeyAction::FullScreen;
    case kKeyM: return KeyAction::Mute;
    default: return VolumeKey(key.virtualKey);
    }
}

KeyAction ActionForAppCommand(int command) {
    switch (command) {
    case kAppMediaPlayPause: return KeyAction::PlayPause;
    case kAppMediaStop: return KeyAction::Stop;
    case kAppVolumeUp: return KeyAction::VolumeUp;
    case kAppVolumeDown: return KeyAction::VolumeDown;
    case kAppVolumeMute: return KeyAction::Mute;
    default: return KeyAction::None;
    }
}

int SeekSeconds(KeyAction action) {
    switch (action) {
    case KeyAction::SeekBack: return -10;
    case KeyAction::SeekForward: return 10;
    case KeyAction::SeekBackLong: return -60;
    case KeyAction::SeekForwardLong: return 60;
    default: return 0;
    }
}

}  // namespace kavuno::player
