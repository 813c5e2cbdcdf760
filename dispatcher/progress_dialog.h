// The dispatcher's progress dialog and its multimedia-timer animation.
#pragma once

#include <windows.h>

#include <cstdint>

#include "language/ids.h"

namespace tw::dispatcher {

constexpr WORD kDialogProgress = PKG_DLG_PROGRESS;
constexpr WORD kIconClass = 1;
constexpr int kControlText = IDC_PREPARE_TEXT;
constexpr int kControlBar = IDC_PROGRESS;

// Registers the window class "SETUP_DLG" that dialog 100 names. False with
// the last error set.
[[nodiscard]] bool registerDialogClass(HINSTANCE instance);

// Creates dialog 100 modeless, centred, with its text and the bar's range
// set and its Close command greyed. Null with the last error set.
HWND createProgressDialog(HINSTANCE instance);

// Starts the 800 ms multimedia timer on the dialog's bar at position 0 and
// limit 20. Without the multimedia timers the bar still moves in the
// catch-ups.
void startAnimation();
void stopAnimation();

// Lets the bar reach the current limit in steps of 2, pausing and handling
// the thread's messages between steps (the main thread's part).
void catchUp();
// The ceiling of the next stage.
void setStageLimit(std::uint16_t limit);

}  // namespace tw::dispatcher
