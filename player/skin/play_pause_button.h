// The play/pause button: a bitmap button whose glyph shows what a click does.
// The play glyph shows while nothing plays or playback is paused, the pause
// glyph while it plays; each comes with a normal and a pointer-over face.
// Its text (for screen readers) and tool tip follow the glyph.
#pragma once
#include "framework/bitmap_button.h"
#include "framework/tool_tip.h"

namespace kavuno::skin {

class PlayPauseButton : public ui::BitmapButton {
public:
    // Playback's glyph changes: `playing` picks the glyph (and is remembered),
    // `pointerOver` the face; the button is redrawn at once. Whether a movie
    // plays is playback's to know; the button only shows it.
    void ShowPlaying(bool playing, bool pointerOver);
    // Which glyph the hover poll must keep when it swaps faces.
    bool ShowsPlaying() const { return playingGlyph_; }
    // The tool tip that names the next click, as the button's text does.
    void NameIn(ui::ToolTip& tips);

private:
    const wchar_t* Name() const;

    bool playingGlyph_ = false;
    ui::ToolTip* tips_ = nullptr;
};

}  // namespace kavuno::skin
