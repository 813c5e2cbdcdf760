// Where a file of the runtime cabinet goes: work folder or temporary path.
#include "dispatcher/core/extract_target.h"

#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {
namespace {

bool isPlainFileName(const char* name) {
  if (name[0] == '\0') return false;
  bool onlyDots = true;
  for (const char* p = name; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') return false;
    if (*p != '.') onlyDots = false;
  }
  return !onlyDots;
}

}  // namespace

bool composeExtractTarget(const char* workFolder, const char* entryName,
                          char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  if (!isPlainFileName(entryName)) return false;
  std::size_t n = textLength(workFolder);
  if (n == 0 || workFolder[n - 1] != '\\') return false;
  if (entryName[0] != '_') {
    // Back to the backslash before the work folder's own.
    std::size_t cut = n - 1;
    while (cut > 0 && workFolder[cut - 1] != '\\') --cut;
    if (cut == 0) return false;
    n = cut;
  }
  if (!appendTextN(out, capacity, workFolder, n) ||
      !appendText(out, capacity, entryName)) {
    out[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace tw::dispatcher
