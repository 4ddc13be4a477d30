// The moving test picture of the generated clips: colour bars, a box that
// sweeps across once a second and the clip's running clock ("SS.T", seconds
// and tenths) drawn into every frame, so a screenshot shows both that the
// picture moves and where in the clip it is.
#pragma once
#include <string>

#include "tools/testing/test_clips/avi_writer.h"

namespace kavuno::clips {

// Frame `index` of clip number `clip` (1-9, shown in the corner) at `fps`.
Picture TestFrame(int width, int height, int fps, int index, int clip);

// A whole clip of `seconds` as an uncompressed AVI file.
std::string TestClip(int width, int height, int fps, int seconds, int clip);

}  // namespace kavuno::clips
