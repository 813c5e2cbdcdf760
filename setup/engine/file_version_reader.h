// The fixed file version of an existing file, through VERSION.DLL loaded
// from the system folder.
#pragma once
#include <optional>
#include <string>

#include "setup/core/engine/file_rules.h"

namespace tw {

// Nothing when the file has no version information.
std::optional<FileVersionPair> readFileVersion(const std::string& path);

}  // namespace tw
