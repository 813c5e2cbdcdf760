// Names of the dispatcher's work folder.
#include "dispatcher/core/work_folder.h"

#include "common/run_folder.h"
#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {

bool formatWorkFolder(const char* tempPath, std::uint64_t random, char* out,
                      std::size_t capacity) {
  char name[kRunFolderNameLength + 2];
  char plain[kRunFolderNameLength + 1];
  formatRunFolderName(random, plain);
  for (std::size_t i = 0; i < kRunFolderNameLength; ++i) name[i] = plain[i];
  name[kRunFolderNameLength] = '\\';
  name[kRunFolderNameLength + 1] = '\0';
  if (capacity == 0) return false;
  out[0] = '\0';
  const std::size_t n = textLength(tempPath);
  if (!appendText(out, capacity, tempPath)) return false;
  if ((n == 0 || tempPath[n - 1] != '\\') && !appendText(out, capacity, "\\")) {
    out[0] = '\0';
    return false;
  }
  if (!appendText(out, capacity, name)) {
    out[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace tw::dispatcher
