// One removal per installation folder at a time: a named mutex derived
// from the folder's path, held by the uninstaller and inherited by the
// copy that continues its work from the temporary folder.
#pragma once
#include <string>

namespace tw {

// Takes the folder's lock for this process's life. False, after telling
// the user, when another removal of the folder holds it.
bool lockRemoval(const std::string& folder);

}  // namespace tw
