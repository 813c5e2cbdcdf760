// The name of the lock that one removal of an installation folder holds,
// so that a second uninstaller for the same folder can tell it is not alone.
#pragma once
#include <string>

namespace tw {

// A name for a system-wide mutex, the same for every spelling of one folder
// (case, "/" or "\", trailing separators) and different for others.
std::string folderLockName(const std::string& folder);

}  // namespace tw
