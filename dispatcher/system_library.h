// Loading DLLs by full path, never by a name the search order could plant.
#pragma once

#include <windows.h>

namespace tw::dispatcher {

// Loads fileName (e.g. "COMCTL32.DLL") from the system folder. Null on
// failure, with the last error set.
HMODULE loadSystemLibrary(const char* fileName);

// Loads the DLL at fullPath so that its own imports are searched first in
// its folder and then in the system folders, not in the package's folder.
HMODULE loadLibraryFromPath(const char* fullPath);

// Limits the DLL search by name to the system folder where the platform
// offers it, else drops the current folder from it where that is offered
// (XP SP1 and later); the oldest systems keep their order.
void hardenDllSearch();

}  // namespace tw::dispatcher
