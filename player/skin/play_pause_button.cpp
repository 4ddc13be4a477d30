#include "player/skin/play_pause_button.h"

#include "framework/gdi.h"
#include "resources/player/resource.h"

namespace kavuno::skin {

void PlayPauseButton::ShowPlaying(bool playing, bool pointerOver) {
    playingGlyph_ = playing;
    if (playing) {
        SetImages(pointerOver ? IDB_PAUSE_HOVER : IDB_PAUSE, IDB_PAUSE_PRESSED);
    } else {
        SetImages(pointerOver ? IDB_PLAY_HOVER : IDB_PLAY, IDB_PLAY_PRESSED);
    }
    SetWindowTextW(hwnd(), Name());
    if (tips_) tips_->SetText(hwnd(), Name());
    ui::RedrawNow(hwnd());
}

const wchar_t* PlayPauseButton::Name() const { return playingGlyph_ ? L"暂停" : L"播放"; }

void PlayPauseButton::NameIn(ui::ToolTip& tips) {
    tips_ = &tips;
    tips.Add(hwnd(), Name());
}

}  // namespace kavuno::skin
