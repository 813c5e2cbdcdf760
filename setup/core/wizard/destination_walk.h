// The walk from a destination folder up to its nearest existing ancestor,
// shared by the destination page's check, the copy pass's folder creation
// and the shell-link folders.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace tw {

// The longest folder path the system creates: MAX_PATH (260) less the 8.3
// name a folder must still hold and the terminating zero.
constexpr size_t kMaxFolderPath = 247;

enum class WalkResult {
  Found,         // `existing` exists; `missing` are the levels below it
  NotAbsolute,   // not "X:\..." (relative, "X:" alone, "X:name", a share unless allowed)
  InvalidName,   // a character no file name may hold, an empty level, or one ending in a dot or blank
  TooLong,       // longer than kMaxFolderPath
  NoneExists,    // not even the drive's root exists
};

struct AncestorWalk {
  WalkResult result = WalkResult::NotAbsolute;
  std::string path;      // the destination, trailing backslashes removed (the root's kept)
  std::string existing;  // the nearest existing item, the root at most
  FileInfo existingInfo;
  // The missing levels, deepest first: creating them from the back
  // recreates the destination.
  std::vector<std::string> missing;
  bool found() const { return result == WalkResult::Found; }
};

// Cuts `path` at its last backslash until an item exists. Each cut
// shortens the path, and the drive's root ends the walk whether it exists
// or not, so the walk takes at most one step per backslash. Only a drive
// letter path is a destination: the system's drive-relative form "X:" is
// refused before any lookup, and so are share names ("\\server\share\...")
// unless `sharesAllowed`, where the share is the root. A component's
// target folder may lie on a share; the destination chosen on the page
// may not.
AncestorWalk walkToExisting(FileSystem& files, const std::string& path, size_t maxLength = kMaxFolderPath,
                            bool sharesAllowed = false);

}  // namespace tw
