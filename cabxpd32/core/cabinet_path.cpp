// Splitting DecompressCab's cabinet path into FDI's cabinet name and folder.
#include "cabxpd32/core/cabinet_path.h"

#include "cabxpd32/core/memory_file.h"

namespace tw::cabxpd {
namespace {

// Copies length bytes and a terminator; false when they do not fit.
bool copyPart(const char* from, std::size_t length,
              char (&to)[kCabinetPathBuffer]) {
  if (length >= kCabinetPathBuffer) return false;
  for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
  to[length] = '\0';
  return true;
}

}  // namespace

bool splitCabinetPath(const char* path, char (&name)[kCabinetPathBuffer],
                      char (&folder)[kCabinetPathBuffer]) {
  name[0] = '\0';
  folder[0] = '\0';
  // Whole, not split: FDI opens folder + name, which must give the
  // pseudo-file's exact name.
  if (path == nullptr) {
    return copyPart(kMemoryFileName, sizeof kMemoryFileName - 1, name);
  }

  std::size_t length = 0;
  std::size_t nameStart = 0;  // behind the last backslash past index 0
  for (; path[length] != '\0'; ++length) {
    if (path[length] == '\\' && length > 0) nameStart = length + 1;
  }
  // A part too long for its buffer fails the split rather than being cut
  // to a wrong name.
  if (!copyPart(path, nameStart, folder) ||
      !copyPart(path + nameStart, length - nameStart, name)) {
    name[0] = '\0';
    folder[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace tw::cabxpd
