#include "launcher/progress_math.h"

#include <algorithm>
#include <climits>

namespace kavuno::launcher {

int NextProgressPosition(int current) { return current > INT_MAX - kProgressStep ? INT_MAX : current + kProgressStep; }

int ProgressFillRight(int position, int lower, int upper, int clientRight) {
    // A negative size from the manifest gives an inverted range: an empty bar,
    // like a size of 0, rather than whatever the control makes of it.
    if (lower == 0 || upper == 0 || upper < lower) return -1;
    long long right = static_cast<long long>(position) * (clientRight - 2) / upper;
    long long lo = 2;
    long long hi = std::max<long long>(lo, clientRight - 2);
    return static_cast<int>(std::clamp(right, lo, hi));
}

}  // namespace kavuno::launcher
