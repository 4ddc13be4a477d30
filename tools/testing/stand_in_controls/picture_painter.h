// What the controls draw in their windows: a video frame stretched to the
// window, or the picture of a simulated stream (its address, position and
// state over a sweeping bar), or a plain caption.
#pragma once
#include <windows.h>

#include <string>

#include "tools/testing/stand_in_controls/core/playback_state.h"

namespace kavuno::stand_in {

// `bits` in the layout that `header` describes (a bottom-up or top-down DIB).
void PaintFrame(HDC dc, const RECT& area, const BITMAPINFOHEADER& header, const void* bits);

void PaintSimulatedPicture(HDC dc, const RECT& area, const std::wstring& address, const PlaybackSnapshot& snapshot,
                           const std::wstring& status);

// Black with one centred line of text (an empty text leaves it black).
void PaintCaption(HDC dc, const RECT& area, const std::wstring& text);

}  // namespace kavuno::stand_in
