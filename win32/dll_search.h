// The DLL search of every program the end user runs: restricted before any
// DLL is loaded by name, and DLLs of our own loaded by full path only.
#pragma once

#include <windows.h>

namespace tw::win32 {

// Limits the search for DLLs loaded by name (also by system DLLs on our
// behalf) to the system folder where the platform offers it (Windows 8, or
// 7 and Vista with the update), else takes the program's current folder out
// of it where that is offered (XP SP1 and later); the oldest systems keep
// their order. Called first thing in each entry point, before anything else
// could load a DLL.
void restrictDllSearch();

// Loads fileName (e.g. "COMCTL32.DLL") from the system folder. Null on
// failure, with the last error set.
HMODULE loadSystemLibrary(const char* fileName);

// Loads the DLL at fullPath so that its own imports are searched first in
// its folder and then in the system folder, never in the program's folder
// or the current one.
HMODULE loadLibraryFromPath(const char* fullPath);

}  // namespace tw::win32
