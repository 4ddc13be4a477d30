// Keeping the screen on: what reaches SetThreadExecutionState, and which
// system commands are refused meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/execution_state.h"

namespace {

std::vector<EXECUTION_STATE> calls;

EXECUTION_STATE WINAPI Record(EXECUTION_STATE flags) {
    calls.push_back(flags);
    return ES_CONTINUOUS;
}

constexpr EXECUTION_STATE kAwake = ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED;

TEST(ExecutionState, AsksOncePerChangeRefusesTheScreenSaverOnlyWhileAwakeAndClearsOnDestruction) {
    calls.clear();
    {
        kavuno::ui::ExecutionState state(Record);
        EXPECT_FALSE(state.Refuses(SC_SCREENSAVE));
        state.KeepAwake(false);  // already clear: nothing to ask
        state.KeepAwake(true);
        state.KeepAwake(true);
        EXPECT_EQ(calls, std::vector<EXECUTION_STATE>{kAwake});
        EXPECT_TRUE(state.Refuses(SC_SCREENSAVE));
        EXPECT_TRUE(state.Refuses(SC_MONITORPOWER | 2));  // low bits are Windows' own
        EXPECT_FALSE(state.Refuses(SC_MINIMIZE));
        EXPECT_FALSE(state.Refuses(SC_CLOSE));
        state.KeepAwake(false);
        EXPECT_FALSE(state.Refuses(SC_MONITORPOWER));
        state.KeepAwake(true);
    }
    EXPECT_EQ(calls, (std::vector<EXECUTION_STATE>{kAwake, ES_CONTINUOUS, kAwake, ES_CONTINUOUS}));
    {
        const kavuno::ui::ExecutionState idle(Record);  // never awake: nothing to clear
    }
    EXPECT_EQ(calls.size(), 4u);
}

}  // namespace
