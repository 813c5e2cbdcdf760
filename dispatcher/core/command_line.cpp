// The command line that starts the runtime from the work folder.
#include "dispatcher/core/command_line.h"

#include "dispatcher/core/text_buffer.h"

namespace tw::dispatcher {

bool buildRuntimeCommandLine(const char* workFolder, const char* packagePath,
                             char* out, std::size_t capacity) {
  if (capacity == 0) return false;
  out[0] = '\0';
  const bool fits = appendText(out, capacity, "\"") &&
                    appendText(out, capacity, workFolder) &&
                    appendText(out, capacity, "_Setup.exe\" ZETUFINST \"") &&
                    appendText(out, capacity, packagePath) &&
                    appendText(out, capacity, "\"");
  if (!fits) out[0] = '\0';
  return fits;
}

}  // namespace tw::dispatcher
