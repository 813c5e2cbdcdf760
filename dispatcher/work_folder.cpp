// Names of the dispatcher's work folder: "ZET", four hex digits, backslash.
#include "dispatcher/work_folder.h"

#include "dispatcher/text_buffer.h"

namespace tw::dispatcher {

bool formatWorkFolder(const char* tempPath, std::uint32_t unique, char* out,
                      std::size_t capacity) {
  static const char kHex[] = "0123456789ABCDEF";
  char name[10] = {'Z', 'E', 'T'};
  for (int i = 0; i < 4; ++i) name[3 + i] = kHex[(unique >> (12 - 4 * i)) & 0xF];
  name[7] = '\\';
  name[8] = '\0';
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
