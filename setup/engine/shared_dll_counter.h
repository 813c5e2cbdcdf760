// The reference counts of shared files under HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\SharedDLLs".
#pragma once
#include <string>

namespace tw {

// Adds `delta` to the count of `path` and returns the new count; a count
// that drops to 0 or below removes the value. 1 when the key cannot be
// opened (nothing changes then).
long adjustSharedCount(const std::string& path, long delta);

}  // namespace tw
