// Shortcuts: the shell's folders, links made through the shell-link
// object, and their removal with the folders they leave empty.
#pragma once
#include <string>

namespace tw {

struct LinkFields {
  std::string target, arguments, workDir, iconFile, description;
  int iconIndex = 0;
};

// Shell folder `name` ("Programs", "Desktop") of the current user from
// "User Shell Folders", expanded; from "Shell Folders" when that fails and
// `fallback` allows. Empty when neither has it.
std::string shellFolderPath(const char* name, bool fallback);

// Saves a link at `linkPath` (the component object library is initialised
// by the runtime's start-up); false when it could not be made.
bool createShellLink(const LinkFields& link, const std::string& linkPath);

// Deletes the link through the shell, then the folders between `base` and
// the link, deepest first, while they are empty.
void deleteShellLink(const std::string& linkPath, const std::string& base);

}  // namespace tw
