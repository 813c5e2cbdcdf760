// How the start-up creates the background window and learns of its first
// timer tick, which starts the dialog sequence.
#pragma once
#include <windows.h>

#include "setup/main/runtime_state.h"

namespace tw {

// Creates and shows the background window per the profile's strings 7 to
// 10 and 15; `firstTick` runs on its first timer tick. Null on failure.
HWND createBackground(RunState& state, void (*firstTick)());
// Tells the background window which page is current (its close button
// becomes that page's Cancel).
void setBackgroundPage(HWND page);

}  // namespace tw
