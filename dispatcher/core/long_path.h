// The long spelling of a folder path, for the message that names it.
#pragma once

#include <cstddef>

namespace tw::dispatcher {

// Looks up one existing path and reports the long spelling of its last
// name (what a file search reports). False when the path is not found.
class LongNameFinder {
 public:
  [[nodiscard]] virtual bool findLongName(const char* path, char* name,
                                          std::size_t capacity) = 0;

 protected:
  ~LongNameFinder() = default;
};

// Rebuilds folder (e.g. "C:\PROGRA~1\TEMP\") name by name from its root
// ("C:" or "\\server\share") with the long spelling of each name, ending
// in a backslash. A name the search does not find is kept as written.
// False, with out empty, when the result does not fit.
[[nodiscard]] bool longFolderPath(const char* folder, LongNameFinder& finder,
                                  char* out, std::size_t capacity);

}  // namespace tw::dispatcher
