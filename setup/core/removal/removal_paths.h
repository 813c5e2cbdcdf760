// Which folders of a removal list the uninstaller may clear: never a
// drive's root, nor a folder that is or holds one of the system's folders.
#pragma once
#include <string>
#include <vector>

namespace tw {

// `folder` and the protected folders are full paths, compared without
// regard to case and trailing backslashes.
bool removableListFolder(const std::string& folder, const std::vector<std::string>& protectedFolders);

}  // namespace tw
