// Which face each bitmap button of the main window shows: the images it gets
// at set-up, and the hover poll that lights six of them up while the pointer
// rests on them. The poll works from geometry alone (no capture, no leave
// notification), so it also reacts while the window is inactive or covered.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>

#include "framework/bitmap_button.h"
#include "player/skin/play_pause_button.h"

namespace kavuno::skin {

struct SkinButtons {
    ui::BitmapButton& close;
    ui::BitmapButton& maximize;
    ui::BitmapButton& minimize;
    ui::BitmapButton& search;
    ui::BitmapButton& topmost;
    ui::BitmapButton& fullScreen;
    ui::BitmapButton& stop;
    PlayPauseButton& playPause;
    ui::BitmapButton& mode;
};

class ButtonFaces {
public:
    explicit ButtonFaces(const SkinButtons& buttons);

    // The nine buttons' images at set-up.
    void LoadSetUpImages();
    // One tick of the hover poll: each polled button whose pointer-over state
    // changed gets its enter or leave faces and is redrawn at once.
    void PollHover();

private:
    struct Faces {
        UINT normal;
        UINT pressed;
    };
    struct Polled {
        ui::BitmapButton* button;
        Faces enter;
        Faces leave;
        std::int32_t hover;                // 1 while the pointer-over faces are loaded
        PlayPauseButton* glyph = nullptr;  // set for play/pause: its faces follow its glyph
    };
    // Loads the enter (pointer over) or leave faces and redraws the button.
    static void ShowFaces(Polled& polled, bool pointerOver);

    SkinButtons buttons_;
    // Polled in this order: close, minimise, full screen, stop, keep on top, play/pause.
    std::array<Polled, 6> polled_;
};

}  // namespace kavuno::skin
