// The long spelling of a folder path, for the message that names it.
#include "dispatcher/core/long_path.h"

#include "dispatcher/core/text_buffer.h"
#include "dispatcher/core/work_folder.h"

namespace tw::dispatcher {
namespace {

// Length of the root that the search cannot look up: "C:" or
// "\\server\share"; 0 for a relative path.
std::size_t rootLength(const char* path) {
  if (path[0] == '\\' && path[1] == '\\') {
    std::size_t i = 2;
    for (int part = 0; part < 2; ++part) {
      while (path[i] != '\0' && path[i] != '\\') ++i;
      if (part == 0 && path[i] == '\\') ++i;
    }
    return i;
  }
  if (path[0] != '\0' && path[1] == ':') return 2;
  return 0;
}

}  // namespace

bool longFolderPath(const char* folder, LongNameFinder& finder, char* out,
                    std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  const std::size_t length = textLength(folder);
  const std::size_t root = rootLength(folder);
  // The path so far, as written, for the lookups.
  char soFar[kPathCapacity];
  soFar[0] = '\0';
  if (!appendTextN(soFar, sizeof soFar, folder, root) ||
      !appendTextN(out, capacity, folder, root) ||
      !appendText(out, capacity, "\\"))
    return (out[0] = '\0', false);
  std::size_t i = root;
  while (i < length) {
    while (i < length && folder[i] == '\\') ++i;
    std::size_t end = i;
    while (end < length && folder[end] != '\\') ++end;
    if (end == i) break;
    char name[kPathCapacity];
    if (!appendText(soFar, sizeof soFar, "\\") ||
        !appendTextN(soFar, sizeof soFar, folder + i, end - i))
      return (out[0] = '\0', false);
    if (!finder.findLongName(soFar, name, sizeof name)) {
      name[0] = '\0';
      if (!appendTextN(name, sizeof name, folder + i, end - i))
        return (out[0] = '\0', false);
    }
    if (!appendText(out, capacity, name) || !appendText(out, capacity, "\\"))
      return (out[0] = '\0', false);
    i = end;
  }
  return true;
}

}  // namespace tw::dispatcher
