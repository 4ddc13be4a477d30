// Arithmetic of the launcher's progress bar. Window-free, so it is tested natively.
#pragma once

namespace kavuno::launcher {

// Bytes per read of the update worker; the bar advances this much per read.
constexpr int kProgressStep = 200;

// The position after one more read: `current` + kProgressStep, held at the int
// maximum rather than wrapping (the control clamps it to its range anyway).
int NextProgressPosition(int current);

// Right edge of the filled part of a bar whose client area spans
// [0, clientRight), at `position` in the range [lower, upper]:
// position × (clientRight − 2) / upper, truncating, or -1 when nothing is
// filled (a bound of 0, or an upper bound below the lower one). Computed in 64 bits, so large sizes do not overflow,
// and kept within [2, clientRight − 2], the inside of the track's edges.
int ProgressFillRight(int position, int lower, int upper, int clientRight);

}  // namespace kavuno::launcher
