// The player's everyday keys, decided without a window: which action a key,
// a media key (an application command) or the wheel asks for, given where the
// keyboard focus is. Keys act on the movie list and on the window itself;
// elsewhere they keep the meaning the control gives them, except Ctrl+F
// everywhere and + and - everywhere but the search boxes and the tree (where
// they fold and unfold).
#pragma once
#include <cstdint>

namespace kavuno::player {

enum class KeyAction {
    None,
    PlayPause,
    Stop,
    SeekBack,  // 10 s
    SeekForward,
    SeekBackLong,  // 60 s, with Ctrl
    SeekForwardLong,
    FullScreen,
    FocusSearch,
    VolumeUp,
    VolumeDown,
    Mute,
};

enum class FocusPlace {
    ListOrWindow,  // the movie list or the main window itself
    SearchBox,     // the search text or the search type (or a web page's field)
    Tree,
    Other,  // the slider, the buttons, the video area
};

// One key press as WM_KEYDOWN or WM_SYSKEYDOWN (`alt`) reports it.
struct KeyPress {
    std::uint32_t virtualKey = 0;
    bool ctrl = false;
    bool alt = false;
};

KeyAction ActionForKey(const KeyPress& key, FocusPlace focus);
// WM_APPCOMMAND's command (GET_APPCOMMAND_LPARAM); anywhere.
KeyAction ActionForAppCommand(int command);

// Seconds a seek action moves by (0 for any other action).
int SeekSeconds(KeyAction action);

}  // namespace kavuno::player
