// Loading DLLs by full path, never by a name the search order could plant:
// the helpers all programs the end user runs share.
#pragma once

#include "win32/dll_search.h"

namespace tw::dispatcher {

using win32::loadLibraryFromPath;
using win32::loadSystemLibrary;

}  // namespace tw::dispatcher
