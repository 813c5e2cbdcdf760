// FILELIST*.DAT: the lists an installed application leaves in a folder of
// the removal list, naming what of that folder goes at uninstallation.
#pragma once
#include <string>
#include <vector>

namespace tw {

constexpr size_t kFileListLineLimit = 255;

// The relative paths of a list: one a line, lines ended by CR LF (a bare
// LF is taken too), at most 255 characters of a line used. Empty lines
// and paths that could leave the folder (a drive, a leading backslash, a
// ".." level) are dropped: the application may only name its own files.
std::vector<std::string> fileListEntries(const std::string& text);

}  // namespace tw
