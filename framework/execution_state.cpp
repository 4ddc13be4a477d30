#include "framework/execution_state.h"

namespace kavuno::ui {

void ExecutionState::KeepAwake(bool awake) {
    if (awake == awake_) return;
    awake_ = awake;
    set_(awake ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

bool ExecutionState::Refuses(WPARAM sysCommand) const {
    // The low four bits of a system command are Windows' own.
    const WPARAM command = sysCommand & 0xFFF0;
    return awake_ && (command == SC_SCREENSAVE || command == SC_MONITORPOWER);
}

}  // namespace kavuno::ui
