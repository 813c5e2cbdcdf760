// Finds what a reader would see as broken on a dialog: clipped texts, overlapping controls, controls outside the window.
#pragma once
#include <windows.h>
#include "report.h"

// Checks every visible child of the dialog and reports each fault under
// "layout <dialogId> ...". Group boxes may hold other controls.
void checkLayout(HWND dialog, int dialogId, Report& report);
