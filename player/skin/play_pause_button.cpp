#include "player/skin/play_pause_button.h"

#include "framework/gdi.h"
#include "resources/player/resource.h"

namespace kavuno::skin {

void CPlayPauseButton::ShowPlaying(bool playing, bool pointerOver) {
    playingGlyph_ = playing;
    if (playing) {
        SetImages(pointerOver ? IDB_PAUSE_HOVER : IDB_PAUSE, IDB_PAUSE_PRESSED);
    } else {
        SetImages(pointerOver ? IDB_PLAY_HOVER : IDB_PLAY, IDB_PLAY_PRESSED);
    }
    ui::RedrawNow(hwnd());
}

}  // namespace kavuno::skin
